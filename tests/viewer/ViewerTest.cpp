// Tests of the full-screen viewer: its two display modes and scroll bars on a 1024 x 768
// client area, failures, keyboard and mouse, decoding ahead, and how a zoomed picture is
// drawn. Every picture is written by the tests themselves.
#include "ViewerTest.h"
#include "IDialogs.h"
#include "ImageControl.h"
#include "PictureBox.h"
#include "ScrollBar16.h"

#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

using namespace ViewerImages;

QImage ViewerImages::Solid(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage ViewerImages::Quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    const int w = width / 2, h = height / 2;
    painter.fillRect(0, 0, w, h, Qt::red);
    painter.fillRect(w, 0, width - w, h, Qt::green);
    painter.fillRect(0, h, w, height - h, Qt::blue);
    painter.fillRect(w, h, width - w, height - h, Qt::white);
    return image;
}

bool ViewerImages::Near(QColor actual, QColor expected, int tolerance)
{
    return qAbs(actual.red() - expected.red()) <= tolerance && qAbs(actual.green() - expected.green()) <= tolerance
           && qAbs(actual.blue() - expected.blue()) <= tolerance;
}

void FakeOwner::attach(frmFullScreen& viewer)
{
    QObject::connect(&viewer, &frmFullScreen::QueryFileName, &viewer, [this](QString& sFileName) {
        ++queries;
        if (answers)
            sFileName = current();
    });
    QObject::connect(&viewer, &frmFullScreen::KeyDown, &viewer, [this](short& KeyCode, short&) {
        keys << KeyCode;
        const int n = int(files.size());
        if (KeyCode == 40)
            index = (index + 1) % n;
        else if (KeyCode == 38)
            index = (index + n - 1) % n;
    });
    QObject::connect(&viewer, &frmFullScreen::QueryNeighbours, &viewer, [this](QString& sPrevious, QString& sNext) {
        if (!namesNeighbours)
            return;
        const int n = int(files.size());
        sPrevious = files.value((index + n - 1) % n);
        sNext = files.value((index + 1) % n);
    });
}

void ViewerTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void ViewerTest::cleanup()
{
    for (const QPointer<frmFullScreen>& viewer : std::as_const(m_viewers))
        delete viewer.data();
    m_viewers.clear();
    m_dialogs.clear();
}

QString ViewerTest::picture(const QString& name, const QImage& image, const char* format)
{
    const QString path = m_dir.filePath(name);
    if (!image.save(path, format, 95))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

frmFullScreen* ViewerTest::open(FakeOwner& owner)
{
    auto* viewer = new frmFullScreen(m_dialogs, [&owner] { return owner.tooltip; });
    m_viewers << viewer;
    owner.attach(*viewer);
    // A window of exactly this size stands in for the full screen.
    viewer->resize(1024, 768);
    viewer->show();
    return viewer;
}

void ViewerTest::zoomLayout_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<short>("zoom");
    QTest::addColumn<QPointF>("at");        // imgFullScr Left, Top (fractions stay)
    QTest::addColumn<QPoint>("widgetAt");   // where the widget is placed, nearest pixel
    QTest::addColumn<QVector<int>>("hBar"); // Max, SmallChange, LargeChange; empty: hidden
    QTest::addColumn<QVector<int>>("vBar");

    // HIMETRIC whole numbers make 640 come back as 639.987 and 639 as 639.005.
    QTest::newRow("640x480 1x") << QSize(640, 480) << short(1) << QPointF(192.0063, 144) << QPoint(192, 144)
                                << QVector<int>() << QVector<int>();
    QTest::newRow("640x480 2x") << QSize(640, 480) << short(2) << QPointF(0, 0) << QPoint(0, 0)
                                << QVector<int>{1280, 68, 1024} << QVector<int>{960, 64, 768};
    QTest::newRow("639 wide 1x") << QSize(639, 480) << short(1) << QPointF(192.4976, 144) << QPoint(192, 144)
                                 << QVector<int>() << QVector<int>();
    QTest::newRow("1500x750 1x") << QSize(1500, 750) << short(1) << QPointF(0, 8.9953) << QPoint(0, 9)
                                 << QVector<int>{1500, 68, 1024} << QVector<int>();
    QTest::newRow("300x1000 3x") << QSize(300, 1000) << short(3) << QPointF(61.9716, 0) << QPoint(62, 0)
                                 << QVector<int>() << QVector<int>{3000, 64, 768};
}

