#include "FileCommentAttribute.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <sys/xattr.h>

std::optional<QString> FileCommentAttribute::ReadComment(const QString& sPath)
{
    const QByteArray path = QFile::encodeName(sPath);
    // The size is asked first; a comment changed in between is asked for again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const ssize_t size = ::getxattr(path.constData(), AttributeName, nullptr, 0);
        if (size <= 0)
            return std::nullopt;
        QByteArray value(int(size), Qt::Uninitialized);
        const ssize_t read = ::getxattr(path.constData(), AttributeName, value.data(), size_t(value.size()));
        if (read >= 0) {
            value.truncate(int(read));
            if (value.isEmpty())
                return std::nullopt;
            return QString::fromUtf8(value);
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
    return std::nullopt;
}

void FileCommentAttribute::WriteComment(const QString& sPath, const QString& sText)
{
    const QByteArray path = QFile::encodeName(sPath);
    const QByteArray value = sText.toUtf8();
    // Failures (ENOTSUP, EPERM, EACCES, EROFS, ENOENT, E2BIG) leave the file without it.
    ::setxattr(path.constData(), AttributeName, value.constData(), size_t(value.size()), 0);
}

void FileCommentAttribute::RemoveComment(const QString& sPath)
{
    ::removexattr(QFile::encodeName(sPath).constData(), AttributeName);
}

std::optional<FileIdentity> FileCommentAttribute::Identity(const QString& sPath)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(sPath).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileIdentity::Of(st);
}

bool FileCommentAttribute::IsGone(const QString& sPath)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(sPath).constData(), &st) == 0)
        return false;
    return errno == ENOENT || errno == ENOTDIR;
}
