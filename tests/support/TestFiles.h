#pragma once
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
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

// As writeRaw, creating the folders on the way.
inline void write(const QString& path, const QByteArray& contents = "x")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeRaw(QFile::encodeName(path), contents);
}

inline QString makeDir(const QString& path)
{
    QDir().mkpath(path);
    return path;
}

// A file's bytes by its raw name, or "<missing>" when it is no regular file: a FIFO is
// never opened, as that would block.
inline QByteArray readRaw(const QByteArray& path)
{
    struct stat st {};
    QFile file;
    if (::lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode)
        || !file.open(::open(path.constData(), O_RDONLY | O_CLOEXEC), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return "<missing>";
    return file.readAll();
}

inline QByteArray read(const QString& path)
{
    return readRaw(QFile::encodeName(path));
}

// Points HOME and the desktop's data and settings folders into `home`, so that no test
// touches the user's own files.
inline void usePrivateHome(const QString& home)
{
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/data")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/config")));
}

// A home of the test's own for as long as it lives, as usePrivateHome makes it.
struct PrivateHome {
    QTemporaryDir dir;
    PrivateHome() { usePrivateHome(dir.path()); }
};

#ifdef TESSEL_BUILT_STORE
// The empty comment store the build makes, copied into `folder`; returns its path.
inline QString copyBuiltStore(const QString& folder)
{
    const QString file = folder + QStringLiteral("/Tooltips.mdb");
    QFile::copy(QStringLiteral(TESSEL_BUILT_STORE), file);
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    return file;
}
#endif

}
