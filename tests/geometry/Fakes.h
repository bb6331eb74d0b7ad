#pragma once
#include "ISplitterHost.h"
#include "PictureFit.h"
#include "Units.h"

#include <QStringList>

// A control that records every bounds assignment, in order.
class FakeControl : public IPictureControl {
public:
    double left = 0, top = 0, width = 0, height = 0;
    long pictureWidth = 0, pictureHeight = 0;
    QStringList writes;

    double Left() const override { return left; }
    double Top() const override { return top; }
    double Width() const override { return width; }
    double Height() const override { return height; }
    void SetLeft(double v) override { left = v; writes << QStringLiteral("Left=%1").arg(v); }
    void SetTop(double v) override { top = v; writes << QStringLiteral("Top=%1").arg(v); }
    void SetWidth(double v) override { width = v; writes << QStringLiteral("Width=%1").arg(v); }
    void SetHeight(double v) override { height = v; writes << QStringLiteral("Height=%1").arg(v); }
    long PictureWidthHimetric() const override { return pictureWidth; }
    long PictureHeightHimetric() const override { return pictureHeight; }
};

// A form with a fixed client area and its own DPI on each axis.
class FakeForm : public IScaleForm {
public:
    double left = 0, top = 0, width = 0, height = 0;
    double dpiX = 96, dpiY = 96;

    double ScaleLeft() const override { return left; }
    double ScaleTop() const override { return top; }
    double ScaleWidth() const override { return width; }
    double ScaleHeight() const override { return height; }
    double ScaleX(double v, int from, int to) const override { return Units::Convert(v, from, to, dpiX); }
    double ScaleY(double v, int from, int to) const override { return Units::Convert(v, from, to, dpiY); }
};

// A splitter host that writes every service call into `calls`.
class RecordingHost : public ISplitterHost {
public:
    bool clip = false;
    QStringList calls;

    bool ClipControls() const override { return clip; }
    QString Name() const override { return QStringLiteral("frmFileDir"); }
    void SetCapture() override { calls << QStringLiteral("SetCapture"); }
    void ReleaseCapture() override { calls << QStringLiteral("ReleaseCapture"); }
    void SetCustomPointer(int id) override { calls << QStringLiteral("Pointer %1").arg(id); }
    void SetDefaultPointer() override { calls << QStringLiteral("Pointer default"); }
    void SetDrawStyle(int s) override { calls << QStringLiteral("DrawStyle %1").arg(s); }
    void SetDrawWidth(int w) override { calls << QStringLiteral("DrawWidth %1").arg(w); }
    void SetDrawMode(int m) override { calls << QStringLiteral("DrawMode %1").arg(m); }
    void Line(double x1, double y1, double x2, double y2, const QColor& c) override
    {
        calls << QStringLiteral("Line %1,%2-%3,%4 %5").arg(x1).arg(y1).arg(x2).arg(y2).arg(c.name());
    }
    void DrawEdge(const CRect& r, int type, int flags) override
    {
        calls << QStringLiteral("Edge %1,%2,%3,%4 %5 %6").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom).arg(type).arg(flags);
    }
    double TwipsPerPixelX() const override { return 15; }
    double TwipsPerPixelY() const override { return 15; }

    QStringList take() { QStringList c = calls; calls.clear(); return c; }
};
