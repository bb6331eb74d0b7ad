#include "FormControls.h"
#include "AppError.h"
#include "ControlAdapter.h"

#include <QWidget>

FormControls::FormControls(const QWidget& form, const FormScale& scale) : m_form(form), m_scale(scale) {}

FormControls::~FormControls() = default;

void FormControls::Place(std::initializer_list<Design> design)
{
    for (const Design& d : design) {
        m_bounds.push_back(std::make_unique<ControlAdapter>(d.control, m_scale));
        m_bounds.back()->SetBounds(d.left, d.top, d.width, d.height);
    }
}

ControlAdapter& FormControls::Bounds(const QWidget* control) const
{
    for (const auto& bounds : m_bounds)
        if (bounds->widget() == control)
            return *bounds;
    throw AppError(ErrNo::InternalError, m_form.objectName(), QStringLiteral("Unknown control"));
}
