// Rename, Delete and Move driven through the real file list and the real disk, and the
// move dialog on its own.
#include "AppError.h"
#include "ControlAdapter.h"
#include "FileCommands.h"
#include "FileList.h"
#include "FileListView.h"
#include "FolderList.h"
#include "frmNewPath.h"
#include "Globals.h"
#include "ScriptedDialogs.h"
#include "ScriptedFileOperations.h"
#include "ScriptedFileSystem.h"
#include "TestFiles.h"

#include <QLabel>
#include <QPushButton>
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
        qputenv("HOME", QFile::encodeName(at("home")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(at("home/data")));
        TestFiles::makeDir(at("pics/sub"));
        TestFiles::makeDir(at("other"));
        for (const char name : QByteArray("abcde"))
            TestFiles::write(at(QStringLiteral("pics/%1.jpg").arg(name)), name + QByteArray(".jpg"));
        return at("pics");
    }

    QString at(const QString& rel) const { return tmp.path() + QLatin1Char('/') + rel; }

    QByteArray read(const QString& rel) const
    {
        QFile file(at(rel));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Every box shown, one line each: kind|text|style|title|default answer.
    QStringList shown() const
    {
        QStringList boxes;
        for (const ScriptedDialogs::Call& c : dialogs.calls())
            boxes << QStringList{c.kind, c.text, QString::number(c.style), c.title, c.defaultText}.join('|');
        return boxes;
    }
};

