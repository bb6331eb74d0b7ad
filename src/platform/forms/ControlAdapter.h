#pragma once
#include "IControlBounds.h"

#include <QPointer>

class QWidget;
class FormScale;

// Exposes a child widget's Left/Top/Width/Height in its form's scale units. A write keeps
// the exact value and places the widget at the nearest whole pixel; negative sizes,
// which a very small window can produce, reach the widget as 0.
class ControlAdapter : public IControlBounds {
public:
    ControlAdapter(QWidget* widget, const FormScale& scale);

    double Left() const override { return m_left; }
    double Top() const override { return m_top; }
    double Width() const override { return m_width; }
    double Height() const override { return m_height; }
    void SetLeft(double v) override;
    void SetTop(double v) override;
    void SetWidth(double v) override;
    void SetHeight(double v) override;

    void SetBounds(double left, double top, double width, double height);
    QWidget* widget() const { return m_widget; }

private:
    void place();

    QPointer<QWidget> m_widget;
    const FormScale& m_scale;
    double m_left = 0, m_top = 0, m_width = 0, m_height = 0;
};
