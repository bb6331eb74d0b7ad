// The full-screen viewer opened from the main window and stepping through its list.
#include "BrowserFixture.h"
#include "FileList.h"
#include "PictureBox.h"
#include "PictureDecoder.h"
#include "PreviewLoader.h"
#include "frmFullScreen.h"

#include <QImage>
#include <QSignalSpy>
#include <QtTest>

namespace {
void writeImages(BrowserFixture& f)
{
    const QSize sizes[] = {{640, 480}, {320, 200}, {100, 50}};
    const char* const names[] = {"a.jpg", "b.JPG", "c.gif"};
    for (int i = 0; i < 3; ++i) {
        QImage image(sizes[i], QImage::Format_RGB32);
        image.fill(Qt::darkYellow);
        QVERIFY(image.save(f.path("pics/") + QLatin1String(names[i]), i == 2 ? "BMP" : "JPEG"));
    }
}

QString shownPath(frmFileDir& form)
{
    return form.Viewer() ? form.Viewer()->imgFullScr->GetPicture().Path() : QString();
}
}

class TestHandoff : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nothingOpensBeforeASelection();
    void doubleClickOpensOnThatEntry();
    void steppingMovesTheBrowserWithWrapAround();
    void onlyTheNewestViewerIsServed();
    void deletedFileClosesTheViewer();
    void closingTheMainWindowEndsWithAViewerOpen();
};

void TestHandoff::nothingOpensBeforeASelection()
{
    BrowserFixture f;
    writeImages(f);
    frmFileDir& form = f.startIn(f.path("pics"));
    form.Menus().Action(QStringLiteral("mnuFullScreen"))->trigger();
    form.Menus().Action(QStringLiteral("mnuVFS"))->trigger();
    form.imgSmall_Click();
    QVERIFY(form.Viewer() == nullptr);
    QVERIFY(f.dialogs.calls().isEmpty());
}

void TestHandoff::doubleClickOpensOnThatEntry()
{
    BrowserFixture f;
    writeImages(f);
    frmFileDir& form = f.startIn(f.path("pics"));
    form.show();
    form.flbFiles->SetListIndex(0);
    // A double click takes the file from the list at that moment, not from the preview.
    form.flbFiles->setCurrentIndex(form.flbFiles->model()->index(1, 0));
    form.flbFiles_DblClick();
    QVERIFY(form.Viewer());
    QCOMPARE(form.CurrentFile(), f.path("pics/b.JPG"));
    QCOMPARE(shownPath(form), f.path("pics/b.JPG"));
}

void TestHandoff::steppingMovesTheBrowserWithWrapAround()
{
    BrowserFixture f;
    writeImages(f);
    frmFileDir& form = f.startIn(f.path("pics"));
    form.show();
    form.flbFiles->SetListIndex(2);
    // Let the preview's own decode of c.gif finish first: only decodes started later count.
    QTRY_VERIFY(!form.imgSmall->Pixels().isNull());
    form.Menus().Action(QStringLiteral("mnuFullScreen"))->trigger();
    frmFullScreen* viewer = form.Viewer();
    QVERIFY(viewer);
    QCOMPARE(shownPath(form), f.path("pics/c.gif"));

    const int previewDecodes = form.Preview().Decoder().DecodesStarted();
    viewer->mnuZoom_Click(2);
    viewer->mnuNext_Click();  // c -> a: wraps
    QCOMPARE(form.flbFiles->ListIndex(), 0);
    QCOMPARE(shownPath(form), f.path("pics/a.jpg"));
    QVERIFY(form.windowTitle().startsWith(f.path("pics/a.jpg") + QStringLiteral("   - Height = 480")));
    QCOMPARE(form.imgSmall->GetPicture().Path(), f.path("pics/a.jpg"));
    QCOMPARE(viewer->Zoom(), 2);  // the mode survives the step

    viewer->mnuPrevious_Click();  // a -> c: wraps back
    QCOMPARE(form.flbFiles->ListIndex(), 2);
    QCOMPARE(shownPath(form), f.path("pics/c.gif"));
    viewer->Form_KeyDown(40, 0);
    viewer->Form_KeyDown(40, 0);
    QCOMPARE(shownPath(form), f.path("pics/b.JPG"));
    QCOMPARE(form.CurrentFile(), f.path("pics/b.JPG"));
    viewer->Form_KeyDown(34, 0);  // Page Down: passed on, nothing moves
    QCOMPARE(form.flbFiles->ListIndex(), 1);
    viewer->mnuFitToScreen_Click();
    // While the viewer decodes the files it steps to, the preview does not decode them too;
    // on Esc it takes the viewer's pixels of the same file.
    QCOMPARE(form.Preview().Decoder().DecodesStarted(), previewDecodes);
    viewer->Form_KeyDown(27, 0);
    QVERIFY(!viewer->isVisible());
    QCOMPARE(form.flbFiles->ListIndex(), 1);
    QVERIFY(form.imgSmall->Pixels().cacheKey() == viewer->imgFullScr->Pixels().cacheKey());
    QCOMPARE(form.Preview().Decoder().DecodesStarted(), previewDecodes);
}