// The shared error box: OK with the exclamation icon, the program's title.
QString errorBox(const QString& text) { return QStringLiteral("MsgBox|%1|48|%2|").arg(text, Title); }

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
    void rename_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("storeFails");
        QTest::addColumn<QString>("bytesAt");  // where b.jpg's bytes are afterwards
        QTest::addColumn<bool>("failureShown");
        QTest::addColumn<bool>("rekeyed");     // the comment moved (or was tried) to bytesAt
        QTest::newRow("new name") << "z.jpg" << false << "pics/z.jpg" << false << true;
        QTest::newRow("onto existing name") << "c.jpg" << false << "pics/b.jpg" << true << false;
        QTest::newRow("folder part in the name") << "../other/b.jpg" << false << "other/b.jpg" << false << true;
        QTest::newRow("comment store fails") << "z.jpg" << true << "pics/z.jpg" << true << true;
        QTest::newRow("cancelled") << "" << false << "pics/b.jpg" << false << false;
    }

    void rename()
    {
        QFETCH(QString, answer);
        QFETCH(bool, storeFails);
        QFETCH(QString, bytesAt);
        QFETCH(bool, failureShown);
        QFETCH(bool, rekeyed);
        CommandsRig rig;
        rig.list.SetListIndex(1);
        rig.dialogs.queueInputAnswer(answer);
        rig.rekeyFails = storeFails;
        rig.commands.mnuRen_Click();

        QStringList boxes{QStringLiteral("InputBox|New Name:|0|%1|b.jpg").arg(Title)};
        if (failureShown)
            boxes << errorBox(QStringLiteral("Unable to Rename or Move  ") + rig.at("pics/") + answer);
        QCOMPARE(rig.shown(), boxes);
        QCOMPARE(rig.read(bytesAt), QByteArray("b.jpg"));
        QCOMPARE(rig.read("pics/c.jpg"), QByteArray("c.jpg"));
        QCOMPARE(rig.list.ListCount(), bytesAt.startsWith(QLatin1String("pics/")) ? 5 : 4);
        QCOMPARE(rig.rekeys, (rekeyed ? Rekeys{{rig.at("pics/b.jpg"), rig.at(bytesAt)}} : Rekeys()));
        // Comments of files in the root are keyed "//name", also after a typed "..".
        if (answer.startsWith(QLatin1String("..")))
            QCOMPARE(FileCommands::CommentPath(QStringLiteral("/img/../a.jpg")), QStringLiteral("//a.jpg"));
    }

    void deleteFile_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("trashRefuses");
        QTest::addColumn<QString>("nowSelected");
        QTest::newRow("third of five") << 2 << int(IDialogs::vbOK) << false << "d.jpg";
        QTest::newRow("last of five") << 4 << int(IDialogs::vbOK) << false << "d.jpg";
        QTest::newRow("cancelled") << 2 << int(IDialogs::vbCancel) << false << "c.jpg";
        QTest::newRow("trash refuses") << 2 << int(IDialogs::vbOK) << true << "c.jpg";
    }

    void deleteFile()
    {
        QFETCH(int, selected);
        QFETCH(int, answer);
        QFETCH(bool, trashRefuses);
        QFETCH(QString, nowSelected);
        CommandsRig rig;
        rig.list.SetListIndex(selected);
        const QString name = rig.list.FileName();
        rig.dialogs.queueMsgBoxAnswer(answer);
        if (trashRefuses)
            rig.ops.FailAt(ScriptedFileOperations::Step::Trash, EIO);
        rig.commands.mnuDelete_Click();

        QStringList boxes{QStringLiteral("MsgBox|Delete file %1?|65|%2|").arg(name, Title)};
        if (trashRefuses)
            boxes << errorBox(QStringLiteral("Unable to move %1 to the trash (the desktop trash cannot take %1); "
                                             "the file was not deleted.").arg(rig.at("pics/") + name));
        QCOMPARE(rig.shown(), boxes);
        const bool deleted = answer == IDialogs::vbOK && !trashRefuses;
        QCOMPARE(rig.list.ListCount(), deleted ? 4 : 5);
        QCOMPARE(rig.list.FileName(), nowSelected);
        QCOMPARE(rig.read("pics/" + name), deleted ? QByteArray("<missing>") : name.toUtf8());
        if (deleted) {
            // In the trash, with what it takes to restore it.
            QCOMPARE(rig.read("home/data/Trash/files/" + name), name.toUtf8());
            QVERIFY(rig.read("home/data/Trash/info/" + name + ".trashinfo")
                        .contains("Path=" + QFile::encodeName(rig.at("pics/" + name))));
        }
    }

    void moveDialogLayout()
    {
        CommandsRig rig;
        frmNewPath dialog(rig.fs, rig.at("pics"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Move Images"));
        QVERIFY(dialog.isWindow() && !dialog.parentWidget());
        const double twipsPerPixel = dialog.Scale().UnitsPerPixelX();
        QVERIFY(qAbs(dialog.Scale().ScaleWidth() - 4335) <= twipsPerPixel / 2);
        QVERIFY(qAbs(dialog.Scale().ScaleHeight() - 4170) <= twipsPerPixel / 2);
        QCOMPARE(QStringList({dialog.Label1->text(), dialog.cmdOK->text(), dialog.cmdAbort->text()}),
                 QStringList({"Select the Folder where Move the Selected Image:", "Move", "Cancel"}));
        const std::pair<QWidget*, QVector<double>> designed[] = {{dialog.Label1, {120, 120, 3600, 195}},
                                                                 {dialog.dirNewPath, {120, 480, 3015, 3465}},
                                                                 {dialog.cmdOK, {3240, 3120, 975, 375}},
                                                                 {dialog.cmdAbort, {3240, 3600, 975, 375}}};
        for (const auto& [control, bounds] : designed) {
            const ControlAdapter& b = dialog.Bounds(control);
            QCOMPARE(QVector<double>({b.Left(), b.Top(), b.Width(), b.Height()}), bounds);
            QCOMPARE(control->x(), qRound(bounds[0] / twipsPerPixel));
        }
        QCOMPARE(nextTabStop(dialog.dirNewPath), static_cast<QWidget*>(dialog.cmdOK));
        QCOMPARE(nextTabStop(dialog.cmdOK), static_cast<QWidget*>(dialog.cmdAbort));
        for (QPushButton* button : {dialog.cmdOK, dialog.cmdAbort})
            QVERIFY(!button->isDefault() && !button->autoDefault());
    }

    void moveDialogAnswers_data()
    {
        QTest::addColumn<bool>("open");         // double click on the subfolder, else one click only highlights it
        QTest::addColumn<QString>("button");    // "Move", "Cancel" or "" for the close button
        QTest::addColumn<QString>("reported");  // "" when nothing is
        QTest::newRow("highlighted only") << false << "Move" << "pics";
        QTest::newRow("opened a subfolder") << true << "Move" << "pics/sub";
        QTest::newRow("Cancel") << true << "Cancel" << "";
        QTest::newRow("close button") << true << "" << "";
    }

    void moveDialogAnswers()
    {
        QFETCH(bool, open);
        QFETCH(QString, button);
        QFETCH(QString, reported);
        CommandsRig rig;
        QPointer<frmNewPath> dialog = new frmNewPath(rig.fs, rig.at("pics"));
        dialog->show();
        QStringList heard;
        connect(dialog, &frmNewPath::NewSelected, this, [&](QString& sPath) {
            QVERIFY(dialog && dialog->isVisible());  // raised before the dialog unloads
            heard << sPath;
        });
        FolderList& folders = *dialog->dirNewPath;
        int row = 0;
        for (folders.setCurrentRow(row); folders.HighlightedPath() != rig.at("pics/sub"); folders.setCurrentRow(++row))
            QVERIFY(row < folders.count());
        if (open)
            Q_EMIT folders.itemDoubleClicked(folders.item(row));
        if (button.isEmpty())
            dialog->close();
        else
            QTest::mouseClick(button == QLatin1String("Move") ? dialog->cmdOK : dialog->cmdAbort, Qt::LeftButton);
        QCOMPARE(heard, reported.isEmpty() ? QStringList() : QStringList{rig.at(reported)});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(dialog.isNull());  // it unloads itself
    }

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
        QVERIFY(older && newer && older != newer);
        // An earlier dialog still open is no longer listened to.
        older->dirNewPath->SetPath(other);
        QTest::mouseClick(older->cmdOK, Qt::LeftButton);
        QVERIFY(QDir(other).isEmpty());
        // The main window stays usable: another file is chosen while the dialog is open.
        rig.list.SetListIndex(2);
        newer->dirNewPath->SetPath(other);
        QTest::mouseClick(newer->cmdOK, Qt::LeftButton);
        QCOMPARE(rig.read("other/c.jpg"), QByteArray("c.jpg"));
        QCOMPARE(rig.read("pics/c.jpg"), QByteArray("<missing>"));
        QCOMPARE(rig.rekeys, (Rekeys{{rig.at("pics/c.jpg"), rig.at("other/c.jpg")}}));
        QCOMPARE(rig.list.ListCount(), 4);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the closed dialogs go first
    }
};

std::unique_ptr<QObject> newFileCommandsTest() { return std::make_unique<TestFileCommands>(); }
#include "tst_FileCommands.moc"
