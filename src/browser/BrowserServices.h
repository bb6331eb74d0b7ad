#pragma once
#include <QString>

class IDialogs;
class IFileSystem;
class ILogicalDrives;
class ISettingsStore;

// The platform services a main window works through, handed in by whoever creates it:
// the real ones by main(), scripted ones by tests.
struct BrowserServices {
    IDialogs& dialogs;
    ISettingsStore& settings;
    IFileSystem& fileSystem;
    ILogicalDrives& logicalDrives;
    QString executablePath;   // full path of the running program
    QString processFolder;    // the process's current folder at start
};
