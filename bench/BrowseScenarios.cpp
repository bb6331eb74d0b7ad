#include "BrowseScenarios.h"
#include "BenchServices.h"
#include "ChildProcess.h"
#include "FileList.h"
#include "PeakMemory.h"
#include "PictureBox.h"
#include "PreviewLoader.h"
#include "frmFileDir.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

// Prints the time a window's first frame was painted (CLOCK_MONOTONIC, ns), once the
// whole frame is done, and ends the application.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget& window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            QTimer::singleShot(0, qApp, [] {
                std::printf("%lld\n", MonotonicNs());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    bool m_painted = false;
};

void browseStepRow(std::vector<BenchResult>& results, BenchServices& services, const QString& folder)
{
    auto form = services.OpenMainWindow(folder);
    FileList& list = *form->flbFiles;
    if (list.ListCount() < 3)
        return;
    // Settled: the preview shows its decode and the entry below it is decoded ahead.
    const auto settled = [&] {
        WaitUntil([&] { return PreviewReady(*form); }, 10000);
        if (!WaitUntil([&] { return form->Preview().Ahead().HeldBytes() > 0; }, 10000))
            std::printf("warning: nothing was decoded ahead of %s\n", qPrintable(form->CurrentFile()));
    };
    list.SetListIndex(0);
    settled();
    FloorWindow floor(form->imgSmall->Pixels());
    floor.resize(form->imgSmall->size());
    floor.show();
    BenchScenario step{"browse_step_prefetched",
                       [&] {
                           form->StepSelection(40);
                           WaitUntil([&] { return PreviewReady(*form); }, 10000);
                           form->imgSmall->repaint();
                       },
                       [&] { floor.repaint(); }, 15};
    step.settle = settled;
    step.target = {BenchTarget::Ours, 16};
    results.push_back(RunScenario(step));
}

void photoRow(std::vector<BenchResult>& results, BenchServices& services, const QString& photo, const QString& scratch)
{
    // Two names for the photograph, so that each run selects the other and decodes again.
    const QString folder = scratch + QStringLiteral("/photo");
    QDir().mkpath(folder);
    for (const char* name : {"/a.jpg", "/b.jpg"})
        QFile::copy(photo, folder + QLatin1String(name));
    auto form = services.OpenMainWindow(folder);
    int next = 0;
    bool selectedSinceClear = false;
    const auto select = [&] {
        form->flbFiles->SetListIndex(next);
        next = 1 - next;
        selectedSinceClear = true;
    };
    const auto shown = [&] { WaitUntil([&] { return PreviewReady(*form); }, 10000); };
    select();
    shown();
    const QSize natural = QImageReader(photo).size();
    const QSize decoded = form->Preview().WantedSize();
    const std::string scale = "1/" + std::to_string(decoded.width() > 0 ? natural.width() / decoded.width() : 1);
    std::printf("photo: %s, %dx%d, preview decodes at %dx%d (djpeg -scale %s)\n", qPrintable(photo), natural.width(),
                natural.height(), decoded.width(), decoded.height(), scale.c_str());
    BenchScenario row{"preview_photo_pane",
                      [&] {
                          select();
                          shown();
                      },
                      [&] { TimeChildMs({"djpeg", "-scale", scale, "-outfile", "/dev/null", photo.toStdString()}); },
                      15};
    // Each run decodes: what was decoded ahead (the other name is a neighbour) is dropped.
    row.settle = [&] {
        shown();
        DropDecodedAhead(*form, selectedSinceClear);
    };
    row.target = {BenchTarget::Ratio, 1.1};
    results.push_back(RunScenario(row));
}

// Launch to the first painted frame, each side in a process of its own. The folders a
// user's start finds (settings, the comment store) are made once, before the runs.
void startupRow(std::vector<BenchResult>& results, const QString& folder, const QString& scratch)
{
    const std::string self = PeakMemory::SelfPath();
    const std::string root = (scratch + QStringLiteral("/startup")).toStdString();
    if (TimeChildMs({self, "--startup-prepare", root, folder.toStdString()}) < 0)
        return;
    results.push_back(RunMeasured(
        "startup_first_paint", "ms", 9, [&] { return TimeToMarkMs({self, "--startup", root, folder.toStdString()}); },
        [&] { return TimeToMarkMs({self, "--startup-reference", "-"}); }, {BenchTarget::Ratio, 1.3}));
    // What Qt alone needs for a window with text in it, to read the row above against.
    std::vector<double> menuAndList;
    for (int i = 0; i < 9; ++i)
        menuAndList.push_back(TimeToMarkMs({self, "--startup-reference", "menu-and-list"}));
    std::printf("startup_first_paint: a minimal main window with a menu bar and a list of names paints its first "
                "frame after %.2f ms\n",
                MedianMs(menuAndList));
}

}

void BrowseScenarios::Run(std::vector<BenchResult>& results, BenchServices& services, const QString& folder,
                          const QString& photo, const QString& scratch)
{
    browseStepRow(results, services, folder);
    if (photo.isEmpty() || !QFile::exists(photo))
        std::printf("warning: no real photograph (make bench fetches one); preview_photo_pane skipped\n");
    else
        photoRow(results, services, photo, scratch);
    startupRow(results, folder, scratch);
}

int BrowseScenarios::StartupPrepareChild(const QString& root, const QString& folder)
{
    BenchServices::Prepare(root, folder);
    return 0;
}

int BrowseScenarios::StartupChild(const QString& root, const QString& folder)
{
    BenchServices services(root);
    auto form = services.NewMainWindow(folder);
    FirstPaint painted(*form);
    form->Form_Load();
    form->show();
    return QApplication::exec();
}

int BrowseScenarios::StartupReferenceChild(bool menuAndList)
{
    if (!menuAndList) {
        QWidget window;
        window.resize(792, 573);
        FirstPaint painted(window);
        window.show();
        return QApplication::exec();
    }
    QMainWindow window;
    window.resize(792, 573);
    for (const char* title : {"&File", "&Image", "&Tooltip"})
        window.menuBar()->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("Open"));
    auto* names = new QListWidget(&window);
    for (int i = 0; i < 8; ++i)
        names->addItem(QStringLiteral("photo%1.jpg").arg(i));
    window.setCentralWidget(names);
    FirstPaint painted(window);
    window.show();
    return QApplication::exec();
}
