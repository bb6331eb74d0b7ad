#include "ControlAdapter.h"
#include "FormScale.h"
#include "Units.h"

#include <QWidget>
#include <algorithm>

ControlAdapter::ControlAdapter(QWidget* widget, const FormScale& scale)
    : m_widget(widget), m_scale(scale)
{
}

void ControlAdapter::SetLeft(double v) { m_left = v; place(); }
void ControlAdapter::SetTop(double v) { m_top = v; place(); }
void ControlAdapter::SetWidth(double v) { m_width = v; place(); }
void ControlAdapter::SetHeight(double v) { m_height = v; place(); }

void ControlAdapter::SetBounds(double left, double top, double width, double height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    place();
}

void ControlAdapter::place()
{
    if (!m_widget)
        return;
    const double ux = m_scale.UnitsPerPixelX();
    const double uy = m_scale.UnitsPerPixelY();
    const auto px = [](double units, double perPixel) {
        return static_cast<int>(Units::RoundHalfEven(units / perPixel));
    };
    m_widget->setGeometry(px(m_left, ux), px(m_top, uy), std::max(0, px(m_width, ux)),
                          std::max(0, px(m_height, uy)));
}
