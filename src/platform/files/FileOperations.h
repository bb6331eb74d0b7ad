#pragma once
#include "IFileOperations.h"

#include <QByteArray>

struct stat;

// The real file operations on Linux. A rename is one renameat2(RENAME_NOREPLACE) call, so
// no existing file is ever replaced; where the file system cannot do that, a hard link
// plus unlink does the same. Across file systems the file is copied to a hidden temporary
// in the target folder, made durable, renamed into place without replacing, and only then
// is the source removed, once it is proven to be still the very file that was copied,
// unchanged; any failure removes the copy and leaves the source alone. A move also clears
// the temporaries that killed moves left in its target folder. The trash is DesktopTrash.
//
// Each system step is a protected virtual hook returning 0 or an errno value, so a test
// double (ScriptedFileOperations) can fail any one of them while the others stay real.
// Construct one and keep it for the program's life; it holds no state.
class FileOperations : public IFileOperations {
public:
    void Rename(const QString& oldPath, const QString& newPath) override;
    void MoveToTrash(const QString& path) override;

    // The file name pattern of the temporaries a cross-file-system move leaves while it
    // copies: a dot (hidden), this prefix, six random characters and TemporarySuffix.
    static constexpr const char* TemporaryPrefix = ".tessel-";
    static constexpr const char* TemporarySuffix = ".tmp";

    // The shared renaming step: renameat2 without replacing, else link + unlink.
    static int renameNoReplace(const QByteArray& from, const QByteArray& to);

protected:
    // Renames without replacing within one file system (renameat2 RENAME_NOREPLACE, else
    // link + unlink). EXDEV sends Rename down the copying path.
    virtual int renameInPlace(const QByteArray& from, const QByteArray& to);
    // Creates a fresh, empty temporary in `folder` and locks it (flock) for as long as
    // `fd` stays open, which tells a later move that it is no leftover; sets `fd` and
    // `tempPath`.
    virtual int createTemporary(const QByteArray& folder, int& fd, QByteArray& tempPath);
    // Copies all bytes (and, where allowed, the mode and times) from one file to another.
    virtual int copyContents(int fromFd, int toFd);
    // Flushes a file to the disk.
    virtual int syncFile(int fd);
    // Gives the finished temporary its final name, never replacing a file there.
    virtual int placeTemporary(const QByteArray& tempPath, const QByteArray& to);
    // Flushes a folder, so that a new name in it survives a crash.
    virtual int syncFolder(const QByteArray& folder);
    // Removes the source, the entry `name` in the folder open as `folderFd`, once its
    // copy is in place.
    virtual int removeSource(int folderFd, const QByteArray& name);
    // Hands the file to the desktop trash; throws AppError when it cannot take it.
    virtual void trashFile(const QString& path);

private:
    void moveAcrossFileSystems(const QByteArray& from, const QByteArray& to, const struct stat& source,
                               const QString& action);
};
