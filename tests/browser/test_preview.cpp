// Selecting a file: preview, caption, comments, decoding that never blocks, and the
// full-screen viewer opened from the main window and stepping through its list.
#include "BrowserFixture.h"
#include "KeyCodes.h"
#include "Pixels.h"
#include "ShownDialogs.h"
#include "ThumbnailCache.h"
#include "Sql.h"
#include "PicturePrefetcher.h"
#include "PreviewLoader.h"
#include "frmFullScreen.h"
#include "ViewerWait.h"

#include <QtTest>

class TestPreview : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Elsewhere: that the content decides a file's format is in the picture tests; that an
    // unreadable file silently keeps the previous picture, its size paired with the new
    // path, is in the hostile corpus; the doubled separator of a file in the root folder is
    // in the file command tests.
    void storeProblemsStillBrowse_data()
    {
        QTest::addColumn<QByteArray>("contents");  // none: no file
        QTest::addColumn<QString>("reason");        // %1: the fixture's folder
        // Without a store beside the program, the user's own is the one looked for.
        QTest::newRow("missing") << QByteArray()
                                 << QStringLiteral("the comment database %1/data/tessel/Tooltips.mdb does not exist");
        QTest::newRow("corrupt") << QByteArray("SQLite format 3\0garbage garbage", 32)
                                 << QStringLiteral("the file %1/app/Tooltips.mdb is not a comment database");
    }

    void storeProblemsStillBrowse()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, reason);
        BrowserFixture f;
        const QString store = f.path("app/Tooltips.mdb");
        if (!contents.isEmpty())
            TestFiles::write(store, contents);
        writeImage(f.path("pics/a.jpg"), 64, 32);
        frmFileDir& form = f.startIn(f.path("pics"));
        QVERIFY(select(form, 0));
        QCOMPARE(form.windowTitle(), caption(f.path("pics/a.jpg"), {64, 32}));
        f.dialogs.queueInputAnswer(QStringLiteral("never kept"));
        trigger(form, "mnuNewTooltip");
        // The one box: the selection showed none, and New refuses before it asks for a text.
        const QString refused = QStringLiteral("The comment could not be saved: %1.").arg(reason.arg(f.tmp.path()));
        QCOMPARE(Shown(f.dialogs), QStringList{ErrorBox(refused)});
        // Never created by us, nor changed.
        QCOMPARE(TestFiles::read(store), contents.isEmpty() ? QByteArray("<missing>") : contents);
    }

    // Two running copies share the store. While another program holds it locked, a
    // selection returns at once, and a rename is reported as failed; the selection's comment,
    // and the renamed file's, follow once the lock is gone, with nothing more done.
    void storeSharedAndLockedByOthers()
    {
        BrowserFixture f;
        TestFiles::copyBuiltStore(f.path("app"));  // an empty store, as the build gives
        writeImage(f.path("pics/a.jpg"), 8, 8);
        writeImage(f.path("pics/b.JPG"), 8, 8);
        const QString store = f.path("app/Tooltips.mdb");
        frmFileDir& first = f.startIn(f.path("pics"));
        frmFileDir second({f.dialogs, f.settings, f.fs, f.drives, f.fileOps, f.starter, f.path("app/tessel"), f.path("pics")});
        second.Form_Load();
        QVERIFY(select(second, 0));
        QCOMPARE(second.imgSmall->ToolTipText(), QString());
        QVERIFY(select(first, 0));
        f.dialogs.queueInputAnswer(QStringLiteral("shared"));
        trigger(first, "mnuNewTooltip");
        QVERIFY(select(second, 1));

        // The comment that comes after the lock is the one the other copy made.
        Sql(store, {QStringLiteral("BEGIN EXCLUSIVE")}, [&] {
            second.flbFiles->SetListIndex(0);
            QVERIFY(!second.Selection().IsSettled());
        });
        QVERIFY(settled(second));
        QCOMPARE(second.windowTitle(), caption(f.path("pics/a.jpg"), {8, 8}));
        QCOMPARE(second.imgSmall->ToolTipText(), QStringLiteral("shared"));
        QCOMPARE(f.dialogs.calls().size(), 1);  // the prompt only: no locked-database report

        Sql(store, {QStringLiteral("BEGIN EXCLUSIVE")}, [&] {
            f.dialogs.queueInputAnswer(QStringLiteral("renamed.jpg"));
            trigger(first, "mnuRen");
        });
        QCOMPARE(Shown(f.dialogs).last(), ErrorBox(QStringLiteral("Unable to Rename or Move  ") + f.path("pics/renamed.jpg")));
        const QString paths = QStringLiteral("SELECT group_concat(Path) FROM tblTooltip");
        QTRY_COMPARE_WITH_TIMEOUT(Sql(store, {paths}), QStringList{f.path("pics/renamed.jpg")}, 15000);
        QVERIFY(select(first, first.flbFiles->ListCount() - 1));  // renamed.jpg sorts after b.JPG
        QCOMPARE(first.imgSmall->ToolTipText(), QStringLiteral("shared"));
    }

    void decodingNeverBlocksTheSelection()
    {
        BrowserFixture f;
        for (int i = 0; i < 12; ++i)
            writeImage(f.path("pics/sub/") + QStringLiteral("big%1.jpg").arg(i, 2, 10, QLatin1Char('0')), 3000, 2000);
        frmFileDir& form = f.showIn(f.path("pics/sub"));
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // Holding the Down arrow: the caption and then the pixels follow the newest step;
        // decodes never pile up.
        for (int i = 0; i < 12; ++i)
            form.StepSelection(KeyCodes::Down);
        QVERIFY(settled(form));
        QVERIFY(form.Preview().Decodes() <= 3);
        // The decode, for the preview as placed: far smaller than the picture or the screen.
        QTRY_VERIFY(form.Preview().WantedSize().isValid() && form.imgSmall->Pixels().size() == form.Preview().WantedSize());
        const QSize placed = form.imgSmall->size() * form.imgSmall->devicePixelRatioF();
        QVERIFY(form.imgSmall->Pixels().width() >= placed.width() && form.imgSmall->Pixels().height() >= placed.height());
        QVERIFY(form.imgSmall->Pixels().width() < 1500);  // what covering this 800 x 800 screen takes
        QCOMPARE(form.imgSmall->GetPicture().Path(), f.path("pics/sub/big11.jpg"));
    }

    // Once a preview shows, its neighbours in the list are decoded ahead: a step shows the
    // next picture without decoding it, and the picture stepped away from is kept. The
    // decodes fill the desktop's thumbnail cache; a thumbnail there that covers the preview
    // stands in for the decode; a file changed since its thumbnail was made is decoded again.
    void neighboursAndCachedThumbnailsSpareDecodes()
    {
        BrowserFixture f;
        writeImage(f.path("pics/a.jpg"), 3000, 2000);
        writeImage(f.path("pics/b.JPG"), 2000, 3000);
        writeImage(f.path("pics/c.gif"), 600, 400, "BMP");
        frmFileDir& form = f.showIn(f.path("pics"));
        const ThumbnailCache cache(f.path("cache") + QStringLiteral("/thumbnails"));
        QVERIFY(select(form, 0));
        QTRY_COMPARE(form.Preview().Decodes(), 3);  // a.jpg, then b.JPG and c.gif ahead
        const qint64 mtime = QFileInfo(f.path("pics/a.jpg")).lastModified().toSecsSinceEpoch();
        QTRY_VERIFY(!cache.Find(f.path("pics/a.jpg"), mtime, 1).isNull());  // written after the decode
        QVERIFY(select(form, 1));
        QTRY_COMPARE(form.imgSmall->Pixels().size(), form.Preview().WantedSize());
        QCOMPARE(form.imgSmall->GetPicture().Path(), f.path("pics/b.JPG"));
        QCOMPARE(form.Preview().Decodes(), 3);
        // Back: a.jpg is not decoded again (it was kept ahead, and its thumbnail in the
        // cache now covers the preview).
        QVERIFY(select(form, 0));
        QTRY_VERIFY(!form.imgSmall->Pixels().isNull());
        QCOMPARE(form.Preview().Decodes(), 3);

        QVERIFY(cache.Store(f.path("pics/b.JPG"), QFileInfo(f.path("pics/b.JPG")).lastModified().toSecsSinceEpoch(),
                            Solid(2000, 3000, Qt::magenta), {2000, 3000}));
        QVERIFY(select(form, 1));
        QCOMPARE(form.imgSmall->Pixels().size(), QSize(341, 512));
        QVERIFY(Near(form.imgSmall->Pixels().pixelColor(10, 10), Qt::magenta));
        QVERIFY(!form.Preview().WantedSize().isValid());  // no decode was asked for

        QVERIFY(select(form, 0));
        QFile photo(f.path("pics/b.JPG"));
        QVERIFY(photo.open(QIODevice::ReadWrite));
        QVERIFY(photo.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
        photo.close();
        QVERIFY(select(form, 1));
        QTRY_COMPARE(form.imgSmall->Pixels().size(), form.Preview().WantedSize());
        QVERIFY(!Near(form.imgSmall->Pixels().pixelColor(10, 10), Qt::magenta));
    }

    // A preview the user stays on is decoded for the screen as well: the viewer opened on
    // it shows those pixels instead of decoding the file.
    void lingeringDecodesForTheViewer()
    {
        BrowserFixture f;
        const QString photo = f.path("pics/sub/only.jpg");
        writeImage(photo, 3000, 2000);
        frmFileDir& form = f.showIn(f.path("pics/sub"));
        QVERIFY(select(form, 0));
        PicturePrefetcher& ahead = *form.Preview().ViewerAhead();
        const QSize screen = form.screen()->geometry().size() * form.screen()->devicePixelRatio();
        QTRY_VERIFY(ahead.IsReady(photo, screen));
        const int decodes = ahead.Decodes();
        form.mnuFullScreen_Click();
        QVERIFY(form.Viewer() && loaded(form.Viewer()));
        QCOMPARE(form.Viewer()->imgFullScr->Pixels().size(), QSize(1500, 1000));  // of the only picture
        QCOMPARE(ahead.Decodes(), decodes);

        // Opened at once on a new selection, the viewer decodes its own neighbours: the
        // preview's wait for the user to stay ends, or it would take them away.
        form.Viewer()->mnuClose_Click();
        writeImage(f.path("pics/sub/other.jpg"), 3000, 2000);
        form.flbFiles->Refresh();
        form.Preview().SetLingerMs(60000);  // the user stays: the wait is under way throughout
        QVERIFY(select(form, 1));
        QTRY_VERIFY(!form.imgSmall->Pixels().isNull() && form.imgSmall->GetPicture().Path() == f.path("pics/sub/other.jpg"));
        QTRY_VERIFY(form.Preview().IsLingering());
        form.mnuFullScreen_Click();
        QVERIFY(!form.Preview().IsLingering());
    }

    // While the viewer steps through the list, the preview does not decode the same files
    // too; on Esc it takes the viewer's pixels of the file it closed on. Stepping with
    // wrap-around, the caption following and the zoom kept are in the acceptance run.
    // Of two viewers on screen only the newer is served. Closing the main window with
    // viewers open unloads it once (the folder is saved as at Exit, seen in the acceptance
    // run), and the program's end destroys the viewers it owns with it.
    void viewersSpareThePreviewsDecodesAndOnlyTheNewestIsServed()
    {
        BrowserFixture f;
        writeImage(f.path("pics/a.jpg"), 640, 480);
        writeImage(f.path("pics/b.JPG"), 320, 200);
        writeImage(f.path("pics/c.gif"), 100, 50, "BMP");  // the content decides the format
        frmFileDir& form = f.showIn(f.path("pics"));
        QVERIFY(select(form, 2));
        // Let the preview's own decode of c.gif, and of its two neighbours ahead, finish
        // first: only decodes started later count.
        QTRY_VERIFY(!form.imgSmall->Pixels().isNull());
        QTRY_COMPARE(form.Preview().Decodes(), 3);
        trigger(form, "mnuFullScreen");
        QPointer<frmFullScreen> viewer = form.Viewer();
        QVERIFY(viewer && loaded(viewer));
        const int previewDecodes = form.Preview().Decodes();
        viewer->mnuZoom_Click(2);
        viewer->mnuNext_Click();  // c -> a
        QVERIFY(loaded(viewer));
        viewer->Form_KeyDown(KeyCodes::Down, 0);  // a -> b
        QVERIFY(loaded(viewer));
        viewer->mnuFitToScreen_Click();
        QVERIFY(settled(form));
        viewer->Form_KeyDown(KeyCodes::Esc, 0);
        QCOMPARE(form.flbFiles->ListIndex(), 1);
        QVERIFY(form.imgSmall->Pixels().cacheKey() == viewer->imgFullScr->Pixels().cacheKey());
        QCOMPARE(form.Preview().Decodes(), previewDecodes);

        form.mnuFullScreen_Click();
        QPointer<frmFullScreen> first = form.Viewer();
        form.mnuFullScreen_Click();
        QPointer<frmFullScreen> second = form.Viewer();
        QVERIFY(first && second != first);  // both on screen
        first->mnuNext_Click();  // nobody answers it any more
        QCOMPARE(form.flbFiles->ListIndex(), 1);
        QVERIFY(first->imgFullScr->GetPicture().IsEmpty());
        QVERIFY(f.dialogs.calls().isEmpty());
        QSignalSpy unloaded(&form, &frmFileDir::Unloaded);
        form.close();  // the window's close button
        QCOMPARE(unloaded.size(), 1);
        f.form.reset();
        QVERIFY(viewer.isNull() && first.isNull() && second.isNull());
    }
};

QTEST_MAIN(TestPreview)
#include "test_preview.moc"
