// `make bench`: each scenario times our code against a bare reference doing the same
// job, in the same run, and prints medians and ratios. Arguments, when given, name the
// scenarios to run (`tessel_bench list_100k_folders`).
#include "BenchImages.h"
#include "BenchServices.h"
#include "BrowseScenarios.h"
#include "BenchTable.h"
#include "FileList.h"
#include "FolderList.h"
#include "LocalFileSystem.h"
#include "PeakMemory.h"
#include "Picture.h"
#include "PreviewScenarios.h"
#include "QuickStyle.h"
#include "ResponsivenessScenarios.h"
#include "ViewerScenarios.h"
#include "frmFileDir.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QResizeEvent>
#include <QScreen>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder of 100,000 empty files, three quarters of them images by their names.
QString makeBigFolder(const QString& root)
{
    const std::string dir = (root + QStringLiteral("/big")).toStdString();
    std::filesystem::create_directories(dir);
    const char* const types[] = {".jpg", ".JPG", ".gif", ".txt"};  // 3 of 4 match
    for (int i = 0; i < 100000; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/IMG_%06d%s", (i * 7919) % 100000, types[i % 4]);
        const int fd = ::open((dir + name).c_str(), O_WRONLY | O_CREAT, 0644);
        if (fd >= 0)
            ::close(fd);
    }
    return QString::fromStdString(dir);
}

// The floor for listing: scan, keep the visible entries of one kind (regular files of the
// four image types, or folders), sort them without regard to case.
size_t referenceScan(const std::string& dir, bool folders)
{
    std::vector<std::pair<std::string, std::string>> kept;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (folders ? !entry.is_directory() : !entry.is_regular_file())
            continue;
        std::string name = entry.path().filename().string();
        if (name.empty() || name[0] == '.')
            continue;
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        const auto ends = [&](const char* ext) {
            const size_t n = std::strlen(ext);
            return lower.size() >= n && lower.compare(lower.size() - n, n, ext) == 0;
        };
        if (folders || ends(".jpg") || ends(".gif") || ends(".bmp") || ends(".dib"))
            kept.emplace_back(std::move(lower), std::move(name));
    }
    std::sort(kept.begin(), kept.end());
    return kept.size();
}
size_t referenceListing(const std::string& dir) { return referenceScan(dir, false); }
size_t referenceFolderListing(const std::string& dir) { return referenceScan(dir, true); }

// A folder of 100,000 empty subfolders, their names in mixed case, and one dot-folder.
QString makeFolderOfFolders(const QString& root)
{
    const std::string dir = (root + QStringLiteral("/folders")).toStdString();
    std::filesystem::create_directories(dir + "/.hidden");
    for (int i = 0; i < 100000; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/%s_%06d", i % 3 ? "Dir" : "album", (i * 7919) % 100000);
        ::mkdir((dir + name).c_str(), 0755);
    }
    return QString::fromStdString(dir);
}

// The floor for a resize step: a window that places four child controls by hand.
class FourPaneWindow : public QWidget {
public:
    FourPaneWindow()
        : m_drives(new QComboBox(this)), m_folders(new QListWidget(this)), m_files(new QListView(this)),
          m_preview(new QWidget(this))
    {
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        const int w = event->size().width(), h = event->size().height(), half = w / 2;
        m_folders->setGeometry(0, 0, half - 3, h / 2 - 3);
        m_preview->setGeometry(0, h / 2 + 3, half - 3, h / 2 - 3);
        m_drives->setGeometry(half + 3, 0, w - half - 3, 21);
        m_files->setGeometry(half + 3, 21, w - half - 3, h - 21);
    }

private:
    QComboBox* m_drives;
    QListWidget* m_folders;
    QListView* m_files;
    QWidget* m_preview;
};

constexpr int ResizeSteps = 100;

void resizeSteps(QWidget& window)
{
    for (int i = 0; i < ResizeSteps; ++i)
        window.resize(700 + (i % 20) * 7, 500 + (i % 20) * 5);
}