void ViewerTest::zoomLayout()
{
    QFETCH(QSize, size);
    QFETCH(short, zoom);
    QFETCH(QPointF, at);
    QFETCH(QPoint, widgetAt);
    QFETCH(QVector<int>, hBar);
    QFETCH(QVector<int>, vBar);

    FakeOwner owner;
    owner.files << picture("layout.bmp", Quadrants(size.width(), size.height()), "BMP");
    frmFullScreen* viewer = open(owner);
    QCOMPARE(viewer->size(), QSize(1024, 768));
    viewer->mnuZoom_Click(zoom);

    QCOMPARE(viewer->Zoom(), int32_t(zoom));
    ImageControl& img = viewer->ImgBounds();
    QVERIFY2(qAbs(img.Left() - at.x()) < 0.001 && qAbs(img.Top() - at.y()) < 0.001,
             qPrintable(QStringLiteral("at %1, %2").arg(img.Left(), 0, 'f', 4).arg(img.Top(), 0, 'f', 4)));
    QCOMPARE(viewer->imgFullScr->pos(), widgetAt);
    QVERIFY(qAbs(img.Width() - size.width() * zoom) < 0.1 && qAbs(img.Height() - size.height() * zoom) < 0.1);

    const auto checkBar = [](ScrollBar16& bar, const QVector<int>& expected) {
        QCOMPARE(bar.Visible(), !expected.isEmpty());
        if (expected.isEmpty())
            return;
        QCOMPARE(bar.Max(), expected[0]);
        QCOMPARE(bar.Value(), 0);
        QCOMPARE(bar.SmallChange(), expected[1]);
        QCOMPARE(bar.LargeChange(), expected[2]);
    };
    checkBar(viewer->HScrollImg(), hBar);
    checkBar(viewer->VScrollImg(), vBar);
    // The bars lie along the bottom and right edges, the horizontal one short of the corner.
    QCOMPARE(viewer->HScrollImg().widget()->geometry(), QRect(0, 768 - 17, 1024 - 17, 17));
    QCOMPARE(viewer->VScrollImg().widget()->geometry(), QRect(1024 - 17, 0, 17, 768));
    QCOMPARE(viewer->imgFullScr->ToolTipText(), owner.tooltip);
}

void ViewerTest::scrolling_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("offset");
    QTest::newRow("H 200") << true << 200 << -200.0;
    QTest::newRow("H 256 = Max - LargeChange") << true << 256 << -256.0;
    QTest::newRow("H 257 stays at the right edge") << true << 257 << -256.0;
    QTest::newRow("H Max") << true << 1280 << -256.0;
    QTest::newRow("H back to 0") << true << 0 << 0.0;
    QTest::newRow("V 100") << false << 100 << -100.0;
    QTest::newRow("V Max") << false << 960 << -192.0;
}

void ViewerTest::scrolling()
{
    QFETCH(bool, horizontal);
    QFETCH(int, value);
    QFETCH(double, offset);

    FakeOwner owner;
    owner.files << picture("scroll.jpg", Quadrants(640, 480));
    frmFullScreen* viewer = open(owner);
    viewer->mnuZoom_Click(2);
    ScrollBar16& bar = horizontal ? viewer->HScrollImg() : viewer->VScrollImg();
    bar.SetValue(50); // from elsewhere, so that every row is a change
    bar.SetValue(value);
    QCOMPARE(horizontal ? viewer->ImgBounds().Left() : viewer->ImgBounds().Top(), offset);
    const QPoint pos = viewer->imgFullScr->pos();
    QCOMPARE(horizontal ? pos.x() : pos.y(), int(offset));

    // The user's own scrolling reaches the picture the same way.
    bar.widget()->triggerAction(QAbstractSlider::SliderToMinimum);
    QCOMPARE(horizontal ? viewer->ImgBounds().Left() : viewer->ImgBounds().Top(), 0.0);
}

