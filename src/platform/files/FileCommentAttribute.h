#pragma once
#include "IFileComment.h"

// IFileComment over the real file system: the `user.xdg.comment` extended attribute
// (UTF-8 text) through getxattr/setxattr/removexattr and the identity through lstat.
// Stateless; make one wherever it is needed and share it between threads.
class FileCommentAttribute : public IFileComment {
public:
    static constexpr const char* AttributeName = "user.xdg.comment";

    std::optional<QString> ReadComment(const QString& sPath) override;
    void WriteComment(const QString& sPath, const QString& sText) override;
    void RemoveComment(const QString& sPath) override;
    std::optional<FileIdentity> Identity(const QString& sPath) override;
    bool IsGone(const QString& sPath) override;
};
