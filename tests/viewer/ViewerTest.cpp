// Tests of the full-screen viewer on a 1024 x 768 client area: its two display modes and
// scroll bars, the popup menu, failures, keyboard (with the virtual-key codes the owner
// hears), decoding ahead, how a zoomed picture is drawn, and the 16-bit scroll bar. The
// mouse and stepping through a real folder are driven from the main window and by the
// acceptance run. Every picture is written by the tests themselves.
#include "AppError.h"
#include "KeyCodes.h"
#include "PictureBox.h"
#include "PicturePrefetcher.h"
#include "Pixels.h"
#include "ViewerWait.h"
#include "ScrollBar16.h"
#include "ShownDialogs.h"
#include "TestFiles.h"
#include "frmFullScreen.h"

#include <QtTest>
#include <QtWidgets>

#include <atomic>
#include <future>
#include <thread>

namespace {

// The main window as the viewer sees it: a list of files whose selection steps with
// wrap-around on 40 and 38, answering the viewer's questions and recording its events.
struct FakeOwner {
    QStringList files;
    int index = 0;
    bool namesNeighbours = false;
    QVector<short> keys; // every KeyDown code, in order
    short shift = -1;    // Shift of the last KeyDown
    int queries = 0;     // QueryFileName count
};

const QString Tooltip = QStringLiteral("a comment");

// Table rows. Bars: Max, SmallChange, LargeChange, Value; empty when hidden.
struct Layout { QSize size; short zoom; QPoint at; QVector<int> hBar, vBar; };
// keys: the virtual-key codes the owner hears through KeyDown; shift: the last one's Shift
// (-1: none heard).
struct Key { int key, modifiers; QVector<short> keys; short shift; };

}

Q_DECLARE_METATYPE(Layout)
Q_DECLARE_METATYPE(Key)

class ViewerTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    ScriptedDialogs m_dialogs;
    FakeOwner m_owner;
    QPointer<frmFullScreen> m_viewer; // one a test

    QString picture(const QString& name, const QImage& image)
    {
        const QString path = m_dir.filePath(name + QStringLiteral(".jpg"));
        TestFiles::write(path, Encode(image));
        return path;
    }

    // A viewer over m_owner, whose list gets `images` added, shown at exactly 1024 x 768
    // client pixels: the stand-in for the screen.
    frmFullScreen* open(const QVector<QImage>& images = {})
    {
        FakeOwner& owner = m_owner;
        for (const QImage& image : images)
            owner.files << picture(QTest::currentTestFunction() + QString::number(owner.files.size()), image);
        auto* viewer = new frmFullScreen(m_dialogs, [] { return Tooltip; }, std::make_shared<PicturePrefetcher>());
        m_viewer = viewer;
        connect(viewer, &frmFullScreen::QueryFileName, viewer, [&owner](QString& sFileName) {
            ++owner.queries;
            sFileName = owner.files.value(owner.index);
        });
        connect(viewer, &frmFullScreen::KeyDown, viewer, [&owner](short& KeyCode, short& Shift) {
            const int n = int(owner.files.size());
            owner.keys << KeyCode;
            owner.shift = Shift;
            owner.index = (owner.index + (KeyCode == KeyCodes::Down ? 1 : KeyCode == KeyCodes::Up ? n - 1 : 0)) % n;
        });
        connect(viewer, &frmFullScreen::QueryNeighbours, viewer, [&owner](QString& sPrevious, QString& sNext) {
            if (!owner.namesNeighbours)
                return;
            sPrevious = owner.files.value(owner.index - 1, owner.files.last());
            sNext = owner.files.value(owner.index + 1, owner.files.first());
        });
        viewer->resize(1024, 768);
        viewer->show();
        loaded(viewer);
        return viewer;
    }

