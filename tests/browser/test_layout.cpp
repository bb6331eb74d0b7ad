// The three-pane layout of the real main window: bars, panes, drags and resizes.
#include "BrowserFixture.h"
#include "CSplitter.h"
#include "ControlAdapter.h"
#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "FormSurface.h"
#include "PictureBox.h"
#include "QtSplitterHost.h"

#include <QImage>
#include <QtTest>

namespace {
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

class TestLayout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void panesFollowTheBarsAtLoad();
    void draggingEachBarMovesThePanes();
    void clickAwayFromTheBarsChangesNothing();
    void resizeRefitsWithoutReadingTheFile();
};

void TestLayout::panesFollowTheBarsAtLoad()
{
    BrowserFixture f;
    frmFileDir& form = f.startIn(f.path("pics"));
    // Before it is shown the file list fills its pane; the first resize moves it down.
    QCOMPARE(boundsOf(form, form.flbFiles).top(), 0.0);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const CRect bar = form.splitter->BarRect();
    const double width = form.Scale().ScaleWidth();
    // The vertical bar is centred on half the client width, 80 twips thick.
    QCOMPARE(bar.Width(), 80);
    QVERIFY(qAbs((bar.Left + bar.Right) / 2.0 - width / 2) <= 1);
    const QRectF files = boundsOf(form, form.flbFiles);
    const QRectF drive = boundsOf(form, form.DriveList);
    QCOMPARE(files.left(), double(bar.Right));
    QCOMPARE(drive.left(), files.left());
    QCOMPARE(drive.width(), files.width());
    QCOMPARE(files.top(), drive.top() + 315);
    QCOMPARE(files.height(), form.Scale().Height() - drive.height() - 615);
    const QRectF folders = boundsOf(form, form.dirFolders);
    QCOMPARE(folders.right(), double(bar.Left));
    QCOMPARE(folders.bottom(), double(form.subSplitter->BarRect().Top));
}

void TestLayout::draggingEachBarMovesThePanes()
{
    BrowserFixture f;
    frmFileDir& form = f.startIn(f.path("pics"));
    form.show();
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
    QCOMPARE(boundsOf(form, form.dirFolders).right(), double(moved.Left));
    QCOMPARE(boundsOf(form, form.imgSmall).right() <= moved.Left, true);
    QCOMPARE(form.SplitterHost().TrackingLineCount(), 0);  // no line left on screen

    // The horizontal bar: the folder list and the preview pane change, the right pane not.
    const QRectF filesBefore = boundsOf(form, form.flbFiles);
    const CRect hbar = form.subSplitter->BarRect();
    drag(form, QPointF(moved.Left / 2.0, hbar.Top + 40), QPointF(moved.Left / 2.0, 2000));
    QVERIFY(qAbs(form.subSplitter->BarRect().Top - 2000) <= 15);
    QCOMPARE(boundsOf(form, form.dirFolders).bottom(), double(form.subSplitter->BarRect().Top));
    QCOMPARE(boundsOf(form, form.flbFiles), filesBefore);
    QCOMPARE(form.SplitterHost().TrackingLineCount(), 0);
}

void TestLayout::clickAwayFromTheBarsChangesNothing()
{
    BrowserFixture f;
    frmFileDir& form = f.startIn(f.path("pics"));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QRectF files = boundsOf(form, form.flbFiles);
    const QRectF folders = boundsOf(form, form.dirFolders);
    const CRect bar = form.splitter->BarRect();
    drag(form, QPointF(bar.Left - 300, 60), QPointF(bar.Left - 2000, 60));
    QCOMPARE(form.splitter->BarRect(), bar);
    QCOMPARE(boundsOf(form, form.flbFiles), files);
    QCOMPARE(boundsOf(form, form.dirFolders), folders);
}

void TestLayout::resizeRefitsWithoutReadingTheFile()
{
    BrowserFixture f;
    const QString photo = f.path("pics/wide.jpg");
    QImage(400, 100, QImage::Format_RGB32).save(photo, "JPEG");
    frmFileDir& form = f.startIn(f.path("pics"));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
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

QTEST_MAIN(TestLayout)
#include "test_layout.moc"
