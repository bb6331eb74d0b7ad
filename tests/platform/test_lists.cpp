// The three list controls driven as the main window drives them.
#include "AppError.h"
#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "ScriptedFileSystem.h"
#include "TestFiles.h"

#include <QSignalSpy>
#include <QtTest>

class TestLists : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void fileListSelectionRaisesClickOnlyOnChange();
    void fileListPathAndRefresh();
    void fileListUserInput();
    void folderListOpensAndRemembersPerVolume();
    void folderListRefusesMissingAndUnreadable();
    void folderListDoubleClickOnVanishedFolder();
    void driveListSelectsHoldingVolume();

private:
    QString path(const QString& rel) const { return m_tmp.path() + QLatin1Char('/') + rel; }
    QTemporaryDir m_tmp;
};

void TestLists::init()
{
    QVERIFY(m_tmp.isValid());
    QDir(m_tmp.path()).removeRecursively();
    QDir().mkpath(m_tmp.path());
    TestFiles::makeDir(path(QStringLiteral("vol/pics/sub")));
    TestFiles::makeDir(path(QStringLiteral("vol/other")));
    TestFiles::makeDir(path(QStringLiteral("vol/Beta")));
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "notes.txt"})
        TestFiles::write(path(QStringLiteral("vol/pics/") + QLatin1String(name)));
}

void TestLists::fileListSelectionRaisesClickOnlyOnChange()
{
    ScriptedFileSystem fs;
    FileList list(fs, path(QStringLiteral("vol/pics")));
    list.SetPattern(QStringLiteral("*.jpg"));
    QSignalSpy clicks(&list, &FileList::Click);
    QCOMPARE(list.ListCount(), 3);
    QCOMPARE(list.ListIndex(), -1);
    QCOMPARE(list.FileName(), QString());

    list.SetListIndex(1);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(list.FileName(), QStringLiteral("b.jpg"));
    QVERIFY(list.Selected(1));
    list.SetListIndex(1);  // same index: no event
    list.SetSelected(1, true);
    QCOMPARE(clicks.size(), 1);
    list.SetSelected(2, true);
    QCOMPARE(clicks.size(), 2);
    QCOMPARE(list.currentIndex().row(), 2);  // the view shows what the property says
    QVERIFY_THROWS_EXCEPTION(AppError, list.SetListIndex(3));
    QVERIFY_THROWS_EXCEPTION(AppError, list.SetListIndex(-2));
    QCOMPARE(list.ListIndex(), 2);
}

void TestLists::fileListPathAndRefresh()
{
    ScriptedFileSystem fs;
    FileList list(fs, path(QStringLiteral("vol/pics")));
    list.SetPattern(QStringLiteral("*.jpg"));
    list.SetListIndex(0);
    TestFiles::write(path(QStringLiteral("vol/pics/0.jpg")));
    QCOMPARE(list.ListCount(), 3);  // not re-read until asked
    QSignalSpy clicks(&list, &FileList::Click);
    list.Refresh();
    QCOMPARE(list.ListIndex(), -1);
    QCOMPARE(list.ListCount(), 4);
    QCOMPARE(clicks.size(), 0);

    QVERIFY_THROWS_EXCEPTION(AppError, list.SetPath(path(QStringLiteral("vol/missing"))));
    fs.MakeUnreadable(path(QStringLiteral("vol/other")));
    QVERIFY_THROWS_EXCEPTION(AppError, list.SetPath(path(QStringLiteral("vol/other"))));
    QCOMPARE(list.Path(), path(QStringLiteral("vol/pics")));
    list.SetPath(path(QStringLiteral("vol/pics/")));
    QCOMPARE(list.Path(), path(QStringLiteral("vol/pics")));
    list.SetPath(QStringLiteral("/"));
    QCOMPARE(list.Path(), QStringLiteral("/"));

    // A folder removed after it was opened lists as empty instead of failing.
    list.SetPath(path(QStringLiteral("vol/pics/sub")));
    QDir(path(QStringLiteral("vol/pics/sub"))).removeRecursively();
    list.Refresh();
    QCOMPARE(list.ListCount(), 0);
}

void TestLists::fileListUserInput()
{
    ScriptedFileSystem fs;
    FileList list(fs, path(QStringLiteral("vol/pics")));
    list.SetPattern(QStringLiteral("*.jpg"));
    list.resize(200, 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy clicks(&list, &FileList::Click);
    QSignalSpy keys(&list, &FileList::KeyPress);
    QSignalSpy ups(&list, &FileList::MouseUp);

    list.setFocus();
    QCOMPARE(list.ListIndex(), -1);  // focus alone selects nothing
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(list.ListIndex(), 0);
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(list.ListIndex(), 1);
    QCOMPARE(clicks.size(), 2);
    QTest::keyClick(&list, Qt::Key_Return);
    QCOMPARE(keys.size(), 1);
    QCOMPARE(keys.first().first().toInt(), 13);

    // The right button never moves the selection; its release is reported.
    const QPoint overFirst = list.visualRect(list.model()->index(0, 0)).center();
    QTest::mousePress(list.viewport(), Qt::RightButton, {}, overFirst);
    QTest::mouseRelease(list.viewport(), Qt::RightButton, {}, overFirst);
    QCOMPARE(list.ListIndex(), 1);
    QCOMPARE(ups.size(), 1);
    QCOMPARE(ups.first().first().toInt(), 2);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, overFirst);
    QCOMPARE(list.ListIndex(), 0);
    QCOMPARE(clicks.size(), 3);
}

