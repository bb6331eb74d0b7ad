#include "CRect.h"

#include "AppError.h"
#include "IControlBounds.h"
#include "Units.h"

#include <cmath>
#include <limits>
#include <utility>

namespace {

// A floating-point value stored into an edge: nearest whole number, a half to the even
// neighbour. A value outside the 32-bit range is an overflow, as for any whole-number field.
int32_t ToEdge(double value)
{
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    if (!(value >= lo - 0.5 && value <= hi + 0.5))
        throw AppError(ErrNo::Overflow, QStringLiteral("CRect"), QStringLiteral("Overflow"));
    const long long rounded = Units::RoundHalfEven(value);
    if (rounded < lo || rounded > hi)
        throw AppError(ErrNo::Overflow, QStringLiteral("CRect"), QStringLiteral("Overflow"));
    return static_cast<int32_t>(rounded);
}

}

void CRect::Copy(const CRect& Other)
{
    Left = Other.Left;
    Right = Other.Right;
    Top = Other.Top;
    Bottom = Other.Bottom;
}

void CRect::SetRect(int32_t lLeft, int32_t lTop, int32_t lRight, int32_t lBottom)
{
    Left = lLeft;
    Top = lTop;
    Right = lRight;
    Bottom = lBottom;
}

void CRect::SetRectWH(int32_t lLeft, int32_t lTop, int32_t lWidth, int32_t lHeight)
{
    Left = lLeft;
    Top = lTop;
    Right = lLeft + lWidth;
    Bottom = lTop + lHeight;
}

void CRect::Inflate(int32_t dx, int32_t dy)
{
    Left += dx;
    Right += dx;
    Top += dy;
    Bottom += dy;
}

void CRect::GetFormRect(const IScaleForm& frm)
{
    const int32_t l = ToEdge(frm.ScaleLeft());
    const int32_t t = ToEdge(frm.ScaleTop());
    const int32_t w = ToEdge(frm.ScaleWidth());
    const int32_t h = ToEdge(frm.ScaleHeight());
    SetRect(l, t, w, h);
}

void CRect::GetControlRect(const IControlBounds& ctrl)
{
    const int32_t l = ToEdge(ctrl.Left());
    const int32_t t = ToEdge(ctrl.Top());
    const int32_t w = ToEdge(ctrl.Width());
    const int32_t h = ToEdge(ctrl.Height());
    SetRectWH(l, t, w, h);
}

void CRect::MoveControlTo(IControlBounds& ctrl, int32_t X, int32_t Y)
{
    GetControlRect(ctrl);
    MoveTo(X, Y);
    SetControlRect(ctrl);
}

void CRect::MoveTo(int32_t lX, int32_t lY)
{
    const int32_t w = Width();
    const int32_t h = Height();
    Left = lX;
    Top = lY;
    Right = lX + w;
    Bottom = lY + h;
}

void CRect::SetControlRect(IControlBounds& ctrl) const
{
    ctrl.SetLeft(Left);
    ctrl.SetTop(Top);
    ctrl.SetWidth(Width());
    ctrl.SetHeight(Height());
}

void CRect::Reposition(int32_t pos, const CRect& outerRec)
{
    // Everything is read before MoveTo, so outerRec may be this rectangle itself.
    const int32_t right = outerRec.Left + outerRec.Width() - Width();
    const int32_t bottom = outerRec.Top + outerRec.Height() - Height();
    switch (pos) {
    case RectPosition::TopLeft: MoveTo(outerRec.Left, outerRec.Top); break;
    case RectPosition::TopRight: MoveTo(right, outerRec.Top); break;
    case RectPosition::BottomLeft: MoveTo(outerRec.Left, bottom); break;
    case RectPosition::BottomRight: MoveTo(right, bottom); break;
    case RectPosition::Centre: {
        // The half is added to the origin before rounding, so a tie goes to the even sum.
        const int32_t x = ToEdge((outerRec.Width() - Width()) / 2.0 + outerRec.Left);
        const int32_t y = ToEdge((outerRec.Height() - Height()) / 2.0 + outerRec.Top);
        MoveTo(x, y);
        break;
    }
    default: break;
    }
}

void CRect::Normalize()
{
    if (Left > Right)
        std::swap(Left, Right);
    if (Top > Bottom)
        std::swap(Top, Bottom);
}
