#pragma once
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

// A mounted volume the user can browse: its root path and a label for the drive list.
struct VolumeInfo {
    QString root;
    QString label;
};

// What the lists read of the file system. The lists never touch the disk directly, so
// tests can make a folder or a volume unreadable even when they run as root.
class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // The volumes a user browses, "/" always among them.
    virtual std::vector<VolumeInfo> Volumes() const = 0;
    // Throws AppError unless the volume's root can be read.
    virtual void CheckVolume(const QString& root) const = 0;
    // Throws AppError unless `path` is an existing, readable folder.
    virtual void CheckFolder(const QString& path) const = 0;
    // Names of the visible subfolders of `path` (links followed), unsorted, as the file
    // system spells them. Throws like CheckFolder.
    virtual std::vector<std::string> Subfolders(const QString& path) const = 0;
    // Names of the visible regular files of `path` (links followed), unsorted, as the
    // file system spells them (bytes, not always UTF-8). Never opens a file. Throws
    // like CheckFolder.
    virtual std::vector<std::string> FileNames(const QString& path) const = 0;
};

// Which listed volume holds `path`: the one whose root is the longest prefix of it.
QString VolumeRootOf(const std::vector<VolumeInfo>& volumes, const QString& path);
