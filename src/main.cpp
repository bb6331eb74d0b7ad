#include "BrowserServices.h"
#include "FileOperations.h"
#include "IniSettingsStore.h"
#include "LocalFileSystem.h"
#include "LogicalDrives.h"
#include "ProcessStarter.h"
#include "Picture.h"
#include "QtDialogs.h"
#include "frmFileDir.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The program lives as long as its main window: closing it ends everything, even a
    // viewer or move dialog that is still open.
    app.setQuitOnLastWindowClosed(false);
    ConfigureImageAllocationLimit();

    QtDialogs dialogs;
    IniSettingsStore settings;
    LocalFileSystem fileSystem;
    SystemLogicalDrives logicalDrives;
    FileOperations fileOperations;
    ProcessStarter processStarter;
    const BrowserServices services{dialogs,         settings,       fileSystem,
                                   logicalDrives,   fileOperations, processStarter,
                                   QCoreApplication::applicationFilePath(), QDir::currentPath()};

    frmFileDir window(services);
    QObject::connect(&window, &frmFileDir::Unloaded, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    window.Form_Load();
    window.show();
    // Returning ends the process, and with it any other window of ours still open.
    return app.exec();
}
