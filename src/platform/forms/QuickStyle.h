#pragma once
#include <QProxyStyle>

// The desktop's widget style, with the few standard icons a window needs at start (the
// menu bar's overflow arrows) drawn for this program and read by the built-in PNG reader.
// The style's own icons make the image reader load every image plugin installed to ask
// whether it reads PNG, milliseconds before the first frame. Install one with
// QApplication::setStyle(new QuickStyle) right after the application object.
class QuickStyle : public QProxyStyle {
public:
    QuickStyle();
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
