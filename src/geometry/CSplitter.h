#pragma once
#include "CRect.h"

#include <QObject>
#include <cstdint>

class IControlBounds;
class ISplitterHost;

// The bar types Init takes.
namespace SplitterType {
constexpr int32_t Vertical = 1;    // panes left and right, dragged along x
constexpr int32_t Horizontal = 2;  // panes above and below, dragged along y
}

// A draggable bar that divides an area of its host window into two panes. It owns no
// window: the host feeds it mouse and paint events and lays its controls out in the panes
// that GetRect and ResizeFrame give whenever SplitRect reports a new division. Create one
// per bar (a member of the window), then Init it with the host, the area, the starting
// fraction and the type: SplitterType::Vertical, or anything else for a horizontal bar
// (pane rectangles, though, are only given for the two SplitterType codes).
class CSplitter : public QObject {
    Q_OBJECT
public:
    explicit CSplitter(QObject* parent = nullptr);

    // Keeps the type, fraction and host, refuses a host that clips its controls
    // (AppError ErrNo::ObjectError from "CSplitter.CSplitter"), then places the bar over rcWindow.
    void Init(ISplitterHost& frm, const CRect& rcWindow, float Perc, int32_t sptype = 0);
    // Takes a new area and places the bar at the current fraction in it.
    void Resize(const CRect& rcWindow);

    // The host's mouse events over its client area, in its scale units.
    void MouseDown();
    void MouseMove(float X, float Y);
    void MouseUp(float X, float Y);

    // Pane 1 (left of / above the bar) or 2 (right of / below it) into rec; rec is left
    // as it is for other panes, or when the type is neither 1 nor 2.
    void GetRect(int16_t what, CRect& rec) const;
    // Gives the control the bounds of pane `what` ((0, 0) and 0 x 0 for an unknown pane).
    void ResizeFrame(int16_t what, IControlBounds& frm) const;
    // Draws the bar's border (of type EdgeType) and its shadow; called from the host's paint.
    void DEdge(int32_t EdgeType);

    const CRect& BarRect() const { return rcBar; }
    float Fraction() const { return Perc; }

Q_SIGNALS:
    // After every placement of the bar, with the fraction of the area (0.5 the middle).
    void SplitRect(float Percent);

private:
    bool IsOverBar(float X, float Y) const;
    void MoveBar(int32_t lX, int32_t lY);
    void DrawDragLine(float pos);
    ISplitterHost& Host() const;

    bool Dragging = false;
    bool OverBar = false;
    float LinePos = 0;
    int32_t sptype = 0;
    float Perc = 0;
    CRect rcBar;
    CRect rcWindow;
    ISplitterHost* frm = nullptr;
};
