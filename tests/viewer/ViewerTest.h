#pragma once
#include "ScriptedDialogs.h"
#include "frmFullScreen.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QVector>

// The main window as the viewer sees it: a list of files with a selection that steps with
// wrap-around on 40 and 38, answering the viewer's questions and recording its events.
struct FakeOwner {
    QStringList files;
    int index = 0;
    bool answers = true;       // false: nobody answers QueryFileName
    bool namesNeighbours = false;
    QVector<short> keys;       // every KeyDown code, in order
    int queries = 0;           // QueryFileName count
    QString tooltip = QStringLiteral("a comment");

    void attach(frmFullScreen& viewer);
    QString current() const { return files.value(index); }
};

class ViewerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();

    // Window: layout of the two display modes and the scroll bars.
    void zoomLayout_data();
    void zoomLayout();
    void scrolling_data();
    void scrolling();
    void fitAfterZoomAndCheckMarks();
    void zoomKeptAcrossSteps();
    void designAndMenu();

    // Window: failures.
    void failureUnloads_data();
    void failureUnloads();
    void zoomTooLargeFromTheMenu();
    void failureDuringFirstShow();
    void emptyAnswerShowsBlack();

    // Window: keyboard and mouse.
    void keyboard_data();
    void keyboard();
    void mouse();

    // Decoding ahead, and drawing a zoomed picture.
    void steppingUsesPicturesDecodedAhead();
    void prefetchKeepsWithinBudget();
    void zoomDrawsOnlyTheVisiblePart();

    // Small parts.
    void virtualKeys_data();
    void virtualKeys();
    void scrollBarIsSixteenBit();

private:
    // Writes a picture into the test folder and returns its path.
    QString picture(const QString& name, const QImage& image, const char* format = "JPEG");
    // A viewer over `owner`, shown at exactly 1024 x 768 client pixels.
    frmFullScreen* open(FakeOwner& owner);

    QTemporaryDir m_dir;
    ScriptedDialogs m_dialogs;
    QVector<QPointer<frmFullScreen>> m_viewers;
};

namespace ViewerImages {
QImage Solid(int width, int height, QColor colour);
// Top-left red, top-right green, bottom-left blue, bottom-right white.
QImage Quadrants(int width, int height);
// Whether two colours differ by at most `tolerance` in each channel (JPEG is lossy).
bool Near(QColor actual, QColor expected, int tolerance = 40);
}
