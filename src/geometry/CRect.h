#pragma once
#include <cstdint>

class IControlBounds;
class IScaleForm;

// Where CRect::Reposition puts a rectangle inside another.
namespace RectPosition {
constexpr int32_t TopLeft = 1;
constexpr int32_t TopRight = 2;
constexpr int32_t BottomLeft = 3;
constexpr int32_t BottomRight = 4;
constexpr int32_t Centre = 5;
}

// The value type every piece of window layout passes through: four whole-number edges in
// the scale units of the window they come from (twips for the main window). It converts
// between edges, origin plus size and a control's bounds, and aligns one rectangle inside
// another. Create one on the stack (all edges 0) and fill it with SetRect, SetRectWH,
// GetFormRect or GetControlRect. The edges are public and never kept in order, so
// Left > Right is a legal state until Normalize.
class CRect {
public:
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Height() const { return Bottom - Top; }
    void SetHeight(int32_t lNewHeight) { Bottom = Top + lNewHeight; }
    int32_t Width() const { return Right - Left; }
    void SetWidth(int32_t lNewWidth) { Right = Left + lNewWidth; }

    void Copy(const CRect& Other);
    void SetRect(int32_t lLeft, int32_t lTop, int32_t lRight, int32_t lBottom);
    void SetRectWH(int32_t lLeft, int32_t lTop, int32_t lWidth, int32_t lHeight);
    // Moves both edges of each axis by the same amount: a translation, not a growth.
    void Inflate(int32_t dx, int32_t dy);

    // (ScaleLeft, ScaleTop, ScaleWidth, ScaleHeight) of the form, each rounded to the
    // nearest whole number; Right and Bottom are the scale size itself.
    void GetFormRect(const IScaleForm& frm);
    // The control's Left, Top, Width and Height, each rounded to the nearest whole number.
    void GetControlRect(const IControlBounds& ctrl);
    // Moves the control's top-left corner to (X, Y), keeping its size; this rectangle
    // ends up holding the control's new bounds.
    void MoveControlTo(IControlBounds& ctrl, int32_t X, int32_t Y);
    void MoveTo(int32_t lX, int32_t lY);
    // Four separate assignments on the control: Left, Top, Width, Height, in that order.
    void SetControlRect(IControlBounds& ctrl) const;

    // Aligns this rectangle, keeping its size, inside outerRec at a RectPosition; any
    // other pos leaves it where it is.
    void Reposition(int32_t pos, const CRect& outerRec);
    // Swaps the edges of an axis whose low edge lies beyond its high edge.
    void Normalize();

    bool operator==(const CRect& o) const
    {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
    bool operator!=(const CRect& o) const { return !(*this == o); }
};
