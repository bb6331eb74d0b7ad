#include "DesktopTrash.h"
#include "AppError.h"
#include "FileOperations.h"
#include "WriteAll.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Source = QStringLiteral("DesktopTrash");

QString reason(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

AppError trashError(const QString& path, const QString& why)
{
    return AppError(ErrNo::PathFileAccess, Source,
                    QStringLiteral("Path/File access error: the trash cannot take %1: %2").arg(path, why));
}

// The trash folder a file goes to, and the folder its Path= is relative to (empty: the
// home trash, whose Path= is absolute).
struct TrashFolder {
    QByteArray dir;
    QByteArray topDir;
};

QByteArray parentOf(const QByteArray& path)
{
    const int slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// Creates a folder only we may enter; one that is already there is fine.
bool makeFolder(const QByteArray& path)
{
    return ::mkdir(path.constData(), 0700) == 0 || errno == EEXIST;
}

// A trash folder we may use: a real folder (no link), ours.
bool ownFolder(const QByteArray& path)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

// The device of `path`, or of its nearest existing parent folder.
dev_t deviceOf(QByteArray path)
{
    struct stat st {};
    while (::stat(path.constData(), &st) != 0) {
        if (path == "/")
            return 0;
        path = parentOf(path);
    }
    return st.st_dev;
}

QByteArray homeTrash()
{
    QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    if (!dataHome.startsWith('/'))
        dataHome = qgetenv("HOME") + "/.local/share";
    return dataHome + "/Trash";
}

// $topdir/.Trash/$uid where the administrator made $topdir/.Trash a sticky folder (not a
// link), else $topdir/.Trash-$uid; empty when neither can be had.
QByteArray topDirTrash(const QByteArray& topDir)
{
    const QByteArray base = topDir == "/" ? QByteArray() : topDir;
    const QByteArray uid = QByteArray::number(uint(::geteuid()));
    struct stat st {};
    const QByteArray shared = base + "/.Trash";
    if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const QByteArray mine = shared + '/' + uid;
        if (makeFolder(mine) && ownFolder(mine))
            return mine;
    }
    const QByteArray mine = base + "/.Trash-" + uid;
    if (makeFolder(mine) && ownFolder(mine))
        return mine;
    return {};
}

// A name of at most DesktopTrash::MaxTrashedName bytes for the attempt'th try: the name
// itself, then "stem.2.ext", "stem.3.ext", ...; a long stem is cut on a character
// boundary so that the extension, and with it the file's type, survives.
QByteArray candidateName(const QByteArray& name, int attempt)
{
    const int dot = name.lastIndexOf('.');
    const bool hasExtension = dot > 0 && name.size() - dot <= 32;
    const QByteArray extension = hasExtension ? name.mid(dot) : QByteArray();
    QByteArray stem = hasExtension ? name.left(dot) : name;
    const QByteArray number = attempt == 0 ? QByteArray() : '.' + QByteArray::number(attempt + 1);
    const int room = DesktopTrash::MaxTrashedName - int(extension.size() + number.size());
    if (stem.size() > room) {
        int cut = room;
        while (cut > 0 && (uchar(stem.at(cut)) & 0xC0) == 0x80)
            --cut;
        stem.truncate(cut);
    }
    return stem + number + extension;
}

}

QByteArray DesktopTrash::EncodePath(const QByteArray& path)
{
    static const char Hex[] = "0123456789ABCDEF";
    QByteArray out;
    for (const char c : path) {
        const uchar u = uchar(c);
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || std::strchr("-._~/", c)) {
            out += c;
        } else {
            out += '%';
            out += Hex[u >> 4];
            out += Hex[u & 15];
        }
    }
    return out;
}

void DesktopTrash::MoveToTrash(const QString& path)
{
    QByteArray file = QFile::encodeName(path);
    if (!file.startsWith('/'))
        file = QFile::encodeName(QDir::currentPath()) + '/' + file;
    struct stat st {};
    if (::lstat(file.constData(), &st) != 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR)
            throw AppError(ErrNo::FileNotFound, Source, QStringLiteral("File not found: %1").arg(path));
        throw trashError(path, reason(err));
    }

    // The home trash where the file lies on its file system (a fresh account may not
    // have the folders yet), else the trash at the top of the file's own file system.
    TrashFolder trash;
    const QByteArray home = homeTrash();
    if (deviceOf(home) == st.st_dev) {
        const QString dataHome = QFile::decodeName(parentOf(home));
        if (!QFileInfo::exists(dataHome) && QDir().mkpath(dataHome))
            QFile::setPermissions(dataHome, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        makeFolder(home);
        trash.dir = home;
    } else {
        trash.topDir = fileSystemTop(parentOf(file), st.st_dev);
        trash.dir = topDirTrash(trash.topDir);
        if (trash.dir.isEmpty())
            throw trashError(path, QStringLiteral("there is no trash folder on its file system (%1) and none can be made")
                                       .arg(QFile::decodeName(trash.topDir)));
    }
    const QByteArray files = trash.dir + "/files", info = trash.dir + "/info";
    makeFolder(files);
    makeFolder(info);

    QByteArray restorePath = file;
    if (!trash.topDir.isEmpty())
        restorePath = file.mid(trash.topDir == "/" ? 1 : trash.topDir.size() + 1);
    const QByteArray contents = "[Trash Info]\nPath=" + EncodePath(restorePath) + "\nDeletionDate="
                                + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1()
                                + '\n';
    const QByteArray name = file.mid(file.lastIndexOf('/') + 1);

    // The info file claims a name first (O_EXCL: never another's); only then is the file
    // renamed in, without replacing. A name taken in either folder sends us to the next.
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        const QByteArray trashedName = candidateName(name, attempt);
        const QByteArray infoPath = info + '/' + trashedName + ".trashinfo";
        const int fd = ::open(infoPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            const int err = errno;
            if (err == EEXIST)
                continue;
            throw trashError(path, QStringLiteral("its information cannot be written into %1 (%2)")
                                       .arg(QFile::decodeName(info), reason(err)));
        }
        int err = WriteAll(fd, contents);
        if (::close(fd) != 0 && err == 0)
            err = errno;
        if (err != 0) {
            ::unlink(infoPath.constData());
            throw trashError(path, QStringLiteral("its information cannot be written into %1 (%2)")
                                       .arg(QFile::decodeName(info), reason(err)));
        }
        err = placeInTrash(file, files + '/' + trashedName);
        if (err == 0)
            return;
        ::unlink(infoPath.constData());
        if (err == EEXIST)
            continue;
        throw trashError(path, QStringLiteral("it cannot be put into %1 (%2)").arg(QFile::decodeName(files), reason(err)));
    }
    throw trashError(path, QStringLiteral("the trash already holds %1 files of that name").arg(MaxAttempts));
}

int DesktopTrash::placeInTrash(const QByteArray& from, const QByteArray& to)
{
    return FileOperations::renameNoReplace(from, to);
}

QByteArray DesktopTrash::fileSystemTop(const QByteArray& folder, dev_t device)
{
    QByteArray top = folder;
    struct stat st {};
    while (top != "/") {
        const QByteArray up = parentOf(top);
        if (::stat(up.constData(), &st) != 0 || st.st_dev != device)
            break;
        top = up;
    }
    return top;
}
