#include "PreviewScenarios.h"
#include "BenchServices.h"
#include "ChildProcess.h"
#include "FileList.h"
#include "PeakMemory.h"
#include "Picture.h"
#include "PictureBox.h"
#include "PictureDecoder.h"
#include "PreviewLoader.h"
#include "ThumbnailCache.h"
#include "frmFileDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>

namespace {

QSize decodedSize(const QString& path, QSize cover)
{
    const QSize natural = QImageReader(path).size();
    return PictureDecoder::DecodeSize(natural, cover, true);
}

// A window that does nothing but show one image, scaled into itself.
class ImageWindow : public QWidget {
public:
    explicit ImageWindow(QImage image) : m_image(std::move(image)) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(rect(), m_image);
    }

private:
    QImage m_image;
};

}

void PreviewScenarios::Run(std::vector<BenchResult>& results, BenchServices& services, const QString& folder,
                           const QString& hugeFolder)
{
    auto form = services.OpenMainWindow(folder);
    FileList& list = *form->flbFiles;
    if (list.ListCount() < 2) {
        std::printf("warning: %s lists %d pictures, expected 2; preview rows skipped\n", qPrintable(folder),
                    list.ListCount());
        return;
    }
    const QString paths[2] = {folder + QStringLiteral("/") + list.List(0), folder + QStringLiteral("/") + list.List(1)};
    // Each run selects the other file, so every run really decodes.
    int next = 0;
    bool selectedSinceClear = false;
    const auto selectNext = [&] {
        list.SetListIndex(next);
        next = 1 - next;
        selectedSinceClear = true;
    };
    const auto waitForPreview = [&] {
        if (!WaitUntil([&] { return PreviewReady(*form); }))
            std::printf("warning: the preview of %s did not arrive\n", qPrintable(form->CurrentFile()));
    };
    // Each run decodes: the other file, a neighbour, was decoded ahead; that is dropped.
    const auto settled = [&] {
        waitForPreview();
        DropDecodedAhead(*form, selectedSinceClear);
    };
    // The preview decodes for the size it is placed at: one selection tells which scale.
    selectNext();
    waitForPreview();
    const QSize expected = form->Preview().WantedSize();
    const QSize placed = form->imgSmall->size() * form->imgSmall->devicePixelRatioF();
    const QSize natural = QImageReader(paths[0]).size();
    const std::string scale = "1/" + std::to_string(expected.width() > 0 ? natural.width() / expected.width() : 1);
    std::printf("preview: placed at %dx%d, decode at %dx%d (djpeg -scale %s)\n", form->imgSmall->width(),
                form->imgSmall->height(), expected.width(), expected.height(), scale.c_str());
    const auto djpeg = [&] { TimeChildMs({"djpeg", "-scale", scale, "-outfile", "/dev/null", paths[next].toStdString()}); };

    BenchScenario preview{"preview_24mp_pane", [&] {
                                 selectNext();
                                 waitForPreview();
                             }, djpeg, 15};
    preview.settle = settled;
    preview.target = {BenchTarget::Ratio, 1.1};
    results.push_back(RunScenario(preview));

    // The handler alone: the decode it starts finishes, untimed, before the next run.
    BenchScenario handler{"select_handler_6000x4000", selectNext,
                          [&] { QImageReader(paths[next]).size(); }, 21};
    handler.settle = settled;
    handler.target = {BenchTarget::Ours, 5};
    results.push_back(RunScenario(handler));
    form.reset();

    // With the desktop's thumbnail cache: once both photos were decoded, each selection
    // shows its x-large thumbnail instead. The reference reads that thumbnail bare.
    {
        QTemporaryDir cacheDir;
        const ThumbnailCache cache(cacheDir.path());
        auto cached = services.OpenMainWindow(folder, cache.Root());
        int shown = 0;
        const auto selectOther = [&] {
            cached->flbFiles->SetListIndex(shown);
            shown = 1 - shown;
        };
        const auto thumbnailShown = [&] {
            return cached->imgSmall->GetPicture().Path() == cached->CurrentFile()
                   && qMax(cached->imgSmall->Pixels().width(), cached->imgSmall->Pixels().height())
                          == ThumbnailCache::WrittenEdge;
        };
        for (int i = 0; i < 2; ++i) {
            selectOther();
            WaitUntil([&] { return PreviewReady(*cached); });
        }
        WaitUntil([&] { return QDir(cache.Root() + QStringLiteral("/x-large")).count() >= 4; }, 10000);
        const QString thumbnail = cache.Root() + QStringLiteral("/x-large/") + ThumbnailCache::FileNameFor(paths[0]);
        BenchScenario hit{"preview_thumbnail_hit", [&] {
                              selectOther();
                              if (!WaitUntil([&] { return thumbnailShown(); }, 10000))
                                  std::printf("warning: no thumbnail shown for %s\n", qPrintable(cached->CurrentFile()));
                          },
                          [&] { QImage(thumbnail, "png").isNull(); }, 15};
        hit.target = {BenchTarget::Ours, 10};
        results.push_back(RunScenario(hit));
    }

    // Peak memory of a huge photo's preview, each side in a process of its own.
    const std::string self = PeakMemory::SelfPath();
    const QString huge = hugeFolder + QStringLiteral("/huge.jpg");
    const QSize hugeDecoded = decodedSize(huge, placed);  // the scale our preview decodes it at
    results.push_back(RunMeasured(
        "preview_peak_12000x8000", "MB", 3,
        [&] { return PeakMemory::RunMB({self, "--peak-preview", hugeFolder.toStdString()}); },
        [&] {
            return PeakMemory::RunMB({self, "--peak-reference", huge.toStdString(),
                                      std::to_string(hugeDecoded.width()), std::to_string(hugeDecoded.height())});
        },
        {BenchTarget::Ratio, 1.3}));
    // What the main window costs before any picture, to read the row above against.
    const QString nothing = hugeFolder + QStringLiteral("/nothing");
    QDir().mkpath(nothing);
    std::printf("preview_peak: the main window alone, nothing selected, peaks at %.1f MB\n",
                PeakMemory::RunMB({self, "--peak-preview", nothing.toStdString()}));
}

int PreviewScenarios::PeakPreviewChild(const QString& folder)
{
    BenchServices services;
    auto form = services.OpenMainWindow(folder);
    if (form->flbFiles->ListCount() < 1)
        return 0; // the main window alone
    form->flbFiles->SetListIndex(0);
    if (!WaitUntil([&] { return PreviewReady(*form); }))
        return 3;
    form->imgSmall->repaint();
    return 0;
}

int PreviewScenarios::PeakReferenceChild(const QString& file, QSize size)
{
    QImageReader reader(file);
    reader.setScaledSize(size);
    const QImage image = reader.read();
    if (image.size() != size)
        return 3;
    ImageWindow window(image);
    window.resize(800, 600);
    window.show();
    QCoreApplication::processEvents();
    window.repaint();
    return 0;
}
