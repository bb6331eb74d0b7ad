#pragma once
#include "PictureFit.h"

class ControlAdapter;
class PictureBox;

// Lets the fitting code place an image control: the control's bounds in its form's units
// with the natural size of the picture it holds. Make one per image control.
class PictureControl : public IPictureControl {
public:
    PictureControl(ControlAdapter& bounds, const PictureBox& box) : m_bounds(bounds), m_box(box) {}

    double Left() const override;
    double Top() const override;
    double Width() const override;
    double Height() const override;
    void SetLeft(double v) override;
    void SetTop(double v) override;
    void SetWidth(double v) override;
    void SetHeight(double v) override;
    long PictureWidthHimetric() const override;
    long PictureHeightHimetric() const override;

private:
    ControlAdapter& m_bounds;
    const PictureBox& m_box;
};
