#pragma once
#include "IFileComment.h"

#include <QHash>
#include <QMutex>

// Files made up by a test, for the comment code above the platform: each has an identity
// and perhaps a comment attribute; a test moves, copies and removes them as another
// program would, and can make the file system keep no attributes at all (ENOTSUP).
// Thread-safe, as the selection reads it on a worker.
class ScriptedFileComment : public IFileComment {
public:
    void SetFile(const QString& sPath, const FileIdentity& identity);
    // Like rename(2) or a move to another file system (`identity` changes then); the
    // attribute goes along only where both ends keep attributes.
    void MoveFile(const QString& sFrom, const QString& sTo, std::optional<FileIdentity> identity = std::nullopt);
    void RemoveFile(const QString& sPath);
    // Whether the file system keeps user attributes; without, reads find none.
    void SetSupportsAttributes(bool supports);
    // The attribute as stored, without the ENOTSUP rule.
    std::optional<QString> Attribute(const QString& sPath) const;

    std::optional<QString> ReadComment(const QString& sPath) override;
    void WriteComment(const QString& sPath, const QString& sText) override;
    void RemoveComment(const QString& sPath) override;
    std::optional<FileIdentity> Identity(const QString& sPath) override;
    bool IsGone(const QString& sPath) override;

private:
    struct File {
        FileIdentity identity;
        std::optional<QString> comment;
    };
    mutable QMutex m_mutex;
    QHash<QString, File> m_files;
    bool m_supportsAttributes = true;
};
