#include "QtSplitterHost.h"
#include "ResourcePixmap.h"

#include "Units.h"

#include <QChildEvent>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QWidget>

#include <algorithm>

namespace {

Qt::PenStyle PenStyleOf(int drawStyle)
{
    switch (drawStyle) {
    case DrawStyle::Dash: return Qt::DashLine;
    case DrawStyle::Dot: return Qt::DotLine;
    case DrawStyle::DashDot: return Qt::DashDotLine;
    case DrawStyle::DashDotDot: return Qt::DashDotDotLine;
    case DrawStyle::Transparent: return Qt::NoPen;
    default: return Qt::SolidLine; // Solid and InsideSolid
    }
}

// One ring of a 3-D border: the given colours on the top/left and bottom/right sides
// that `flags` asks for. Bottom/right are drawn last, so they own the far corners.
void PaintRing(QPainter& p, const QRect& box, int flags, const QColor& topLeft, const QColor& bottomRight)
{
    if (box.width() <= 0 || box.height() <= 0)
        return;
    if (flags & EdgeSide::Top)
        p.fillRect(box.left(), box.top(), box.width(), 1, topLeft);
    if (flags & EdgeSide::Left)
        p.fillRect(box.left(), box.top(), 1, box.height(), topLeft);
    if (flags & EdgeSide::Bottom)
        p.fillRect(box.left(), box.bottom(), box.width(), 1, bottomRight);
    if (flags & EdgeSide::Right)
        p.fillRect(box.right(), box.top(), 1, box.height(), bottomRight);
}

QRect Deflate(const QRect& box, int flags)
{
    return box.adjusted((flags & EdgeSide::Left) ? 1 : 0, (flags & EdgeSide::Top) ? 1 : 0,
                        (flags & EdgeSide::Right) ? -1 : 0, (flags & EdgeSide::Bottom) ? -1 : 0);
}

// A two-ring border as a classic desktop draws button edges: a raised edge is light on the
// top and left and dark on the bottom and right, a sunken one the other way round.
void PaintEdge(QPainter& p, const CRect& rc, int edgeType, int flags, const QPalette& pal)
{
    const QColor light = pal.color(QPalette::Light);
    const QColor midlight = pal.color(QPalette::Midlight);
    const QColor dark = pal.color(QPalette::Dark);
    const QColor shadow = pal.color(QPalette::Shadow);

    const QRect outer(rc.Left, rc.Top, rc.Width(), rc.Height());
    if (edgeType & Edge::RaisedOuter)
        PaintRing(p, outer, flags, midlight, shadow);
    else if (edgeType & Edge::SunkenOuter)
        PaintRing(p, outer, flags, dark, light);

    const QRect inner = Deflate(outer, flags);
    if (edgeType & Edge::RaisedInner)
        PaintRing(p, inner, flags, light, dark);
    else if (edgeType & Edge::SunkenInner)
        PaintRing(p, inner, flags, shadow, midlight);

    const QRect middle = Deflate(inner, flags);
    if ((flags & EdgeSide::Middle) && middle.isValid())
        p.fillRect(middle, pal.color(QPalette::Button));
}

}

QtSplitterHost::QtSplitterHost(QWidget* surface, const QString& name, double twipsPerPixelX,
                               double twipsPerPixelY)
    : m_surface(surface)
    , m_name(name)
    , m_twipsPerPixelX(twipsPerPixelX)
    , m_twipsPerPixelY(twipsPerPixelY)
{
    auto* overlay = new QWidget(surface);
    overlay->setObjectName(QStringLiteral("splitterOverlay"));
    overlay->setAttribute(Qt::WA_TransparentForMouseEvents);
    overlay->setAttribute(Qt::WA_NoSystemBackground);
    overlay->setAutoFillBackground(false);
    overlay->setFocusPolicy(Qt::NoFocus);
    overlay->hide();
    m_overlay = overlay;
    overlay->installEventFilter(this);
    surface->installEventFilter(this);
}

QtSplitterHost::~QtSplitterHost()
{
    if (m_overriding)
        QGuiApplication::restoreOverrideCursor();
    if (m_surface) {
        m_surface->removeEventFilter(this);
        if (QWidget::mouseGrabber() == m_surface)
            m_surface->releaseMouse();
    }
    delete m_overlay.data();
}

void QtSplitterHost::SetCapture()
{
    if (m_surface)
        m_surface->grabMouse();
}

void QtSplitterHost::ReleaseCapture()
{
    // Only the grab this window holds; another widget's grab is not ours to end.
    if (m_surface && QWidget::mouseGrabber() == m_surface)
        m_surface->releaseMouse();
}

