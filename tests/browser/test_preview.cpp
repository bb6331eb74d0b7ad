// Selecting a file: preview, caption, comments, and decoding that never blocks.
#include "BrowserFixture.h"
#include "FileList.h"
#include "FolderList.h"
#include "PictureBox.h"
#include "PictureDecoder.h"
#include "PreviewLoader.h"

#include <QImage>
#include <QtTest>

namespace {
void writeImage(const QString& path, int w, int h, const char* format = "JPEG")
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QVERIFY(image.save(path, format));
}

QString caption(const QString& path, int h, int w)
{
    return path + QStringLiteral("   - Height = ") + QString::number(h) + QStringLiteral("  Width = ") + QString::number(w);
}

// Gives the fixture's "executable" folder an empty comment store, as the build does.
void installStore(BrowserFixture& f)
{
    QVERIFY(QFile::copy(QStringLiteral(TESSEL_BUILT_STORE), f.path("app/Tooltips.mdb")));
    QFile::setPermissions(f.path("app/Tooltips.mdb"), QFile::ReadOwner | QFile::WriteOwner);
}

int select(frmFileDir& form, const QString& name)
{
    const int index = [&] {
        for (int i = 0; i < form.flbFiles->ListCount(); ++i)
            if (form.flbFiles->List(i) == name)
                return i;
        return -1;
    }();
    form.flbFiles->SetListIndex(index);
    return index;
}
}

class TestPreview : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void captionAndSizeFollowTheSelection();
    void rootFolderKeyHasDoubledSeparator();
    void commentsAreKeyedByExactPath();
    void newCommentAddsASecondRow();
    void storeProblemsStillBrowse_data();
    void storeProblemsStillBrowse();
    void twoRunningCopiesShareTheStore();
    void decodingNeverBlocksTheSelection();
};

void TestPreview::captionAndSizeFollowTheSelection()
{
    BrowserFixture f;
    writeImage(f.path("pics/a.jpg"), 640, 480);
    writeImage(f.path("pics/b.JPG"), 30, 90, "BMP");  // a BMP named .JPG: judged by content
    TestFiles::write(f.path("pics/c.gif"), "not a picture at all");
    frmFileDir& form = f.startIn(f.path("pics"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Tessel Image Explorer"));

    select(form, QStringLiteral("a.jpg"));
    QCOMPARE(form.CurrentFile(), f.path("pics/a.jpg"));
    QCOMPARE(form.windowTitle(), caption(f.path("pics/a.jpg"), 480, 640));
    select(form, QStringLiteral("b.JPG"));
    QCOMPARE(form.windowTitle(), caption(f.path("pics/b.JPG"), 90, 30));
    // An unreadable file keeps the previous picture and pairs its size with the new path.
    select(form, QStringLiteral("c.gif"));
    QCOMPARE(form.CurrentFile(), f.path("pics/c.gif"));
    QCOMPARE(form.windowTitle(), caption(f.path("pics/c.gif"), 90, 30));
    QCOMPARE(form.imgSmall->GetPicture().Path(), f.path("pics/b.JPG"));
    // A file that vanished before it was clicked behaves the same.
    select(form, QStringLiteral("a.jpg"));
    QVERIFY(QFile::remove(f.path("pics/b.JPG")));
    select(form, QStringLiteral("b.JPG"));
    QCOMPARE(form.windowTitle(), caption(f.path("pics/b.JPG"), 480, 640));
    QVERIFY(f.dialogs.calls().isEmpty());
}

void TestPreview::rootFolderKeyHasDoubledSeparator()
{
    BrowserFixture f;
    frmFileDir& form = f.startIn(f.path("pics"));
    form.dirFolders->SetPath(QStringLiteral("/"));
    form.flbFiles->SetPath(QStringLiteral("/"));
    QCOMPARE(form.flbFiles->Path(), QStringLiteral("/"));
    int enter = 13;
    form.flbFiles_KeyPress(enter);
    QVERIFY(form.CurrentFile().startsWith(QStringLiteral("//")));
}

void TestPreview::commentsAreKeyedByExactPath()
{
    BrowserFixture f;
    installStore(f);
    const QStringList names{QStringLiteral("a\" or \"1\"=\"1.jpg"), QStringLiteral("semi;colon.jpg"),
                            QStringLiteral("quote\".jpg"), QStringLiteral("plain.jpg")};
    for (const QString& name : names)
        writeImage(f.path("pics/sub/") + name, 8, 8);
    frmFileDir& form = f.startIn(f.path("pics/sub"));
    QVERIFY(form.Comments().IsOpen());
    for (const QString& name : names) {
        select(form, name);
        f.dialogs.queueInputAnswer(QStringLiteral("comment of ") + name);
        form.Menus().Action(QStringLiteral("mnuNewTooltip"))->trigger();
    }
    for (const QString& name : names) {
        select(form, QStringLiteral("plain.jpg") == name ? names.first() : QStringLiteral("plain.jpg"));
        select(form, name);
        QCOMPARE(form.imgSmall->ToolTipText(), QStringLiteral("comment of ") + name);
    }
    QCOMPARE(f.dialogs.calls().size(), names.size());
    QCOMPARE(f.dialogs.calls().first().text, QStringLiteral("Insert a Comment for this Image"));
    QCOMPARE(f.dialogs.calls().first().title, QStringLiteral("Images Browser and Viewer"));
}

void TestPreview::newCommentAddsASecondRow()
{
    BrowserFixture f;
    installStore(f);
    writeImage(f.path("pics/a.jpg"), 8, 8);
    writeImage(f.path("pics/b.JPG"), 8, 8);
    frmFileDir& form = f.startIn(f.path("pics"));
    QAction* newTip = form.Menus().Action(QStringLiteral("mnuNewTooltip"));
    select(form, QStringLiteral("a.jpg"));
    f.dialogs.queueInputAnswer(QStringLiteral("first"));
    newTip->trigger();
    f.dialogs.queueInputAnswer(QStringLiteral("second"));
    newTip->trigger();
    QCOMPARE(form.imgSmall->ToolTipText(), QStringLiteral("second"));
    select(form, QStringLiteral("b.JPG"));
    QCOMPARE(form.imgSmall->ToolTipText(), QString());
    select(form, QStringLiteral("a.jpg"));
    QCOMPARE(form.imgSmall->ToolTipText(), QStringLiteral("first"));

    // Edit and Delete act on the first row.
    f.dialogs.queueInputAnswer(QStringLiteral("edited"));
    form.Menus().Action(QStringLiteral("mnuTooltipEd"))->trigger();
    QCOMPARE(f.dialogs.calls().last().defaultText, QStringLiteral("first"));
    QCOMPARE(form.imgSmall->ToolTipText(), QStringLiteral("first"));  // until selected again
    select(form, QStringLiteral("b.JPG"));
    select(form, QStringLiteral("a.jpg"));
    QCOMPARE(form.imgSmall->ToolTipText(), QStringLiteral("edited"));
    form.Menus().Action(QStringLiteral("mnuTooltipDel"))->trigger();
    QCOMPARE(form.imgSmall->ToolTipText(), QString());
    select(form, QStringLiteral("b.JPG"));
    select(form, QStringLiteral("a.jpg"));
    QCOMPARE(form.imgSmall->ToolTipText(), QStringLiteral("second"));
}

void TestPreview::storeProblemsStillBrowse_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("exists");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("corrupt") << QByteArray("SQLite format 3\0garbage garbage", 32) << true;
    QTest::newRow("jet") << QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) << true;
}

