#pragma once
#include "ControlAdapter.h"
#include "PictureFit.h"

class FormScale;
class PictureBox;

// The viewer's image control as its layout sees it: floating-point bounds in the form's
// units (the widget sits at the nearest pixel, far outside the window when a zoomed
// picture is scrolled) and the natural size of the picture it holds. Make one per image
// control, over the PictureBox and the scale of the form that holds it.
class ImageControl : public IPictureControl {
public:
    ImageControl(PictureBox* box, const FormScale& scale);

    double Left() const override { return m_bounds.Left(); }
    double Top() const override { return m_bounds.Top(); }
    double Width() const override { return m_bounds.Width(); }
    double Height() const override { return m_bounds.Height(); }
    void SetLeft(double v) override { m_bounds.SetLeft(v); }
    void SetTop(double v) override { m_bounds.SetTop(v); }
    void SetWidth(double v) override { m_bounds.SetWidth(v); }
    void SetHeight(double v) override { m_bounds.SetHeight(v); }
    long PictureWidthHimetric() const override;
    long PictureHeightHimetric() const override;

private:
    PictureBox* m_box;
    ControlAdapter m_bounds;
};
