#pragma once
#include "ITooltipBackend.h"

#include <QMutex>
#include <memory>

// An in-memory comment table for tests of the layers above the store: hand one to
// TooltipStore::Open(std::make_unique<FakeTooltipBackend>()) and keep a plain pointer to
// it to inspect the rows or to make it refuse writes the way a real engine would.
class FakeTooltipBackend : public ITooltipBackend {
public:
    // Makes every following write throw the store error `errorNumber` (a TooltipErr
    // number, e.g. TooltipErr::ReadOnly or TooltipErr::Locked); 0 accepts writes again.
    void RefuseWrites(int errorNumber) { m_refuseWith = errorNumber; }
    // Reports the store as opened read-only; writes are then refused with ReadOnly.
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // Puts a row in directly, bypassing refusals (fields may be null); returns its id.
    qint64 AddRow(const std::optional<QString>& path, const std::optional<QString>& tooltip);
    // Every row of the table in the engine's order.
    QVector<TooltipRow> Rows() const;

    bool IsReadOnly() const override { return m_readOnly; }
    QVector<TooltipRow> RowsForPath(const QString& sPath) override;
    qint64 Insert(const QString& sPath, const QString& sTooltip) override;
    void UpdateTooltip(const TooltipRow& row, const QString& sTooltip) override;
    void UpdatePath(const TooltipRow& row, const QString& sPath) override;
    void Delete(const TooltipRow& row) override;
    int BusyTimeout() const override { return m_busyTimeoutMs; }
    void SetBusyTimeout(int ms) override { m_busyTimeoutMs = ms; }
    RowReader Reader() const override;
    // Another backend over the same rows, with this one's refusals and read-only state.
    Connector Connect() const override;
    QVector<TooltipRow> AllRows() override { return Rows(); }
    QVector<TooltipRow> RowsWithTooltip(const QString& sTooltip) override;
    QVector<bool> InsertMissing(const QVector<PathAndTooltip>& rows) override;
    std::optional<FileIdentity> IdentityOf(const QString& sPath) override;
    QStringList PathsWithIdentity(const FileIdentity& identity) override;
    void SetIdentity(const QString& sPath, const FileIdentity& identity) override;
    void RemoveIdentity(const QString& sPath) override;

private:
    // The rows, shared with the readers and backends handed out, which may run on other threads.
    struct Table {
        mutable QMutex mutex;
        QVector<TooltipRow> rows;
        qint64 lastId = 0;
        QVector<QPair<QString, FileIdentity>> identities;
        QVector<TooltipRow> rowsForPath(const QString& sPath) const;
    };

    void checkWritable() const;
    int indexOf(const TooltipRow& row, bool sameTooltip) const;

    std::shared_ptr<Table> m_table = std::make_shared<Table>();
    int m_refuseWith = 0;
    bool m_readOnly = false;
    int m_busyTimeoutMs = 0;
};
