#pragma once
#include <QByteArray>
#include <QString>

#include <sys/types.h>

// The trash the Linux desktops share: a trash folder holds the file under `files/` and,
// under `info/`, a NAME.trashinfo that says where it came from and when it was deleted,
// so that the file manager can restore it. A file on the home file system goes to the
// home trash ($XDG_DATA_HOME/Trash); one on another file system goes to that file
// system's own trash at its top folder, as moving it to the home trash would mean a copy.
//
// It exists because the toolkit's trash loops forever on names of 246 bytes and more and
// on an info folder it cannot write. Here every step is bounded: a fixed number of names
// is tried, any failure other than a taken name ends the attempt with an AppError, and
// the file is then left where it was. Nothing is ever deleted.
//
// Stateless: construct one where needed. The file's rename into the trash and the search
// for the top of a file system are protected hooks, so a test can make the rename fail
// and use a trash at the top of a folder it owns.
class DesktopTrash {
public:
    virtual ~DesktopTrash() = default;

    // Moves the file (or link, or other non-folder entry) at `path` into the trash of its
    // file system. Throws AppError and leaves it in place when no trash can take it.
    void MoveToTrash(const QString& path);

    // A path as a .trashinfo writes it: every byte but letters, digits, "-._~" and "/"
    // as %XX, so that spaces, '%', newlines and any other byte come back unchanged.
    static QByteArray EncodePath(const QByteArray& path);

    // How many names are tried before the trash gives up ("a.jpg", "a.2.jpg", ...).
    static constexpr int MaxAttempts = 1000;
    // The longest name in `files/`: its info file's name adds ".trashinfo" and must still
    // fit into the 255 bytes of a file name.
    static constexpr int MaxTrashedName = 255 - 10;

protected:
    // Gives the file its name in the trash's files folder without replacing anything
    // there; 0 or an errno value (EEXIST sends the trash on to the next name).
    virtual int placeInTrash(const QByteArray& from, const QByteArray& to);
    // The top folder of the file system that holds `folder` (which is on `device`): the
    // last folder up the tree still on that device.
    virtual QByteArray fileSystemTop(const QByteArray& folder, dev_t device);
};
