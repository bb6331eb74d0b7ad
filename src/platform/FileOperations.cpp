#include "FileOperations.h"
#include "AppError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

const QString Source = QStringLiteral("FileOperations");

// Maps an errno value to the program's error numbers and a short, readable reason.
AppError errorFor(int err, const QString& action)
{
    int number = ErrNo::PathFileAccess;
    QString kind = QStringLiteral("Path/File access error");
    switch (err) {
    case EEXIST:
    case ENOTEMPTY:
        number = FileErrNo::FileAlreadyExists;
        kind = QStringLiteral("File already exists");
        break;
    case ENOENT:
    case ENOTDIR:
        number = ErrNo::PathNotFound;
        kind = QStringLiteral("Path not found");
        break;
    case ENOSPC:
    case EDQUOT:
        number = FileErrNo::DiskFull;
        kind = QStringLiteral("Disk full");
        break;
    case EIO:
        number = FileErrNo::DeviceIO;
        kind = QStringLiteral("Device I/O error");
        break;
    default:
        break;
    }
    return AppError(number, Source,
                    QStringLiteral("%1: %2 (%3)").arg(kind, action, QString::fromLocal8Bit(std::strerror(err))));
}

QString renameAction(const QString& oldPath, const QString& newPath)
{
    return QStringLiteral("cannot rename %1 to %2").arg(oldPath, newPath);
}

// The folder part of an encoded path, as the kernel would resolve it: "." for a bare
// name, "/" for a file in the root.
QByteArray folderOf(const QByteArray& path)
{
    const int slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

// The source as the file system knows it. Qt decodes names that are not valid UTF-8
// lossily (U+FFFD); re-encoded, such a name reaches no file or, worse, one that really
// holds U+FFFD, which nobody can tell apart from it. So a name holding U+FFFD is not
// found: a command never reaches another file than the one it was given.
struct stat statSource(const QString& path, const QString& action)
{
    struct stat st {};
    const QByteArray encoded = QFile::encodeName(path);
    const bool lossy = path.contains(QChar(QChar::ReplacementCharacter));
    if (encoded.isEmpty() || lossy || ::lstat(encoded.constData(), &st) != 0) {
        const int err = encoded.isEmpty() || lossy ? ENOENT : errno;
        if (err == ENOENT || err == ENOTDIR)
            throw AppError(ErrNo::FileNotFound, Source,
                           QStringLiteral("File not found: %1 (%2)").arg(path, action));
        throw errorFor(err, action);
    }
    return st;
}

int closeKeepingErrno(int fd)
{
    return ::close(fd) == 0 ? 0 : errno;
}

int writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= size_t(n);
    }
    return 0;
}

}

void FileOperations::Rename(const QString& oldPath, const QString& newPath)
{
    const QString action = renameAction(oldPath, newPath);
    // Renaming a file onto its own name is refused like any other existing target.
    if (oldPath == newPath)
        throw AppError(FileErrNo::FileAlreadyExists, Source,
                       QStringLiteral("File already exists: %1 (the new name is the old one)").arg(newPath));
    const struct stat st = statSource(oldPath, action);
    if (S_ISDIR(st.st_mode))
        throw AppError(ErrNo::PathFileAccess, Source,
                       QStringLiteral("Path/File access error: %1 is a folder, not a file").arg(oldPath));
    const QByteArray from = QFile::encodeName(oldPath);
    const QByteArray to = QFile::encodeName(newPath);
    if (to.isEmpty())
        throw AppError(ErrNo::PathNotFound, Source, QStringLiteral("Path not found: %1").arg(action));

    const int err = renameInPlace(from, to);
    if (err == 0)
        return;
    if (err == EXDEV) {
        moveAcrossFileSystems(from, to, st, QStringLiteral("cannot move %1 to %2").arg(oldPath, newPath));
        return;
    }
    throw errorFor(err, action);
}

