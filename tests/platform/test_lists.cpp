// The three list controls driven as the main window drives them.
#include "AppError.h"
#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "ScriptedFileSystem.h"
#include "TestFiles.h"

#include <QtTest>

class TestLists : public QObject {
    Q_OBJECT
    QString path(const QString& rel) const { return m_tmp.path() + QLatin1Char('/') + rel; }
    QTemporaryDir m_tmp;

    static QStringList rows(const FolderList& list)
    {
        QStringList texts;
        const QAbstractItemModel* model = list.model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, 0).data().toString().trimmed();
        return texts;
    }

private Q_SLOTS:
    // vol/pics holds a.jpg, B.JPG, c.jpg, .hidden.jpg, notes.txt and sub/; vol also holds other/
    // and Beta/.
    void init()
    {
        QDir(m_tmp.path()).removeRecursively();
        for (const char* folder : {"vol/pics/sub", "vol/other", "vol/Beta"})
            TestFiles::makeDir(path(QLatin1String(folder)));
        for (const char* name : {"a.jpg", "B.JPG", "c.jpg", ".hidden.jpg", "notes.txt"})
            TestFiles::write(path(QStringLiteral("vol/pics/") + QLatin1String(name)));
    }

    void fileList()
    {
        ScriptedFileSystem fs;
        FileList list(fs, path(QStringLiteral("vol/pics")));
        list.SetPattern(QStringLiteral("*.jpg"));
        QSignalSpy clicks(&list, &FileList::Click);
        list.SetListIndex(1);
        // Dot-files stay hidden; names match and sort without regard to case.
        QCOMPARE(list.FileName(), QStringLiteral("B.JPG"));
        list.SetListIndex(1);  // same index: no event
        list.SetSelected(1, true);
        QCOMPARE(clicks.size(), 1);
        list.SetSelected(2, true);
        QCOMPARE(clicks.size(), 2);
        QCOMPARE(list.currentIndex().row(), 2);  // the view shows what the property says

        TestFiles::write(path(QStringLiteral("vol/pics/0.jpg")));
        QCOMPARE(list.ListCount(), 3);  // not re-read until asked
        list.Refresh();
        QCOMPARE(list.ListIndex(), -1);
        QCOMPARE(list.ListCount(), 4);
        QCOMPARE(clicks.size(), 2);

        QVERIFY_THROWS_EXCEPTION(AppError, list.SetPath(path(QStringLiteral("vol/missing"))));
        fs.MakeUnreadable(path(QStringLiteral("vol/other")));
        QVERIFY_THROWS_EXCEPTION(AppError, list.SetPath(path(QStringLiteral("vol/other"))));
        list.SetPath(path(QStringLiteral("vol/pics/")));
        QCOMPARE(list.Path(), path(QStringLiteral("vol/pics")));
        // A folder removed after it was opened lists as empty instead of failing.
        list.SetPath(path(QStringLiteral("vol/pics/sub")));
        QDir(path(QStringLiteral("vol/pics/sub"))).removeRecursively();
        list.Refresh();
        QCOMPARE(list.ListCount(), 0);
    }

    // Which folder a volume's root opens is driven through the main window elsewhere.
    void folderListShowsTheChainAndOpens()
    {
        ScriptedFileSystem fs;
        const QString vol = path(QStringLiteral("vol"));
        fs.AddVolume(vol, QStringLiteral("Stick"));
        FolderList list(fs, path(QStringLiteral("vol/pics")));
        QSignalSpy changes(&list, &FolderList::Change);
        // The chain from the volume root, then the subfolders.
        QCOMPARE(rows(list), (QStringList{vol, "pics", "sub"}));
        QCOMPARE(list.currentIndex().row(), 1);
        // The list's own navigation opens the root itself, and subfolders sort without case.
        Q_EMIT list.doubleClicked(list.model()->index(0, 0));
        QCOMPARE(list.Path(), vol);
        QCOMPARE(rows(list), (QStringList{vol, "Beta", "other", "pics"}));
        QCOMPARE(changes.size(), 1);

        fs.MakeUnreadable(path(QStringLiteral("vol/other")));
        TestFiles::write(path(QStringLiteral("vol/file")));
        for (const QString& bad : {path(QStringLiteral("vol/missing")), path(QStringLiteral("vol/other")),
                                   path(QStringLiteral("vol/file")), QStringLiteral("relative/x"), QString()})
            QVERIFY_THROWS_EXCEPTION(AppError, list.SetPath(bad));
        QCOMPARE(list.Path(), vol);
        QCOMPARE(changes.size(), 1);

        // Enter opens the highlighted folder, not a click. One that cannot be read is reported,
        // and the open folder is shown afresh: a folder removed meanwhile is gone.
        QSignalSpy failures(&list, &FolderList::OpenFailed);
        QDir(path(QStringLiteral("vol/Beta"))).removeRecursively();
        list.setCurrentIndex(list.model()->index(2, 0));
        QTest::keyClick(&list, Qt::Key_Return);
        QCOMPARE(failures.size(), 1);
        QCOMPARE(failures.first().first().toString(), path(QStringLiteral("vol/other")));
        QCOMPARE(list.Path(), vol);
        QCOMPARE(rows(list), (QStringList{vol, "other", "pics"}));
        QCOMPARE(changes.size(), 1);
        list.setCurrentIndex(list.model()->index(2, 0));
        QTest::keyClick(&list, Qt::Key_Enter);
        QCOMPARE(list.Path(), path(QStringLiteral("vol/pics")));
        QCOMPARE(changes.size(), 2);
    }

    // A folder of many subfolders lists all of them, after its chain, in order without
    // regard to case; dot-folders stay out (files, the chain test).
    void folderListOfManySubfolders()
    {
        const QString many = TestFiles::makeDir(path(QStringLiteral("vol/many")));
        QStringList expected{QStringLiteral("_under")};
        for (int i = 0; i < 20000; i += 2)
            expected << QStringLiteral("a%1").arg(i, 5, 10, QLatin1Char('0'));
        for (int i = 1; i < 20000; i += 2)
            expected << QStringLiteral("B%1").arg(i, 5, 10, QLatin1Char('0'));
        expected << QStringLiteral("Zeta") << QStringLiteral("zeta") << QString::fromUtf8("\xc3\x84pfel")
                 << QString::fromUtf8("\xc3\xa4rger");
        // Created in reverse so that the disk's own order is no help.
        for (auto it = expected.crbegin(); it != expected.crend(); ++it)
            QCOMPARE(::mkdir(QFile::encodeName(many + QLatin1Char('/') + *it).constData(), 0755), 0);
        TestFiles::makeDir(many + QStringLiteral("/.hidden"));

        ScriptedFileSystem fs;
        FolderList list(fs, many);
        const QStringList chain = QStringList{QDir::rootPath()} + many.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        QCOMPARE(rows(list), chain + expected);
        // The rows open their own folders.
        Q_EMIT list.doubleClicked(list.model()->index(list.model()->rowCount() - 1, 0));
        QCOMPARE(list.Path(), many + QLatin1Char('/') + expected.last());
    }

    // A change of volume, and where it leads, is driven through the main window elsewhere.
    void driveListSelectsHoldingVolume()
    {
        ScriptedFileSystem fs;
        const QString vol = path(QStringLiteral("vol"));
        fs.AddVolume(vol, QStringLiteral("Stick"));
        DriveList drives(fs, path(QStringLiteral("vol/pics")));
        QSignalSpy changes(&drives, &DriveList::Change);
        QCOMPARE(drives.Drive(), vol);
        QVERIFY(drives.itemText(1).contains(QStringLiteral("Stick")));
        drives.SetDrive(path(QStringLiteral("vol/other")));  // same volume: no event
        QCOMPARE(changes.size(), 0);
    }
};

QTEST_MAIN(TestLists)
#include "test_lists.moc"
