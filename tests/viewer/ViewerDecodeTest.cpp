// Decoding ahead, drawing a zoomed picture, and the viewer's small parts.
#include "AppError.h"
#include "KeyCodes.h"
#include "PictureBox.h"
#include "PicturePrefetcher.h"
#include "ScrollBar16.h"
#include "ViewerTest.h"

#include <QFile>
#include <QPaintEvent>
#include <QScrollBar>

#include <ctime>
#include <utime.h>

using namespace ViewerImages;

namespace {

// Peak and current resident memory of this process, in bytes.
qint64 statusBytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLongLong() * 1024;
    return -1;
}

// Starts measuring the peak resident memory afresh from the current use.
bool resetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

// Records the area of every paint event a widget receives.
class PaintRecorder : public QObject {
public:
    QVector<QRect> rects;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            rects << static_cast<QPaintEvent*>(event)->rect();
        return false;
    }
};

}

void ViewerTest::steppingUsesPicturesDecodedAhead()
{
    FakeOwner owner;
    owner.namesNeighbours = true;
    owner.files << picture("p0.jpg", Solid(800, 600, Qt::red)) << picture("p1.jpg", Solid(800, 600, Qt::green))
                << picture("p2.jpg", Solid(800, 600, Qt::blue));
    frmFullScreen* viewer = open(owner);
    PicturePrefetcher& ahead = viewer->Prefetcher();
    const QSize screen(1024, 768);
    const auto colour = [viewer] { return viewer->imgFullScr->Pixels().pixelColor(400, 300); };

    // Around the first picture: the next one and (wrapping) the last one.
    QTRY_VERIFY(ahead.IsReady(owner.files[1], screen) && ahead.IsReady(owner.files[2], screen));
    QCOMPARE(ahead.Decodes(), 3);

    viewer->mnuNext_Click();
    QVERIFY(Near(colour(), Qt::green));
    QCOMPARE(ahead.Decodes(), 3);
    // Around the second: the first, just shown, is kept rather than decoded again.
    QVERIFY(ahead.IsReady(owner.files[0], screen));
    QVERIFY(ahead.IsReady(owner.files[2], screen));
    QCOMPARE(ahead.Decodes(), 3);
    QCOMPARE(ahead.HeldBytes(), qint64(2 * 800 * 600 * 4));

    // The third changes on disk after it was decoded ahead: stepping to it reads it again.
    Solid(800, 600, Qt::yellow).save(owner.files[2], "JPEG", 95);
    const utimbuf later{::time(nullptr) + 10, ::time(nullptr) + 10};
    QCOMPARE(::utime(QFile::encodeName(owner.files[2]).constData(), &later), 0);
    viewer->mnuNext_Click();
    QCOMPARE(ahead.Decodes(), 4);
    QVERIFY(Near(colour(), Qt::yellow));

    // Back to the second: kept as the picture shown before.
    viewer->mnuPrevious_Click();
    QVERIFY(Near(colour(), Qt::green));
    QCOMPARE(ahead.Decodes(), 4);

    // A resize reads the shown picture from its file again, and its neighbours for the
    // new size.
    viewer->resize(1000, 700);
    QTRY_VERIFY(ahead.IsReady(owner.files[0], QSize(1000, 700)) && ahead.IsReady(owner.files[2], QSize(1000, 700)));
    QCOMPARE(ahead.Decodes(), 7);
    QVERIFY(m_dialogs.calls().isEmpty());
}

void ViewerTest::prefetchKeepsWithinBudget()
{
    const QString big = picture("budget-big.jpg", Quadrants(1000, 1000));
    const QString small = picture("budget-small.jpg", Quadrants(100, 100));
    const Picture bigPicture = Picture::LoadPicture(big, 96, 96);
    PicturePrefetcher ahead(1024 * 1024);

    // At its natural size (a zoomed view) the big one would cost 4 MB: it is not decoded
    // ahead. The small one is; the next picture is started first.
    ahead.Prefetch(QString(), small, big, QSize());
    QTRY_VERIFY(ahead.IsReady(small, QSize()));
    QVERIFY(!ahead.IsReady(big, QSize()));
    QCOMPARE(ahead.Decodes(), 1);
    QCOMPARE(ahead.HeldBytes(), qint64(100 * 100 * 4));
    // Shown anyway, it is decoded then.
    QCOMPARE(ahead.Take(bigPicture, QSize()).size(), QSize(1000, 1000));
    QCOMPARE(ahead.Decodes(), 2);

    // For a 125 x 125 screen the same picture decodes at 1/8 and fits; the small one is
    // no longer a neighbour and is let go.
    ahead.Prefetch(QString(), QString(), big, QSize(125, 125));
    QTRY_VERIFY(ahead.IsReady(big, QSize(125, 125)));
    QVERIFY(!ahead.IsReady(small, QSize()));
    QCOMPARE(ahead.HeldBytes(), qint64(125 * 125 * 4));
    QCOMPARE(ahead.Take(bigPicture, QSize(125, 125)).size(), QSize(125, 125));
    QCOMPARE(ahead.Decodes(), 3);
    QCOMPARE(ahead.HeldBytes(), qint64(0));

    // The shown picture itself is never decoded ahead.
    ahead.Prefetch(big, big, big, QSize(125, 125));
    QCOMPARE(ahead.HeldBytes(), qint64(0));
    QVERIFY(!ahead.IsReady(big, QSize(125, 125)));
}

