#pragma once
#include <QString>
#include <QtGlobal>

#include <optional>

// What identifies a file on its file system, so that a comment can find its image again
// after another program renamed it: all four must match, so that a reused inode or a
// hard link whose contents or time differ is never taken for the image.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;  // modification time in nanoseconds since the epoch
    bool operator==(const FileIdentity& o) const
    {
        return device == o.device && inode == o.inode && size == o.size && mtimeNs == o.mtimeNs;
    }
    bool operator!=(const FileIdentity& o) const { return !(*this == o); }
};

// The comment an image file carries itself (the freedesktop `user.xdg.comment` extended
// attribute, which mv, cp -a and rsync -X take along) and the file's identity. The comment
// store writes through it and the selection reads through it; FileCommentAttribute is the
// real one, ScriptedFileComment the tests' double. Every method may be called on any thread.
class IFileComment {
public:
    virtual ~IFileComment() = default;
    // The file's comment; std::nullopt when it has none or its file system keeps none.
    virtual std::optional<QString> ReadComment(const QString& sPath) = 0;
    // Sets or removes the file's comment. A file system without user attributes, a
    // read-only file or a missing file is skipped quietly: the store stays the record.
    virtual void WriteComment(const QString& sPath, const QString& sText) = 0;
    virtual void RemoveComment(const QString& sPath) = 0;
    // The file's identity; std::nullopt when it cannot be read.
    virtual std::optional<FileIdentity> Identity(const QString& sPath) = 0;
    // True only when no file is at sPath at all: a file that merely cannot be reached now
    // (no permission, a share gone offline) is not gone, and keeps its comment.
    virtual bool IsGone(const QString& sPath) = 0;
};
