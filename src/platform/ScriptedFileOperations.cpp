#include "ScriptedFileOperations.h"

#include <cerrno>

int ScriptedFileOperations::enter(Step step)
{
    m_steps.push_back(step);
    return m_failures.value(step, 0);
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
    return injected ? injected : err;
}

int ScriptedFileOperations::syncFile(int fd)
{
    const int injected = enter(Step::SyncFile);
    const int err = FileOperations::syncFile(fd);
    return injected ? injected : err;
}

int ScriptedFileOperations::placeTemporary(const QByteArray& tempPath, const QByteArray& to)
{
    if (const int err = enter(Step::PlaceTemporary))
        return err;
    return FileOperations::placeTemporary(tempPath, to);
}

int ScriptedFileOperations::syncFolder(const QByteArray& folder)
{
    if (const int err = enter(Step::SyncFolder))
        return err;
    return FileOperations::syncFolder(folder);
}

int ScriptedFileOperations::removeSource(const QByteArray& from)
{
    if (const int err = enter(Step::RemoveSource))
        return err;
    return FileOperations::removeSource(from);
}

bool ScriptedFileOperations::trashFile(const QString& path)
{
    if (enter(Step::Trash))
        return false;
    return FileOperations::trashFile(path);
}