void ViewerTest::fitAfterZoomAndCheckMarks()
{
    FakeOwner owner;
    owner.files << picture("small.jpg", Quadrants(640, 480)) << picture("large.jpg", Quadrants(2048, 1024));
    frmFullScreen* viewer = open(owner);
    const auto marks = [viewer] {
        QString s;
        for (QAction* a : {viewer->mnuFitToScreen, viewer->mnuZoom(1), viewer->mnuZoom(2), viewer->mnuZoom(3)})
            s += a->isChecked() ? QLatin1Char('x') : QLatin1Char('.');
        return s;
    };
    // Fit mode at first, yet nothing is marked before the first choice.
    QCOMPARE(viewer->Zoom(), 0);
    QCOMPARE(marks(), QStringLiteral("...."));
    // Fitted, a small picture keeps its natural size: it is not enlarged.
    QCOMPARE(viewer->imgFullScr->geometry(), QRect(192, 144, 640, 480));

    viewer->mnuZoom_Click(2);
    QCOMPARE(marks(), QStringLiteral("..x."));
    QVERIFY(viewer->HScrollImg().Visible() && viewer->VScrollImg().Visible());

    const int queries = owner.queries;
    viewer->mnuFitToScreen_Click();
    QCOMPARE(marks(), QStringLiteral("x..."));
    QCOMPARE(owner.queries, queries); // the picture already loaded is laid out again
    QVERIFY(!viewer->HScrollImg().Visible() && !viewer->VScrollImg().Visible());
    QCOMPARE(viewer->imgFullScr->geometry(), QRect(192, 144, 640, 480));
    QVERIFY(viewer->imgFullScr->isVisible());

    // A picture larger than the screen is shrunk, keeping its proportions, and centred.
    viewer->mnuNext_Click();
    QCOMPARE(viewer->imgFullScr->geometry(), QRect(0, 128, 1024, 512));
    QCOMPARE(marks(), QStringLiteral("x..."));
}

void ViewerTest::zoomKeptAcrossSteps()
{
    FakeOwner owner;
    owner.files << picture("z1.jpg", Solid(640, 480, Qt::red)) << picture("z2.jpg", Solid(700, 500, Qt::blue));
    frmFullScreen* viewer = open(owner);
    viewer->mnuZoom_Click(3);
    viewer->HScrollImg().SetValue(300);
    viewer->VScrollImg().SetValue(200);
    QCOMPARE(viewer->imgFullScr->pos(), QPoint(-300, -200));

    viewer->mnuNext_Click();
    QCOMPARE(owner.keys, QVector<short>{40});
    QCOMPARE(viewer->imgFullScr->GetPicture().Path(), owner.files[1]);
    QCOMPARE(viewer->Zoom(), 3);
    QVERIFY(viewer->mnuZoom(3)->isChecked());
    QCOMPARE(viewer->HScrollImg().Max(), 2100);
    QCOMPARE(viewer->HScrollImg().Value(), 0);
    QCOMPARE(viewer->VScrollImg().Value(), 0);
    QCOMPARE(viewer->imgFullScr->pos(), QPoint(0, 0));
    QCOMPARE(viewer->imgFullScr->Pixels().size(), QSize(700, 500)); // natural size, not enlarged

    viewer->mnuPrevious_Click();
    QCOMPARE(owner.keys, (QVector<short>{40, 38}));
    QCOMPARE(viewer->imgFullScr->GetPicture().Path(), owner.files[0]);
    QVERIFY(m_dialogs.calls().isEmpty());
}

void ViewerTest::designAndMenu()
{
    FakeOwner owner;
    owner.files << picture("design.jpg", Solid(64, 48, Qt::gray));
    frmFullScreen* viewer = open(owner);

    QLabel* hint = viewer->Label1;
    QCOMPARE(hint->text(), QStringLiteral("Click the RIGHT mouse button to view the Next Image   -  "
                                          "hit the ESC key to exit Full Screen View"));
    QCOMPARE(hint->pos(), QPoint(24, 24));
    QCOMPARE(hint->palette().color(QPalette::WindowText), QColor(255, 255, 128));
    // One line, never clipped: wider than its text and at least as tall as a line.
    QVERIFY(hint->width() >= hint->fontMetrics().horizontalAdvance(hint->text()));
    QVERIFY(hint->height() >= hint->fontMetrics().height());
    QCOMPARE(viewer->palette().color(QPalette::Window), QColor(Qt::black));

    QStringList captions;
    for (QAction* a : viewer->mnuPopup->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(captions, (QStringList{"&Next Image", "Previous Image", "-", "Fit to Screen", "Zoom", "-", "Close"}));
    captions.clear();
    for (QAction* a : viewer->mnuZoomSel->actions())
        captions << a->text();
    QCOMPARE(captions, (QStringList{"1x", "2x", "3x"}));

    // The menu's own items run their commands.
    viewer->mnuZoom(2)->trigger();
    QCOMPARE(viewer->Zoom(), 2);
    viewer->mnuNext->trigger();
    QCOMPARE(owner.keys, QVector<short>{40});
    viewer->mnuClose->trigger();
    QVERIFY(viewer->isHidden());
    QVERIFY(!viewer->IsUnloading()); // hidden, not destroyed
}
