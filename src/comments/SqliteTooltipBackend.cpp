#include "SqliteTooltipBackend.h"
#include "TooltipErrors.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

#include <atomic>

namespace {
// Primary result codes of the engine (the low byte of an extended code).
constexpr int kSqliteError = 1;
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteFull = 13;
constexpr int kSqliteNotADb = 26;

const QString kSelectRows = QStringLiteral(
    "SELECT rowid, Path, Tooltip FROM tblTooltip WHERE Path = ? ORDER BY rowid");

// The same statements as in TooltipSchema.sql, for stores made before the table existed.
const char* const kCreateIdentities =
    "CREATE TABLE IF NOT EXISTS tblIdentity (Path TEXT PRIMARY KEY, Device INTEGER, Inode INTEGER, "
    "Size INTEGER, MTimeNs INTEGER)";
const char* const kCreateIdentityIndex = "CREATE INDEX IF NOT EXISTS idxIdentityInode ON tblIdentity (Inode)";

QString nextConnectionName()
{
    static std::atomic<quint64> counter{0};
    return QStringLiteral("tessel-tooltips-%1").arg(++counter);
}

// A null QString would be bound as SQL NULL; the program's keys and texts are never null.
QVariant text(const QString& s)
{
    return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
}

// A field as a lookup read it, for binding: no value binds as SQL NULL.
QVariant field(const std::optional<QString>& value)
{
    return value ? text(*value) : QVariant();
}

std::optional<QString> optionalText(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    return value.toString();
}
}

SqliteTooltipBackend::SqliteTooltipBackend(const QString& sFile, Access access, int busyTimeoutMs)
    : m_file(QFileInfo(sFile).absoluteFilePath()), m_connectionName(nextConnectionName()),
      m_busyTimeoutMs(busyTimeoutMs)
{
    // The engine would quietly make a new, empty database of a missing file (and read an
    // empty one as a valid empty database), so the file is vetted before the engine sees it.
    checkIsSqliteFile();

    const QFileInfo info(m_file);
    // The engine writes its rollback journal beside the file, so a read-only folder makes
    // the store read-only as surely as a read-only file does.
    const bool writable = info.isWritable() && QFileInfo(info.absolutePath()).isWritable();
    try {
        // The table is checked over a read-only connection first; only a file that holds
        // it is then opened for writing.
        openConnection(true);
        const bool willWrite = access == Access::Auto && writable;
        try {
            checkTable();
        } catch (const AppError& error) {
            // A copy of the program killed in the middle of a write leaves a hot journal,
            // which only a read-write connection may roll back; a read-only one calls the
            // file read-only. The read-write check below recovers it and has the last word.
            if (!willWrite || error.Number() != TooltipErr::ReadOnly)
                throw;
        }
        if (willWrite) {
            closeConnection();
            openConnection(false);
            checkTable();
        }
        checkIdentityTable(willWrite);
    } catch (...) {
        closeConnection();
        throw;
    }
}

SqliteTooltipBackend::~SqliteTooltipBackend()
{
    closeConnection();
}

void SqliteTooltipBackend::checkIsSqliteFile() const
{
    const QFileInfo info(m_file);
    if (!info.exists())
        throw TooltipError(TooltipErr::FileNotFound, m_file);
    QFile file(m_file);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw TooltipError(TooltipErr::CannotRead, m_file);
    static const QByteArray magic("SQLite format 3\0", 16);
    if (file.read(magic.size()) != magic)
        throw TooltipError(TooltipErr::NotADatabase, m_file);
}

void SqliteTooltipBackend::openConnection(bool readOnly)
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    if (!m_db.isValid())
        throw TooltipError(TooltipErr::EngineError,
                           QStringLiteral("the SQLite driver of Qt is not installed"));

    // Opened by URI with mode=rw or mode=ro: in those modes the engine refuses to create a
    // file, so a store removed after the check above is reported, not silently recreated.
    QUrl uri = QUrl::fromLocalFile(m_file);
    uri.setQuery(readOnly ? QStringLiteral("mode=ro") : QStringLiteral("mode=rw"));
    m_db.setDatabaseName(uri.toString(QUrl::FullyEncoded));

    // The journal mode is left as the file has it, normally the rollback journal. WAL is
    // not switched on: it would keep Tooltips.mdb-wal and -shm files beside the program for
    // as long as a copy runs, and a WAL file cannot be read from a read-only folder. A few
    // short writes at a time share the file between copies well enough with the busy timeout.
    QString options = QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyTimeoutMs);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    m_db.setConnectOptions(options);
    if (!m_db.open())
        throw engineError(m_db.lastError());
    m_readOnly = readOnly;
}

void SqliteTooltipBackend::checkTable()
{
    // Preparing the lookup reads the schema: a damaged file fails here, and so does one
    // without the table or its two fields.
    QSqlQuery query(m_db);
    if (query.prepare(kSelectRows))
        return;
    const QSqlError error = query.lastError();
    if ((error.nativeErrorCode().toInt() & 0xff) == kSqliteError)
        throw TooltipError(TooltipErr::TableMissing, m_file);
    throw engineError(error);
}

