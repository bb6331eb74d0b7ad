#include "FormScale.h"
#include "Units.h"

#include <QWidget>

FormScale::FormScale(QWidget* window, QWidget* client, int scaleMode)
    : m_window(window), m_client(client), m_scaleMode(scaleMode)
{
}

double FormScale::DpiX() const { return m_client->logicalDpiX(); }
double FormScale::DpiY() const { return m_client->logicalDpiY(); }

double FormScale::UnitsPerPixelX() const { return Units::Convert(1.0, Units::Pixels, m_scaleMode, DpiX()); }
double FormScale::UnitsPerPixelY() const { return Units::Convert(1.0, Units::Pixels, m_scaleMode, DpiY()); }

double FormScale::ScaleWidth() const { return m_client->width() * UnitsPerPixelX(); }
double FormScale::ScaleHeight() const { return m_client->height() * UnitsPerPixelY(); }

double FormScale::ScaleX(double value, int fromUnit, int toUnit) const
{
    return Units::Convert(value, fromUnit, toUnit, DpiX());
}

double FormScale::ScaleY(double value, int fromUnit, int toUnit) const
{
    return Units::Convert(value, fromUnit, toUnit, DpiY());
}

double FormScale::Height() const
{
    return m_window->frameGeometry().height() * UnitsPerPixelY();
}
