#pragma once
#include "ITooltipBackend.h"

#include <QSqlDatabase>

class AppError;
class QSqlError;
class QSqlQuery;

// The comment table in a SQLite file. Construct it over the file's path; the constructor
// opens the file or throws AppError, and never creates a file or a table. Each instance
// has its own connection, so two stores (or two running copies) can share one file.
class SqliteTooltipBackend : public ITooltipBackend {
public:
    enum class Access {
        Auto,      // read-write when the file and its folder are writable, else read-only
        ReadOnly,  // never write, whatever the file's permissions
    };
    // Long enough for the other copy of the program to finish its write, short enough
    // that a store held by a stuck program is reported rather than hanging the window.
    static constexpr int DefaultBusyTimeoutMs = 5000;

    explicit SqliteTooltipBackend(const QString& sFile, Access access = Access::Auto,
                                  int busyTimeoutMs = DefaultBusyTimeoutMs);
    ~SqliteTooltipBackend() override;
    SqliteTooltipBackend(const SqliteTooltipBackend&) = delete;
    SqliteTooltipBackend& operator=(const SqliteTooltipBackend&) = delete;

    bool IsReadOnly() const override { return m_readOnly; }
    QVector<TooltipRow> RowsForPath(const QString& sPath) override;
    qint64 Insert(const QString& sPath, const QString& sTooltip) override;
    void UpdateTooltip(const TooltipRow& row, const QString& sTooltip) override;
    void UpdatePath(const TooltipRow& row, const QString& sPath) override;
    void Delete(const TooltipRow& row) override;
    int BusyTimeout() const override { return m_busyTimeoutMs; }
    void SetBusyTimeout(int ms) override;
    RowReader Reader() const override;
    Connector Connect() const override;
    QVector<TooltipRow> AllRows() override;
    QVector<TooltipRow> RowsWithTooltip(const QString& sTooltip) override;
    QVector<bool> InsertMissing(const QVector<PathAndTooltip>& rows) override;
    std::optional<FileIdentity> IdentityOf(const QString& sPath) override;
    QStringList PathsWithIdentity(const FileIdentity& identity) override;
    void SetIdentity(const QString& sPath, const FileIdentity& identity) override;
    void RemoveIdentity(const QString& sPath) override;

private:
    void checkIsSqliteFile() const;
    void openConnection(bool readOnly);
    void checkTable();
    // Finds the identity table, and makes it in a store that may be written and lacks it.
    void checkIdentityTable(bool mayCreate);
    QVector<TooltipRow> selectRows(const QString& sql, const QVariantList& values);
    void closeConnection();
    QSqlQuery prepare(const QString& sql);
    void execPlain(const QString& sql);
    // Runs one statement in its own transaction and commits it; returns the new row id.
    qint64 write(const QString& sql, const QVariantList& values, bool mustTouchRow);
    AppError engineError(const QSqlError& error) const;

    QString m_file;
    QString m_connectionName;
    QSqlDatabase m_db;
    bool m_readOnly = false;
    bool m_hasIdentities = false;
    int m_busyTimeoutMs;
};
