#include "CSplitter.h"
#include "GeometryTest.h"
#include "QtSplitterHost.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QWidget>

namespace {

const QColor Background(200, 220, 240);

// A client area that paints its bars the way the main window does.
class Surface : public QWidget {
public:
    QtSplitterHost* host = nullptr;
    CSplitter* splitter = nullptr;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Background);
        if (host && splitter) {
            host->BeginPaint(&painter);
            splitter->DEdge(5);
            host->EndPaint();
        }
    }
};

QWidget* redControl(QWidget* parent, const QRect& geometry)
{
    auto* control = new QWidget(parent);
    control->setGeometry(geometry);
    control->setAutoFillBackground(true);
    QPalette pal = control->palette();
    pal.setColor(QPalette::Window, Qt::red);
    control->setPalette(pal);
    control->show();
    return control;
}

}

void GeometryTest::hostInvertsLinesOverControls()
{
    Surface surface;
    surface.resize(400, 300);
    QtSplitterHost host(&surface, QStringLiteral("frmFileDir"), 15, 15);
    // Added after the host and raised, as a window raises a control over another.
    redControl(&surface, QRect(100, 0, 100, 300))->raise();
    surface.show();
    QVERIFY(QTest::qWaitForWindowExposed(&surface));
    auto row = [&surface](std::initializer_list<int> xs) {
        const QImage shot = surface.grab().toImage();
        QList<QRgb> pixels;
        for (int x : xs)
            pixels << shot.pixel(x, 50);
        return pixels;
    };
    const QRgb red = qRgb(255, 0, 0), cyan = qRgb(0, 255, 255), bg = Background.rgb();

    host.SetDrawWidth(3);
    host.SetDrawMode(14);
    host.Line(150 * 15, 0, 150 * 15, 300 * 15, Qt::black);
    QCOMPARE(host.TrackingLineCount(), 1);
    QCOMPARE(row({ 50, 148, 149, 150, 151, 152 }), QList<QRgb>({ bg, red, cyan, cyan, cyan, red }));
    host.Line(150 * 15, 0, 150 * 15, 300 * 15, Qt::black);
    QCOMPARE(host.TrackingLineCount(), 0);
    QCOMPARE(row({ 149, 150, 151 }), QList<QRgb>({ red, red, red }));

    // A line nothing inverts back (a click on a bar without a move) goes with a refresh.
    host.Line(30, 0, 30, 300 * 15, Qt::black);
    QCOMPARE(row({ 2 }), QList<QRgb>({ ~bg | 0xff000000 }));
    host.WipeTrackingLines();
    QCOMPARE(row({ 2 }), QList<QRgb>({ bg }));
}

void GeometryTest::hostCaptureAndCursorBalance()
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
        const QCursor* cursor = QGuiApplication::overrideCursor();
        QVERIFY(cursor && cursor->shape() == Qt::BitmapCursor);
        QCOMPARE(cursor->hotSpot(), QPoint(15, 15));
        QCOMPARE(cursor->pixmap().size(), QSize(32, 32));
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
    QCOMPARE(QPixmap(QStringLiteral(":/cursorPreview.png")).size(), QSize(32, 32));
}

void GeometryTest::hostPaintsRaisedEdge()
{
    Surface surface;
    surface.resize(400, 300);
    QtSplitterHost host(&surface, QStringLiteral("frmFileDir"), 15, 15);
    CSplitter splitter;
    splitter.Init(host, R(0, 0, 6000, 4500), 0.5f, 1); // bar (2960, 0, 3040, 4500): pixels 197..202
    surface.host = &host;
    surface.splitter = &splitter;
    surface.show();

    const QImage shot = surface.grab().toImage();
    const QPalette pal = surface.palette();
    const struct { int x, y; QColor colour; } expected[] = {
        { 196, 150, Background }, { 199, 150, Background }, { 203, 150, Background },
        { 197, 150, pal.color(QPalette::Midlight) }, { 198, 150, pal.color(QPalette::Light) },
        { 201, 150, QColor(127, 127, 127) }, { 202, 150, Qt::black }, // the shadow over the right edge
        { 199, 0, pal.color(QPalette::Midlight) }, { 199, 1, pal.color(QPalette::Light) },
        { 199, 298, pal.color(QPalette::Dark) }, { 199, 299, pal.color(QPalette::Shadow) },
    };
    for (const auto& e : expected)
        QVERIFY2(shot.pixel(e.x, e.y) == e.colour.rgb(), qPrintable(QStringLiteral("pixel %1,%2").arg(e.x).arg(e.y)));
}