void SqliteTooltipBackend::checkIdentityTable(bool mayCreate)
{
    const auto present = [this] {
        QSqlQuery query = prepare(QStringLiteral(
            "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'tblIdentity'"));
        if (!query.exec() || !query.next())
            throw engineError(query.lastError());
        return query.value(0).toInt() > 0;
    };
    m_hasIdentities = present();
    if (m_hasIdentities || !mayCreate)
        return;
    // Stores made before identities were kept get the table the build now makes. A store
    // that refuses it (locked at this moment) still works, without relinking by identity.
    try {
        execPlain(QStringLiteral("BEGIN IMMEDIATE"));
        QSqlQuery create(m_db);
        const bool made = create.exec(QString::fromLatin1(kCreateIdentities))
                          && create.exec(QString::fromLatin1(kCreateIdentityIndex));
        create.finish();
        if (!made) {
            execPlain(QStringLiteral("ROLLBACK"));
            return;
        }
        execPlain(QStringLiteral("COMMIT"));
        m_hasIdentities = true;
    } catch (const AppError&) {
        QSqlQuery rollback(m_db);
        rollback.exec(QStringLiteral("ROLLBACK"));
    }
}

void SqliteTooltipBackend::closeConnection()
{
    if (m_db.isValid())
        m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlQuery SqliteTooltipBackend::prepare(const QString& sql)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw engineError(query.lastError());
    return query;
}

void SqliteTooltipBackend::execPlain(const QString& sql)
{
    QSqlQuery query(m_db);
    if (!query.exec(sql))
        throw engineError(query.lastError());
}

QVector<TooltipRow> SqliteTooltipBackend::RowsForPath(const QString& sPath)
{
    return selectRows(kSelectRows, {text(sPath)});
}

QVector<TooltipRow> SqliteTooltipBackend::AllRows()
{
    return selectRows(QStringLiteral("SELECT rowid, Path, Tooltip FROM tblTooltip ORDER BY rowid"), {});
}

QVector<TooltipRow> SqliteTooltipBackend::RowsWithTooltip(const QString& sTooltip)
{
    return selectRows(QStringLiteral("SELECT rowid, Path, Tooltip FROM tblTooltip WHERE Tooltip = ? ORDER BY rowid"),
                      {text(sTooltip)});
}

QVector<TooltipRow> SqliteTooltipBackend::selectRows(const QString& sql, const QVariantList& values)
{
    QSqlQuery query = prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw engineError(query.lastError());
    QVector<TooltipRow> rows;
    while (query.next())
        rows.push_back({query.value(0).toLongLong(), optionalText(query.value(1)),
                        optionalText(query.value(2))});
    if (query.lastError().isValid())
        throw engineError(query.lastError());
    // Releases the read lock at once: a statement left open would hold it and make the
    // other copy of the program wait for the busy timeout on its next write.
    query.finish();
    return rows;
}

ITooltipBackend::Connector SqliteTooltipBackend::Connect() const
{
    const Access access = m_readOnly ? Access::ReadOnly : Access::Auto;
    return [file = m_file, access, busyTimeoutMs = m_busyTimeoutMs]() -> std::unique_ptr<ITooltipBackend> {
        return std::make_unique<SqliteTooltipBackend>(file, access, busyTimeoutMs);
    };
}

ITooltipBackend::RowReader SqliteTooltipBackend::Reader() const
{
    // A connection of its own for each lookup: a connection belongs to the thread that made
    // it, and opening one costs far less than the lookups of a selection are apart.
    return [file = m_file, busyTimeoutMs = m_busyTimeoutMs](const QString& sPath) {
        SqliteTooltipBackend reader(file, Access::ReadOnly, busyTimeoutMs);
        return reader.RowsForPath(sPath);
    };
}

