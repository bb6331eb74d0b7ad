// The viewer's failures, keyboard and mouse, driven through the window's own events.
#include "ViewerTest.h"
#include "PictureBox.h"
#include "ScrollBar16.h"

#include <QFile>
#include <QMenu>
#include <QMouseEvent>

using namespace ViewerImages;

void ViewerTest::failureUnloads_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("file deleted before the step") << "deleted";
    QTest::newRow("not a picture") << "text";
    QTest::newRow("too wide for the bars at 3x") << "wide";
}

void ViewerTest::failureUnloads()
{
    QFETCH(QString, kind);
    FakeOwner owner;
    owner.files << picture("ok.jpg", Solid(320, 240, Qt::red));
    if (kind == QLatin1String("wide")) {
        // 11000 x 3 = 33000 pixels: more than a 16-bit bar can hold.
        owner.files << picture("wide.jpg", Solid(11000, 8, Qt::green));
    } else {
        owner.files << m_dir.filePath(QStringLiteral("second %1.jpg").arg(kind));
        QFile file(owner.files[1]);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("this is not a picture");
    }
    QPointer<frmFullScreen> viewer = open(owner);
    if (kind == QLatin1String("deleted"))
        QVERIFY(QFile::remove(owner.files[1]));
    if (kind == QLatin1String("wide"))
        viewer->mnuZoom_Click(3);
    QVERIFY(m_dialogs.calls().isEmpty());

    viewer->mnuNext_Click();
    QCOMPARE(m_dialogs.calls().size(), 1);
    const ScriptedDialogs::Call& box = m_dialogs.calls().first();
    QCOMPARE(box.text, QStringLiteral("Unable to Open ") + owner.files[1]);
    QCOMPARE(box.style, 48);
    QCOMPARE(box.title, QStringLiteral("Images Browser and Viewer"));
    QVERIFY(viewer->isHidden());
    QVERIFY(viewer->IsUnloading());
    // Nothing more reaches the owner from a viewer that is going away.
    QTest::keyClick(viewer.data(), Qt::Key_Down);
    QTest::mouseClick(viewer->imgFullScr, Qt::RightButton);
    QCOMPARE(owner.keys, QVector<short>{40});
    QTRY_VERIFY(viewer.isNull()); // closed and destroyed, not merely hidden
}

void ViewerTest::zoomTooLargeFromTheMenu()
{
    FakeOwner owner;
    owner.files << picture("wide-menu.jpg", Solid(11000, 8, Qt::green));
    QPointer<frmFullScreen> viewer = open(owner);
    QCOMPARE(viewer->imgFullScr->width(), 1024); // fitted, it shows

    // Chosen from the menu, the failing layout is reported as any untrapped error is, and
    // the viewer stays.
    viewer->mnuZoom(3)->trigger();
    QCOMPARE(m_dialogs.calls().size(), 1);
    QCOMPARE(m_dialogs.calls().first().text, QStringLiteral("Run-time error 6:\n\nOverflow"));
    QVERIFY(!viewer->IsUnloading());
    QVERIFY(viewer->isVisible());
    QVERIFY(viewer->mnuZoom(3)->isChecked());

    viewer->mnuFitToScreen->trigger();
    QCOMPARE(viewer->imgFullScr->geometry().width(), 1024);
    QCOMPARE(m_dialogs.calls().size(), 1);
}

void ViewerTest::failureDuringFirstShow()
{
    FakeOwner owner;
    owner.files << m_dir.filePath(QStringLiteral("never written.jpg"));
    // The owner's show returns normally although its first resize failed and unloaded it.
    QPointer<frmFullScreen> viewer = open(owner);
    QVERIFY(viewer);
    QVERIFY(viewer->isHidden());
    QVERIFY(!viewer->isVisible());
    QCOMPARE(m_dialogs.calls().size(), 1);
    QCOMPARE(m_dialogs.calls().first().text, QStringLiteral("Unable to Open ") + owner.files[0]);
    // Showing it again does not bring the broken viewer back.
    viewer->show();
    QVERIFY(viewer->isHidden());
    QTRY_VERIFY(viewer.isNull());
    QCOMPARE(m_dialogs.calls().size(), 1);
}

