#pragma once
#include "IControlBounds.h"

class QWidget;

// Gives a Qt window a classic scale mode: its client area and conversions in twips
// (the main window, the move dialog) or pixels (the full-screen viewer). Create one
// per window with the window, the widget that is its client area and the unit code.
class FormScale : public IScaleForm {
public:
    FormScale(QWidget* window, QWidget* client, int scaleMode);

    double ScaleLeft() const override { return 0.0; }
    double ScaleTop() const override { return 0.0; }
    double ScaleWidth() const override;
    double ScaleHeight() const override;
    double ScaleX(double value, int fromUnit, int toUnit) const override;
    double ScaleY(double value, int fromUnit, int toUnit) const override;

    // The window's outer height (frame, title and menu bar included) in its units.
    double Height() const;
    int ScaleMode() const { return m_scaleMode; }
    // Scale units per device-independent pixel on each axis.
    double UnitsPerPixelX() const;
    double UnitsPerPixelY() const;
    double DpiX() const;
    double DpiY() const;

private:
    QWidget* m_window;
    QWidget* m_client;
    int m_scaleMode;
};
