#pragma once
#include "ISplitterHost.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QVector>

class QCursor;
class QPainter;
class QWidget;

// The splitter bars' window services over a Qt widget: the "surface" is the window's
// client area widget, whose children are the controls the bars lay out. Create one per
// window with that widget, the window's name and its twips per pixel, and hand it to each
// CSplitter's Init. Inverting drag lines go to a mouse-transparent overlay kept above the
// controls, so they cross them as they must; the bars' borders are painted on the surface
// itself, inside its paint event: the window's paintEvent opens a QPainter on the surface,
// calls BeginPaint(&painter), runs DEdge(Edge::Raised) of each splitter, then EndPaint().
class QtSplitterHost : public QObject, public ISplitterHost {
    Q_OBJECT
public:
    QtSplitterHost(QWidget* surface, const QString& name, double twipsPerPixelX, double twipsPerPixelY);
    ~QtSplitterHost() override;

    bool ClipControls() const override { return m_clipControls; }
    void SetClipControls(bool clip) { m_clipControls = clip; }
    QString Name() const override { return m_name; }

    void SetCapture() override;
    void ReleaseCapture() override;
    void SetCustomPointer(int cursorId) override;
    void SetDefaultPointer() override;

    void SetDrawStyle(int style) override { m_drawStyle = style; }
    void SetDrawWidth(int pixels) override { m_drawWidth = pixels; }
    void SetDrawMode(int mode) override { m_drawMode = mode; }
    void Line(double x1, double y1, double x2, double y2, const QColor& colour) override;
    void DrawEdge(const CRect& rcPixels, int edgeType, int flags) override;

    double TwipsPerPixelX() const override { return m_twipsPerPixelX; }
    double TwipsPerPixelY() const override { return m_twipsPerPixelY; }

    // Drawing other than inverting goes to this painter of the surface's paint event.
    // Outside BeginPaint/EndPaint such drawing only schedules a repaint of the surface.
    void BeginPaint(QPainter* painter);
    void EndPaint();

    // A full repaint of the window wipes inverted pixels; call this when the window
    // refreshes itself so no drag line is left behind (a click on a bar without a move
    // inverts a line at 0 and never inverts it back).
    void WipeTrackingLines();
    // How many inverted lines are showing now.
    int TrackingLineCount() const { return m_inverted.size(); }
    // Whether this host has the application-wide override cursor set.
    bool HoldsOverrideCursor() const { return m_overriding; }

    // The cursor of a splitter cursor resource id, hot spot (15, 15); falls back to Qt's
    // own split cursors when the program's resources are not linked in.
    static QCursor LoadCursorResource(int cursorId);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct InvertedLine {
        QPoint from;
        QPoint to;
        int width;
        bool operator==(const InvertedLine& o) const
        {
            return from == o.from && to == o.to && width == o.width;
        }
    };

    QPoint ToPixels(double x, double y) const;
    void ToggleInverted(const InvertedLine& line);
    void UpdateOverlay(const InvertedLine& line);
    void PaintOverlay();
    void KeepOverlayOnTop();

    QPointer<QWidget> m_surface;
    QPointer<QWidget> m_overlay;
    QString m_name;
    double m_twipsPerPixelX;
    double m_twipsPerPixelY;
    bool m_clipControls = false;
    bool m_overriding = false;
    int m_drawStyle = 0;
    int m_drawWidth = 1;
    int m_drawMode = DrawMode::CopyPen;
    QPainter* m_painter = nullptr;
    QVector<InvertedLine> m_inverted;
};