void TestLists::folderListOpensAndRemembersPerVolume()
{
    ScriptedFileSystem fs;
    const QString vol = path(QStringLiteral("vol"));
    fs.AddVolume(vol, QStringLiteral("Stick"));
    FolderList list(fs, path(QStringLiteral("vol/pics")));
    QSignalSpy changes(&list, &FolderList::Change);
    QCOMPARE(list.Path(), path(QStringLiteral("vol/pics")));
    // The chain from the volume root, then the subfolders.
    QCOMPARE(list.count(), 3);
    QCOMPARE(list.item(0)->text().trimmed(), vol);
    QCOMPARE(list.item(1)->text().trimmed(), QStringLiteral("pics"));
    QCOMPARE(list.item(2)->text().trimmed(), QStringLiteral("sub"));
    QCOMPARE(list.currentRow(), 1);

    // The root of the volume opens the folder last opened there.
    list.SetPath(path(QStringLiteral("vol/other")));
    list.SetPath(QStringLiteral("/"));
    QCOMPARE(list.Path(), QStringLiteral("/"));  // never visited "/": its root
    list.SetPath(vol);
    QCOMPARE(list.Path(), path(QStringLiteral("vol/other")));
    QCOMPARE(changes.size(), 3);

    // The list's own navigation opens the root itself, and subfolders sort without case.
    QListWidgetItem* rootItem = list.item(0);
    Q_EMIT list.itemDoubleClicked(rootItem);
    QCOMPARE(list.Path(), vol);
    QCOMPARE(list.item(1)->text().trimmed(), QStringLiteral("Beta"));
    QCOMPARE(list.item(2)->text().trimmed(), QStringLiteral("other"));
    // A single click only highlights.
    list.setCurrentRow(2);
    QCOMPARE(list.Path(), vol);
    QCOMPARE(list.HighlightedPath(), path(QStringLiteral("vol/other")));
}

void TestLists::folderListRefusesMissingAndUnreadable()
{
    ScriptedFileSystem fs;
    FolderList list(fs, path(QStringLiteral("vol/pics")));
    QSignalSpy changes(&list, &FolderList::Change);
    fs.MakeUnreadable(path(QStringLiteral("vol/other")));
    TestFiles::write(path(QStringLiteral("vol/file")));
    for (const QString& bad : {path(QStringLiteral("vol/missing")), path(QStringLiteral("vol/other")),
                               path(QStringLiteral("vol/file")), QStringLiteral("relative/x"), QString()})
        QVERIFY_THROWS_EXCEPTION(AppError, list.SetPath(bad));
    QCOMPARE(list.Path(), path(QStringLiteral("vol/pics")));
    QCOMPARE(changes.size(), 0);
}

void TestLists::folderListDoubleClickOnVanishedFolder()
{
    ScriptedFileSystem fs;
    FolderList list(fs, path(QStringLiteral("vol/pics")));
    QSignalSpy failures(&list, &FolderList::OpenFailed);
    QSignalSpy changes(&list, &FolderList::Change);
    const int before = list.count();
    QDir(path(QStringLiteral("vol/pics/sub"))).removeRecursively();
    QCOMPARE(list.item(before - 1)->text().trimmed(), QStringLiteral("sub"));
    Q_EMIT list.itemDoubleClicked(list.item(before - 1));
    QCOMPARE(failures.size(), 1);
    QCOMPARE(changes.size(), 0);
    QCOMPARE(list.Path(), path(QStringLiteral("vol/pics")));
    QCOMPARE(list.count(), before - 1);  // the stale entry is gone
}

void TestLists::driveListSelectsHoldingVolume()
{
    ScriptedFileSystem fs;
    const QString vol = path(QStringLiteral("vol"));
    fs.AddVolume(vol, QStringLiteral("Stick"));
    DriveList drives(fs, path(QStringLiteral("vol/pics")));
    QSignalSpy changes(&drives, &DriveList::Change);
    QCOMPARE(drives.Drive(), vol);
    QCOMPARE(drives.count(), 2);
    QVERIFY(drives.itemText(1).contains(QStringLiteral("Stick")));

    drives.SetDrive(path(QStringLiteral("vol/other")));  // same volume: no event
    QCOMPARE(changes.size(), 0);
    drives.SetDrive(QStringLiteral("/usr"));
    QCOMPARE(drives.Drive(), QStringLiteral("/"));
    QCOMPARE(changes.size(), 1);

    fs.MakeUnreadable(vol);
    QVERIFY_THROWS_EXCEPTION(AppError, drives.SetDrive(path(QStringLiteral("vol/pics"))));
    QCOMPARE(drives.Drive(), QStringLiteral("/"));
    QCOMPARE(changes.size(), 1);
}

QTEST_MAIN(TestLists)
#include "test_lists.moc"