void ViewerTest::zoomDrawsOnlyTheVisiblePart()
{
    FakeOwner owner;
    owner.files << picture("huge.jpg", Quadrants(3000, 2000));
    frmFullScreen* viewer = open(owner);
    PictureBox* img = viewer->imgFullScr;
    // Fitted, the pixels are decoded at the smallest scale that still covers the screen.
    QCOMPARE(img->Pixels().size(), QSize(1500, 1000));

    viewer->mnuZoom_Click(3);
    QCOMPARE(img->size(), QSize(9000, 6000));
    QCOMPARE(img->Pixels().size(), QSize(3000, 2000)); // the natural size, nothing larger
    PaintRecorder recorder;
    img->installEventFilter(&recorder);
    QVERIFY(resetPeakMemory());
    const qint64 before = statusBytes("VmRSS:");

    struct View {
        int h, v;
        QPoint probe;
        QColor colour;
    };
    // At H 3988 the quadrants' edge (natural x 1500, 4500 enlarged) lies at window x 512.
    const View views[] = {{0, 0, {500, 300}, Qt::red},        {9000, 0, {500, 300}, Qt::green},
                          {0, 6000, {500, 300}, Qt::blue},    {9000, 6000, {500, 300}, Qt::white},
                          {3988, 0, {508, 300}, Qt::red},     {3988, 0, {516, 300}, Qt::green}};
    for (const View& view : views) {
        viewer->HScrollImg().SetValue(view.h);
        viewer->VScrollImg().SetValue(view.v);
        const QImage shot = viewer->grab().toImage();
        QVERIFY2(Near(shot.pixelColor(view.probe), view.colour),
                 qPrintable(QStringLiteral("%1,%2 at %3: %4").arg(view.h).arg(view.v).arg(view.probe.x())
                                .arg(shot.pixelColor(view.probe).name())));
        // Every paint of the 9000 x 6000 control stayed inside the part the window shows.
        const QRect visible = QRect(-img->pos(), viewer->size()) & img->rect();
        QVERIFY(!recorder.rects.isEmpty());
        for (const QRect& r : std::as_const(recorder.rects))
            QVERIFY2(visible.contains(r), qPrintable(QStringLiteral("painted %1,%2 %3x%4")
                                                         .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
        recorder.rects.clear();
    }
    // An enlarged copy would need 216 MB; drawing needed less than one natural-size copy.
    const qint64 peakGrowth = statusBytes("VmHWM:") - before;
    QVERIFY2(peakGrowth < qint64(3000) * 2000 * 4, qPrintable(QString::number(peakGrowth)));
    img->removeEventFilter(&recorder);
}

void ViewerTest::virtualKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<short>("code");
    const int keypad = int(Qt::KeypadModifier);
    const struct {
        const char* name;
        int key, modifiers;
        short code;
    } rows[] = {
        {"Esc", Qt::Key_Escape, 0, 27},
        {"Up", Qt::Key_Up, 0, 38},
        {"Down", Qt::Key_Down, 0, 40},
        {"Page Down", Qt::Key_PageDown, 0, 34},
        {"Return", Qt::Key_Return, 0, 13},
        {"keypad Enter", Qt::Key_Enter, keypad, 13},
        {"keypad up arrow", Qt::Key_Up, keypad, 38},
        {"keypad 5", Qt::Key_5, keypad, 101},
        {"Z with Shift", Qt::Key_Z, Qt::ShiftModifier, 90},
        {"0", Qt::Key_0, 0, 48},
        {"F12", Qt::Key_F12, 0, 123},
        {"colon is the semicolon key", Qt::Key_Colon, Qt::ShiftModifier, 186},
        {"exclamation is the 1 key", Qt::Key_Exclam, Qt::ShiftModifier, 49},
        {"volume up has none", Qt::Key_VolumeUp, 0, 0},
    };
    for (const auto& row : rows)
        QTest::newRow(row.name) << row.key << row.modifiers << row.code;
}

void ViewerTest::virtualKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(short, code);
    QCOMPARE(VirtualKeyCode(key, Qt::KeyboardModifiers(modifiers)), code);
}

void ViewerTest::scrollBarIsSixteenBit()
{
    QScrollBar raw(Qt::Horizontal);
    ScrollBar16 bar(&raw);
    int changes = 0;
    bar.OnChange([&changes] { ++changes; });

    bar.SetMax(32767);
    QCOMPARE(bar.Max(), 32767);
    const auto overflowNumber = [](const std::function<void()>& step) {
        try {
            step();
        } catch (const AppError& e) {
            return e.Description() == QLatin1String("Overflow") ? e.Number() : -1;
        }
        return 0;
    };
    QCOMPARE(overflowNumber([&] { bar.SetMax(32768); }), 6);
    QCOMPARE(overflowNumber([&] { bar.SetLargeChange(40000); }), 6);
    QCOMPARE(overflowNumber([&] { bar.SetSmallChange(-40000); }), 6);
    QCOMPARE(overflowNumber([&] { bar.SetValue(70000); }), 6);
    QCOMPARE(bar.Max(), 32767); // a refused value changes nothing
    QCOMPARE(changes, 0);

    bar.SetValue(100);
    bar.SetValue(100);
    QCOMPARE(changes, 1); // only a change of Value raises Change
    bar.SetMax(50);
    QCOMPARE(bar.Value(), 50);
    QCOMPARE(changes, 2);
    bar.SetValue(-5);
    QCOMPARE(bar.Value(), 0); // the minimum stays 0
    QCOMPARE(changes, 3);

    // Dragging the thumb changes Value only when it is released.
    raw.setSliderDown(true);
    raw.setSliderPosition(30);
    QCOMPARE(changes, 3);
    raw.setSliderDown(false);
    QCOMPARE(bar.Value(), 30);
    QCOMPARE(changes, 4);
}

QTEST_MAIN(ViewerTest)
