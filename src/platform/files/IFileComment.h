#pragma once
#include "FileIdentity.h"

#include <QString>

#include <optional>

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
