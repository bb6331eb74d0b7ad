// The main window's life, navigation, menus and layout, driven through the real window.
#include "BrowserFixture.h"
#include "CSplitter.h"
#include "ControlAdapter.h"
#include "DriveList.h"
#include "FormSurface.h"
#include "QtSplitterHost.h"
#include "SelectionStep.h"
#include "ShownDialogs.h"

#include <QtWidgets>
#include <QtTest>

namespace {
// A StepSelection row: the folder, the index selected before (-1: none), the key, the index after.
struct Step { const char* folder; int start, key, expected; };

QRectF boundsOf(frmFileDir& form, QWidget* control)
{
    const ControlAdapter& b = form.Bounds(control);
    return {b.Left(), b.Top(), b.Width(), b.Height()};
}

// Sends a press, moves and a release to the window's surface, as a user's drag would
// arrive (the splitter holds the mouse, so every event reaches the surface).
void drag(frmFileDir& form, QPointF fromTwips, QPointF toTwips)
{
    const double ux = form.Scale().UnitsPerPixelX(), uy = form.Scale().UnitsPerPixelY();
    const auto px = [&](QPointF t) { return QPoint(qRound(t.x() / ux), qRound(t.y() / uy)); };
    QWidget* surface = form.Surface();
    QTest::mouseMove(surface, px(fromTwips));
    QTest::mousePress(surface, Qt::LeftButton, {}, px(fromTwips));
    QTest::mouseMove(surface, px((fromTwips + toTwips) / 2));
    QTest::mouseMove(surface, px(toTwips));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, px(toTwips));
}
}

Q_DECLARE_METATYPE(Step)

