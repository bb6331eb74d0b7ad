#pragma once
#include <QString>

class AppError;
class Globals;
class IPreviewTooltip;
class TooltipStore;

// The handlers of the Tooltip menu: New, Edit and Delete the comment of the current
// image. The main window builds one over its comment store, its Globals and itself as
// the preview, and calls the methods from the menu items.
//
// A store another program holds locked is waited for under the wait cursor, up to the
// store's busy timeout. A comment that cannot be stored (no store, read-only or locked
// file, changed meanwhile by another copy, engine error) is reported in one sentence
// through Globals::ShowError, and nothing else changes.
class CommentCommands {
public:
    CommentCommands(TooltipStore& store, Globals& globals, IPreviewTooltip& preview);

    void NewTooltip();
    void EditTooltip();
    void DeleteTooltip();

private:
    void reportFailure(const QString& sWhat, const AppError& error);

    TooltipStore& m_store;
    Globals& m_globals;
    IPreviewTooltip& m_preview;
};
