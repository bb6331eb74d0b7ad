#pragma once
#include "IControlBounds.h"
#include "Units.h"

// A form with a fixed client area and a DPI of its own on each axis, as a window's would
// be on such a screen.
struct FakeScaleForm : IScaleForm {
    explicit FakeScaleForm(double dpi = 96) : dpiX(dpi), dpiY(dpi) {}
    double left = 0, top = 0, width = 0, height = 0, dpiX, dpiY;

    double ScaleLeft() const override { return left; }
    double ScaleTop() const override { return top; }
    double ScaleWidth() const override { return width; }
    double ScaleHeight() const override { return height; }
    double ScaleX(double v, int from, int to) const override { return Units::Convert(v, from, to, dpiX); }
    double ScaleY(double v, int from, int to) const override { return Units::Convert(v, from, to, dpiY); }
};
