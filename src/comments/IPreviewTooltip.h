#pragma once
#include <QString>

// What the comment commands need of the main window: the image they act on and the
// preview whose tooltip shows its comment. The main window implements it; tests fake it.
class IPreviewTooltip {
public:
    virtual ~IPreviewTooltip() = default;
    // The full path of the current image (the comment key).
    virtual QString CurrentFile() const = 0;
    virtual void SetToolTipText(const QString& sText) = 0;
};
