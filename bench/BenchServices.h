#pragma once
#include "BrowserServices.h"
#include "FileOperations.h"
#include "IniSettingsStore.h"
#include "LocalFileSystem.h"
#include "LogicalDrives.h"
#include "ProcessStarter.h"
#include "ScriptedDialogs.h"

#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <memory>

class frmFileDir;

// The services a benchmarked main window works through: the real ones, but with settings
// and the comment store in a private folder, so a run neither reads nor changes the
// user's own (the last folder, the comments). Dialogs are scripted: an error a scenario
// raises is recorded, never waited on. Construct one per process before any main window.
class BenchServices {
public:
    BenchServices();
    // Over a folder made ready by Prepare, used as it stands: a start-up that is timed
    // pays for nothing a user's start would not.
    explicit BenchServices(const QString& root);
    BenchServices(const BenchServices&) = delete;
    BenchServices& operator=(const BenchServices&) = delete;

    // A loaded main window whose lists show `folder`, as a user who last left it there
    // sees it at start; shown, with the events of showing processed. Thumbnails are off
    // unless a cache folder is named: a row that times decoding must decode every time.
    std::unique_ptr<frmFileDir> OpenMainWindow(const QString& folder, const QString& thumbnailRoot = QString());
    // The main window over these services, created but neither loaded nor shown.
    std::unique_ptr<frmFileDir> NewMainWindow(const QString& folder, const QString& thumbnailRoot = QString());
    // Makes `root` what a user's start finds: settings that start in `folder`, an empty
    // comment store beside the "executable".
    static void Prepare(const QString& root, const QString& folder);
    const ScriptedDialogs& Dialogs() const { return m_dialogs; }

private:
    std::unique_ptr<QTemporaryDir> m_tmp;  // none over a prepared folder
    QString m_root;
    ScriptedDialogs m_dialogs;
    IniSettingsStore m_settings;
    LocalFileSystem m_fileSystem;
    SystemLogicalDrives m_drives;
    FileOperations m_fileOperations;
    ProcessStarter m_processStarter;
};

// Processes events until `done` answers true, sleeping between events rather than
// spinning, so a decode on another thread keeps the core. False after `timeoutMs`.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 60000);

// Whether the main window's preview shows its current file with the pixels its decode
// was asked for (or nothing is selected yet, so no decode is under way).
bool PreviewReady(const frmFileDir& form);

// For a row that times a preview's decode: once a selection made since the last call
// (`selected`) has started its own decode, and with it the decode of its neighbours
// ahead, drops what was decoded ahead, so the next selection decodes again.
void DropDecodedAhead(frmFileDir& form, bool& selected);

// The floor for a step: a window that only copies an image of its own size to the screen.
class FloorWindow : public QWidget {
public:
    explicit FloorWindow(QImage image) : m_image(std::move(image)) {}

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage m_image;
};
