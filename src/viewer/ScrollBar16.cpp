#include "ScrollBar16.h"
#include "AppError.h"

#include <QScrollBar>

#include <algorithm>

ScrollBar16::ScrollBar16(QScrollBar* bar) : m_bar(bar)
{
    m_bar->setRange(0, 0);
    // The picture follows the thumb only when it is let go, not during a drag.
    m_bar->setTracking(false);
    m_connection = QObject::connect(m_bar, &QAbstractSlider::valueChanged, m_bar, [this] {
        if (m_change)
            m_change();
    });
}

ScrollBar16::~ScrollBar16() { QObject::disconnect(m_connection); }

int ScrollBar16::Check16(qint64 value, const char* property)
{
    if (value < -32768 || value > 32767)
        throw AppError(ErrNo::Overflow, QString::fromLatin1(property), QStringLiteral("Overflow"));
    return int(value);
}

int ScrollBar16::Max() const { return m_bar->maximum(); }
int ScrollBar16::Value() const { return m_bar->value(); }
int ScrollBar16::SmallChange() const { return m_bar->singleStep(); }
int ScrollBar16::LargeChange() const { return m_bar->pageStep(); }
bool ScrollBar16::Visible() const { return !m_bar->isHidden(); }

void ScrollBar16::SetMax(qint64 value)
{
    // The minimum stays 0; a negative Max would drag it along in Qt, so it is held at 0.
    m_bar->setMaximum(std::max(0, Check16(value, "Max")));
}

void ScrollBar16::SetValue(qint64 value)
{
    m_bar->setValue(Check16(value, "Value"));
}

void ScrollBar16::SetSmallChange(qint64 value)
{
    m_bar->setSingleStep(std::max(0, Check16(value, "SmallChange")));
}

void ScrollBar16::SetLargeChange(qint64 value)
{
    m_bar->setPageStep(std::max(0, Check16(value, "LargeChange")));
}

void ScrollBar16::SetVisible(bool visible) { m_bar->setVisible(visible); }