void ViewerTest::emptyAnswerShowsBlack()
{
    FakeOwner owner;
    owner.files << picture("white.jpg", Solid(1024, 768, Qt::white)) << picture("white2.jpg", Solid(800, 600, Qt::white));
    frmFullScreen* viewer = open(owner);
    QVERIFY(Near(viewer->grab().toImage().pixelColor(512, 600), Qt::white));

    // An owner that no longer answers: the name stays empty and the picture is cleared.
    owner.answers = false;
    viewer->mnuNext_Click();
    QVERIFY(m_dialogs.calls().isEmpty());
    QVERIFY(viewer->isVisible());
    QVERIFY(viewer->imgFullScr->GetPicture().IsEmpty());
    const QImage shot = viewer->grab().toImage();
    for (const QPoint p : {QPoint(512, 384), QPoint(512, 600), QPoint(5, 5), QPoint(1000, 700)})
        QCOMPARE(shot.pixelColor(p), QColor(Qt::black));
}

void ViewerTest::keyboard_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QVector<short>>("keys"); // KeyDown codes the owner hears
    QTest::addColumn<int>("reloads");         // QueryFileName after the key
    QTest::addColumn<int>("shown");           // index of the file shown afterwards
    QTest::addColumn<bool>("hidden");

    QTest::newRow("Esc hides without an event") << int(Qt::Key_Escape) << 0 << QVector<short>() << 0 << 0 << true;
    QTest::newRow("Page Down is passed on only") << int(Qt::Key_PageDown) << 0 << QVector<short>{34} << 0 << 0 << false;
    QTest::newRow("Down steps forward") << int(Qt::Key_Down) << 0 << QVector<short>{40} << 1 << 1 << false;
    QTest::newRow("Up steps back, wrapping") << int(Qt::Key_Up) << 0 << QVector<short>{38} << 1 << 2 << false;
    // The Shift key itself is a key as well.
    QTest::newRow("a letter with Shift") << int(Qt::Key_A) << int(Qt::ShiftModifier) << QVector<short>{16, 65} << 0
                                         << 0 << false;
}

void ViewerTest::keyboard()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QVector<short>, keys);
    QFETCH(int, reloads);
    QFETCH(int, shown);
    QFETCH(bool, hidden);

    FakeOwner owner;
    owner.files << picture("k0.jpg", Solid(100, 80, Qt::red)) << picture("k1.jpg", Solid(100, 80, Qt::green))
                << picture("k2.jpg", Solid(100, 80, Qt::blue));
    frmFullScreen* viewer = open(owner);
    short shift = -1;
    connect(viewer, &frmFullScreen::KeyDown, viewer, [&shift](short&, short& Shift) { shift = Shift; });
    const int queries = owner.queries;

    QTest::keyClick(viewer, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(owner.keys, keys);
    QCOMPARE(owner.queries - queries, reloads);
    QCOMPARE(viewer->imgFullScr->GetPicture().Path(), owner.files[shown]);
    QCOMPARE(viewer->isHidden(), hidden);
    if (!keys.isEmpty())
        QCOMPARE(shift, short(modifiers == int(Qt::ShiftModifier) ? 1 : 0));
    QVERIFY(!viewer->IsUnloading());
}

void ViewerTest::mouse()
{
    FakeOwner owner;
    owner.files << picture("m0.jpg", Solid(320, 240, Qt::red)) << picture("m1.jpg", Solid(320, 240, Qt::green));
    frmFullScreen* viewer = open(owner);
    PictureBox* img = viewer->imgFullScr;
    QCOMPARE(img->geometry(), QRect(352, 264, 320, 240));

    // On the black border around the picture, no button does anything.
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton})
        QTest::mouseClick(viewer, button, {}, QPoint(100, 600));
    QVERIFY(owner.keys.isEmpty());
    QVERIFY(!viewer->mnuPopup->isVisible());

    // Middle button, and two buttons at once, on the picture: nothing.
    QTest::mouseClick(img, Qt::MiddleButton, {}, QPoint(10, 10));
    QMouseEvent both(QEvent::MouseButtonPress, QPointF(10, 10), img->mapToGlobal(QPointF(10, 10)), Qt::RightButton,
                     Qt::LeftButton | Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(img, &both);
    QVERIFY(owner.keys.isEmpty());
    QVERIFY(!viewer->mnuPopup->isVisible());

    // Left: the popup menu at the pointer.
    QTest::mouseClick(img, Qt::LeftButton, {}, QPoint(20, 30));
    QVERIFY(viewer->mnuPopup->isVisible());
    QVERIFY(viewer->mnuPopup->geometry().contains(img->mapToGlobal(QPoint(20, 30)) + QPoint(1, 1)));
    viewer->mnuPopup->hide();
    QVERIFY(owner.keys.isEmpty());

    // Right: the next image.
    QTest::mouseClick(img, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(owner.keys, QVector<short>{40});
    QCOMPARE(img->GetPicture().Path(), owner.files[1]);
    QVERIFY(!viewer->mnuPopup->isVisible());
}
