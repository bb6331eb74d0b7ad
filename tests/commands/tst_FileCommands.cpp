// The File menu's commands: Rename, Delete and Move driven through the real file list and
// the real disk, the move dialog on its own and Image Information. A plain rename, a taken
// name, a cancelled delete and one in the middle of the list are in the acceptance run.
#include "FakeScaleForm.h"
#include "FileCommands.h"
#include "FileList.h"
#include "FileListView.h"
#include "FolderList.h"
#include "frmNewPath.h"
#include "Globals.h"
#include "ImageInformation.h"
#include "ScriptedDialogs.h"
#include "ScriptedFileOperations.h"
#include "ScriptedFileSystem.h"
#include "ShownDialogs.h"
#include "TestFiles.h"

#include <QtWidgets>
#include <QtTest>
#include <cerrno>

namespace {
const QString Title = QStringLiteral("Images Browser and Viewer");
using Rekeys = QVector<QPair<QString, QString>>;

// A folder "pics" of five images a.jpg .. e.jpg (each holding its own name), an empty
// folder "other", a private home with its trash, and the file commands over the real file
// list, scripted dialogs and the real file operations.
struct CommandsRig {
    QTemporaryDir tmp;
    ScriptedFileSystem fs;
    ScriptedDialogs dialogs;
    Globals globals{dialogs};
    ScriptedFileOperations ops;
    Rekeys rekeys;
    FileList list{fs, populate()};
    FileListView view{list};
    FileCommands commands{view, globals, ops, fs, [this](const QString& o, const QString& n) { rekeys.push_back({o, n}); }};

    QString populate()
    {
        TestFiles::usePrivateHome(at("home"));
        TestFiles::makeDir(at("other"));
        for (const char name : QByteArray("abcde"))
            TestFiles::write(at(QStringLiteral("pics/%1.jpg").arg(name)), name + QByteArray(".jpg"));
        return at("pics");
    }

    QString at(const QString& rel) const { return tmp.path() + QLatin1Char('/') + rel; }

    QByteArray read(const QString& rel) const { return TestFiles::read(at(rel)); }
};

QWidget* nextTabStop(QWidget* from)
{
    QWidget* w = from->nextInFocusChain();
    while (w != from && !(w->focusPolicy() & Qt::TabFocus))
        w = w->nextInFocusChain();
    return w;
}
}

class TestFileCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A cancelled prompt renames nothing; a folder part in the name moves the file, and its
    // comment follows. A store that refuses the new key is the preview's test.
    void rename()
    {
        CommandsRig rig;
        rig.list.SetListIndex(1);
        rig.dialogs.queueInputAnswer(QString());
        rig.commands.mnuRen_Click();
        rig.dialogs.queueInputAnswer(QStringLiteral("../other/b.jpg"));
        rig.commands.mnuRen_Click();

        const QString prompt = QStringLiteral("InputBox|New Name:|0|%1|b.jpg").arg(Title);
        QCOMPARE(Shown(rig.dialogs), QStringList({prompt, prompt}));
        QCOMPARE(rig.read("other/b.jpg"), QByteArray("b.jpg"));
        QCOMPARE(rig.rekeys, (Rekeys{{rig.at("pics/b.jpg"), rig.at("other/b.jpg")}}));
        // Comments of files in the root are keyed "//name", also after a typed "..".
        QCOMPARE(FileCommands::CommentPath(QStringLiteral("/img/../a.jpg")), QStringLiteral("//a.jpg"));
    }

    // Deleting the last entry selects the new last one. A file the trash refuses stays
    // where it is, and the user hears why.
    void deleteFile()
    {
        CommandsRig rig;
        rig.list.SetListIndex(4);
        rig.dialogs.queueMsgBoxAnswer(IDialogs::vbOK);
        rig.commands.mnuDelete_Click();
        QCOMPARE(rig.list.FileName(), QStringLiteral("d.jpg"));  // e.jpg is gone from the disk and the list

        rig.list.SetListIndex(2);
        rig.ops.FailAt(ScriptedFileOperations::Step::Trash, EIO);
        rig.dialogs.queueMsgBoxAnswer(IDialogs::vbOK);
        rig.commands.mnuDelete_Click();
        const QString ask = QStringLiteral("MsgBox|Delete file %1?|65|%2|");
        QCOMPARE(Shown(rig.dialogs),
                 QStringList({ask.arg(QStringLiteral("e.jpg"), Title), ask.arg(QStringLiteral("c.jpg"), Title),
                              ErrorBox(QStringLiteral("Unable to move %1 to the trash (the desktop trash cannot take %1); "
                                                      "the file was not deleted.").arg(rig.at("pics/c.jpg")))}));
        QCOMPARE(rig.list.FileName(), QStringLiteral("c.jpg"));
        QCOMPARE(rig.read("pics/c.jpg"), QByteArray("c.jpg"));
    }

    // Where the controls sit is the design's table; their texts and order are behaviour. The
    // title, the buttons at their places and Return in the folder list opening a folder
    // rather than pressing a button are in the acceptance run.
    void moveDialogLayout()
    {
        CommandsRig rig;
        frmNewPath dialog(rig.fs, rig.at("pics"));
        QCOMPARE(QStringList({dialog.Label1->text(), dialog.cmdOK->text(), dialog.cmdAbort->text()}),
                 QStringList({"Select the Folder where Move the Selected Image:", "Move", "Cancel"}));
        QCOMPARE(nextTabStop(dialog.dirNewPath), static_cast<QWidget*>(dialog.cmdOK));
        QCOMPARE(nextTabStop(dialog.cmdOK), static_cast<QWidget*>(dialog.cmdAbort));
    }

    // Which folder the dialog reports (the one it has open, not one only highlighted) and a
    // file chosen while it is open are driven through the real window by the acceptance run.
    void commandsTakeSelectionOfTheMoment()
    {
        CommandsRig rig;
        // With nothing selected no command does anything.
        rig.dialogs.queueInputAnswer(QStringLiteral("x.jpg"));
        rig.commands.mnuRen_Click();
        rig.commands.mnuDelete_Click();
        QCOMPARE(rig.commands.mnuMove_Click(rig.at("pics")), nullptr);
        QString other = rig.at("other");
        rig.commands.frmMove_NewSelected(other);
        QVERIFY(rig.dialogs.calls().isEmpty());

        rig.list.SetListIndex(0);
        QPointer<frmNewPath> older = rig.commands.mnuMove_Click(rig.at("pics"));
        QPointer<frmNewPath> newer = rig.commands.mnuMove_Click(rig.at("pics"));
        // An earlier dialog still open is no longer listened to.
        older->dirNewPath->SetPath(other);
        QTest::mouseClick(older->cmdOK, Qt::LeftButton);
        rig.list.SetListIndex(2);
        newer->dirNewPath->SetPath(other);
        QTest::mouseClick(newer->cmdOK, Qt::LeftButton);
        QCOMPARE(rig.read("other/c.jpg"), QByteArray("c.jpg"));
        // Only the newer dialog moved a file.
        QCOMPARE(rig.rekeys, (Rekeys{{rig.at("pics/c.jpg"), rig.at("other/c.jpg")}}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(older.isNull() && newer.isNull());  // each dialog unloads itself once closed
    }

    void imageInformation()
    {
        ScriptedDialogs dialogs;
        Globals globals(dialogs);
        const FakeScaleForm at120(120), at254(254);
        ImageInformation(globals, at120).mnuImgInfo_Click(QStringLiteral("/p/a.jpg"), 13547, 10160);
        ImageInformation(globals, at120).mnuImgInfo_Click(QString(), 13547, 10160);
        // The answer has no icon or title of its own, so the program's title shows; the error box has both.
        QCOMPARE(Shown(dialogs), QStringList({"MsgBox|Height = 480  Width = 640|0||",
                                              ErrorBox(QStringLiteral("You must select an image !"))}));
        // At 254 DPI a HIMETRIC unit is a tenth of a pixel, so both roundings (halves to even) show.
        QCOMPARE(ImageInformation(globals, at254).Message(35, 25), QStringLiteral("Height = 2  Width = 4"));
        QCOMPARE(ImageInformation(globals, at254).Message(24.5, 25.5), QStringLiteral("Height = 3  Width = 2"));
    }
};

QTEST_MAIN(TestFileCommands)
#include "tst_FileCommands.moc"
