#include "CSplitter.h"
#include "FakeScaleForm.h"
#include "PictureFit.h"
#include "QtSplitterHost.h"
#include "Units.h"

#include <QTest>
#include <QtWidgets>

static CRect R(int32_t l, int32_t t, int32_t r, int32_t b)
{
    CRect rc;
    rc.SetRect(l, t, r, b);
    return rc;
}

char* toString(const CRect& r)
{
    return QTest::toString(QStringLiteral("(%1, %2, %3, %4)").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom));
}

namespace {

// A control with bounds of its own and a picture size in HIMETRIC.
class FakeControl : public IPictureControl {
public:
    double left = 0, top = 0, width = 0, height = 0;
    long pictureWidth = 0, pictureHeight = 0;

    double Left() const override { return left; }
    double Top() const override { return top; }
    double Width() const override { return width; }
    double Height() const override { return height; }
    void SetLeft(double v) override { left = v; }
    void SetTop(double v) override { top = v; }
    void SetWidth(double v) override { width = v; }
    void SetHeight(double v) override { height = v; }
    long PictureWidthHimetric() const override { return pictureWidth; }
    long PictureHeightHimetric() const override { return pictureHeight; }
    QList<double> bounds() const { return {left, top, width, height}; }
};

// A splitter host that keeps what the user would see: whether the window holds the mouse,
// the pointer (0: the default) and the drag lines left on the window, where an inverting
// line drawn twice is gone. Edges are drawn through the Qt host below.
class RecordingHost : public ISplitterHost {
public:
    bool captured = false;
    int pointer = 0, width = 0, mode = 0;
    QList<double> lines;

    bool ClipControls() const override { return false; }
    QString Name() const override { return QStringLiteral("frmFileDir"); }
    void SetCapture() override { captured = true; }
    void ReleaseCapture() override { captured = false; }
    void SetCustomPointer(int id) override { pointer = id; }
    void SetDefaultPointer() override { pointer = 0; }
    void SetDrawStyle(int) override {}
    void SetDrawWidth(int w) override { width = w; }
    void SetDrawMode(int m) override { mode = m; }
    void Line(double x1, double y1, double x2, double, const QColor&) override
    {
        QVERIFY2(width == 3 && mode == DrawMode::MergePenNot, "a drag line that does not invert stays behind");
        const double at = x1 == x2 ? x1 : y1;
        if (!lines.removeOne(at))
            lines << at;
    }
    void DrawEdge(const CRect&, int, int) override {}
    double TwipsPerPixelX() const override { return 15; }
    double TwipsPerPixelY() const override { return 15; }
};

// A splitter over a recording host. Its fraction is compared as a double: a float QCOMPARE
// is fuzzy and would pass a neighbouring value. That a release reports the new division is
// seen in the main window, whose panes follow a dragged bar only through that report.
struct Rig {
    RecordingHost host;
    CSplitter splitter;

    Rig(int type, const CRect& area) { splitter.Init(host, area, 0.5f, type); }
    // Hover at `from`, press, move to `to` and release there.
    void drag(float fromX, float fromY, float toX, float toY)
    {
        splitter.MouseMove(fromX, fromY);
        splitter.MouseDown();
        splitter.MouseMove(toX, toY);
        splitter.MouseUp(toX, toY);
    }
};

const CRect Design = R(0, 0, 11880, 8310);

const QColor Background(200, 220, 240);

// Table rows: `pic` fitted into `target` by FitRect gives `expected`.
struct Fit { CRect target, pic, expected; };

}

Q_DECLARE_METATYPE(Fit)

class GeometryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every rectangle the program centres has just been fitted, so every row goes through
    // FitRect; a tie rounds to even. A form's own rectangle (its scale always starts at 0)
    // is seen in the viewer's fitted layout and in the main window's panes.
    void fit_data()
    {
        QTest::addColumn<Fit>("row");
        const CRect ten = R(7, 7, 17, 17);
        QTest::newRow("centre tie 45.5 to 46") << Fit{R(0, 0, 101, 100), ten, R(46, 45, 56, 55)};
        QTest::newRow("centre tie 44.5 to 44") << Fit{R(0, 0, 99, 100), ten, R(44, 45, 54, 55)};
        QTest::newRow("centre tie after origin") << Fit{R(1, 1, 8, 8), R(0, 0, 4, 4), R(2, 2, 6, 6)};
        // Floor and nearest differ: too wide only floors the height, too wide and too tall rounds it.
        QTest::newRow("4x3 into 2x10: floor 1.5") << Fit{R(0, 0, 2, 10), R(0, 0, 4, 3), R(0, 4, 2, 5)};
        QTest::newRow("4x3 into 2x2: nearest 1.5") << Fit{R(0, 0, 2, 2), R(0, 0, 4, 3), R(0, 0, 2, 2)};
        QTest::newRow("4x3 into 2x1: two passes") << Fit{R(0, 0, 2, 1), R(0, 0, 4, 3), R(0, 0, 1, 1)};
        // After the first pass 10 x 15 (ratio 1.5); the natural ratio 1.51 gives width 1, not 2.
        QTest::newRow("ratio from natural size") << Fit{R(0, 0, 10, 3), R(0, 0, 100, 151), R(4, 0, 5, 3)};
        QTest::newRow("smaller is never enlarged") << Fit{R(10, 20, 110, 120), R(0, 0, 40, 30), R(40, 55, 80, 85)};
        QTest::newRow("empty picture untouched") << Fit{R(0, 0, 100, 100), R(3, 4, 3, 10), R(3, 4, 3, 10)};
        QTest::newRow("zero target") << Fit{R(10, 10, 10, 10), R(0, 0, 30, 20), R(10, 10, 10, 10)};
    }
    void fit()
    {
        QFETCH(Fit, row);
        FitRect(row.target, row.pic);
        QCOMPARE(row.pic, row.expected);
    }

    // 100 x 50 pixels at 96 DPI are 2646 x 1323 HIMETRIC. On a screen twice as dense
    // vertically the height converts with the vertical scale: 100 x 100 pixels. The twips
    // of the main window's preview are in its refit after a resize and the acceptance run.
    void fitPicture()
    {
        FakeScaleForm frm;
        frm.dpiY = 192;
        FakeControl img;
        img.pictureWidth = 2646;
        img.pictureHeight = 1323;
        FitPicture(R(0, 0, 3000, 3000), img, frm, Units::Pixels);
        QCOMPARE(img.bounds(), QList<double>({ 1450, 1450, 100, 100 }));
    }

    // The main window's two bars as it starts: each bar, then its two panes. Every area of
    // the program starts at 0, and the fraction the placement reports is read by nobody.
    void placement()
    {
        const struct { int type; CRect area; QList<CRect> barAndPanes; } rows[] = {
            { 1, Design, { R(5900, 0, 5980, 8310), R(0, 0, 5900, 8310), R(5980, 0, 11880, 8310) } },
            { 2, R(0, 0, 5900, 8310), { R(0, 4115, 5900, 4195), R(0, 0, 5900, 4115), R(0, 4195, 5900, 8310) } },
        };
        for (const auto& row : rows) {
            Rig rig(row.type, row.area);
            QList<CRect> actual{ rig.splitter.BarRect(), CRect(), CRect() };
            for (int16_t pane = 1; pane <= 2; ++pane)
                rig.splitter.GetRect(pane, actual[pane]);
            QCOMPARE(actual, row.barAndPanes);
        }
    }

    // The bar (5900, 0, 5980, 8310) is under the pointer only strictly inside its edges.
    void hitTestIsStrict()
    {
        const struct { float x, y; bool over; } points[] = {
            { 5900, 100, false }, { 5980, 100, false }, { 5901, 0, false }, { 5901, 8310, false },
            { 5900.5f, 1, true }, { 5979.5f, 8309.5f, true },
        };
        for (const auto& p : points) {
            Rig rig(1, Design);
            rig.splitter.MouseMove(p.x, p.y);
            QVERIFY2(rig.host.captured == p.over && rig.host.pointer == (p.over ? SplitterCursor::Vertical : 0),
                     qPrintable(QStringLiteral("%1, %2").arg(p.x).arg(p.y)));
        }
    }

    // While dragging the window holds the mouse and the pointer, whether over the bar or
    // not, and shows one line where the bar would go; a release leaves no line behind.
    void dragAndPointerStates()
    {
        Rig rig(1, Design);
        const auto holds = [&rig] { return rig.host.captured && rig.host.pointer == SplitterCursor::Vertical; };
        rig.splitter.MouseMove(5940, 100);
        rig.splitter.MouseDown();
        rig.splitter.MouseMove(4000.6f, 100);
        QVERIFY(holds());
        // The line moves with the pointer, at whole units: the one at 4000 is gone.
        rig.splitter.MouseMove(5950.6f, 100);
        QCOMPARE(rig.host.lines, QList<double>{ 5950 });
        // Released away from the bar: pointer and mouse given back.
        rig.splitter.MouseMove(3000, 7000);
        rig.splitter.MouseUp(3000, 7000);
        QVERIFY(!rig.host.captured && rig.host.pointer == 0 && rig.host.lines.isEmpty());
        QCOMPARE(rig.splitter.BarRect(), R(3000, 0, 3080, 8310));
        // The 32-bit fraction times the width falls just below 2960.
        rig.splitter.Resize(Design);
        QCOMPARE(rig.splitter.BarRect(), R(2959, 0, 3039, 8310));

        // Released over the bar's old place: mouse and pointer stay until the pointer leaves.
        rig.drag(2990, 100, 3020, 100);
        QVERIFY(holds() && rig.host.lines.isEmpty());
        QCOMPARE(rig.splitter.BarRect(), R(3020, 0, 3100, 8310));
        rig.splitter.MouseMove(100, 100);
        QVERIFY(!rig.host.captured && rig.host.pointer == 0);
    }

    // A release beyond the area keeps the bar inside it. One clamp serves both axes: the low
    // end on one, the high end on the other.
    void releaseIsClamped()
    {
        const struct { int type; float release, perc; CRect bar; } rows[] = {
            { 1, -500, 0, R(0, 0, 80, 8310) }, { 2, 9000, float(8230.0 / 8310), R(0, 8230, 11880, 8310) }
        };
        for (const auto& row : rows) {
            Rig rig(row.type, Design);
            const QPointF from = row.type == 1 ? QPointF(5940, 100) : QPointF(100, 4155);
            rig.splitter.MouseMove(from.x(), from.y());
            QCOMPARE(rig.host.pointer, row.type == 1 ? SplitterCursor::Vertical : SplitterCursor::Horizontal);
            rig.drag(from.x(), from.y(), row.type == 1 ? row.release : 100, row.type == 1 ? 100 : row.release);
            QCOMPARE(double(rig.splitter.Fraction()), double(row.perc));
            QCOMPARE(rig.splitter.BarRect(), row.bar);

            // An area that lost its extent during the drag has no fraction to give: the old one stays.
            rig.splitter.MouseMove(row.bar.Left + 1, row.bar.Top + 1);
            rig.splitter.MouseDown();
            rig.splitter.Resize(R(0, 0, 0, 0));
            const CRect collapsed = rig.splitter.BarRect();
            rig.splitter.MouseUp(10, 10);
            QCOMPARE(double(rig.splitter.Fraction()), double(row.perc));
            QCOMPARE(rig.splitter.BarRect(), collapsed);
        }
    }

    void hostCaptureAndCursorBalance()
    {
        QWidget surface, other;
        surface.show();
        other.show();
        {
            QtSplitterHost host(&surface, QStringLiteral("frmFileDir"), 15, 15);
            host.SetCapture();
            QCOMPARE(QWidget::mouseGrabber(), &surface);
            for (int id : { 103, 103, 102 })
                host.SetCustomPointer(id);
            QCOMPARE(QGuiApplication::overrideCursor()->hotSpot(), QPoint(15, 15));
            host.SetDefaultPointer();
            QVERIFY(!QGuiApplication::overrideCursor());

            // Someone else's override and grab are not this host's to end.
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            host.SetDefaultPointer();
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
            QGuiApplication::restoreOverrideCursor();
            other.grabMouse();
            host.ReleaseCapture();
            QCOMPARE(QWidget::mouseGrabber(), &other);

            // A host that goes away holding both gives both back.
            host.SetCapture();
            host.SetCustomPointer(103);
        }
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
    }

    void hostDrawing()
    {
        QWidget surface;
        surface.resize(400, 300);
        surface.setPalette(QPalette(Background));
        surface.setAutoFillBackground(true);
        QtSplitterHost host(&surface, QStringLiteral("frmFileDir"), 15, 15);
        // A red control added after the host and raised, as a window raises a control over another.
        auto* control = new QWidget(&surface);
        control->setGeometry(100, 0, 50, 300);
        control->setAutoFillBackground(true);
        control->setPalette(QPalette(Qt::red));
        control->raise();
        surface.show();
        QVERIFY(QTest::qWaitForWindowExposed(&surface));

        // An inverting line crosses the control; the same line again leaves no trace.
        const QRgb red = qRgb(255, 0, 0), cyan = qRgb(0, 255, 255);
        host.SetDrawWidth(3);
        host.SetDrawMode(DrawMode::MergePenNot);
        for (const QRgb centre : { cyan, red }) {
            host.Line(125 * 15, 0, 125 * 15, 300 * 15, Qt::black);
            const QImage shot = surface.grab().toImage();
            QCOMPARE(QList<QRgb>({ shot.pixel(123, 50), shot.pixel(124, 50), shot.pixel(126, 50), shot.pixel(127, 50) }),
                     QList<QRgb>({ red, centre, centre, red }));
        }

        // A line nothing inverts back (a click on a bar without a move) goes with a refresh.
        host.Line(30, 0, 30, 300 * 15, Qt::black);
        QCOMPARE(surface.grab().toImage().pixel(2, 50), ~Background.rgb() | 0xff000000);
        host.WipeTrackingLines();
        QCOMPARE(surface.grab().toImage().pixel(2, 50), Background.rgb());

        // The bar's raised edge and its shadow, as the window's paint event draws them.
        CSplitter splitter;
        splitter.Init(host, R(0, 0, 6000, 4500), 0.5f, 1); // bar (2960, 0, 3040, 4500): pixels 197..202
        QImage shot(400, 300, QImage::Format_RGB32);
        shot.fill(Background);
        QPainter painter(&shot);
        host.BeginPaint(&painter);
        splitter.DEdge(Edge::Raised);
        host.EndPaint();
        painter.end();
        // Raised: lighter than the face on the left, darker on the right and at the bottom.
        const auto grey = [&shot](int x, int y) { return qGray(shot.pixel(x, y)); };
        QCOMPARE(shot.pixel(196, 150), Background.rgb()); // nothing beside the bar
        QCOMPARE(shot.pixel(199, 150), Background.rgb()); // nor on its face
        QVERIFY(grey(197, 150) > grey(199, 150) && grey(198, 150) > grey(199, 150));
        QVERIFY(grey(199, 150) > grey(201, 150) && grey(201, 150) > grey(202, 150));
        QVERIFY(grey(199, 299) < grey(199, 150));
    }
};

QTEST_MAIN(GeometryTest)
#include "GeometryTest.moc"
