#include "ScriptedFileOperations.h"
#include "AppError.h"

#include <cerrno>

int ScriptedFileOperations::enter(Step step)
{
    m_steps.push_back(step);
    return m_failures.value(step, 0);
}

void ScriptedFileOperations::leave(Step step)
{
    if (const auto action = m_actions.value(step))
        action();
}

int ScriptedFileOperations::renameInPlace(const QByteArray& from, const QByteArray& to)
{
    if (const int err = enter(Step::Rename))
        return err;
    if (m_crossDevice)
        return EXDEV;
    return FileOperations::renameInPlace(from, to);
}

int ScriptedFileOperations::createTemporary(const QByteArray& folder, int& fd, QByteArray& tempPath)
{
    if (const int err = enter(Step::CreateTemporary))
        return err;
    const int err = FileOperations::createTemporary(folder, fd, tempPath);
    if (err == 0)
        m_lastTemporary = tempPath;
    return err;
}

int ScriptedFileOperations::copyContents(int fromFd, int toFd)
{
    const int injected = enter(Step::CopyContents);
    const int err = FileOperations::copyContents(fromFd, toFd);
    leave(Step::CopyContents);
    return injected ? injected : err;
}

int ScriptedFileOperations::syncFile(int fd)
{
    const int injected = enter(Step::SyncFile);
    const int err = FileOperations::syncFile(fd);
    leave(Step::SyncFile);
    return injected ? injected : err;
}

int ScriptedFileOperations::placeTemporary(const QByteArray& tempPath, const QByteArray& to)
{
    if (const int err = enter(Step::PlaceTemporary))
        return err;
    const int err = FileOperations::placeTemporary(tempPath, to);
    leave(Step::PlaceTemporary);
    return err;
}

int ScriptedFileOperations::syncFolder(const QByteArray& folder)
{
    if (const int err = enter(Step::SyncFolder))
        return err;
    const int err = FileOperations::syncFolder(folder);
    leave(Step::SyncFolder);
    return err;
}

int ScriptedFileOperations::removeSource(int folderFd, const QByteArray& name)
{
    if (const int err = enter(Step::RemoveSource))
        return err;
    return FileOperations::removeSource(folderFd, name);
}

void ScriptedFileOperations::trashFile(const QString& path)
{
    if (enter(Step::Trash))
        throw AppError(ErrNo::PathFileAccess, QStringLiteral("FileOperations"),
                       QStringLiteral("the desktop trash cannot take %1").arg(path));
    FileOperations::trashFile(path);
}
