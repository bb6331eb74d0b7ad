#include "RekeyJournal.h"
#include "AppError.h"
#include "WriteAll.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Error number for a journal that cannot be written.
constexpr int kJournalError = ErrNo::PathFileAccess;

AppError journalError(const QString& what, const QString& file)
{
    return AppError(kJournalError, QStringLiteral("RekeyJournal"),
                    QStringLiteral("Cannot %1 %2: %3.").arg(what, file, QString::fromLocal8Bit(std::strerror(errno))));
}

// An advisory lock on "<journal>.lock", held for the object's life. The kernel drops it
// when the process dies, so a crashed copy never leaves the journal locked.
class FileLock {
public:
    FileLock(const QString& journal, bool wait)
    {
        const QByteArray name = QFile::encodeName(journal + QStringLiteral(".lock"));
        m_fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd < 0)
            return;
        int result;
        do
            result = ::flock(m_fd, LOCK_EX | (wait ? 0 : LOCK_NB));
        while (result != 0 && errno == EINTR);
        if (result != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~FileLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// Makes a new or renamed directory entry durable, not only the file's contents.
void syncFolderOf(const QString& file)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QByteArray lineOf(const RekeyJournal::Entry& entry)
{
    // JSON escapes every control character, so a file name holding a line break stays on
    // its line.
    const QJsonObject object{{QStringLiteral("store"), entry.store},
                             {QStringLiteral("old"), entry.oldPath},
                             {QStringLiteral("new"), entry.newPath}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

bool parseLine(const QByteArray& line, RekeyJournal::Entry& entry)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject object = document.object();
    const QJsonValue store = object.value(QStringLiteral("store")), oldPath = object.value(QStringLiteral("old")),
                     newPath = object.value(QStringLiteral("new"));
    if (!store.isString() || !oldPath.isString() || !newPath.isString())
        return false;
    entry = {store.toString(), oldPath.toString(), newPath.toString()};
    return true;
}
}

QString RekeyJournal::DefaultFile()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/tessel/comment-rekeys.journal");
}

RekeyJournal::RekeyJournal(QString file) : m_file(std::move(file)) {}

void RekeyJournal::Append(const Entry& entry)
{
    if (!QDir().mkpath(QFileInfo(m_file).absolutePath()))
        throw journalError(QStringLiteral("create the folder of"), m_file);
    const FileLock lock(m_file, true);
    if (!lock.Held())
        throw journalError(QStringLiteral("lock"), m_file);
    const QByteArray name = QFile::encodeName(m_file);
    const bool existed = QFileInfo::exists(m_file);
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        throw journalError(QStringLiteral("open"), m_file);
    QByteArray bytes = lineOf(entry);
    // A crash in the middle of an earlier append left half a line: it is ended first, or
    // this entry would be glued to it and skipped with it.
    struct stat st {};
    char last = '\n';
    if (::fstat(fd, &st) == 0 && st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n')
        bytes.prepend('\n');
    const bool written = WriteAll(fd, bytes) == 0 && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!written) {
        errno = savedErrno;
        throw journalError(QStringLiteral("write"), m_file);
    }
    if (!existed)
        syncFolderOf(m_file);
}

bool RekeyJournal::Apply(const QString& store, const std::function<bool(const Entry&)>& apply)
{
    if (!QFileInfo::exists(m_file))
        return false;
    const FileLock lock(m_file, false);
    if (!lock.Held())
        return true;  // another copy is adding or applying entries; they are looked at next time
    QFile file(m_file);
    if (!file.open(QIODevice::ReadOnly))
        return QFileInfo::exists(m_file);  // gone meanwhile: nothing is pending
    const QByteArray contents = file.readAll();
    file.close();

    // Only lines ended by a line break are complete; the rest is what a crash cut short.
    const qsizetype end = contents.lastIndexOf('\n') + 1;
    bool changed = end < contents.size();
    bool stopped = false;
    QByteArray kept;
    for (const QByteArray& line : contents.left(end).split('\n')) {
        if (line.isEmpty())
            continue;
        Entry entry;
        if (!parseLine(line, entry)) {
            changed = true;  // a line garbled by a crash: it can never be applied
            continue;
        }
        if (entry.store == store && !stopped) {
            bool applied = false;
            try {
                applied = apply(entry);
            } catch (...) {
            }
            if (applied) {
                changed = true;
                continue;
            }
            stopped = true;
        }
        kept += line + '\n';
    }
    if (changed) {
        // Rewritten whole beside the journal and renamed over it, so a crash leaves either
        // the old or the new list, never a mix; an entry applied but still listed then is
        // applied again, which normally finds no comment under its old path any more.
        if (kept.isEmpty()) {
            QFile::remove(m_file);
            syncFolderOf(m_file);
        } else {
            const QString partial = m_file + QStringLiteral(".new");
            const int fd = ::open(QFile::encodeName(partial).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            const bool written = fd >= 0 && WriteAll(fd, kept) == 0 && ::fsync(fd) == 0;
            if (fd >= 0)
                ::close(fd);
            if (written && ::rename(QFile::encodeName(partial).constData(), QFile::encodeName(m_file).constData()) == 0)
                syncFolderOf(m_file);
            else
                QFile::remove(partial);  // the old list stays; its applied entries find nothing next time
        }
    }
    return stopped;
}
