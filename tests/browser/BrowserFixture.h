#pragma once
#include "IniSettingsStore.h"
#include "IProcessStarter.h"
#include "LogicalDrives.h"
#include "MenuTree.h"
#include "ScriptedDialogs.h"
#include "ScriptedFileOperations.h"
#include "ScriptedFileSystem.h"
#include "TestFiles.h"
#include "frmFileDir.h"

#include <QAction>
#include <QTemporaryDir>
#include <memory>

// Records the programs a command would start instead of starting them.
struct RecordingStarter : IProcessStarter {
    QVector<QStringList> started;
    bool StartDetached(const QString& program, const QStringList& arguments) override
    {
        started.push_back(QStringList{program} + arguments);
        return true;
    }
};

// A main window over a private folder tree: app/ holds the "executable", pics/ three
// images, vol2/ a second volume; settings go to cfg/ through XDG_CONFIG_HOME.
struct BrowserFixture {
    QTemporaryDir tmp;
    ScriptedDialogs dialogs;
    IniSettingsStore settings;
    ScriptedFileSystem fs;
    SystemLogicalDrives drives;
    ScriptedFileOperations fileOps;
    RecordingStarter starter;
    std::unique_ptr<frmFileDir> form;

    BrowserFixture()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("cfg")));
        TestFiles::makeDir(path("app"));
        TestFiles::makeDir(path("pics/sub"));
        TestFiles::makeDir(path("vol2/deep"));
        for (const char* name : {"a.jpg", "b.JPG", "c.gif", "d.png"})
            TestFiles::write(path("pics/") + QLatin1String(name));
        TestFiles::write(path("vol2/deep/z.bmp"));
        fs.AddVolume(path("vol2"), QStringLiteral("Second"));
    }

    QString path(const char* rel) const { return tmp.path() + QLatin1Char('/') + QLatin1String(rel); }

    frmFileDir& start(const QString& processFolder = QString())
    {
        const BrowserServices services{dialogs, settings, fs, drives, fileOps, starter, path("app/tessel"),
                                       processFolder.isEmpty() ? path("app") : processFolder};
        form = std::make_unique<frmFileDir>(services);
        form->Form_Load();
        return *form;
    }

    // Starts as a user who last left the program in `folder` and started it there.
    frmFileDir& startIn(const QString& folder)
    {
        settings.SaveSetting(QStringLiteral("tessel"), QStringLiteral("Startup"), QStringLiteral("lastDir"), folder);
        return start(folder);
    }

    // Closes the window the way Exit does and forgets it.
    void exit()
    {
        form->mnuExit_Click();
        form.reset();
    }

    QString storedLastDir() const
    {
        return settings.GetSetting(QStringLiteral("tessel"), QStringLiteral("Startup"), QStringLiteral("lastDir"),
                                   QStringLiteral("<none>"));
    }
};
