#include "ViewerScenarios.h"
#include "BenchServices.h"
#include "ChildProcess.h"
#include "FileList.h"
#include "PeakMemory.h"
#include "PictureBox.h"
#include "PictureDecoder.h"
#include "frmFileDir.h"
#include "frmFullScreen.h"

#include <QImageReader>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <cmath>
#include <cstdio>

namespace {

// The box the viewer decodes a fitted picture to cover: its own device pixels.
QSize coverBox(const frmFullScreen& viewer)
{
    const qreal ratio = viewer.devicePixelRatioF();
    return QSize(int(std::ceil(viewer.width() * ratio)), int(std::ceil(viewer.height() * ratio)));
}

QString nextFile(frmFileDir& form)
{
    QString previous, next;
    form.frmScreen_QueryNeighbours(previous, next);
    return next;
}

}

void ViewerScenarios::Run(std::vector<BenchResult>& results, BenchServices& services, const QString& folder,
                          const QString& bigFolder)
{
    auto form = services.OpenMainWindow(folder);
    if (form->flbFiles->ListCount() < 3) {
        std::printf("warning: %s lists %d pictures, expected 3; viewer rows skipped\n", qPrintable(folder),
                    form->flbFiles->ListCount());
        return;
    }
    form->flbFiles->SetListIndex(0);
    form->mnuFullScreen_Click();
    QPointer<frmFullScreen> viewer = form->Viewer();
    WaitUntil([&] { return viewer && viewer->isVisible() && !viewer->IsLoading(); }, 10000);
    if (!viewer) {
        std::printf("warning: the viewer did not open; viewer rows skipped\n");
        return;
    }
    const QSize cover = coverBox(*viewer);
    const QSize natural = QImageReader(form->CurrentFile()).size();
    const QSize decoded = PictureDecoder::DecodeSize(natural, cover, true);
    const std::string scale = "1/" + std::to_string(natural.width() / decoded.width());
    std::printf("viewer: %dx%d, fitted decode at %dx%d (djpeg -scale %s)\n", cover.width(), cover.height(),
                decoded.width(), decoded.height(), scale.c_str());

    // Nothing of the last step may still run: the neighbour the viewer decodes ahead.
    // (The main window's preview waits while the viewer is shown.)
    const auto settled = [&] {
        if (viewer->imgFullScr->Pixels().size() != decoded)
            std::printf("warning: the viewer shows pixels of the wrong size\n");
        const QString next = nextFile(*form);
        const bool done = WaitUntil([&] {
            return viewer->Prefetcher().IsReady(next, cover);
        });
        if (!done)
            std::printf("warning: %s was not decoded ahead\n", qPrintable(next));
    };
    const auto step = [&] {
        viewer->Form_KeyDown(40, 0);
        WaitUntil([&] { return !viewer->IsLoading(); });
        viewer->repaint();
    };

    FloorWindow floor(viewer->imgFullScr->Pixels().scaled(cover).convertToFormat(QImage::Format_RGB32));
    floor.setGeometry(viewer->geometry());
    floor.show();
    WaitUntil([&] { return floor.isVisible(); }, 10000);
    BenchScenario prefetched{"viewer_step_prefetched", step, [&] { floor.repaint(); }, 15};
    prefetched.settle = settled;
    prefetched.target = {BenchTarget::Ours, 16};
    results.push_back(RunScenario(prefetched));
    floor.hide();

    // Cold: what was decoded ahead is dropped once everything has settled, so the step
    // reads its picture itself.
    bool cleared = false;
    BenchScenario cold{"viewer_step_cold",
                       [&] {
                           step();
                           cleared = false;
                       },
                       [&] { TimeChildMs({"djpeg", "-scale", scale, "-outfile", "/dev/null",
                                          nextFile(*form).toStdString()}); },
                       15};
    cold.settle = [&] {
        if (cleared)
            return;
        settled();
        viewer->Prefetcher().Clear();
        cleared = true;
    };
    cold.target = {BenchTarget::Ratio, 1.2};
    results.push_back(RunScenario(cold));
    viewer->Form_KeyDown(27, 0);
    form.reset();

    // Peak memory of a 3x view, in a process of its own, against the natural pixels plus
    // the prefetch budget.
    const QSize big = QImageReader(bigFolder + QStringLiteral("/a.jpg")).size();
    const double limitMB = double(big.width()) * big.height() * 4 / (1024.0 * 1024.0) + 64;
    const std::string self = PeakMemory::SelfPath();
    results.push_back(RunMeasured(
        "viewer_3x_peak_8000x6000", "MB", 3,
        [&] { return PeakMemory::RunMB({self, "--peak-viewer-3x", bigFolder.toStdString()}); },
        [&] { return limitMB; }, {BenchTarget::Ratio, 1.0}));
}

int ViewerScenarios::Peak3xChild(const QString& folder)
{
    BenchServices services;
    auto form = services.OpenMainWindow(folder);
    if (form->flbFiles->ListCount() < 1)
        return 2;
    form->flbFiles->SetListIndex(0);
    const QSize natural = QImageReader(form->CurrentFile()).size();
    // A user opens the viewer and picks the zoom from its popup menu seconds after the
    // selection: by then the preview has its pixels and the neighbour is decoded ahead.
    WaitUntil([&] { return !form->imgSmall->Pixels().isNull(); });
    form->mnuFullScreen_Click();
    QPointer<frmFullScreen> viewer = form->Viewer();
    if (!viewer)
        return 3;
    const QString next = nextFile(*form);
    WaitUntil([&] { return !viewer || viewer->Prefetcher().IsReady(next, coverBox(*viewer)); });
    if (!viewer)
        return 5;
    viewer->mnuZoom_Click(3);
    WaitUntil([&] { return !viewer || !viewer->IsLoading(); });
    if (!viewer)
        return 6;
    viewer->repaint();
    QCoreApplication::processEvents();
    return viewer->imgFullScr->Pixels().size() == natural ? 0 : 4;
}
