#pragma once
#include "CRect.h"

#include <QColor>
#include <QString>

// The window services a splitter bar needs of the window it lives on: it owns no window
// of its own, so it draws, takes the mouse and sets the pointer through its host.
// QtSplitterHost is the implementation over a Qt widget; tests use a recording fake.
class ISplitterHost {
public:
    virtual ~ISplitterHost() = default;

    // Whether painting on the window leaves its child controls out. Drag lines must
    // cross the controls, so a splitter refuses a host that clips them.
    virtual bool ClipControls() const = 0;
    // The window's name, for error messages.
    virtual QString Name() const = 0;

    // Routes every mouse event of the application to this window until released.
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;

    // The application-wide mouse pointer: a custom cursor from the program's cursor
    // resources (SplitterCursor ids), or back to the default.
    virtual void SetCustomPointer(int cursorId) = 0;
    virtual void SetDefaultPointer() = 0;

    // Drawing state used by Line: pen style (DrawStyle codes below), width in pixels, raster operation
    // (DrawMode codes below).
    virtual void SetDrawStyle(int style) = 0;
    virtual void SetDrawWidth(int pixels) = 0;
    virtual void SetDrawMode(int mode) = 0;
    // A line between two points in the window's scale units, with the current state.
    virtual void Line(double x1, double y1, double x2, double y2, const QColor& colour) = 0;

    // A 3-D border around a rectangle given in the window's pixels (Right and Bottom
    // exclusive), with Edge and EdgeSide codes below.
    virtual void DrawEdge(const CRect& rcPixels, int edgeType, int flags) = 0;

    // Scale units (twips) per screen pixel on each axis.
    virtual double TwipsPerPixelX() const = 0;
    virtual double TwipsPerPixelY() const = 0;
};

// Pen styles a host understands for Line.
namespace DrawStyle {
constexpr int Solid = 0;
constexpr int Dash = 1;
constexpr int Dot = 2;
constexpr int DashDot = 3;
constexpr int DashDotDot = 4;
constexpr int Transparent = 5;
constexpr int InsideSolid = 6;
}

// Raster operations a host understands for Line.
namespace DrawMode {
constexpr int Invert = 6;      // NOT destination
constexpr int Nop = 11;        // draws nothing
constexpr int CopyPen = 13;    // the pen's colour
constexpr int MergePenNot = 14; // pen OR NOT destination: inverts with a black pen
}

// Border codes for DrawEdge: an outer and an inner ring, each raised or sunken.
namespace Edge {
constexpr int RaisedOuter = 1;
constexpr int SunkenOuter = 2;
constexpr int RaisedInner = 4;
constexpr int SunkenInner = 8;
constexpr int Raised = RaisedOuter | RaisedInner;
constexpr int Sunken = SunkenOuter | SunkenInner;
}

// Which sides DrawEdge draws, and whether it fills the inside.
namespace EdgeSide {
constexpr int Left = 1;
constexpr int Top = 2;
constexpr int Right = 4;
constexpr int Bottom = 8;
constexpr int Rect = Left | Top | Right | Bottom;
constexpr int Middle = 0x800;
}

// Cursor resource ids of the splitter bars.
namespace SplitterCursor {
constexpr int Horizontal = 102; // horizontal bar: double line, arrows up and down
constexpr int Vertical = 103;   // vertical bar: double line, arrows left and right
}
