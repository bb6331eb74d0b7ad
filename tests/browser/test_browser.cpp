// The main window's life and navigation, driven through the real window and lists.
#include "BrowserFixture.h"
#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "MenuTree.h"
#include "SelectionStep.h"

#include <QMenu>

#include <QSignalSpy>
#include <QtTest>

class TestBrowser : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstStartShowsExecutableFolderAndExitSavesIt();
    void startReturnsToLastFolder();
    void badStoredFolderStartsSilentlyInCurrentFolder_data();
    void badStoredFolderStartsSilentlyInCurrentFolder();
    void storedFolderOnOtherVolumeGivesWayToDriveList();
    void driveFolderFileChain();
    void unreadableVolumeFallsBackWithoutMessage();
    void setFolderReportsDiskNotReady();
    void stepSelection_data();
    void stepSelection();
    void stepSelectionOnEmptyListChangesNothing();
    void currentFileIsExactlyTheShownName();
    void enterRedisplaysAndRightClickDoesNotSelect();
    void closingEndsTheProgram();
};

void TestBrowser::firstStartShowsExecutableFolderAndExitSavesIt()
{
    BrowserFixture f;
    frmFileDir& form = f.start();
    QCOMPARE(form.dirFolders->Path(), f.path("app"));
    QCOMPARE(form.flbFiles->Path(), f.path("app"));
    QCOMPARE(form.flbFiles->Pattern(), QStringLiteral("*.jpg;*.gif;*.bmp;*.dib"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Tessel Image Explorer"));
    QCOMPARE(f.storedLastDir(), QStringLiteral("<none>"));

    form.dirFolders->SetPath(f.path("pics"));
    f.exit();
    QCOMPARE(f.storedLastDir(), f.path("pics"));
    QFile ini(f.path("cfg/tessel.ini"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(ini.readAll().contains("[Startup]"));
    QVERIFY(f.dialogs.calls().isEmpty());
}

void TestBrowser::startReturnsToLastFolder()
{
    BrowserFixture f;
    f.settings.SaveSetting(QStringLiteral("tessel"), QStringLiteral("Startup"), QStringLiteral("lastDir"), f.path("pics"));
    frmFileDir& form = f.start();
    QCOMPARE(form.flbFiles->Path(), f.path("pics"));
    QCOMPARE(form.flbFiles->ListCount(), 3);  // a.jpg, b.JPG, c.gif: not d.png
    QCOMPARE(form.flbFiles->List(1), QStringLiteral("b.JPG"));
}

void TestBrowser::badStoredFolderStartsSilentlyInCurrentFolder_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("deleted folder") << QStringLiteral("pics/gone");
    QTest::newRow("a file") << QStringLiteral("pics/a.jpg");
    QTest::newRow("garbage") << QStringLiteral("::\x01 not a path");
    QTest::newRow("empty") << QString();
}

void TestBrowser::badStoredFolderStartsSilentlyInCurrentFolder()
{
    QFETCH(QString, stored);
    BrowserFixture f;
    const QString value = stored.startsWith(QLatin1String("pics")) ? f.tmp.path() + QLatin1Char('/') + stored : stored;
    f.settings.SaveSetting(QStringLiteral("tessel"), QStringLiteral("Startup"), QStringLiteral("lastDir"), value);
    frmFileDir& form = f.start(f.path("pics/sub"));
    QCOMPARE(form.dirFolders->Path(), f.path("pics/sub"));
    QCOMPARE(form.flbFiles->Path(), f.path("pics/sub"));
    QVERIFY(f.dialogs.calls().isEmpty());
    QCOMPARE(form.windowTitle(), QStringLiteral("Tessel Image Explorer"));
}

void TestBrowser::storedFolderOnOtherVolumeGivesWayToDriveList()
{
    BrowserFixture f;
    f.settings.SaveSetting(QStringLiteral("tessel"), QStringLiteral("Startup"), QStringLiteral("lastDir"), f.path("vol2/deep"));
    frmFileDir& form = f.start(f.path("pics"));
    // The drive list starts on the process's volume, whose current folder wins.
    QCOMPARE(form.DriveList->Drive(), QStringLiteral("/"));
    QCOMPARE(form.flbFiles->Path(), f.path("pics"));
    // ...but the second volume still remembers where the user was on it.
    form.DriveList->SetDrive(f.path("vol2"));
    QCOMPARE(form.dirFolders->Path(), f.path("vol2/deep"));
    QCOMPARE(form.flbFiles->Path(), f.path("vol2/deep"));
    QCOMPARE(form.flbFiles->List(0), QStringLiteral("z.bmp"));
}

void TestBrowser::driveFolderFileChain()
{
    BrowserFixture f;
    frmFileDir& form = f.startIn(f.path("pics"));
    QSignalSpy clicks(form.flbFiles, &FileList::Click);
    form.DriveList->SetDrive(f.path("vol2"));
    QCOMPARE(form.dirFolders->Path(), f.path("vol2"));  // never visited: its root
    QCOMPARE(form.flbFiles->Path(), f.path("vol2"));
    form.dirFolders->SetPath(f.path("vol2/deep"));
    QCOMPARE(form.flbFiles->Path(), f.path("vol2/deep"));
    QCOMPARE(form.flbFiles->ListCount(), 1);
    QCOMPARE(form.flbFiles->ListIndex(), -1);
    QCOMPARE(clicks.size(), 0);  // navigation selects no file
    form.DriveList->SetDrive(QStringLiteral("/"));
    QCOMPARE(form.flbFiles->Path(), f.path("pics"));
}

void TestBrowser::unreadableVolumeFallsBackWithoutMessage()
{
    BrowserFixture f;
    frmFileDir& form = f.startIn(f.path("pics"));
    f.fs.MakeUnreadable(f.path("vol2"));
    // The user picks the unreadable volume in the combo box.
    form.DriveList->setCurrentIndex(form.DriveList->findData(f.path("vol2")));
    QCOMPARE(form.DriveList->Drive(), QStringLiteral("/"));  // the executable's volume
    QCOMPARE(form.dirFolders->Path(), f.path("pics"));
    QCOMPARE(form.flbFiles->Path(), f.path("pics"));
    QVERIFY(f.dialogs.calls().isEmpty());
}

void TestBrowser::setFolderReportsDiskNotReady()
{
    BrowserFixture f;
    frmFileDir& form = f.startIn(f.path("pics"));
    f.fs.MakeUnreadable(f.path("vol2"));
    for (const QString& bad : {f.path("vol2"), f.path("missing")}) {
        f.dialogs.clear();
        form.SetFolder(bad);
        QCOMPARE(f.dialogs.calls().size(), 1);
        const ScriptedDialogs::Call& call = f.dialogs.calls().first();
        QCOMPARE(call.text, QStringLiteral("Disk ") + bad + QStringLiteral(" not ready"));
        QCOMPARE(call.style, 48);
        QCOMPARE(call.title, QStringLiteral("Images Browser and Viewer"));
        QCOMPARE(form.flbFiles->Path(), f.path("pics"));
    }
    form.SetFolder(f.path("vol2/deep"));
    f.fs.MakeReadable(f.path("vol2"));
    form.SetFolder(f.path("vol2/deep"));
    QCOMPARE(form.flbFiles->Path(), f.path("vol2/deep"));
    QCOMPARE(form.DriveList->Drive(), QStringLiteral("/"));  // the drive list stays
}

void TestBrowser::stepSelection_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("down") << 0 << int(KeyCodes::Down) << 1;
    QTest::newRow("down wraps") << 2 << int(KeyCodes::Down) << 0;
    QTest::newRow("up") << 2 << int(KeyCodes::Up) << 1;
    QTest::newRow("up wraps") << 0 << int(KeyCodes::Up) << 2;
    QTest::newRow("down from none") << -1 << int(KeyCodes::Down) << 0;
    QTest::newRow("up from none") << -1 << int(KeyCodes::Up) << 2;
    QTest::newRow("page down moves nothing") << 1 << 34 << 1;
    QTest::newRow("other key, none selected") << -1 << 34 << -1;
}

void TestBrowser::stepSelection()
{
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, expected);
    BrowserFixture f;
    frmFileDir& form = f.startIn(f.path("pics"));
    if (start >= 0)
        form.flbFiles->SetListIndex(start);
    const QString before = form.CurrentFile();
    QSignalSpy clicks(form.flbFiles, &FileList::Click);
    form.StepSelection(short(key));
    QCOMPARE(form.flbFiles->ListIndex(), expected);
    QCOMPARE(clicks.size(), expected == start ? 0 : 1);
    if (expected >= 0)
        QCOMPARE(form.CurrentFile(), f.path("pics/") + form.flbFiles->List(expected));
    else
        QCOMPARE(form.CurrentFile(), before);
}

void TestBrowser::stepSelectionOnEmptyListChangesNothing()
{
    BrowserFixture f;
    frmFileDir& form = f.startIn(f.path("pics"));
    form.flbFiles->SetListIndex(0);
    form.dirFolders->SetPath(f.path("pics/sub"));
    const QString before = form.CurrentFile();
    form.StepSelection(KeyCodes::Down);
    form.StepSelection(KeyCodes::Up);
    QCOMPARE(form.flbFiles->ListIndex(), -1);
    QCOMPARE(form.CurrentFile(), before);

    // In a list of one, stepping lands on the same entry: no click, same file.
    form.dirFolders->SetPath(f.path("vol2/deep"));
    QSignalSpy clicks(form.flbFiles, &FileList::Click);
    form.StepSelection(KeyCodes::Down);
    form.StepSelection(KeyCodes::Down);
    QCOMPARE(clicks.size(), 1);
    QCOMPARE(form.CurrentFile(), f.path("vol2/deep/z.bmp"));
}

void TestBrowser::currentFileIsExactlyTheShownName()
{
    BrowserFixture f;
    const QStringList odd{QStringLiteral("with space.jpg"), QStringLiteral("quote\"d.jpg"),
                          QStringLiteral("semi;colon.jpg"), QStringLiteral("-dash.jpg"),
                          QStringLiteral("a\" or \"1\"=\"1.jpg")};
    for (const QString& name : odd)
        TestFiles::write(f.path("pics/sub/") + name);
    frmFileDir& form = f.startIn(f.path("pics/sub"));
    QCOMPARE(form.flbFiles->ListCount(), odd.size());
    for (int i = 0; i < form.flbFiles->ListCount(); ++i) {
        form.flbFiles->SetListIndex(i);
        QCOMPARE(form.CurrentFile(), f.path("pics/sub/") + form.flbFiles->List(i));
        QVERIFY(QFile::exists(form.CurrentFile()));
    }
}

void TestBrowser::enterRedisplaysAndRightClickDoesNotSelect()
{
    BrowserFixture f;
    frmFileDir& form = f.startIn(f.path("pics"));
    // Enter in an empty list makes the folder itself, with its separator, current.
    form.dirFolders->SetPath(f.path("pics/sub"));
    int enter = 13;
    form.flbFiles_KeyPress(enter);
    QCOMPARE(form.CurrentFile(), f.path("pics/sub") + QLatin1Char('/'));
    int other = 'a';
    form.Form_KeyPress(other);
    QCOMPARE(form.CurrentFile(), f.path("pics/sub") + QLatin1Char('/'));

    form.dirFolders->SetPath(f.path("pics"));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.flbFiles->SetListIndex(1);
    const QPoint overFirst = form.flbFiles->visualRect(form.flbFiles->model()->index(0, 0)).center();
    QTest::mousePress(form.flbFiles->viewport(), Qt::RightButton, {}, overFirst);
    QTest::mouseRelease(form.flbFiles->viewport(), Qt::RightButton, {}, overFirst);
    QMenu* fileMenu = form.Menus().Menu(QStringLiteral("mnuFile"));
    QTRY_VERIFY(fileMenu->isVisible());
    fileMenu->close();
    QCOMPARE(form.flbFiles->ListIndex(), 1);
    QCOMPARE(form.CurrentFile(), f.path("pics/b.JPG"));
}

void TestBrowser::closingEndsTheProgram()
{
    BrowserFixture f;
    frmFileDir& form = f.startIn(f.path("pics"));
    QWidget other;  // another window of the program, still open
    other.show();
    form.show();
    QSignalSpy unloaded(&form, &frmFileDir::Unloaded);
    form.close();  // the window's close button
    QCOMPARE(unloaded.size(), 1);
    QCOMPARE(f.storedLastDir(), f.path("pics"));
}

QTEST_MAIN(TestBrowser)
#include "test_browser.moc"
