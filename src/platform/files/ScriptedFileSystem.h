#pragma once
#include "LocalFileSystem.h"

#include <QSet>

// The real file system with scripted faults, for tests that run as root (where
// permissions stop nothing): folders and volumes can be made unreadable, and folders
// can be declared volumes. Its volumes are "/" plus the declared ones.
class ScriptedFileSystem : public IFileSystem {
public:
    void AddVolume(const QString& root, const QString& label = QString());
    void MakeUnreadable(const QString& path) { m_unreadable.insert(path); }
    void MakeReadable(const QString& path) { m_unreadable.remove(path); }

    std::vector<VolumeInfo> Volumes() const override;
    void CheckVolume(const QString& root) const override;
    void CheckFolder(const QString& path) const override;
    std::vector<std::string> Subfolders(const QString& path) const override;
    std::vector<std::string> FileNames(const QString& path) const override;

private:
    void failIfUnreadable(const QString& path) const;

    LocalFileSystem m_real;
    std::vector<VolumeInfo> m_volumes{{QStringLiteral("/"), QString()}};
    QSet<QString> m_unreadable;
};
