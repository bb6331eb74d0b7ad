#pragma once
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

// Small helpers that build test folders on disk.
namespace TestFiles {

// Creates (or truncates) a file with the given contents; raw bytes allow names that
// are not valid UTF-8.
inline void writeRaw(const QByteArray& path, const QByteArray& contents = "x")
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY2(fd >= 0, path.constData());
    QCOMPARE(::write(fd, contents.constData(), contents.size()), ssize_t(contents.size()));
    ::close(fd);
}

inline void write(const QString& path, const QByteArray& contents = "x")
{
    writeRaw(QFile::encodeName(path), contents);
}

inline QString makeDir(const QString& path)
{
    QDir().mkpath(path);
    return path;
}

// A file's bytes, or "<missing>" when it cannot be read.
inline QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}
