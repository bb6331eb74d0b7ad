#include "FormSurface.h"

#include <QMouseEvent>
#include <QPainter>

int MouseButtonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int MouseButtonsCode(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
        | (buttons & Qt::MiddleButton ? 4 : 0);
}

int ShiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

FormSurface::FormSurface(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAutoFillBackground(true);
}

void FormSurface::mousePressEvent(QMouseEvent* event)
{
    Q_EMIT MouseDown(MouseButtonCode(event->button()), ShiftCode(event->modifiers()), event->position());
}

void FormSurface::mouseMoveEvent(QMouseEvent* event)
{
    Q_EMIT MouseMove(MouseButtonsCode(event->buttons()), ShiftCode(event->modifiers()), event->position());
}

void FormSurface::mouseReleaseEvent(QMouseEvent* event)
{
    Q_EMIT MouseUp(MouseButtonCode(event->button()), ShiftCode(event->modifiers()), event->position());
}

void FormSurface::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Q_EMIT Paint(painter);
}

void FormSurface::resizeEvent(QResizeEvent*)
{
    Q_EMIT Resized();
}
