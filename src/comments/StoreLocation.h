#pragma once
#include <QString>

// Decides which folder's Tooltips.mdb the program opens. A store beside the executable
// (the build folder, a portable copy) is used as it is. Otherwise the store is the user's
// own, DATA_HOME/tessel/Tooltips.mdb: on first start it is copied from the empty store an
// installation puts in <prefix>/share/tessel, found from the executable's folder as
// ../share/tessel. The user's store is never overwritten and never made any other way.
// Call Folder() once at start; it copies at most one small file.
class StoreLocation {
public:
    // exeFolder: the running executable's folder; dataHome: $XDG_DATA_HOME or its default.
    // Returns the folder to open the store in (TooltipStore::Open); when neither a store
    // nor an installed empty one is found, the user's folder, where opening then fails;
    // without a data home, exeFolder.
    static QString Folder(const QString& exeFolder, const QString& dataHome);
    // Where an installation keeps the empty store, for an executable in exeFolder.
    static QString InstalledTemplate(const QString& exeFolder);

private:
    static bool copyWithoutReplacing(const QString& from, const QString& to);
};