// Pictures for the preview and viewer rows: three 6000 x 4000 (the preview alternates two,
// the viewer steps through three), one 12000 x 8000, two 8000 x 6000. False on failure.
bool makePictures(const QString& root)
{
    QDir dir(root);
    bool ok = dir.mkpath(QStringLiteral("pics6000")) && dir.mkpath(QStringLiteral("pics12000"))
        && dir.mkpath(QStringLiteral("pics8000"));
    for (unsigned i = 0; i < 3 && ok; ++i)
        ok = WriteDetailedJpeg(root + QStringLiteral("/pics6000/") + QChar('a' + i) + QStringLiteral(".jpg"),
                               QSize(6000, 4000), i + 1);
    ok = ok && WriteDetailedJpeg(root + QStringLiteral("/pics12000/huge.jpg"), QSize(12000, 8000), 7);
    for (unsigned i = 0; i < 2 && ok; ++i)
        ok = WriteDetailedJpeg(root + QStringLiteral("/pics8000/") + QChar('a' + i) + QStringLiteral(".jpg"),
                               QSize(8000, 6000), 11 + i);
    return ok;
}

// The hidden child modes behind the peak memory rows: 0 or an exit code, or -1 when
// the arguments name none.
int runChildMode(int argc, char* argv[])
{
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode != "--peak-preview" && mode != "--peak-reference" && mode != "--peak-viewer-3x" && mode != "--startup"
        && mode != "--startup-reference" && mode != "--startup-prepare")
        return -1;
    QApplication app(argc, argv);
    // The program's own side runs with the program's style; the references with Qt's.
    if (mode == "--peak-preview" || mode == "--peak-viewer-3x" || mode == "--startup")
        QApplication::setStyle(new QuickStyle);
    ConfigureImageAllocationLimit();
    const QString target = QString::fromLocal8Bit(argv[2]);
    if ((mode == "--startup" || mode == "--startup-prepare") && argc < 4)
        return 2;
    if (mode == "--startup")
        return BrowseScenarios::StartupChild(target, QString::fromLocal8Bit(argv[3]));
    if (mode == "--startup-prepare")
        return BrowseScenarios::StartupPrepareChild(target, QString::fromLocal8Bit(argv[3]));
    if (mode == "--startup-reference")
        return BrowseScenarios::StartupReferenceChild(target == QStringLiteral("menu-and-list"));
    if (mode == "--peak-preview")
        return PreviewScenarios::PeakPreviewChild(target);
    if (mode == "--peak-viewer-3x")
        return ViewerScenarios::Peak3xChild(target);
    if (argc < 5)
        return 2;
    return PreviewScenarios::PeakReferenceChild(target, QSize(std::atoi(argv[3]), std::atoi(argv[4])));
}

}