void TestPreview::storeProblemsStillBrowse()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, exists);
    BrowserFixture f;
    if (exists)
        TestFiles::write(f.path("app/Tooltips.mdb"), contents);
    writeImage(f.path("pics/a.jpg"), 64, 32);
    frmFileDir& form = f.startIn(f.path("pics"));
    QVERIFY(!form.Comments().IsOpen());
    select(form, QStringLiteral("a.jpg"));
    QCOMPARE(form.windowTitle(), caption(f.path("pics/a.jpg"), 32, 64));
    QVERIFY(f.dialogs.calls().isEmpty());
    f.dialogs.queueInputAnswer(QStringLiteral("never kept"));
    form.Menus().Action(QStringLiteral("mnuNewTooltip"))->trigger();
    QCOMPARE(f.dialogs.calls().size(), 1);
    QCOMPARE(f.dialogs.calls().first().style, 48);
    QVERIFY(f.dialogs.calls().first().text.startsWith(QStringLiteral("The comment could not be saved")));
    QCOMPARE(QFile::exists(f.path("app/Tooltips.mdb")), exists);  // never created by us
    if (exists) {
        QFile file(f.path("app/Tooltips.mdb"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), contents);
    }
}

void TestPreview::twoRunningCopiesShareTheStore()
{
    BrowserFixture f;
    installStore(f);
    writeImage(f.path("pics/a.jpg"), 8, 8);
    writeImage(f.path("pics/b.JPG"), 8, 8);
    frmFileDir& first = f.startIn(f.path("pics"));
    const BrowserServices services{f.dialogs, f.settings, f.fs, f.drives, f.fileOps, f.starter, f.path("app/tessel"), f.path("pics")};
    frmFileDir second(services);
    second.Form_Load();
    select(second, QStringLiteral("a.jpg"));
    QCOMPARE(second.imgSmall->ToolTipText(), QString());

    select(first, QStringLiteral("a.jpg"));
    f.dialogs.queueInputAnswer(QStringLiteral("shared"));
    first.Menus().Action(QStringLiteral("mnuNewTooltip"))->trigger();
    select(second, QStringLiteral("b.JPG"));
    select(second, QStringLiteral("a.jpg"));
    QCOMPARE(second.imgSmall->ToolTipText(), QStringLiteral("shared"));
    QCOMPARE(f.dialogs.calls().size(), 1);  // the prompt only: no locked-database report
}

void TestPreview::decodingNeverBlocksTheSelection()
{
    BrowserFixture f;
    for (int i = 0; i < 12; ++i)
        writeImage(f.path("pics/sub/") + QStringLiteral("big%1.jpg").arg(i, 2, 10, QLatin1Char('0')), 3000, 2000);
    frmFileDir& form = f.startIn(f.path("pics/sub"));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Holding the Down arrow: each step returns with the caption already right, while
    // the pixels follow; decodes never pile up.
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 12; ++i)
        form.StepSelection(40);
    QVERIFY(form.windowTitle().endsWith(QStringLiteral("Height = 2000  Width = 3000")));
    QVERIFY(form.Preview().Decoder().DecodesStarted() <= 3);
    QTRY_COMPARE(form.imgSmall->Pixels().isNull(), false);
    QTRY_COMPARE(form.imgSmall->Pixels().width() >= 750, true);  // the decode, not the thumbnail
    QCOMPARE(form.imgSmall->GetPicture().Path(), f.path("pics/sub/big11.jpg"));
    qInfo("12 selections took %lld ms", timer.elapsed());
}

QTEST_MAIN(TestPreview)
#include "test_preview.moc"
