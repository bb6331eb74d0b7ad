#pragma once
#include "CRect.h"
#include "IControlBounds.h"

class FormScale;

// An image control as the fitting sees it: its bounds, plus the natural size of the
// picture it holds in HIMETRIC whole numbers (0 x 0 when it holds none). A window
// implements it over its image's control adapter and the Picture it shows.
class IPictureControl : public IControlBounds {
public:
    virtual long PictureWidthHimetric() const = 0;
    virtual long PictureHeightHimetric() const = 0;
};

// Shrinks rcPic, keeping its proportions, until it fits rcTarget (never enlarging it),
// then centres it there. A picture without width or height is left as it is.
void FitRect(const CRect& rcTarget, CRect& rcPic);

// Places img so that its picture shows at its natural size, shrunk to fit rcTarget if
// needed, and centred in it. The caller names the form's scale mode (Units::Twips,
// Units::Pixels), since the natural size is converted from HIMETRIC into that unit with
// the form's own conversions.
void FitPicture(const CRect& rcTarget, IPictureControl& img, const IScaleForm& frm, int scaleMode);
// The same for a form whose scale mode FormScale already knows.
void FitPicture(const CRect& rcTarget, IPictureControl& img, const FormScale& frm);