void FileOperations::moveAcrossFileSystems(const QByteArray& from, const QByteArray& to,
                                           const struct stat& st, const QString& action)
{
    // Only a plain file can be carried over as a copy; a link would turn into its target.
    if (!S_ISREG(st.st_mode))
        throw AppError(ErrNo::PathFileAccess, Source,
                       QStringLiteral("Path/File access error: %1 (only plain files move to another file system)")
                           .arg(action));

    // A name already taken is refused before a large copy is made for nothing; the
    // rename into place below still never replaces, should the name be taken meanwhile.
    struct stat existing {};
    if (::lstat(to.constData(), &existing) == 0)
        throw errorFor(EEXIST, action);

    const int source = ::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (source < 0)
        throw errorFor(errno, action);

    const QByteArray folder = folderOf(to);
    int temp = -1;
    QByteArray tempPath;
    int err = createTemporary(folder, temp, tempPath);
    if (err != 0) {
        ::close(source);
        throw errorFor(err, action);
    }

    // Until the copy has its final name, every failure ends here: the temporary goes,
    // the source was never touched.
    struct stat copied {};
    err = copyContents(source, temp);
    if (err == 0)
        err = syncFile(temp);
    if (err == 0 && ::fstat(temp, &copied) != 0)
        err = errno;
    const int closeErr = closeKeepingErrno(temp);
    if (err == 0)
        err = closeErr;
    ::close(source);
    if (err == 0)
        err = placeTemporary(tempPath, to);
    if (err != 0) {
        ::unlink(tempPath.constData());
        throw errorFor(err, action);
    }

    // The copy is in place under the new name. Should the last steps fail, the copy is
    // taken back (only if the name still holds our copy), so exactly one file remains.
    err = syncFolder(folder);
    if (err == 0)
        err = removeSource(from);
    if (err != 0) {
        struct stat placed {};
        if (::lstat(to.constData(), &placed) == 0 && placed.st_dev == copied.st_dev &&
            placed.st_ino == copied.st_ino)
            ::unlink(to.constData());
        throw errorFor(err, action);
    }
    // The source folder's entry is gone; flushing it is a courtesy, the move is done.
    syncFolder(folderOf(from));
}

void FileOperations::MoveToTrash(const QString& path)
{
    const QString action = QStringLiteral("cannot move %1 to the trash").arg(path);
    // A folder that took a listed file's name is not the file the user chose to delete.
    if (S_ISDIR(statSource(path, action).st_mode))
        throw AppError(ErrNo::PathFileAccess, Source,
                       QStringLiteral("Path/File access error: %1 is a folder, not a file").arg(path));
    // The trash only renames; nothing here ever deletes a file for good.
    if (!trashFile(path))
        throw AppError(ErrNo::PathFileAccess, Source,
                       QStringLiteral("the desktop trash cannot take %1").arg(path));
}

int FileOperations::renameNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (::syscall(SYS_renameat2, AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    const int err = errno;
    // EINVAL: this file system cannot rename without replacing; ENOSYS: no renameat2.
    if (err != EINVAL && err != ENOSYS)
        return err;
    // A hard link fails with EEXIST where the name is taken, so nothing is replaced.
    if (::link(from.constData(), to.constData()) != 0)
        return errno;
    if (::unlink(from.constData()) != 0) {
        const int unlinkErr = errno;
        ::unlink(to.constData());
        return unlinkErr;
    }
    return 0;
}

int FileOperations::renameInPlace(const QByteArray& from, const QByteArray& to)
{
    return renameNoReplace(from, to);
}

int FileOperations::createTemporary(const QByteArray& folder, int& fd, QByteArray& tempPath)
{
    QByteArray pattern = folder;
    if (!pattern.endsWith('/'))
        pattern += '/';
    pattern += TemporaryPrefix;
    pattern += "XXXXXX";
    pattern += TemporarySuffix;
    fd = ::mkostemps(pattern.data(), int(std::strlen(TemporarySuffix)), O_CLOEXEC);
    if (fd < 0)
        return errno;
    tempPath = pattern;
    return 0;
}

int FileOperations::copyContents(int fromFd, int toFd)
{
    static constexpr size_t ChunkSize = 256 * 1024;
    QByteArray buffer(int(ChunkSize), Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(fromFd, buffer.data(), ChunkSize);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            break;
        if (const int err = writeAll(toFd, buffer.constData(), size_t(n)))
            return err;
    }
    // The copy keeps the permissions and the photo's dates where the target file system
    // can store them; a file system that cannot (FAT) still gets the bytes.
    struct stat st {};
    if (::fstat(fromFd, &st) == 0) {
        (void)::fchmod(toFd, st.st_mode & 07777);
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        (void)::futimens(toFd, times);
    }
    return 0;
}

int FileOperations::syncFile(int fd)
{
    return ::fsync(fd) == 0 ? 0 : errno;
}

int FileOperations::placeTemporary(const QByteArray& tempPath, const QByteArray& to)
{
    return renameNoReplace(tempPath, to);
}

int FileOperations::syncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int err = ::fsync(fd) == 0 ? 0 : errno;
    // Some file systems cannot flush a folder at all; there is nothing more to make durable.
    if (err == EINVAL)
        err = 0;
    ::close(fd);
    return err;
}

int FileOperations::removeSource(const QByteArray& from)
{
    return ::unlink(from.constData()) == 0 ? 0 : errno;
}

bool FileOperations::trashFile(const QString& path)
{
    // The home trash lives in the user's data folder, which a fresh account may not have
    // yet; without it the trash would refuse every file.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!dataHome.isEmpty() && !QFileInfo::exists(dataHome) && QDir().mkpath(dataHome))
        QFile::setPermissions(dataHome, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return QFile::moveToTrash(path);
}
