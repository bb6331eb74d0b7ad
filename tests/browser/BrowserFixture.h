#pragma once
#include "IniSettingsStore.h"
#include "IProcessStarter.h"
#include "LogicalDrives.h"
#include "MenuTree.h"
#include "ScriptedDialogs.h"
#include "ScriptedFileOperations.h"
#include "ScriptedFileSystem.h"
#include "Pixels.h"
#include "TestFiles.h"
#include "FileList.h"
#include "FolderList.h"
#include "PictureBox.h"
#include "SelectionLoader.h"
#include "frmFileDir.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The main window's caption for a file and the size of the picture shown.
inline QString caption(const QString& path, QSize size)
{
    return path + QStringLiteral("   - Height = %1  Width = %2").arg(size.height()).arg(size.width());
}

// Writes a `format` file of one colour, w x h pixels.
inline void writeImage(const QString& path, int w, int h, const char* format = "JPEG", QColor colour = Qt::darkCyan)
{
    TestFiles::write(path, Encode(Solid(w, h, colour), format));
}

// Chooses the menu item called `name`.
inline void trigger(frmFileDir& form, const char* name)
{
    form.Menus().Action(QLatin1String(name))->trigger();
}

// Waits until what the newest selection reads off the window's thread (the picture's
// header, the comment) has arrived.
inline bool settled(frmFileDir& form)
{
    return QTest::qWaitFor([&] { return form.Selection().IsSettled(); });
}

// Selects entry `index` as a click does and waits for what the selection shows.
inline bool select(frmFileDir& form, int index)
{
    form.flbFiles->SetListIndex(index);
    return settled(form);
}

// Starts nothing: no test of the main window launches a program.
struct NoStarter : IProcessStarter {
    bool StartDetached(const QString&, const QStringList&) override { return false; }
};

// A main window over a private folder tree: app/ holds the "executable", pics/ a.jpg,
// b.JPG, c.gif (one-byte stand-ins until a test writes pictures) and d.png, vol2/ a second
// volume; settings go to cfg/ through XDG_CONFIG_HOME, the user's data to data/.
struct BrowserFixture {
    QTemporaryDir tmp;
    ScriptedDialogs dialogs;
    IniSettingsStore settings;
    ScriptedFileSystem fs;
    SystemLogicalDrives drives;
    ScriptedFileOperations fileOps;
    NoStarter starter;
    std::unique_ptr<frmFileDir> form;

    BrowserFixture()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(path("cfg")));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(path("cache")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(path("data")));
        TestFiles::makeDir(path("app"));
        TestFiles::makeDir(path("pics/sub"));
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

    // As startIn, with the window shown.
    frmFileDir& showIn(const QString& folder)
    {
        startIn(folder).show();
        return *form;
    }
};
