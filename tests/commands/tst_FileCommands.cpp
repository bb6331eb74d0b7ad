// Rename, Delete and Move driven through the real file list and the real disk.
#include "CommandsRig.h"

#include <QSignalSpy>
#include <QtTest>
#include <cerrno>
#include <memory>

using Step = ScriptedFileOperations::Step;

class TestFileCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rename_data();
    void rename();
    void deleteFile_data();
    void deleteFile();
    void nothingSelectedDoesNothing();
    void moveToAnotherFileSystemTakesComment();
};

void TestFileCommands::rename_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("fault");      // "", "rename" or "comments"
    QTest::addColumn<QString>("bytesAt");    // where b.jpg's bytes are afterwards
    QTest::addColumn<int>("listed");         // entries in the list afterwards
    QTest::addColumn<bool>("failureShown");
    QTest::addColumn<QString>("rekeyedTo");  // "" when the comment must not move

    QTest::newRow("new name") << "z.jpg" << "" << "pics/z.jpg" << 5 << false << "pics/z.jpg";
    QTest::newRow("onto existing name") << "c.jpg" << "" << "pics/b.jpg" << 5 << true << "";
    QTest::newRow("other extension") << "b.png" << "" << "pics/b.png" << 4 << false << "pics/b.png";
    QTest::newRow("folder part in the name") << "../other/b.jpg" << "" << "other/b.jpg" << 4 << false << "other/b.jpg";
    QTest::newRow("file system refuses") << "z.jpg" << "rename" << "pics/b.jpg" << 5 << true << "";
    QTest::newRow("comment store fails") << "z.jpg" << "comments" << "pics/z.jpg" << 5 << true << "pics/z.jpg";
    QTest::newRow("cancelled") << "" << "" << "pics/b.jpg" << 5 << false << "";
}

void TestFileCommands::rename()
{
    QFETCH(QString, answer);
    QFETCH(QString, fault);
    QFETCH(QString, bytesAt);
    QFETCH(int, listed);
    QFETCH(bool, failureShown);
    QFETCH(QString, rekeyedTo);

    CommandsRig rig;
    rig.list->SetListIndex(1);
    rig.dialogs.queueInputAnswer(answer);
    if (fault == QLatin1String("rename"))
        rig.ops.FailAt(Step::Rename, EACCES);
    rig.rekeyFails = fault == QLatin1String("comments");
    rig.commands->mnuRen_Click();

    const auto& calls = rig.dialogs.calls();
    QCOMPARE(calls.size(), failureShown ? 2 : 1);
    QCOMPARE(calls[0].kind, QStringLiteral("InputBox"));
    QCOMPARE(calls[0].text, QStringLiteral("New Name:"));
    QCOMPARE(calls[0].title, CommandsRig::Title);
    QCOMPARE(calls[0].defaultText, QStringLiteral("b.jpg"));
    if (failureShown)
        rig.verifyError(calls[1], QStringLiteral("Unable to Rename or Move  ") + rig.at("pics/") + answer);
    QCOMPARE(CommandsRig::read(rig.at(bytesAt)), QByteArray("b.jpg"));
    QCOMPARE(CommandsRig::read(rig.at("pics/c.jpg")), QByteArray("c.jpg"));
    QCOMPARE(rig.list->ListCount(), listed);
    using Rekeys = QVector<QPair<QString, QString>>;
    QCOMPARE(rig.rekeys, (rekeyedTo.isEmpty() ? Rekeys() : Rekeys{{rig.at("pics/b.jpg"), rig.at(rekeyedTo)}}));
}

void TestFileCommands::deleteFile_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("trashRefuses");
    QTest::addColumn<QString>("nowSelected");  // "" when nothing is
    QTest::addColumn<int>("clicks");

    QTest::newRow("third of five") << 5 << 2 << int(IDialogs::vbOK) << false << "d.jpg" << 1;
    QTest::newRow("last of five") << 5 << 4 << int(IDialogs::vbOK) << false << "d.jpg" << 1;
    QTest::newRow("only file") << 1 << 0 << int(IDialogs::vbOK) << false << "" << 0;
    QTest::newRow("cancelled") << 5 << 2 << int(IDialogs::vbCancel) << false << "c.jpg" << 0;
    QTest::newRow("trash refuses") << 5 << 2 << int(IDialogs::vbOK) << true << "c.jpg" << 0;
}

