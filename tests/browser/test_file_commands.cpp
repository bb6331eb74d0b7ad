// The file commands as a user reaches them: through the real main window's menus.
#include "BrowserFixture.h"
#include "FileCommands.h"
#include "FileList.h"
#include "FolderList.h"
#include "PictureBox.h"
#include "frmNewPath.h"

#include <QImage>
#include <QPushButton>
#include <QtTest>

namespace {
void writeImage(const QString& path, int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QVERIFY(image.save(path, "JPEG"));
}

void trigger(frmFileDir& form, const char* item)
{
    form.Menus().Action(QLatin1String(item))->trigger();
}
}

class TestFileCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void deleteThirdOfFiveSelectsAndPreviewsTheNext();
    void renameCarriesTheCommentAndRefusesToOverwrite();
    void moveTakesTheFileSelectedAtConfirmation();
    void imageInformationReportsThePreview();
};

void TestFileCommands::deleteThirdOfFiveSelectsAndPreviewsTheNext()
{
    BrowserFixture f;
    qputenv("XDG_DATA_HOME", QFile::encodeName(f.path("data")));
    for (int i = 1; i <= 5; ++i)
        writeImage(f.path("pics/sub/") + QStringLiteral("p%1.jpg").arg(i), 10 * i, 10);
    frmFileDir& form = f.startIn(f.path("pics/sub"));
    form.flbFiles->SetListIndex(2);
    f.dialogs.queueMsgBoxAnswer(IDialogs::vbOK);
    trigger(form, "mnuDelete");
    QCOMPARE(f.dialogs.calls().first().text, QStringLiteral("Delete file p3.jpg?"));
    QCOMPARE(f.dialogs.calls().first().style, 65);
    QVERIFY(!QFile::exists(f.path("pics/sub/p3.jpg")));
    QVERIFY(QFile::exists(f.path("data/Trash/files/p3.jpg")));
    QVERIFY(QFile::exists(f.path("data/Trash/info/p3.jpg.trashinfo")));
    QCOMPARE(form.flbFiles->ListCount(), 4);
    QCOMPARE(form.flbFiles->FileName(), QStringLiteral("p4.jpg"));
    QCOMPARE(form.imgSmall->GetPicture().Path(), f.path("pics/sub/p4.jpg"));
    QVERIFY(form.windowTitle().endsWith(QStringLiteral("Width = 40")));
}

void TestFileCommands::renameCarriesTheCommentAndRefusesToOverwrite()
{
    BrowserFixture f;
    QVERIFY(QFile::copy(QStringLiteral(TESSEL_BUILT_STORE), f.path("app/Tooltips.mdb")));
    QFile::setPermissions(f.path("app/Tooltips.mdb"), QFile::ReadOwner | QFile::WriteOwner);
    writeImage(f.path("pics/sub/cat.jpg"), 8, 8);
    writeImage(f.path("pics/sub/dog.jpg"), 16, 16);
    frmFileDir& form = f.startIn(f.path("pics/sub"));
    form.flbFiles->SetListIndex(0);
    f.dialogs.queueInputAnswer(QStringLiteral("purr"));
    trigger(form, "mnuNewTooltip");

    // Onto an existing name: the message, and nothing changes.
    const auto bytes = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray cat = bytes(f.path("pics/sub/cat.jpg")), dog = bytes(f.path("pics/sub/dog.jpg"));
    f.dialogs.queueInputAnswer(QStringLiteral("dog.jpg"));
    trigger(form, "mnuRen");
    QCOMPARE(f.dialogs.calls().last().text, QStringLiteral("Unable to Rename or Move  ") + f.path("pics/sub/dog.jpg"));
    QCOMPARE(bytes(f.path("pics/sub/dog.jpg")), dog);
    QCOMPARE(bytes(f.path("pics/sub/cat.jpg")), cat);
    QCOMPARE(form.flbFiles->ListCount(), 2);

    f.dialogs.queueInputAnswer(QStringLiteral("kitten.jpg"));
    trigger(form, "mnuRen");
    QVERIFY(QFile::exists(f.path("pics/sub/kitten.jpg")));
    QCOMPARE(form.Comments().LookupTooltip(f.path("pics/sub/cat.jpg")), std::optional<QString>(QString()));
    form.flbFiles->SetListIndex(1);  // kitten.jpg
    QCOMPARE(form.flbFiles->FileName(), QStringLiteral("kitten.jpg"));
    QCOMPARE(form.imgSmall->ToolTipText(), QStringLiteral("purr"));
}

void TestFileCommands::moveTakesTheFileSelectedAtConfirmation()
{
    BrowserFixture f;
    writeImage(f.path("pics/sub/one.jpg"), 8, 8);
    writeImage(f.path("pics/sub/two.jpg"), 8, 8);
    frmFileDir& form = f.startIn(f.path("pics/sub"));
    form.flbFiles->SetListIndex(0);
    trigger(form, "mnuMove");
    QPointer<frmNewPath> dialog = form.Files().MoveDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->dirNewPath->Path(), f.path("pics/sub"));
    dialog->dirNewPath->SetPath(f.path("vol2"));
    form.flbFiles->SetListIndex(1);  // the user goes on working meanwhile
    dialog->cmdOK->click();
    QVERIFY(QFile::exists(f.path("vol2/two.jpg")));
    QVERIFY(QFile::exists(f.path("pics/sub/one.jpg")));
    QCOMPARE(form.flbFiles->ListCount(), 1);
    QTRY_VERIFY(dialog.isNull());
}

void TestFileCommands::imageInformationReportsThePreview()
{
    BrowserFixture f;
    writeImage(f.path("pics/sub/vga.jpg"), 640, 480);
    frmFileDir& form = f.startIn(f.path("pics/sub"));
    trigger(form, "mnuImgInfo");
    QCOMPARE(f.dialogs.calls().last().text, QStringLiteral("You must select an image !"));
    trigger(form, "mnuEdit");
    QCOMPARE(f.dialogs.calls().last().text, QStringLiteral("You must select an image !"));
    form.flbFiles->SetListIndex(0);
    QVERIFY(QFile::remove(f.path("pics/sub/vga.jpg")));
    trigger(form, "mnuImgInfo");
    QCOMPARE(f.dialogs.calls().last().text, QStringLiteral("Height = 480  Width = 640"));
    QCOMPARE(f.dialogs.calls().last().style, 0);
    QCOMPARE(f.dialogs.calls().last().title, QString());
}

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
