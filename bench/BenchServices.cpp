#include "BenchServices.h"
#include "TooltipStore.h"
#include "PictureBox.h"
#include "PreviewLoader.h"
#include "frmFileDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTimer>

namespace {
const QString AppName = QStringLiteral("tessel");

// The settings file follows XDG_CONFIG_HOME; the comment store sits beside the
// "executable", here a copy of the empty store the build made.
void useHome(const QString& root)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
}

void makeHome(const QString& root)
{
    useHome(root);
    QDir(root).mkpath(QStringLiteral("config"));
    QDir(root).mkpath(QStringLiteral("app"));
    QFile::copy(QStringLiteral(TESSEL_BUILT_STORE), root + QStringLiteral("/app/") + TooltipStore::FileName());
}
}

BenchServices::BenchServices() : m_tmp(std::make_unique<QTemporaryDir>()), m_root(m_tmp->path())
{
    makeHome(m_root);
}

BenchServices::BenchServices(const QString& root) : m_root(root)
{
    useHome(m_root);
}

void BenchServices::Prepare(const QString& root, const QString& folder)
{
    makeHome(root);
    IniSettingsStore().SaveSetting(AppName, QStringLiteral("Startup"), QStringLiteral("lastDir"), folder);
}

std::unique_ptr<frmFileDir> BenchServices::NewMainWindow(const QString& folder, const QString& thumbnailRoot)
{
    const QString exe = m_root + QStringLiteral("/app/tessel");
    const BrowserServices services{m_dialogs,         m_settings,       m_fileSystem, m_drives,
                                   m_fileOperations, m_processStarter, exe,          folder, thumbnailRoot};
    return std::make_unique<frmFileDir>(services);
}

std::unique_ptr<frmFileDir> BenchServices::OpenMainWindow(const QString& folder, const QString& thumbnailRoot)
{
    m_settings.SaveSetting(AppName, QStringLiteral("Startup"), QStringLiteral("lastDir"), folder);
    auto form = NewMainWindow(folder, thumbnailRoot);
    form->Form_Load();
    form->show();
    QCoreApplication::processEvents();
    return form;
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    // Wakes the wait below when what we wait for changes without an event (a worker's state).
    QTimer tick;
    tick.start(2);
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

bool PreviewReady(const frmFileDir& form)
{
    if (form.CurrentFile().isEmpty())
        return true;
    const PictureBox& box = *form.imgSmall;
    return box.GetPicture().Path() == form.CurrentFile() && form.Preview().WantedSize().isValid()
           && box.Pixels().size() == form.Preview().WantedSize();
}

void DropDecodedAhead(frmFileDir& form, bool& selected)
{
    if (!selected)
        return;
    WaitUntil([&] { return form.Preview().Ahead().HeldBytes() > 0; }, 10000);
    form.Preview().Ahead().Clear();
    selected = false;
}

void FloorWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}
