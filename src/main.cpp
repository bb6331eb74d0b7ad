#include "BrowserServices.h"
#include "CommandLine.h"
#include "CommentsCsv.h"
#include "FileOperations.h"
#include "IniSettingsStore.h"
#include "LocalFileSystem.h"
#include "LogicalDrives.h"
#include "ProcessStarter.h"
#include "Picture.h"
#include "QtDialogs.h"
#include "QuickStyle.h"
#include "StoreLocation.h"
#include "frmFileDir.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Read before the application object, which needs a display: --help, --version and a
    // wrong option answer at once, from any terminal.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine::Result request = CommandLine(QStringLiteral("tessel"), QStringLiteral(TESSEL_VERSION))
                                            .Parse(arguments, QDir::currentPath());
    std::fputs(request.out.toLocal8Bit().constData(), stdout);
    std::fputs(request.err.toLocal8Bit().constData(), stderr);
    if (request.action == CommandLine::Action::Exit)
        return request.exitCode;
    // Exporting or importing comments needs no window, so no display either.
    const bool exporting = request.IsSet(QStringLiteral("export-comments"));
    if (exporting || request.IsSet(QStringLiteral("import-comments"))) {
        QCoreApplication core(argc, argv);
        QString message;
        const int code = CommentsCsv::Run(
            exporting ? CommentsCsv::Mode::Export : CommentsCsv::Mode::Import,
            StoreLocation::Folder(QCoreApplication::applicationDirPath(),
                                  QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)),
            request.Value(exporting ? QStringLiteral("export-comments") : QStringLiteral("import-comments")), message);
        std::fputs((message + QLatin1Char('\n')).toLocal8Bit().constData(), code == 0 ? stdout : stderr);
        return code;
    }

    QApplication app(argc, argv);
    // The program lives as long as its main window: closing it ends everything, even a
    // viewer or move dialog that is still open.
    app.setQuitOnLastWindowClosed(false);
    QApplication::setStyle(new QuickStyle);
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
    window.OpenAtStart(request.folder, request.file, request.fullScreen);
    // Returning ends the process, and with it any other window of ours still open.
    return app.exec();
}
