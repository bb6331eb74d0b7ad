#include "CSplitter.h"

#include "AppError.h"
#include "ISplitterHost.h"
#include "Units.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int32_t BarThickness = 80;
constexpr int32_t HalfBar = 40;
const QColor ShadowGrey(127, 127, 127);
const QColor Black(0, 0, 0);

int32_t FloorToEdge(double value)
{
    return static_cast<int32_t>(std::floor(value));
}
}

CSplitter::CSplitter(QObject* parent)
    : QObject(parent)
{
}

void CSplitter::Init(ISplitterHost& frm, const CRect& rcWindow, float Perc, int32_t sptype)
{
    this->sptype = sptype;
    this->Perc = Perc;
    this->frm = &frm;
    if (frm.ClipControls()) {
        throw AppError(ErrNo::ObjectError, QStringLiteral("CSplitter.CSplitter"),
                       frm.Name() + QStringLiteral(".ClipControl should be False."));
    }
    Resize(rcWindow);
}

void CSplitter::Resize(const CRect& rcWindow)
{
    this->rcWindow.Copy(rcWindow);
    // The bar is centred on the fraction of Right (Bottom); the areas of this program
    // start at 0 on the drag axis, so that is the fraction of the width (height).
    if (sptype == SplitterType::Vertical) {
        rcBar.SetRectWH(FloorToEdge(static_cast<double>(Perc) * this->rcWindow.Right - HalfBar),
                        this->rcWindow.Top, BarThickness, this->rcWindow.Height());
    } else {
        rcBar.SetRectWH(this->rcWindow.Left,
                        FloorToEdge(static_cast<double>(Perc) * this->rcWindow.Bottom - HalfBar),
                        this->rcWindow.Right, BarThickness);
    }
    Q_EMIT SplitRect(Perc);
}

void CSplitter::MouseDown()
{
    if (OverBar)
        Dragging = true;
}

bool CSplitter::IsOverBar(float X, float Y) const
{
    // Strict on all four sides: a pointer on the bar's edge is outside it.
    return X > rcBar.Left && X < rcBar.Right && Y > rcBar.Top && Y < rcBar.Bottom;
}

void CSplitter::MouseMove(float X, float Y)
{
    const bool over = IsOverBar(X, Y);
    if (over && !OverBar) {
        OverBar = true;
        Host().SetCapture();
        Host().SetCustomPointer(sptype == SplitterType::Vertical ? SplitterCursor::Vertical : SplitterCursor::Horizontal);
    } else if (!over && OverBar) {
        OverBar = false;
        // During a drag the capture and the cursor stay until the release.
        if (!Dragging) {
            Host().SetDefaultPointer();
            Host().ReleaseCapture();
        }
    }

    if (Dragging) {
        if (LinePos > 0)
            DrawDragLine(LinePos);
        const float pos = sptype == SplitterType::Vertical ? X : Y;
        DrawDragLine(pos);
        LinePos = pos;
    }
}

void CSplitter::MouseUp(float X, float Y)
{
    if (!Dragging)
        return;
    Dragging = false;
    // Erases the line, wherever it is: a release without a move draws one at 0.
    DrawDragLine(LinePos);
    LinePos = 0;
    if (!OverBar) {
        Host().SetDefaultPointer();
        Host().ReleaseCapture();
    }

    const bool vertical = sptype == SplitterType::Vertical;
    const int32_t extent = vertical ? rcWindow.Width() : rcWindow.Height();
    // An area without extent has no fraction to give: the splitter keeps its fraction and bar.
    if (extent > 0) {
        const int32_t low = vertical ? rcWindow.Left : rcWindow.Top;
        const int32_t high = std::max(low, (vertical ? rcWindow.Right : rcWindow.Bottom) - BarThickness);
        // A release beyond the area (the capture delivers it) keeps the bar inside the
        // area, so that neither pane gets a negative size and the fraction stays in 0..1.
        const float pos = std::clamp(vertical ? X : Y, static_cast<float>(low), static_cast<float>(high));
        Perc = std::clamp(static_cast<float>(static_cast<double>(pos) / extent), 0.0f, 1.0f);
        if (vertical)
            MoveBar(FloorToEdge(pos), rcBar.Top);
        else
            MoveBar(rcBar.Left, FloorToEdge(pos));
    }
    Q_EMIT SplitRect(Perc);
}

void CSplitter::GetRect(int16_t what, CRect& rec) const
{
    if (sptype == SplitterType::Vertical) {
        if (what == 1)
            rec.SetRect(rcWindow.Left, rcWindow.Top, rcBar.Left, rcWindow.Bottom);
        else if (what == 2)
            rec.SetRect(rcBar.Right, rcWindow.Top, rcWindow.Right, rcWindow.Bottom);
    } else if (sptype == SplitterType::Horizontal) {
        if (what == 1)
            rec.SetRect(rcWindow.Left, rcWindow.Top, rcWindow.Right, rcBar.Top);
        else if (what == 2)
            rec.SetRect(rcWindow.Left, rcBar.Bottom, rcWindow.Right, rcWindow.Bottom);
    }
}

void CSplitter::ResizeFrame(int16_t what, IControlBounds& frm) const
{
    CRect rec;
    GetRect(what, rec);
    rec.SetControlRect(frm);
}

void CSplitter::DEdge(int32_t EdgeType)
{
    ISplitterHost& host = Host();
    host.SetDrawWidth(1);
    host.SetDrawMode(DrawMode::CopyPen);

    const double px = host.TwipsPerPixelX();
    const double py = host.TwipsPerPixelY();
    CRect rcPixels;
    rcPixels.SetRect(static_cast<int32_t>(Units::RoundHalfEven(rcBar.Left / px)),
                     static_cast<int32_t>(Units::RoundHalfEven(rcBar.Top / py)),
                     static_cast<int32_t>(Units::RoundHalfEven(rcBar.Right / px)),
                     static_cast<int32_t>(Units::RoundHalfEven(rcBar.Bottom / py)));
    host.DrawEdge(rcPixels, EdgeType, EdgeSide::Rect);

    // A shadow on the second and the first pixel column inside the right edge.
    host.Line(rcBar.Right - 2 * px, rcBar.Top, rcBar.Right - 2 * px, rcBar.Bottom, ShadowGrey);
    host.Line(rcBar.Right - px, rcBar.Top, rcBar.Right - px, rcBar.Bottom, Black);
}

void CSplitter::MoveBar(int32_t lX, int32_t lY)
{
    rcBar.MoveTo(lX, lY);
}

void CSplitter::DrawDragLine(float pos)
{
    ISplitterHost& host = Host();
    host.SetDrawStyle(DrawStyle::Solid);
    host.SetDrawWidth(3);
    // Pen OR NOT destination with a black pen inverts, so the same line drawn twice is gone.
    host.SetDrawMode(DrawMode::MergePenNot);
    const double at = std::floor(pos);
    if (sptype == SplitterType::Vertical)
        host.Line(at, rcWindow.Top, at, rcWindow.Bottom, Black);
    else
        host.Line(rcWindow.Left, at, rcWindow.Right, at, Black);
    // Left at "no operation": stray drawing on the host shows nothing until a mode is set.
    host.SetDrawMode(DrawMode::Nop);
}

ISplitterHost& CSplitter::Host() const
{
    if (!frm)
        throw AppError(ErrNo::ObjectNotSet, QStringLiteral("CSplitter"),
                       QStringLiteral("Object variable or With block variable not set"));
    return *frm;
}
