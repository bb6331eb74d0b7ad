#pragma once
#include <QString>

// What the rename, delete and move commands use of the main window's file list: its
// folder, its selected entry and a re-read. FileListView gives it over the real list;
// tests may use that or their own.
class IFileListView {
public:
    virtual ~IFileListView() = default;
    virtual QString Path() const = 0;
    // The selected entry's name without folder; "" when nothing is selected.
    virtual QString FileName() const = 0;
    // The selected entry's position from 0; -1 when nothing is selected.
    virtual int ListIndex() const = 0;
    // Selects an entry; a new selection raises the list's Click, as a user's would.
    virtual void SetListIndex(int index) = 0;
    virtual int ListCount() const = 0;
    // Re-reads the folder; the selection is cleared.
    virtual void Refresh() = 0;
};