private Q_SLOTS:
    void cleanup()
    {
        delete m_viewer.data();
        m_dialogs.clear();
        m_owner = FakeOwner();
    }

    void zoomLayout_data()
    {
        QTest::addColumn<Layout>("row");
        // Each axis too large for the screen on its own; both at once take the same paths.
        QTest::newRow("1500x750 1x") << Layout{{1500, 750}, 1, {0, 9}, {1500, 68, 1024, 0}, {}};
        QTest::newRow("300x1000 3x") << Layout{{300, 1000}, 3, {62, 0}, {}, {3000, 64, 768, 0}};
    }

    void zoomLayout()
    {
        QFETCH(Layout, row);
        frmFullScreen* viewer = open({Solid(row.size.width(), row.size.height())});
        viewer->mnuZoom_Click(row.zoom);
        QCOMPARE(viewer->imgFullScr->geometry(), QRect(row.at, row.size * row.zoom));
        const auto bar = [](const ScrollBar16& b) {
            return b.Visible() ? QVector<int>{b.Max(), b.SmallChange(), b.LargeChange(), b.Value()} : QVector<int>();
        };
        QCOMPARE(bar(viewer->HScrollImg()), row.hBar);
        QCOMPARE(bar(viewer->VScrollImg()), row.vBar);
        // The bars lie along the bottom and right edges, the horizontal one short of the corner.
        QCOMPARE(viewer->HScrollImg().widget()->geometry(), QRect(0, 768 - 17, 1024 - 17, 17));
        QCOMPARE(viewer->VScrollImg().widget()->geometry(), QRect(1024 - 17, 0, 17, 768));
        QCOMPARE(viewer->imgFullScr->ToolTipText(), Tooltip);
    }

    // The popup menu, its captions and its items: fit and zoom. A zoom kept across a step,
    // and stepping with Previous and Next, are driven from the main window elsewhere.
    void menuAndModes()
    {
        frmFullScreen* viewer = open({Solid(2048, 1024), Solid(11000, 8)});
        QLabel* hint = viewer->Label1;
        QCOMPARE(hint->text(), QStringLiteral("Click the RIGHT mouse button to view the Next Image   -  "
                                              "hit the ESC key to exit Full Screen View"));
        QVERIFY(hint->width() >= hint->fontMetrics().horizontalAdvance(hint->text())); // one line, never clipped
        // Whole above any picture that reaches its corner; the window lists under its own name.
        QVERIFY(viewer->children().indexOf(hint) > viewer->children().indexOf(viewer->imgFullScr));
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Full Screen View"));
        QStringList captions;
        for (QAction* a : viewer->mnuPopup->actions() + viewer->mnuZoomSel->actions())
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(captions, (QStringList{"&Next Image", "Previous Image", "-", "Fit to Screen", "Zoom", "-", "Close",
                                        "1x", "2x", "3x"}));
        const auto marks = [viewer] {
            QString s;
            for (QAction* a : {viewer->mnuFitToScreen, viewer->mnuZoom(1), viewer->mnuZoom(2), viewer->mnuZoom(3)})
                s += a->isChecked() ? QLatin1Char('x') : a->isCheckable() ? QLatin1Char('o') : QLatin1Char('.');
            return s;
        };
        // Fit mode at first, yet nothing is marked before the first choice; a picture larger
        // than the screen is shrunk, keeping its proportions, and centred.
        QCOMPARE(marks(), QStringLiteral("...."));
        QCOMPARE(viewer->imgFullScr->geometry(), QRect(0, 128, 1024, 512));
        viewer->mnuZoom(3)->trigger();
        QCOMPARE(marks(), QStringLiteral("...x"));
        // Fit to Screen lays the picture already loaded out again, without the bars 3x shows
        // (its new layout is seen below and in the acceptance run).
        const int queries = m_owner.queries;
        viewer->mnuFitToScreen->trigger();
        QCOMPARE(marks(), QStringLiteral("x..."));
        QCOMPARE(m_owner.queries, queries);
        QVERIFY(!viewer->HScrollImg().Visible() && !viewer->VScrollImg().Visible());

        // 3x of a picture too wide for the bars, chosen from the menu: reported as any
        // untrapped error is, and the viewer stays; fitting again shows the picture.
        viewer->mnuNext->trigger();
        QVERIFY(loaded(viewer));
        viewer->mnuZoom(3)->trigger();
        QCOMPARE(m_dialogs.calls().value(0).text, QStringLiteral("Run-time error 6:\n\nOverflow"));
        QVERIFY(viewer->isVisible() && !viewer->IsUnloading());
        viewer->mnuFitToScreen->trigger();
        QCOMPARE(viewer->imgFullScr->geometry().width(), 1024);
        viewer->mnuClose->trigger();
        QVERIFY(viewer->isHidden() && !viewer->IsUnloading()); // hidden, not destroyed
        QCOMPARE(m_dialogs.calls().size(), 1); // the one box, neither repeated nor followed by another
    }

    // A picture that cannot be shown on a step: 11000 x 8 at the 3x kept from before
    // overflows a 16-bit bar. A file that is not a picture, or gone, on the first show or on
    // a step, is the hostile corpus's and the acceptance run's.
    void failureUnloads()
    {
        QPointer<frmFullScreen> viewer = open({Solid(320, 240), Solid(11000, 8)});
        viewer->mnuZoom_Click(3);
        viewer->mnuNext_Click();
        QVERIFY(loaded(viewer));
        QVERIFY(viewer && viewer->isHidden() && viewer->IsUnloading());
        // Nothing more reaches the owner from a viewer that is going away; showing it again
        // does not bring it back.
        const QVector<short> keys = m_owner.keys;
        viewer->show();
        QTest::keyClick(viewer.data(), Qt::Key_Down);
        QTest::mouseClick(viewer->imgFullScr, Qt::RightButton);
        QCOMPARE(m_owner.keys, keys);
        QVERIFY(viewer->isHidden());
        QTRY_VERIFY(viewer.isNull()); // closed and destroyed, not merely hidden
        QCOMPARE(Shown(m_dialogs), QStringList{ErrorBox(QStringLiteral("Unable to Open ") + m_owner.files[1])});
    }

    // Esc, Page Down and the arrows are pressed in the real viewer by the acceptance run.
    void keyboard_data()
    {
        QTest::addColumn<Key>("row");
        const int keypad = Qt::KeypadModifier, shift = Qt::ShiftModifier;
        QTest::newRow("keypad 5") << Key{Qt::Key_5, keypad, {101}, 0};
        // The Shift key itself is a key as well.
        QTest::newRow("a letter with Shift") << Key{Qt::Key_A, shift, {16, 65}, 1};
        QTest::newRow("colon is the semicolon key") << Key{Qt::Key_Colon, shift, {16, 186}, 1};
        QTest::newRow("volume up has no code: not passed on") << Key{Qt::Key_VolumeUp, 0, {}, -1};
    }

    void keyboard()
    {
        QFETCH(Key, row);
        frmFullScreen* viewer = open({Solid(100, 80)});
        const int queries = m_owner.queries;
        QTest::keyClick(viewer, Qt::Key(row.key), Qt::KeyboardModifiers(row.modifiers));
        QCOMPARE(m_owner.keys, row.keys);
        QCOMPARE(m_owner.queries, queries);  // none of these keys reloads the picture
        QVERIFY(viewer->isVisible() && !viewer->IsUnloading());
        QCOMPARE(m_owner.shift, row.shift);
    }

    // Down held with auto-repeat, let go now and then: every press steps the owner; whenever
    // a picture comes in it is the newest asked for (so none older follows it: the owner
    // only steps forward), there are never more decodes than presses, and Esc hides the
    // viewer with nothing on its way. Events are let in after every press, wherever the
    // decode then is: what is checked holds however the two interleave.
    void keyRepeatShowsOnlyTheNewest()
    {
        QVector<QImage> images;
        for (int i = 0; i <= 40; ++i)
            images << Solid(1600, 1200, QColor::fromHsv(i * 8, 255, 255));
        frmFullScreen* viewer = open(images);
        const int decodes = viewer->Prefetcher().Decodes();
        const auto shownIndex = [&] { return int(m_owner.files.indexOf(viewer->imgFullScr->GetPicture().Path())); };
        QVector<int> delivered; // each picture as it is shown, which asks for its neighbours
        int stale = 0;          // delivered while a newer one was already asked for
        connect(viewer, &frmFullScreen::QueryNeighbours, this, [&](QString&, QString&) {
            delivered << shownIndex();
            stale += delivered.last() != m_owner.index;
        });
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(viewer, Qt::Key_Down);
            QCoreApplication::processEvents();
            if (i % 10 == 9) // now and then the key is let go until the picture shows
                QVERIFY(loaded(viewer));
        }
        QCOMPARE(m_owner.keys, QVector<short>(40, 40));
        QVERIFY(loaded(viewer));
        QCOMPARE(shownIndex(), 40);
        QVERIFY(delivered.contains(10) && delivered.contains(20) && delivered.contains(30));
        QCOMPARE(stale, 0);
        QVERIFY2(viewer->Prefetcher().Decodes() - decodes <= 40, qPrintable(QString::number(viewer->Prefetcher().Decodes())));

        for (int i = 0; i < 5; ++i)
            QTest::keyClick(viewer, Qt::Key_Down);
        QTest::keyClick(viewer, Qt::Key_Escape);
        QVERIFY(viewer->isHidden() && !viewer->IsLoading());
        QVERIFY(m_dialogs.calls().isEmpty());
        disconnect(viewer, &frmFullScreen::QueryNeighbours, this, nullptr);
    }

    void steppingUsesPicturesDecodedAhead()
    {
        m_owner.namesNeighbours = true;
        frmFullScreen* viewer = open({Solid(800, 600, Qt::red), Solid(800, 600, Qt::green), Solid(800, 600, Qt::blue)});
        PicturePrefetcher& ahead = viewer->Prefetcher();
        const QSize screen(1024, 768);
        const auto colour = [viewer] { return viewer->imgFullScr->Pixels().pixelColor(400, 300); };

        // Around the first picture: the next one and (wrapping) the last one.
        QTRY_VERIFY(ahead.IsReady(m_owner.files[1], screen) && ahead.IsReady(m_owner.files[2], screen));
        viewer->mnuNext_Click();
        QVERIFY(loaded(viewer));
        QVERIFY(Near(colour(), Qt::green));
        // Around the second: the first, just shown, is kept rather than decoded again; the
        // decodes are still the first picture's and its two neighbours'.
        QVERIFY(ahead.IsReady(m_owner.files[0], screen) && ahead.IsReady(m_owner.files[2], screen));
        QCOMPARE(ahead.Decodes(), 3);
        QCOMPARE(ahead.HeldBytes(), qint64(2 * 800 * 600 * 4));

        // The third changes on disk after it was decoded ahead: stepping to it reads it again.
        QFile third(picture(QFileInfo(m_owner.files[2]).completeBaseName(), Solid(800, 600, Qt::yellow)));
        QVERIFY(third.open(QIODevice::ReadWrite));
        QVERIFY(third.setFileTime(QDateTime::currentDateTime().addSecs(10), QFileDevice::FileModificationTime));
        viewer->mnuNext_Click();
        QVERIFY(loaded(viewer));
        QCOMPARE(ahead.Decodes(), 4);
        QVERIFY(Near(colour(), Qt::yellow));

        // A resize decodes the neighbours again for the new size.
        viewer->resize(1000, 700);
        const QSize smaller(1000, 700);
        QTRY_VERIFY(ahead.IsReady(m_owner.files[0], smaller) && ahead.IsReady(m_owner.files[1], smaller));
        QVERIFY(m_dialogs.calls().isEmpty());
    }

    // A picture asked for while its guess is being decoded ahead waits for that decode,
    // which runs at idle priority: with every core busy the guess must still finish, or
    // the viewer would wait for it as long as the machine stays busy.
    void takeOutrunsBusyCores()
    {
        QImage noise(4000, 3000, QImage::Format_RGB32);  // slow to decode: nothing repeats
        quint32 seed = 1;
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                reinterpret_cast<QRgb*>(noise.scanLine(y))[x] = (seed = seed * 1664525u + 1013904223u) >> 8;
        const QString big = picture(QStringLiteral("busy-big"), noise);
        PicturePrefetcher ahead;
        ahead.Prefetch(QString(), QString(), big, QSize());
        QTRY_VERIFY(ahead.HeldBytes() > 0);  // reserved: the decode is under way
        std::atomic<bool> stop{false};
        std::vector<std::thread> busy;
        // Three spinning threads a core leave an idle-priority thread next to nothing.
        for (unsigned i = 0; i < 3 * std::max(1u, std::thread::hardware_concurrency()); ++i)
            busy.emplace_back([&stop] { while (!stop.load()) {} });
        auto taken = std::async(std::launch::async, [&] { return ahead.Take(Picture::LoadPicture(big, 96, 96), QSize()); });
        const bool done = taken.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
        stop = true;
        for (std::thread& t : busy)
            t.join();
        QVERIFY2(done, "the picture waited on a guess that never got a core");
        QCOMPARE(taken.get().size(), QSize(4000, 3000));
    }

    void prefetchKeepsWithinBudget()
    {
        const QString big = picture(QStringLiteral("budget-big"), Solid(1000, 1000));
        const QString small = picture(QStringLiteral("budget-small"), Solid(100, 100));
        PicturePrefetcher ahead(1024 * 1024);
        // At its natural size (a zoomed view) the big one would cost 4 MB and is not decoded
        // ahead, though it is wanted first; the small one is.
        ahead.Prefetch(QString(), small, big, QSize());
        QTRY_VERIFY(ahead.IsReady(small, QSize()));
        QCOMPARE(ahead.HeldBytes(), qint64(100 * 100 * 4));
        // For a 125 x 125 screen it decodes at 1/8 and fits.
        ahead.Prefetch(QString(), QString(), big, QSize(125, 125));
        QTRY_VERIFY(ahead.IsReady(big, QSize(125, 125)));
        // The shown picture itself is never decoded ahead.
        ahead.Prefetch(big, big, big, QSize(125, 125));
        QCOMPARE(ahead.HeldBytes(), qint64(0));
    }

    void zoomDrawsOnlyTheVisiblePart()
    {
        // Fitted, the pixels are decoded at the smallest scale that covers the screen (seen
        // in the viewer the main window opens on a preview the user lingered on).
        frmFullScreen* viewer = open({Quadrants(3000, 2000)});
        viewer->mnuZoom_Click(3);
        // The click returns before the natural pixels are decoded, so Esc or a step answers
        // during a big photo's decode; meanwhile a copy of the fitted pixels stands in.
        QVERIFY(viewer->IsLoading() && !viewer->imgFullScr->Pixels().isNull());
        // Fit chosen before that decode is in: the stand-in never stays.
        viewer->mnuFitToScreen_Click();
        QVERIFY(loaded(viewer));
        QVERIFY(viewer->imgFullScr->Pixels().width() >= 1500);
        viewer->mnuZoom_Click(3);
        QVERIFY(loaded(viewer));
        // The natural size, never an enlarged copy (the benchmark measures the peak memory).
        QCOMPARE(viewer->imgFullScr->Pixels().size(), QSize(3000, 2000));

        // At H 3988 the quadrants' edge (natural x 1500, 4500 enlarged) lies at window x 512.
        // At both Max the picture's far corner stays at the window's: beyond Max - LargeChange
        // the offset holds (the user's own scrolling is in the acceptance run).
        const struct { int h, v, x; QColor colour; } views[] = {
            {0, 0, 500, Qt::red}, {9000, 6000, 500, Qt::white}, {3988, 0, 508, Qt::red}, {3988, 0, 516, Qt::green}};
        for (const auto& view : views) {
            viewer->HScrollImg().SetValue(view.h);
            viewer->VScrollImg().SetValue(view.v);
            const QColor shot = viewer->grab().toImage().pixelColor(view.x, 300);
            QVERIFY2(Near(shot, view.colour), qPrintable(shot.name()));
        }
    }

    // Beyond 16 bits the bar refuses (the viewer's overflow is in menuAndModes), and dragging
    // the thumb changes Value only when it is released.
    void scrollBarIsSixteenBit()
    {
        QScrollBar raw(Qt::Horizontal);
        ScrollBar16 bar(&raw);
        int changes = 0;
        bar.OnChange([&changes] { ++changes; });
        bar.SetMax(32767);
        QVERIFY_THROWS_EXCEPTION(AppError, bar.SetMax(32768));
        QVERIFY(bar.Max() == 32767 && changes == 0); // a refused value changes nothing

        raw.setSliderDown(true);
        raw.setSliderPosition(30);
        QCOMPARE(changes, 0);
        raw.setSliderDown(false);
        QVERIFY(bar.Value() == 30 && changes == 1);
    }
};

QTEST_MAIN(ViewerTest)
#include "ViewerTest.moc"
