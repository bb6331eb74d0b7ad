#include "FormSurface.h"

#include <QMouseEvent>
#include <QPainter>

int MouseButtonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return MouseButtonCodes::Left;
    case Qt::RightButton: return MouseButtonCodes::Right;
    case Qt::MiddleButton: return MouseButtonCodes::Middle;
    default: return 0;
    }
}

int MouseButtonsCode(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? MouseButtonCodes::Left : 0)
        | (buttons & Qt::RightButton ? MouseButtonCodes::Right : 0)
        | (buttons & Qt::MiddleButton ? MouseButtonCodes::Middle : 0);
}

int ShiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? ShiftCodes::Shift : 0)
        | (modifiers & Qt::ControlModifier ? ShiftCodes::Ctrl : 0)
        | (modifiers & Qt::AltModifier ? ShiftCodes::Alt : 0);
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
