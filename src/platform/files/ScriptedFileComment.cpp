#include "ScriptedFileComment.h"

void ScriptedFileComment::SetFile(const QString& sPath, const FileIdentity& identity)
{
    const QMutexLocker lock(&m_mutex);
    m_files[sPath].identity = identity;
}

void ScriptedFileComment::MoveFile(const QString& sFrom, const QString& sTo, std::optional<FileIdentity> identity)
{
    const QMutexLocker lock(&m_mutex);
    File file = m_files.take(sFrom);
    if (identity)
        file.identity = *identity;
    if (!m_supportsAttributes)
        file.comment.reset();
    m_files.insert(sTo, file);
}

void ScriptedFileComment::RemoveFile(const QString& sPath)
{
    const QMutexLocker lock(&m_mutex);
    m_files.remove(sPath);
}

void ScriptedFileComment::SetSupportsAttributes(bool supports)
{
    const QMutexLocker lock(&m_mutex);
    m_supportsAttributes = supports;
}

std::optional<QString> ScriptedFileComment::Attribute(const QString& sPath) const
{
    const QMutexLocker lock(&m_mutex);
    const auto it = m_files.constFind(sPath);
    return it == m_files.cend() ? std::nullopt : it->comment;
}

std::optional<QString> ScriptedFileComment::ReadComment(const QString& sPath)
{
    const QMutexLocker lock(&m_mutex);
    const auto it = m_files.constFind(sPath);
    if (!m_supportsAttributes || it == m_files.cend())
        return std::nullopt;
    return it->comment;
}

void ScriptedFileComment::WriteComment(const QString& sPath, const QString& sText)
{
    const QMutexLocker lock(&m_mutex);
    const auto it = m_files.find(sPath);
    if (m_supportsAttributes && it != m_files.end())
        it->comment = sText;
}

void ScriptedFileComment::RemoveComment(const QString& sPath)
{
    const QMutexLocker lock(&m_mutex);
    const auto it = m_files.find(sPath);
    if (it != m_files.end())
        it->comment.reset();
}

std::optional<FileIdentity> ScriptedFileComment::Identity(const QString& sPath)
{
    const QMutexLocker lock(&m_mutex);
    const auto it = m_files.constFind(sPath);
    return it == m_files.cend() ? std::nullopt : std::optional<FileIdentity>(it->identity);
}

bool ScriptedFileComment::IsGone(const QString& sPath)
{
    const QMutexLocker lock(&m_mutex);
    return !m_files.contains(sPath);
}
