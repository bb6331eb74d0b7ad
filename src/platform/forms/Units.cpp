#include "Units.h"
#include "AppError.h"

#include <QString>
#include <cmath>

namespace Units {

double PerInch(int unit, double dpi)
{
    switch (unit) {
    case Twips: return TwipsPerInch;
    case Pixels: return dpi;
    case Himetric: return HimetricPerInch;
    default:
        throw AppError(ErrNo::InvalidProcedureCall, QStringLiteral("ScaleX"), QStringLiteral("Invalid procedure call or argument"));
    }
}

double Convert(double value, int fromUnit, int toUnit, double dpi)
{
    if (fromUnit == toUnit)
        return value;
    return value * PerInch(toUnit, dpi) / PerInch(fromUnit, dpi);
}

long long RoundHalfEven(double value)
{
    // nearbyint rounds with the current mode, which is to-nearest-even by default.
    return static_cast<long long>(std::nearbyint(value));
}

}
