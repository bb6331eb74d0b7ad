#include "PictureBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextDocument>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::SetPicture(const Picture& picture, const QImage& pixels)
{
    m_picture = picture;
    SetPixels(pixels);
}

void PictureBox::SetPixels(const QImage& pixels)
{
    m_pixels = pixels;
    m_scaled = QImage();
    update();
}

bool PictureBox::SetPixelsFor(const QString& path, const QImage& pixels)
{
    if (path != m_picture.Path())
        return false;
    SetPixels(pixels);
    return true;
}

void PictureBox::SetToolTipText(const QString& text)
{
    m_toolTipText = text;
    setToolTip(Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text);
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    if (m_pixels.isNull() || width() <= 0 || height() <= 0)
        return; // an empty control shows what lies behind it
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    const QSize device = (QSizeF(size()) * ratio).toSize();
    const QRect exposed = event->rect() & rect();

    if (device.width() <= m_pixels.width() && device.height() <= m_pixels.height()) {
        // Shrinking: scale once with area averaging (sharper than drawing with a transform)
        // and copy only the exposed part on each repaint.
        if (m_scaled.size() != device) {
            m_scaled = m_pixels.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            m_scaled.setDevicePixelRatio(ratio);
        }
        const QRectF source(exposed.x() * ratio, exposed.y() * ratio, exposed.width() * ratio,
                            exposed.height() * ratio);
        painter.drawImage(QRectF(exposed), m_scaled, source);
        return;
    }

    // Enlarging (a zoomed view can be far larger than the screen): draw only the exposed
    // part straight from the pixels, never through an enlarged copy.
    m_scaled = QImage();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal sx = qreal(m_pixels.width()) / width();
    const qreal sy = qreal(m_pixels.height()) / height();
    const QRectF source(exposed.x() * sx, exposed.y() * sy, exposed.width() * sx, exposed.height() * sy);
    painter.drawImage(QRectF(exposed), m_pixels, source);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT Click();
    QWidget::mouseReleaseEvent(event);
}
