#pragma once
#include "PictureFit.h"

class ControlAdapter;
class PictureBox;

// An image control as the fitting code sees it: the control's bounds in its form's units
// (floating point, so a zoomed picture scrolled far outside the window keeps its place)
// with the natural size of the picture it holds. Make one per image control, over the
// control's adapter and the PictureBox; both must outlive it.
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
