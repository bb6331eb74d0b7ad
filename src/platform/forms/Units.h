#pragma once

// Unit codes and conversions between twips, pixels and HIMETRIC.
namespace Units {
constexpr int Twips = 1;
constexpr int Pixels = 3;
constexpr int Himetric = 8;

constexpr double TwipsPerInch = 1440.0;
constexpr double HimetricPerInch = 2540.0;

// How many of `unit` make one inch at the given logical DPI.
double PerInch(int unit, double dpi);
// Converts `value` from one unit to another at the given logical DPI.
double Convert(double value, int fromUnit, int toUnit, double dpi);
inline double TwipsPerPixel(double dpi) { return TwipsPerInch / dpi; }

// Nearest whole number, an exact half going to the even neighbour.
long long RoundHalfEven(double value);
}
