#pragma once
#include <initializer_list>
#include <memory>
#include <vector>

class ControlAdapter;
class FormScale;
class QWidget;

// The bounds of a form's child controls in the form's scale units. Each form places its
// controls from a design table once, and its layout code then reaches a control's bounds
// by the control. Create one per form, with the form (named in errors) and its scale.
class FormControls {
public:
    // A control's design position and size, in the form's scale units.
    struct Design {
        QWidget* control;
        double left, top, width, height;
    };

    FormControls(const QWidget& form, const FormScale& scale);
    ~FormControls();

    // Gives each control of the table its bounds, placing it at the nearest pixels.
    void Place(std::initializer_list<Design> design);
    // The bounds of a placed control; an AppError ErrNo::InternalError for any other.
    ControlAdapter& Bounds(const QWidget* control) const;

private:
    const QWidget& m_form;
    const FormScale& m_scale;
    std::vector<std::unique_ptr<ControlAdapter>> m_bounds;
};
