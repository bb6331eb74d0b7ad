#include "FileOperations.h"
#include "AppError.h"
#include "DesktopTrash.h"
#include "PathNames.h"
#include "WriteAll.h"

#include <QFile>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
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
        number = ErrNo::FileAlreadyExists;
        kind = QStringLiteral("File already exists");
        break;
    case ENOENT:
    case ENOTDIR:
        number = ErrNo::PathNotFound;
        kind = QStringLiteral("Path not found");
        break;
    case ENOSPC:
    case EDQUOT:
        number = ErrNo::DiskFull;
        kind = QStringLiteral("Disk full");
        break;
    case EIO:
        number = ErrNo::DeviceIO;
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

// The source as the file system knows it. A name Qt decoded lossily, re-encoded, reaches
// no file or, worse, another one; so it is not found: a command never reaches another
// file than the one it was given.
struct stat statSource(const QString& path, const QString& action)
{
    struct stat st {};
    const QByteArray encoded = QFile::encodeName(path);
    const bool lossy = IsLossilyDecodedName(path);
    if (encoded.isEmpty() || lossy || ::lstat(encoded.constData(), &st) != 0) {
        const int err = encoded.isEmpty() || lossy ? ENOENT : errno;
        if (err == ENOENT || err == ENOTDIR)
            throw AppError(ErrNo::FileNotFound, Source,
                           QStringLiteral("File not found: %1 (%2)").arg(path, action));
        throw errorFor(err, action);
    }
    return st;
}

// A descriptor closed when it goes out of scope.
struct Fd {
    explicit Fd(int f) : fd(f) {}
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    const int fd;
};

// Still the same file with the same contents: the same inode, size and change time
// (which any write, truncation or change of times moves on).
bool sameContents(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// A name a temporary of ours can have: the prefix, six letters or digits (what
// mkostemps puts in), the suffix, and nothing else.
bool isTemporaryName(const char* name)
{
    const size_t prefix = std::strlen(FileOperations::TemporaryPrefix);
    const size_t suffix = std::strlen(FileOperations::TemporarySuffix);
    if (std::strlen(name) != prefix + 6 + suffix || std::strncmp(name, FileOperations::TemporaryPrefix, prefix) != 0 ||
        std::strcmp(name + prefix + 6, FileOperations::TemporarySuffix) != 0)
        return false;
    for (size_t i = prefix; i < prefix + 6; ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

// Removes what killed moves left in `folder`: plain files of ours with a temporary's
// name that nobody holds locked. A live move keeps its temporary locked from creation
// to rename, and the kernel drops the lock of a killed one; a temporary grabbed in the
// instant between its creation and its lock only makes that move fail, never lose data.
void clearLeftoverTemporaries(const QByteArray& folder)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        struct stat named {}, opened {};
        if (!isTemporaryName(entry->d_name) || ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(named.st_mode) || named.st_uid != ::geteuid())
            continue;
        const Fd file(::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (file.fd < 0 || ::flock(file.fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(file.fd, &opened) != 0 ||
            opened.st_dev != named.st_dev || opened.st_ino != named.st_ino)
            continue;
        ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
}

int closeKeepingErrno(int fd)
{
    return ::close(fd) == 0 ? 0 : errno;
}

}

void FileOperations::Rename(const QString& oldPath, const QString& newPath)
{
    const QString action = renameAction(oldPath, newPath);
    // Renaming a file onto its own name is refused like any other existing target.
    if (oldPath == newPath)
        throw AppError(ErrNo::FileAlreadyExists, Source,
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

    const QByteArray folder = folderOf(to);
    clearLeftoverTemporaries(folder);

    // The source is read, checked and finally removed through its folder, held open, so
    // that a folder renamed meanwhile cannot send the removal elsewhere.
    const QByteArray sourceName = from.mid(from.lastIndexOf('/') + 1);
    const Fd sourceFolder(::open(folderOf(from).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (sourceFolder.fd < 0)
        throw errorFor(errno, action);
    const Fd source(::openat(sourceFolder.fd, sourceName.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (source.fd < 0)
        throw errorFor(errno, action);
    struct stat start {};
    if (::fstat(source.fd, &start) != 0)
        throw errorFor(errno, action);
    // Whoever writes to the file or puts another in its place while it is copied must
    // not lose that: the source goes only while it is still this file, unchanged.
    const auto unchanged = [&] {
        struct stat now {}, named {};
        return ::fstat(source.fd, &now) == 0 && sameContents(now, start) &&
               ::fstatat(sourceFolder.fd, sourceName.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
               sameContents(named, start);
    };
    const auto changed = [&] {
        return AppError(ErrNo::PathFileAccess, Source,
                        QStringLiteral("Path/File access error: %1: the file changed while it was being moved; "
                                       "it was left in place")
                            .arg(action));
    };
    if (start.st_dev != st.st_dev || start.st_ino != st.st_ino)
        throw changed();

    int temp = -1;
    QByteArray tempPath;
    int err = createTemporary(folder, temp, tempPath);
    if (err != 0)
        throw errorFor(err, action);

    // Until the copy has its final name, every failure ends here: the temporary goes,
    // the source was never touched. The temporary stays open (and locked) until it has
    // its name, so that no other move takes it for a leftover.
    struct stat copied {};
    err = copyContents(source.fd, temp);
    if (err == 0)
        err = syncFile(temp);
    if (err == 0 && ::fstat(temp, &copied) != 0)
        err = errno;
    const bool sourceChanged = err == 0 && !unchanged();
    if (err == 0 && !sourceChanged)
        err = placeTemporary(tempPath, to);
    if (err != 0 || sourceChanged) {
        ::unlink(tempPath.constData());
        ::close(temp);
        throw sourceChanged ? changed() : errorFor(err, action);
    }
    err = closeKeepingErrno(temp);

    // The copy is in place under the new name. Should the last steps fail, or the source
    // have changed after all, the copy is taken back (only if the name still holds our
    // copy), so that exactly one file remains and nothing written to the source is lost.
    if (err == 0)
        err = syncFolder(folder);
    const bool changedLate = err == 0 && !unchanged();
    if (err == 0 && !changedLate)
        err = removeSource(sourceFolder.fd, sourceName);
    if (err != 0 || changedLate) {
        struct stat placed {};
        if (::lstat(to.constData(), &placed) == 0 && placed.st_dev == copied.st_dev &&
            placed.st_ino == copied.st_ino && placed.st_size == copied.st_size)
            ::unlink(to.constData());
        throw changedLate ? changed() : errorFor(err, action);
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
    trashFile(path);
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
    if (::flock(fd, LOCK_EX) != 0) {
        const int err = errno;
        ::unlink(pattern.constData());
        ::close(fd);
        return err;
    }
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
        if (const int err = WriteAll(toFd, buffer.constData(), size_t(n)))
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

int FileOperations::removeSource(int folderFd, const QByteArray& name)
{
    return ::unlinkat(folderFd, name.constData(), 0) == 0 ? 0 : errno;
}

void FileOperations::trashFile(const QString& path)
{
    DesktopTrash().MoveToTrash(path);
}
