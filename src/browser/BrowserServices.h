#pragma once
#include "ThumbnailCache.h"

#include <QString>

class IDialogs;
class IFileOperations;
class IFileSystem;
class ILogicalDrives;
class IProcessStarter;
class ISettingsStore;

// The platform services a main window works through, handed in by whoever creates it:
// the real ones by main(), scripted ones by tests.
struct BrowserServices {
    IDialogs& dialogs;
    ISettingsStore& settings;
    IFileSystem& fileSystem;
    ILogicalDrives& logicalDrives;
    IFileOperations& fileOperations;
    IProcessStarter& processStarter;
    QString executablePath;   // full path of the running program
    QString processFolder;    // the process's current folder at start
    // The desktop's thumbnail cache the previews read and add to; empty turns it off.
    QString thumbnailRoot = ThumbnailCache::DefaultRoot();
};
