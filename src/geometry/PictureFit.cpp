#include "PictureFit.h"

#include "AppError.h"
#include "FormScale.h"
#include "Units.h"

#include <cmath>

namespace {

// A value stored into a size by the "nearest" rule: ties go to the even neighbour.
int32_t Nearest(double value)
{
    if (!(std::fabs(value) < 2147483647.5))
        throw AppError(ErrNo::Overflow, QStringLiteral("FitPicture"), QStringLiteral("Overflow"));
    return static_cast<int32_t>(Units::RoundHalfEven(value));
}

int32_t Floor(double value)
{
    if (!(value > -2147483649.0 && value < 2147483648.0))
        throw AppError(ErrNo::Overflow, QStringLiteral("FitRect"), QStringLiteral("Overflow"));
    return static_cast<int32_t>(std::floor(value));
}

}

void FitRect(const CRect& rcTarget, CRect& rcPic)
{
    if (!(rcPic.Height() > 0 && rcPic.Width() > 0))
        return;

    // Every shrunk size derives from the natural proportions, never from a shrunk size.
    const double r = static_cast<double>(rcPic.Height()) / rcPic.Width();

    while (!(rcPic.Width() <= rcTarget.Width() && rcPic.Height() <= rcTarget.Height())) {
        if (rcPic.Width() > rcTarget.Width()) {
            const bool tooTall = rcPic.Height() > rcTarget.Height();
            rcPic.SetWidth(rcTarget.Width());
            const double h = rcTarget.Width() * r;
            // Too wide (and maybe too tall): fit the width first. The nearest height
            // may still be too tall; the next pass then fits the height.
            rcPic.SetHeight(tooTall ? Nearest(h) : Floor(h));
        } else {
            rcPic.SetWidth(Floor(rcTarget.Height() / r));
            rcPic.SetHeight(rcTarget.Height());
        }
    }
    rcPic.Reposition(RectPosition::Centre, rcTarget);
}

void FitPicture(const CRect& rcTarget, IPictureControl& img, const IScaleForm& frm, int scaleMode)
{
    CRect rcPic;
    const float himetricW = static_cast<float>(img.PictureWidthHimetric());
    const float himetricH = static_cast<float>(img.PictureHeightHimetric());
    // The form's conversion answers in single precision.
    const float w = static_cast<float>(frm.ScaleX(himetricW, Units::Himetric, scaleMode));
    const float h = static_cast<float>(frm.ScaleY(himetricH, Units::Himetric, scaleMode));
    rcPic.SetRectWH(0, 0, Nearest(w), Nearest(h));
    FitRect(rcTarget, rcPic);
    rcPic.SetControlRect(img);
}

void FitPicture(const CRect& rcTarget, IPictureControl& img, const FormScale& frm)
{
    FitPicture(rcTarget, img, frm, frm.ScaleMode());
}
