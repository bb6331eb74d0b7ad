#pragma once

// Position and size of a control in its form's scale units. A write stores the value
// exactly; a read returns what was stored, so layout arithmetic stays exact.
class IControlBounds {
public:
    virtual ~IControlBounds() = default;
    virtual double Left() const = 0;
    virtual double Top() const = 0;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual void SetLeft(double v) = 0;
    virtual void SetTop(double v) = 0;
    virtual void SetWidth(double v) = 0;
    virtual void SetHeight(double v) = 0;
};

// A form's client area in its own scale units, and its unit conversions.
class IScaleForm {
public:
    virtual ~IScaleForm() = default;
    virtual double ScaleLeft() const = 0;
    virtual double ScaleTop() const = 0;
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;
    // Conversions with unit codes 1 twips, 3 pixels, 8 HIMETRIC.
    virtual double ScaleX(double value, int fromUnit, int toUnit) const = 0;
    virtual double ScaleY(double value, int fromUnit, int toUnit) const = 0;
};
