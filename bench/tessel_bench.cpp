// `make bench`: each scenario times our code against a bare reference doing the same
// job, in the same run, and prints medians and ratios.
#include "BenchTable.h"
#include "FileList.h"
#include "IniSettingsStore.h"
#include "LogicalDrives.h"
#include "ScriptedDialogs.h"
#include "frmFileDir.h"
#include "LocalFileSystem.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QResizeEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fcntl.h>
#include <strings.h>
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

// The floor for listing: scan, keep the four image types without regard to case, sort.
size_t referenceListing(const std::string& dir)
{
    std::vector<std::pair<std::string, std::string>> kept;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file())
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
        if (ends(".jpg") || ends(".gif") || ends(".bmp") || ends(".dib"))
            kept.emplace_back(std::move(lower), std::move(name));
    }
    std::sort(kept.begin(), kept.end());
    return kept.size();
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

}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    std::printf("Preparing test data in %s ...\n", qPrintable(tmp.path()));
    std::fflush(stdout);
    std::vector<BenchResult> results;

    const QString big = makeBigFolder(tmp.path());
    const QString empty = tmp.path() + QStringLiteral("/empty");
    std::filesystem::create_directories(empty.toStdString());
    LocalFileSystem fs;
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

    // A drag of the window's frame: 100 resize steps of the real main window.
    ScriptedDialogs dialogs;
    IniSettingsStore settings;
    SystemLogicalDrives drives;
    const BrowserServices services{dialogs, settings, fs, drives, QCoreApplication::applicationFilePath(), empty};
    frmFileDir form(services);
    form.Form_Load();
    form.show();
    FourPaneWindow plain;
    plain.show();
    QCoreApplication::processEvents();
    results.push_back(RunScenario({"resize_100_steps", [&] { resizeSteps(form); }, [&] { resizeSteps(plain); }}));

    PrintTable(results);
    return 0;
}
