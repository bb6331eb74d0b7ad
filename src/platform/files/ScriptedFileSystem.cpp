#include "ScriptedFileSystem.h"
#include "AppError.h"

void ScriptedFileSystem::AddVolume(const QString& root, const QString& label)
{
    m_volumes.push_back({root, label});
}

std::vector<VolumeInfo> ScriptedFileSystem::Volumes() const { return m_volumes; }

void ScriptedFileSystem::failIfUnreadable(const QString& path) const
{
    if (m_unreadable.contains(path))
        throw AppError(ErrNo::DeviceUnavailable, QStringLiteral("ScriptedFileSystem"),
                       QStringLiteral("Device unavailable: %1").arg(path));
}

void ScriptedFileSystem::CheckVolume(const QString& root) const
{
    failIfUnreadable(root);
    m_real.CheckVolume(root);
}

void ScriptedFileSystem::CheckFolder(const QString& path) const
{
    failIfUnreadable(path);
    m_real.CheckFolder(path);
}

std::vector<std::string> ScriptedFileSystem::Subfolders(const QString& path) const
{
    failIfUnreadable(path);
    return m_real.Subfolders(path);
}

std::vector<std::string> ScriptedFileSystem::FileNames(const QString& path) const
{
    failIfUnreadable(path);
    return m_real.FileNames(path);
}