QCursor QtSplitterHost::LoadCursorResource(int cursorId)
{
    const QPixmap pixmap = ResourcePixmap(QStringLiteral(":/cursor%1.png").arg(cursorId));
    if (!pixmap.isNull())
        return QCursor(pixmap, 15, 15);
    switch (cursorId) {
    case SplitterCursor::Vertical: return QCursor(Qt::SplitHCursor);
    case SplitterCursor::Horizontal: return QCursor(Qt::SplitVCursor);
    default: return QCursor(Qt::ArrowCursor);
    }
}

void QtSplitterHost::SetCustomPointer(int cursorId)
{
    // One override at most from this host: setting it again replaces it, so a single
    // restore always returns the application to its own pointer.
    const QCursor cursor = LoadCursorResource(cursorId);
    if (m_overriding) {
        QGuiApplication::changeOverrideCursor(cursor);
    } else {
        QGuiApplication::setOverrideCursor(cursor);
        m_overriding = true;
    }
}

void QtSplitterHost::SetDefaultPointer()
{
    if (m_overriding) {
        QGuiApplication::restoreOverrideCursor();
        m_overriding = false;
    }
}

QPoint QtSplitterHost::ToPixels(double x, double y) const
{
    return QPoint(static_cast<int>(Units::RoundHalfEven(x / m_twipsPerPixelX)),
                  static_cast<int>(Units::RoundHalfEven(y / m_twipsPerPixelY)));
}

void QtSplitterHost::Line(double x1, double y1, double x2, double y2, const QColor& colour)
{
    if (m_drawMode == DrawMode::Nop || !m_surface)
        return;
    const int width = std::max(1, m_drawWidth);
    const bool inverts = m_drawMode == DrawMode::Invert
        || (m_drawMode == DrawMode::MergePenNot && colour.rgb() == qRgb(0, 0, 0));
    if (inverts) {
        ToggleInverted(InvertedLine{ ToPixels(x1, y1), ToPixels(x2, y2), width });
        return;
    }
    // Every other mode paints the pen as it is.
    if (!m_painter) {
        m_surface->update();
        return;
    }
    m_painter->save();
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->setPen(QPen(colour, width, PenStyleOf(m_drawStyle), Qt::FlatCap));
    m_painter->drawLine(ToPixels(x1, y1), ToPixels(x2, y2));
    m_painter->restore();
}

void QtSplitterHost::DrawEdge(const CRect& rcPixels, int edgeType, int flags)
{
    if (!m_surface)
        return;
    if (!m_painter) {
        m_surface->update(rcPixels.Left, rcPixels.Top, rcPixels.Width(), rcPixels.Height());
        return;
    }
    m_painter->save();
    PaintEdge(*m_painter, rcPixels, edgeType, flags, m_surface->palette());
    m_painter->restore();
}

void QtSplitterHost::BeginPaint(QPainter* painter)
{
    m_painter = painter;
}

void QtSplitterHost::EndPaint()
{
    m_painter = nullptr;
}

void QtSplitterHost::WipeTrackingLines()
{
    if (m_inverted.isEmpty())
        return;
    m_inverted.clear();
    if (m_overlay)
        m_overlay->hide();
}

void QtSplitterHost::ToggleInverted(const InvertedLine& line)
{
    // Inverting twice restores the pixels: the second drawing of a line removes it.
    const int index = m_inverted.indexOf(line);
    if (index >= 0)
        m_inverted.remove(index);
    else
        m_inverted.append(line);
    if (!m_overlay)
        return;
    if (m_inverted.isEmpty()) {
        m_overlay->hide();
        return;
    }
    KeepOverlayOnTop();
    if (m_overlay->isHidden())
        m_overlay->show();
    UpdateOverlay(line);
}

void QtSplitterHost::UpdateOverlay(const InvertedLine& line)
{
    const int margin = line.width + 1;
    m_overlay->update(QRect(line.from, line.to).normalized().adjusted(-margin, -margin, margin, margin));
}

void QtSplitterHost::KeepOverlayOnTop()
{
    if (!m_overlay || !m_surface)
        return;
    m_overlay->setGeometry(m_surface->rect());
    m_overlay->raise();
}

void QtSplitterHost::PaintOverlay()
{
    // The overlay paints after the controls beneath it into the same window image, so a
    // white pen in difference mode turns their pixels into their inverse.
    QPainter painter(m_overlay);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    for (const InvertedLine& line : std::as_const(m_inverted)) {
        painter.setPen(QPen(Qt::white, line.width, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(line.from, line.to);
    }
}

bool QtSplitterHost::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_overlay && event->type() == QEvent::Paint) {
        PaintOverlay();
        return true;
    }
    if (watched == m_surface) {
        if (event->type() == QEvent::Resize) {
            if (m_overlay)
                m_overlay->setGeometry(m_surface->rect());
        } else if (event->type() == QEvent::ChildAdded) {
            // A control added later must not cover the drag lines.
            if (m_overlay && static_cast<QChildEvent*>(event)->child() != m_overlay)
                m_overlay->raise();
        }
    }
    return QObject::eventFilter(watched, event);
}
