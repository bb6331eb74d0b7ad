// The File menu's commands: Rename, Delete and Move driven through the real file list and
// the real disk, the move dialog on its own and Image Information. A plain rename, a taken
// name, a cancelled delete and one in the middle of the list are in the acceptance run.
#include "AppError.h"
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

// A folder "pics" of five images a.jpg .. e.jpg (each holding its own name), a subfolder
// "pics/sub", an empty folder "other", a private home with its trash, and the file
// commands over the real file list, scripted dialogs and the real file operations.
struct CommandsRig {
    QTemporaryDir tmp;
    ScriptedFileSystem fs;
    ScriptedDialogs dialogs;
    Globals globals{dialogs};
    ScriptedFileOperations ops;
    Rekeys rekeys;
    bool rekeyFails = false;
    FileList list{fs, populate()};
    FileListView view{list};
    FileCommands commands{view, globals, ops, fs, [this](const QString& o, const QString& n) {
        rekeys.push_back({o, n});
        if (rekeyFails)
            throw AppError(3000, QStringLiteral("TooltipStore"), QStringLiteral("The store is locked"));
    }};

    QString populate()
    {
        TestFiles::usePrivateHome(at("home"));
        TestFiles::makeDir(at("pics/sub"));
        TestFiles::makeDir(at("other"));
        for (const char name : QByteArray("abcde"))
            TestFiles::write(at(QStringLiteral("pics/%1.jpg").arg(name)), name + QByteArray(".jpg"));
        return at("pics");
    }

    QString at(const QString& rel) const { return tmp.path() + QLatin1Char('/') + rel; }

    QByteArray read(const QString& rel) const { return TestFiles::read(at(rel)); }
};

// Rows: bytesAt is where b.jpg's bytes are afterwards; rekeyed, whether its comment was
// moved (or tried) to there.
struct Rename { QString answer; bool storeFails; QString bytesAt; bool failureShown, rekeyed; };
struct Delete { int selected, answer; bool trashRefuses; QString nowSelected; };

QWidget* nextTabStop(QWidget* from)
{
    QWidget* w = from->nextInFocusChain();
    while (w != from && !(w->focusPolicy() & Qt::TabFocus))
        w = w->nextInFocusChain();
    return w;
}
}

Q_DECLARE_METATYPE(Rename)
Q_DECLARE_METATYPE(Delete)

class TestFileCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rename_data()
    {
        QTest::addColumn<Rename>("row");
        QTest::newRow("folder part in the name") << Rename{"../other/b.jpg", false, "other/b.jpg", false, true};
        // The file is renamed, but its comment could not follow: said so, with the new path.
        QTest::newRow("comment store fails") << Rename{"z.jpg", true, "pics/z.jpg", true, true};
        QTest::newRow("cancelled") << Rename{"", false, "pics/b.jpg", false, false};
    }

    void rename()
    {
        QFETCH(Rename, row);
        CommandsRig rig;
        rig.list.SetListIndex(1);
        rig.dialogs.queueInputAnswer(row.answer);
        rig.rekeyFails = row.storeFails;
        rig.commands.mnuRen_Click();

        QStringList boxes{QStringLiteral("InputBox|New Name:|0|%1|b.jpg").arg(Title)};
        if (row.failureShown)
            boxes << ErrorBox(QStringLiteral("Unable to Rename or Move  ") + rig.at("pics/") + row.answer);
        QCOMPARE(Shown(rig.dialogs), boxes);
        QCOMPARE(rig.read(row.bytesAt), QByteArray("b.jpg"));
        QCOMPARE(rig.read("pics/c.jpg"), QByteArray("c.jpg"));
        QCOMPARE(rig.list.ListCount(), row.bytesAt.startsWith(QLatin1String("pics/")) ? 5 : 4);
        QCOMPARE(rig.rekeys, (row.rekeyed ? Rekeys{{rig.at("pics/b.jpg"), rig.at(row.bytesAt)}} : Rekeys()));
        // Comments of files in the root are keyed "//name", also after a typed "..".
        if (row.answer.startsWith(QLatin1String("..")))
            QCOMPARE(FileCommands::CommentPath(QStringLiteral("/img/../a.jpg")), QStringLiteral("//a.jpg"));
    }

    void deleteFile_data()
    {
        QTest::addColumn<Delete>("row");
        QTest::newRow("last of five") << Delete{4, IDialogs::vbOK, false, "d.jpg"};
        QTest::newRow("trash refuses") << Delete{2, IDialogs::vbOK, true, "c.jpg"};
    }

    void deleteFile()
    {
        QFETCH(Delete, row);
        const auto [selected, answer, trashRefuses, nowSelected] = row;
        CommandsRig rig;
        rig.list.SetListIndex(selected);
        const QString name = rig.list.FileName();
        rig.dialogs.queueMsgBoxAnswer(answer);
        if (trashRefuses)
            rig.ops.FailAt(ScriptedFileOperations::Step::Trash, EIO);
        rig.commands.mnuDelete_Click();

        QStringList boxes{QStringLiteral("MsgBox|Delete file %1?|65|%2|").arg(name, Title)};
        if (trashRefuses)
            boxes << ErrorBox(QStringLiteral("Unable to move %1 to the trash (the desktop trash cannot take %1); "
                                             "the file was not deleted.").arg(rig.at("pics/") + name));
        QCOMPARE(Shown(rig.dialogs), boxes);
        const bool deleted = answer == IDialogs::vbOK && !trashRefuses;
        QCOMPARE(rig.list.ListCount(), deleted ? 4 : 5);
        QCOMPARE(rig.list.FileName(), nowSelected);
        QCOMPARE(rig.read("pics/" + name), deleted ? QByteArray("<missing>") : name.toUtf8());
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
        QVERIFY(QDir(other).isEmpty());
        rig.list.SetListIndex(2);
        newer->dirNewPath->SetPath(other);
        QTest::mouseClick(newer->cmdOK, Qt::LeftButton);
        QCOMPARE(rig.read("other/c.jpg"), QByteArray("c.jpg"));
        QCOMPARE(rig.rekeys, (Rekeys{{rig.at("pics/c.jpg"), rig.at("other/c.jpg")}}));
        QCOMPARE(rig.list.ListCount(), 4);
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