int main(int argc, char* argv[])
{
    const int childResult = runChildMode(argc, argv);
    if (childResult >= 0)
        return childResult;
    // Optional arguments name the scenarios to run; a name's prefix picks all it begins.
    const std::vector<std::string> picked(argv + 1, argv + argc);
    const auto wanted = [&picked](const std::string& scenario) {
        return picked.empty() || std::any_of(picked.begin(), picked.end(), [&](const std::string& p) {
                   return scenario.compare(0, p.size(), p) == 0;
               });
    };
    const auto anyWanted = [&](std::initializer_list<const char*> scenarios) {
        return std::any_of(scenarios.begin(), scenarios.end(), [&](const char* s) { return wanted(s); });
    };
    // The preview and viewer rows run as two groups; naming one row runs its group.
    const bool previewRows = anyWanted(
        {"preview_24mp_pane", "select_handler_6000x4000", "preview_thumbnail_hit", "preview_peak_12000x8000"});
    const bool viewerRows = anyWanted({"viewer_step_prefetched", "viewer_step_cold", "viewer_3x_peak_8000x6000"});
    const bool responsivenessRows = anyWanted({"ui_stall_slow_file", "viewer_key_repeat"});
    const bool browseRows = anyWanted({"browse_step_prefetched", "preview_photo_pane", "startup_first_paint"});
    PeakMemory::StartLauncher(); // before Qt starts any thread

    QApplication app(argc, argv);
    QApplication::setStyle(new QuickStyle);  // as the program does
    ConfigureImageAllocationLimit();
    QTemporaryDir tmp;
    BenchServices services;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize size = screen->size() * screen->devicePixelRatio();
        std::printf("Screen: %dx%d device pixels (%s)%s\n", size.width(), size.height(),
                    qPrintable(QGuiApplication::platformName()),
                    size.width() < 1920 || size.height() < 1080
                        ? " - smaller than a 1920x1080 desktop: pictures decode at a smaller scale here"
                        : "");
    }
    std::printf("Preparing test data in %s ...\n", qPrintable(tmp.path()));
    std::fflush(stdout);
    std::vector<BenchResult> results;

    const QString empty = tmp.path() + QStringLiteral("/empty");
    std::filesystem::create_directories(empty.toStdString());
    const bool pictureRows = previewRows || viewerRows || responsivenessRows || browseRows;
    const bool pictures = pictureRows && makePictures(tmp.path());
    if (pictureRows && !pictures)
        std::printf("warning: the test pictures could not be written; picture rows skipped\n");
    LocalFileSystem fs;
    if (wanted("list_100k_files")) {
        const QString big = makeBigFolder(tmp.path());
        FileList list(fs, empty);
        list.SetPattern(QStringLiteral("*.jpg;*.gif;*.bmp;*.dib"));
        list.resize(300, 600);
        list.show();
        size_t listed = 0, reference = 0;
        results.push_back(RunScenario({"list_100k_files",
            [&] {
                list.SetPath(empty);  // start from elsewhere, as a user changing folders would
                list.ListCount();
                list.SetPath(big);
                list.Refresh();
                listed = size_t(list.ListCount());
                list.viewport()->repaint();
            },
            [&] { reference = referenceListing(big.toStdString()); }}));
        if (listed != 75000 || reference != 75000)
            std::printf("warning: listed %zu, reference %zu, expected 75000\n", listed, reference);
    }

    if (wanted("list_100k_folders")) {
        const QString folders = makeFolderOfFolders(tmp.path());
        FolderList list(fs, empty);
        list.resize(300, 600);
        list.show();
        QCoreApplication::processEvents();
        size_t listed = 0, reference = 0;
        BenchScenario scenario{"list_100k_folders",
            [&] {
                list.SetPath(empty);  // start from elsewhere, as a user changing folders would
                list.SetPath(folders);
                // The open folder's row ends the chain; its subfolders follow.
                listed = size_t(list.model()->rowCount() - list.currentIndex().row() - 1);
                list.viewport()->repaint();
            },
            [&] { reference = referenceFolderListing(folders.toStdString()); }};
        scenario.target = {BenchTarget::Ratio, 1.5};
        results.push_back(RunScenario(scenario));
        if (listed != 100000 || reference != 100000)
            std::printf("warning: listed %zu, reference %zu, expected 100000\n", listed, reference);
    }

    // A drag of the window's frame: 100 resize steps of the real main window.
    if (wanted("resize_100_steps")) {
        auto form = services.OpenMainWindow(empty);
        FourPaneWindow plain;
        plain.show();
        QCoreApplication::processEvents();
        results.push_back(RunScenario({"resize_100_steps", [&] { resizeSteps(*form); }, [&] { resizeSteps(plain); }}));
    }

    if (pictures && previewRows)
        PreviewScenarios::Run(results, services, tmp.path() + QStringLiteral("/pics6000"),
                              tmp.path() + QStringLiteral("/pics12000"));
    if (pictures && viewerRows)
        ViewerScenarios::Run(results, services, tmp.path() + QStringLiteral("/pics6000"),
                             tmp.path() + QStringLiteral("/pics8000"));
    if (pictures && responsivenessRows)
        ResponsivenessScenarios::Run(results, services, tmp.path() + QStringLiteral("/pics6000"));
    // A real photograph, where `make bench` fetched one: TESSEL_BENCH_PHOTO names it.
    if (pictures && browseRows)
        BrowseScenarios::Run(results, services, tmp.path() + QStringLiteral("/pics6000"),
                             qEnvironmentVariable("TESSEL_BENCH_PHOTO"), tmp.path());
    // A group runs whole; only the rows asked for are shown.
    results.erase(std::remove_if(results.begin(), results.end(), [&](const BenchResult& r) { return !wanted(r.name); }),
                  results.end());

    PrintTable(results);
    return 0;
}
