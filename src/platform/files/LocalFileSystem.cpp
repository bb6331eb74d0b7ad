#include "LocalFileSystem.h"
#include "AppError.h"

#include <QFile>
#include <QStorageInfo>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace {

bool isVirtualFileSystem(const QByteArray& type, const QString& root)
{
    static const char* const kinds[] = {
        "proc", "sysfs", "cgroup", "cgroup2", "devpts", "devtmpfs", "mqueue", "debugfs",
        "tracefs", "securityfs", "pstore", "bpf", "configfs", "fusectl", "hugetlbfs", "autofs",
        "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs", "tmpfs", "squashfs", "ramfs",
        "fuse.gvfsd-fuse", "fuse.portal", "overlay"};
    for (const char* kind : kinds)
        if (type == kind)
            return true;
    for (const char* prefix : {"/proc", "/sys", "/dev", "/run", "/snap", "/boot"})
        if (root == QLatin1String(prefix) || root.startsWith(QLatin1String(prefix) + QLatin1Char('/')))
            return true;
    return false;
}

[[noreturn]] void throwForErrno(int err, const QString& path, const char* source)
{
    if (err == ENOENT || err == ENOTDIR)
        throw AppError(ErrNo::PathNotFound, QString::fromLatin1(source),
                       QStringLiteral("Path not found: %1").arg(path));
    throw AppError(ErrNo::PathFileAccess, QString::fromLatin1(source),
                   QStringLiteral("Path/File access error: %1").arg(path));
}

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

DirHandle openFolder(const QString& path, const char* source)
{
    if (path.isEmpty() || !path.startsWith(QLatin1Char('/')))
        throw AppError(ErrNo::PathNotFound, QString::fromLatin1(source),
                       QStringLiteral("Path not found: %1").arg(path));
    const QByteArray native = QFile::encodeName(path);
    DIR* dir = opendir(native.constData());
    if (!dir)
        throwForErrno(errno, path, source);
    return DirHandle(dir);
}

// The kind of an entry, following symbolic links; 0 when it cannot be told (a dangling link).
unsigned char entryKind(DIR* dir, const dirent* entry)
{
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return entry->d_type;
    struct stat st;
    if (fstatat(dirfd(dir), entry->d_name, &st, 0) != 0)
        return 0;
    if (S_ISREG(st.st_mode))
        return DT_REG;
    if (S_ISDIR(st.st_mode))
        return DT_DIR;
    return DT_UNKNOWN;
}

// The names of the entries of `kind` (DT_DIR, DT_REG) in a folder, hidden ones left out.
std::vector<std::string> entryNames(const QString& path, const char* source, unsigned char kind)
{
    DirHandle dir = openFolder(path, source);
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir.get())) {
        if (entry->d_name[0] != '.' && entryKind(dir.get(), entry) == kind)
            names.emplace_back(entry->d_name);
    }
    return names;
}

}

QString VolumeRootOf(const std::vector<VolumeInfo>& volumes, const QString& path)
{
    QString best = QStringLiteral("/");
    for (const VolumeInfo& v : volumes) {
        const QString& root = v.root;
        const bool holds = path == root
            || (path.startsWith(root) && (root.endsWith(QLatin1Char('/')) || path.at(root.size()) == QLatin1Char('/')));
        if (holds && root.size() > best.size())
            best = root;
    }
    return best;
}

std::vector<VolumeInfo> LocalFileSystem::Volumes() const
{
    std::vector<VolumeInfo> result;
    result.push_back({QStringLiteral("/"), QString()});
    for (const QStorageInfo& info : QStorageInfo::mountedVolumes()) {
        const QString root = info.rootPath();
        if (root == QLatin1String("/")) {
            result.front().label = info.displayName() == root ? QString() : info.displayName();
            continue;
        }
        if (!info.isValid() || isVirtualFileSystem(info.fileSystemType(), root))
            continue;
        result.push_back({root, info.displayName() == root ? QString() : info.displayName()});
    }
    return result;
}

void LocalFileSystem::CheckVolume(const QString& root) const
{
    CheckFolder(root);
}

void LocalFileSystem::CheckFolder(const QString& path) const
{
    openFolder(path, "FolderList.Path");
}

std::vector<std::string> LocalFileSystem::Subfolders(const QString& path) const
{
    return entryNames(path, "FolderList.Path", DT_DIR);
}

std::vector<std::string> LocalFileSystem::FileNames(const QString& path) const
{
    return entryNames(path, "FileList.Path", DT_REG);
}