qint64 SqliteTooltipBackend::write(const QString& sql, const QVariantList& values, bool mustTouchRow)
{
    // IMMEDIATE takes the write lock at the start, so a busy store is waited for under the
    // busy timeout instead of failing at once when two copies write at the same moment.
    execPlain(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        QSqlQuery query = prepare(sql);
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (!query.exec())
            throw engineError(query.lastError());
        if (mustTouchRow && query.numRowsAffected() == 0)
            throw TooltipError(TooltipErr::RecordDeleted);
        const qint64 id = query.lastInsertId().toLongLong();
        query.finish();
        execPlain(QStringLiteral("COMMIT"));
        return id;
    } catch (...) {
        // A failed COMMIT leaves the transaction open; it must not linger holding locks.
        QSqlQuery rollback(m_db);
        rollback.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

qint64 SqliteTooltipBackend::Insert(const QString& sPath, const QString& sTooltip)
{
    return write(QStringLiteral("INSERT INTO tblTooltip (Path, Tooltip) VALUES (?, ?)"),
                 {text(sPath), text(sTooltip)}, false);
}

// The row as found, checked in the statement that changes it: a row id alone may since
// have been given to another image's comment. IS also matches a field without a value.
void SqliteTooltipBackend::UpdateTooltip(const TooltipRow& row, const QString& sTooltip)
{
    write(QStringLiteral("UPDATE tblTooltip SET Tooltip = ? WHERE rowid = ? AND Path IS ? AND Tooltip IS ?"),
          {text(sTooltip), row.id, field(row.path), field(row.tooltip)}, true);
}

void SqliteTooltipBackend::UpdatePath(const TooltipRow& row, const QString& sPath)
{
    // The text is not checked: the comment belongs to the renamed image whatever it says now.
    write(QStringLiteral("UPDATE tblTooltip SET Path = ? WHERE rowid = ? AND Path IS ?"),
          {text(sPath), row.id, field(row.path)}, true);
}

void SqliteTooltipBackend::Delete(const TooltipRow& row)
{
    write(QStringLiteral("DELETE FROM tblTooltip WHERE rowid = ? AND Path IS ? AND Tooltip IS ?"),
          {row.id, field(row.path), field(row.tooltip)}, true);
}

QVector<bool> SqliteTooltipBackend::InsertMissing(const QVector<PathAndTooltip>& rows)
{
    execPlain(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        // The check and the insert in one statement, under the write lock.
        QSqlQuery query = prepare(QStringLiteral("INSERT INTO tblTooltip (Path, Tooltip) SELECT ?, ? WHERE NOT EXISTS "
                                                 "(SELECT 1 FROM tblTooltip WHERE Path = ? AND Tooltip = ?)"));
        QVector<bool> added;
        for (const PathAndTooltip& row : rows) {
            for (const QVariant& value : {text(row.first), text(row.second), text(row.first), text(row.second)})
                query.addBindValue(value);
            if (!query.exec())
                throw engineError(query.lastError());
            added << (query.numRowsAffected() > 0);
        }
        query.finish();
        execPlain(QStringLiteral("COMMIT"));
        return added;
    } catch (...) {
        QSqlQuery rollback(m_db);
        rollback.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

std::optional<FileIdentity> SqliteTooltipBackend::IdentityOf(const QString& sPath)
{
    if (!m_hasIdentities)
        return std::nullopt;
    QSqlQuery query = prepare(QStringLiteral("SELECT Device, Inode, Size, MTimeNs FROM tblIdentity WHERE Path = ?"));
    query.addBindValue(text(sPath));
    if (!query.exec())
        throw engineError(query.lastError());
    std::optional<FileIdentity> found;
    if (query.next())
        found = FileIdentity{quint64(query.value(0).toLongLong()), quint64(query.value(1).toLongLong()),
                             query.value(2).toLongLong(), query.value(3).toLongLong()};
    query.finish();
    return found;
}

QStringList SqliteTooltipBackend::PathsWithIdentity(const FileIdentity& identity)
{
    QStringList paths;
    if (!m_hasIdentities)
        return paths;
    QSqlQuery query = prepare(QStringLiteral("SELECT Path FROM tblIdentity WHERE Inode = ? AND Device = ? "
                                             "AND Size = ? AND MTimeNs = ? ORDER BY rowid"));
    for (const QVariant& value : {QVariant(qint64(identity.inode)), QVariant(qint64(identity.device)),
                                  QVariant(identity.size), QVariant(identity.mtimeNs)})
        query.addBindValue(value);
    if (!query.exec())
        throw engineError(query.lastError());
    while (query.next())
        paths << query.value(0).toString();
    query.finish();
    return paths;
}

void SqliteTooltipBackend::SetIdentity(const QString& sPath, const FileIdentity& identity)
{
    if (!m_hasIdentities)
        return;
    write(QStringLiteral("INSERT OR REPLACE INTO tblIdentity (Path, Device, Inode, Size, MTimeNs) VALUES (?, ?, ?, ?, ?)"),
          {text(sPath), qint64(identity.device), qint64(identity.inode), identity.size, identity.mtimeNs}, false);
}

void SqliteTooltipBackend::RemoveIdentity(const QString& sPath)
{
    if (!m_hasIdentities)
        return;
    write(QStringLiteral("DELETE FROM tblIdentity WHERE Path = ?"), {text(sPath)}, false);
}

void SqliteTooltipBackend::SetBusyTimeout(int ms)
{
    execPlain(QStringLiteral("PRAGMA busy_timeout = %1").arg(ms));
    m_busyTimeoutMs = ms;
}

AppError SqliteTooltipBackend::engineError(const QSqlError& error) const
{
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case kSqliteBusy:
    case kSqliteLocked:
        return TooltipError(TooltipErr::Locked);
    case kSqliteReadOnly:
        return TooltipError(TooltipErr::ReadOnly);
    case kSqliteCorrupt:
        return TooltipError(TooltipErr::Corrupt);
    case kSqliteNotADb:
        return TooltipError(TooltipErr::NotADatabase, m_file);
    case kSqliteFull:
        return TooltipError(TooltipErr::DiskFull);
    default: {
        const QString detail = error.databaseText().isEmpty() ? error.text() : error.databaseText();
        return TooltipError(TooltipErr::EngineError, detail);
    }
    }
}
