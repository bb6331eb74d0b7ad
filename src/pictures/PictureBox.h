#pragma once
#include "Picture.h"

#include <QImage>
#include <QWidget>

// The image control: draws its pixels stretched to its own bounds, which the fitting code
// sets from the Picture's natural size. The Picture (size, path) and the pixels are kept
// apart because the pixels arrive later and smaller: an EXIF thumbnail first, then a
// decode at the size the screen needs. Create it as a child of the window that shows it.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    const Picture& GetPicture() const { return m_picture; }
    // Replaces the picture and its pixels (none until SetPixels, by default).
    void SetPicture(const Picture& picture, const QImage& pixels = QImage());
    // Replaces the pixels of the current picture; any size, they are stretched.
    void SetPixels(const QImage& pixels);
    // Sets the pixels only if they belong to the current picture, so a late decode of a
    // file that is no longer shown is ignored. Returns whether they were taken.
    bool SetPixelsFor(const QString& path, const QImage& pixels);
    const QImage& Pixels() const { return m_pixels; }

    // The tooltip as plain text: markup in a comment is shown, never interpreted.
    QString ToolTipText() const { return m_toolTipText; }
    void SetToolTipText(const QString& text);

    // The pointer shown over the control is the widget cursor: use setCursor().

Q_SIGNALS:
    // The left button was released over the control.
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Picture m_picture;
    QImage m_pixels;
    // m_pixels scaled down to the control's device size, so a repaint only copies; never
    // built when the control is larger than the pixels (a zoomed view draws from m_pixels).
    QImage m_scaled;
    QString m_toolTipText;
};