void TestFileCommands::deleteFile()
{
    QFETCH(int, files);
    QFETCH(int, selected);
    QFETCH(int, answer);
    QFETCH(bool, trashRefuses);
    QFETCH(QString, nowSelected);
    QFETCH(int, clicks);

    CommandsRig rig(files);
    rig.list->SetListIndex(selected);
    const QString name = rig.list->FileName();
    QSignalSpy clicked(rig.list.get(), &FileList::Click);
    rig.dialogs.queueMsgBoxAnswer(answer);
    if (trashRefuses)
        rig.ops.FailAt(Step::Trash, EIO);
    rig.commands->mnuDelete_Click();

    const auto& calls = rig.dialogs.calls();
    QCOMPARE(calls.size(), trashRefuses ? 2 : 1);
    QCOMPARE(calls[0].text, QStringLiteral("Delete file ") + name + QStringLiteral("?"));
    QCOMPARE(calls[0].style, 65);
    QCOMPARE(calls[0].title, CommandsRig::Title);
    if (trashRefuses)
        rig.verifyError(calls[1], QStringLiteral("Unable to move %1 to the trash (the desktop trash cannot take %1); "
                                                 "the file was not deleted.").arg(rig.at("pics/") + name));
    const bool deleted = answer == IDialogs::vbOK && !trashRefuses;
    QCOMPARE(rig.list->ListCount(), deleted ? files - 1 : files);
    QCOMPARE(rig.list->FileName(), nowSelected);
    QCOMPARE(clicked.size(), clicks);
    QCOMPARE(QFile::exists(rig.at("pics/") + name), !deleted);
    if (deleted) {
        // In the trash, with what it takes to restore it.
        const QString trash = rig.at("home/data/Trash/");
        QCOMPARE(CommandsRig::read(trash + QStringLiteral("files/") + name), name.toUtf8());
        QVERIFY(CommandsRig::read(trash + QStringLiteral("info/") + name + QStringLiteral(".trashinfo"))
                    .contains("Path=" + QFile::encodeName(rig.at("pics/") + name)));
    }
}

void TestFileCommands::nothingSelectedDoesNothing()
{
    CommandsRig rig;
    rig.dialogs.queueInputAnswer(QStringLiteral("x.jpg"));
    rig.commands->mnuRen_Click();
    rig.commands->mnuDelete_Click();
    QCOMPARE(rig.commands->mnuMove_Click(rig.at("pics")), nullptr);
    QString target = rig.at("other");
    rig.commands->frmMove_NewSelected(target);
    QVERIFY(rig.dialogs.calls().isEmpty());
    QVERIFY(rig.rekeys.isEmpty());
    QCOMPARE(rig.list->ListCount(), 5);
    QVERIFY(QDir(rig.at("other")).isEmpty());
}

void TestFileCommands::moveToAnotherFileSystemTakesComment()
{
    CommandsRig rig;
    rig.ops.SimulateCrossDevice(true);
    rig.list->SetListIndex(3);
    QString target = rig.at("other");
    rig.commands->frmMove_NewSelected(target);
    QVERIFY(rig.ops.StepsRun().contains(Step::RemoveSource));
    QVERIFY(rig.dialogs.calls().isEmpty());
    QCOMPARE(CommandsRig::read(rig.at("other/d.jpg")), QByteArray("d.jpg"));
    QVERIFY(!QFile::exists(rig.at("pics/d.jpg")));
    QCOMPARE(rig.list->ListCount(), 4);
    QCOMPARE(rig.rekeys, (QVector<QPair<QString, QString>>{{rig.at("pics/d.jpg"), rig.at("other/d.jpg")}}));
    // Comments of files in the root are keyed "//name", also after a typed "..".
    QCOMPARE(FileCommands::CommentPath(QStringLiteral("/img/../a.jpg")), QStringLiteral("//a.jpg"));
    QCOMPARE(FileCommands::CommentPath(QStringLiteral("//a.jpg")), QStringLiteral("//a.jpg"));
}

std::unique_ptr<QObject> newFileCommandsTest() { return std::make_unique<TestFileCommands>(); }
#include "tst_FileCommands.moc"