class TestBrowser : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Changing volumes and folders, and the volumes and folders that cannot be read.
    void drivesAndFolders()
    {
        BrowserFixture f;
        // Last left on the second volume but started in pics: the process's volume and folder
        // win, while the second volume still remembers where the user was on it.
        f.settings.SaveSetting(QStringLiteral("tessel"), QStringLiteral("Startup"), QStringLiteral("lastDir"), f.path("vol2/deep"));
        frmFileDir& form = f.start(f.path("pics"));
        QCOMPARE(form.DriveList->Drive(), QStringLiteral("/"));
        QCOMPARE(form.flbFiles->Path(), f.path("pics"));
        // The file list follows the folder list and lists it (as the hostile corpus's looping
        // folders show), selecting no file.
        form.DriveList->SetDrive(f.path("vol2"));
        QCOMPARE(form.dirFolders->Path(), f.path("vol2/deep"));
        QCOMPARE(form.flbFiles->Path(), f.path("vol2/deep"));
        QCOMPARE(form.flbFiles->ListIndex(), -1);
        form.DriveList->SetDrive(QStringLiteral("/"));
        QCOMPARE(form.flbFiles->Path(), f.path("pics"));

        f.fs.MakeUnreadable(f.path("vol2"));
        // Picked in the combo box, an unreadable volume gives way to the executable's, silently.
        form.DriveList->setCurrentIndex(form.DriveList->findData(f.path("vol2")));
        QCOMPARE(form.DriveList->Drive(), QStringLiteral("/"));
        QCOMPARE(form.flbFiles->Path(), f.path("pics"));
        QVERIFY(f.dialogs.calls().isEmpty());

        for (const QString& bad : {f.path("vol2"), f.path("missing")}) {
            f.dialogs.clear();
            form.SetFolder(bad);
            QCOMPARE(Shown(f.dialogs), QStringList{ErrorBox(QStringLiteral("Disk ") + bad + QStringLiteral(" not ready"))});
            QCOMPARE(form.flbFiles->Path(), f.path("pics"));
        }
        f.fs.MakeReadable(f.path("vol2"));
        form.SetFolder(f.path("vol2/deep"));
        QCOMPARE(form.flbFiles->Path(), f.path("vol2/deep"));
        QCOMPARE(form.DriveList->Drive(), QStringLiteral("/"));  // the drive list stays
    }

    void stepSelection_data()
    {
        QTest::addColumn<Step>("row");
        // Plain steps, wrapping at both ends, and Page Down are pressed in the acceptance run;
        // Down from none starts the hostile corpus's and the preview's steps.
        const int down = KeyCodes::Down, up = KeyCodes::Up, pageDown = KeyCodes::PageDown;
        QTest::newRow("up from none") << Step{"pics", -1, up, 2};
        QTest::newRow("other key, none selected") << Step{"pics", -1, pageDown, -1};
        QTest::newRow("empty list") << Step{"pics/sub", -1, down, -1};
        QTest::newRow("list of one") << Step{"vol2/deep", 0, up, 0};
    }

    void stepSelection()
    {
        QFETCH(Step, row);
        BrowserFixture f;
        frmFileDir& form = f.startIn(f.path(row.folder));
        if (row.start >= 0)
            form.flbFiles->SetListIndex(row.start);
        const QString before = form.CurrentFile();
        QSignalSpy clicks(form.flbFiles, &FileList::Click);
        form.StepSelection(short(row.key));
        QCOMPARE(form.flbFiles->ListIndex(), row.expected);
        QCOMPARE(clicks.size(), row.expected == row.start ? 0 : 1);
        QCOMPARE(form.CurrentFile(), row.expected >= 0 ? f.path(row.folder) + '/' + form.flbFiles->List(row.expected) : before);
    }

    // Each menu's items a user can reach (a line as "-"), with their shortcuts; the drive
    // items stay out of sight. The right-button popup is this same File menu.
    void menusAsTheUserMeetsThem()
    {
        BrowserFixture f;
        frmFileDir& form = f.start();
        QStringList menus;
        for (QAction* menu : form.menuBar()->actions()) {
            QStringList items;
            for (QAction* a : menu->menu()->actions())
                if (a->isVisible() && a->isEnabled())
                    items << (a->isSeparator() ? QStringLiteral("-") : (a->text() + ' ' + a->shortcut().toString()).trimmed());
            menus << menu->text() + ':' + items.join('|');
        }
        QCOMPARE(menus, (QStringList{"&File:&Rename F2|&Delete   Del|&Move|-|&Image Information|View Full Screen|-|E&xit",
                                     "&Image:&View Full Screen|-|&Edit Current Inmage", "&Tooltip:&New Tooltip|&Edit|-|&Delete"}));
        QCOMPARE(form.menuBar()->actions().first()->menu(), form.Menus().Menu(QStringLiteral("mnuFile")));
    }

    // Dragging each bar moves the panes; a resize refits the preview without its file.
    void barsAndResizeMoveThePanes()
    {
        BrowserFixture f;
        const QString photo = f.path("pics/wide.jpg");
        QImage(400, 100, QImage::Format_RGB32).save(photo, "JPEG");
        frmFileDir& form = f.showIn(f.path("pics"));
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const CRect bar = form.splitter->BarRect();
        const double midY = form.Scale().ScaleHeight() / 2 + 600;
        drag(form, QPointF(bar.Left + 40, midY), QPointF(3000, midY));
        const CRect moved = form.splitter->BarRect();
        QVERIFY(qAbs(moved.Left - 3000) <= 15);  // within a pixel of the drop
        const QRectF files = boundsOf(form, form.flbFiles);
        QCOMPARE(files.left(), double(moved.Right));
        QCOMPARE(boundsOf(form, form.DriveList).left(), files.left());
        QCOMPARE(files.top(), boundsOf(form, form.DriveList).top() + 315);
        QCOMPARE(files.right(), form.Scale().ScaleWidth());  // the right pane is the file list's
        QCOMPARE(boundsOf(form, form.dirFolders).right(), double(moved.Left));
        QVERIFY(boundsOf(form, form.imgSmall).right() <= moved.Left);
        QCOMPARE(form.SplitterHost().TrackingLineCount(), 0);  // no line left on screen

        // The horizontal bar: the folder list and the preview pane change, the right pane not.
        const CRect hbar = form.subSplitter->BarRect();
        drag(form, QPointF(moved.Left / 2.0, hbar.Top + 40), QPointF(moved.Left / 2.0, 2000));
        QVERIFY(qAbs(form.subSplitter->BarRect().Top - 2000) <= 15);
        QCOMPARE(boundsOf(form, form.dirFolders).bottom(), double(form.subSplitter->BarRect().Top));
        QCOMPARE(boundsOf(form, form.flbFiles), files);
        QCOMPARE(form.SplitterHost().TrackingLineCount(), 0);

        form.imgSmall->SetPicture(Picture::LoadPicture(photo, form.logicalDpiX(), form.logicalDpiY()));
        QVERIFY(QFile::remove(photo));  // whatever happens next cannot read it

        form.resize(form.width() / 2, form.height());
        QTRY_VERIFY(form.Scale().ScaleWidth() < frmFileDir::DesignClientWidth);
        CRect pane;
        form.subSplitter->GetRect(2, pane);
        const QRectF preview = boundsOf(form, form.imgSmall);
        // 4:1 picture shrunk to the pane's width, centred in it.
        QCOMPARE(preview.width(), double(pane.Width()));
        QVERIFY(qAbs(preview.height() - pane.Width() / 4.0) <= 1);
        QVERIFY(preview.top() >= pane.Top && preview.bottom() <= pane.Bottom);
        QCOMPARE(form.imgSmall->GetPicture().Path(), photo);
    }
};

QTEST_MAIN(TestBrowser)
#include "test_browser.moc"