void TestHandoff::onlyTheNewestViewerIsServed()
{
    BrowserFixture f;
    writeImages(f);
    frmFileDir& form = f.startIn(f.path("pics"));
    form.show();
    form.flbFiles->SetListIndex(0);
    form.mnuFullScreen_Click();
    QPointer<frmFullScreen> first = form.Viewer();
    form.mnuFullScreen_Click();
    QVERIFY(form.Viewer() != first);
    QVERIFY(first);  // still on screen
    first->mnuNext_Click();  // nobody answers it any more
    QCOMPARE(form.flbFiles->ListIndex(), 0);
    QCOMPARE(first->imgFullScr->GetPicture().IsEmpty(), true);
    QVERIFY(f.dialogs.calls().isEmpty());
}

void TestHandoff::deletedFileClosesTheViewer()
{
    BrowserFixture f;
    writeImages(f);
    frmFileDir& form = f.startIn(f.path("pics"));
    form.show();
    form.flbFiles->SetListIndex(0);
    form.mnuFullScreen_Click();
    QPointer<frmFullScreen> viewer = form.Viewer();
    QVERIFY(QFile::remove(f.path("pics/b.JPG")));
    viewer->mnuNext_Click();
    QCOMPARE(f.dialogs.calls().size(), 1);
    QCOMPARE(f.dialogs.calls().first().text, QStringLiteral("Unable to Open ") + f.path("pics/b.JPG"));
    QCOMPARE(f.dialogs.calls().first().title, QStringLiteral("Images Browser and Viewer"));
    QTRY_VERIFY(viewer.isNull());
    QCOMPARE(form.flbFiles->ListIndex(), 1);  // the browser had already stepped
    // The main window is still usable and opens a fresh viewer.
    form.flbFiles->SetListIndex(2);
    form.mnuFullScreen_Click();
    QCOMPARE(shownPath(form), f.path("pics/c.gif"));
    QCOMPARE(form.Viewer()->Zoom(), 0);
}

void TestHandoff::closingTheMainWindowEndsWithAViewerOpen()
{
    BrowserFixture f;
    writeImages(f);
    frmFileDir& form = f.startIn(f.path("pics"));
    form.show();
    form.flbFiles->SetListIndex(0);
    form.mnuFullScreen_Click();
    QPointer<frmFullScreen> viewer = form.Viewer();
    QSignalSpy unloaded(&form, &frmFileDir::Unloaded);
    form.close();
    QCOMPARE(unloaded.size(), 1);
    f.form.reset();  // the program's end destroys the main window
    QVERIFY(viewer.isNull());  // and the viewer it owns with it
}

QTEST_MAIN(TestHandoff)
#include "test_handoff.moc"
