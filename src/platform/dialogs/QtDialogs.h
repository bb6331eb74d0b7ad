#pragma once
#include "IDialogs.h"

class QWidget;

// The real dialogs: QMessageBox and QInputDialog, parented to the active window.
class QtDialogs : public IDialogs {
public:
    int MsgBox(const QString& text, int style, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
};
