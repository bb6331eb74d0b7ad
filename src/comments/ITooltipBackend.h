#pragma once
#include "IFileComment.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

// One row of the comment table. A field may hold no value (null); the program never
// writes one, but a database edited by hand may contain them.
struct TooltipRow {
    qint64 id = 0;  // the row's identity in the store; its order is the engine's order
    std::optional<QString> path;
    std::optional<QString> tooltip;
};

// The storage under TooltipStore: the few row operations the comment commands need.
// TooltipStore keeps the recordset logic (current record, edit buffer) above it, so it
// runs the same over the SQLite file (SqliteTooltipBackend) and over the in-memory
// FakeTooltipBackend that tests of higher layers use. Every failure is thrown as
// AppError with a TooltipErr number; each write is complete when the call returns.
class ITooltipBackend {
public:
    virtual ~ITooltipBackend() = default;

    // Whether writes are refused up front (the file is opened read-only).
    virtual bool IsReadOnly() const = 0;

    // The rows whose Path equals sPath exactly, in the engine's order (oldest first).
    virtual QVector<TooltipRow> RowsForPath(const QString& sPath) = 0;
    // Adds a row and returns its id.
    virtual qint64 Insert(const QString& sPath, const QString& sTooltip) = 0;
    // The changes act on `row` as RowsForPath returned it, and only while the table still
    // holds that row: the same id and Path and, for UpdateTooltip and Delete, the same
    // Tooltip. Otherwise nothing is written and RecordDeleted is thrown: another copy of
    // the program deleted or changed the row, and the engine may have given its id to
    // another image's comment since.
    virtual void UpdateTooltip(const TooltipRow& row, const QString& sTooltip) = 0;
    virtual void UpdatePath(const TooltipRow& row, const QString& sPath) = 0;
    virtual void Delete(const TooltipRow& row) = 0;

    // How long, in milliseconds, a read or write waits for another program's lock before
    // it fails with Locked.
    virtual int BusyTimeout() const = 0;
    virtual void SetBusyTimeout(int ms) = 0;

    // RowsForPath for any thread, as long as it is kept, also after this backend is gone:
    // the selection looks its comment up off the user-interface thread, which must never
    // wait for a store that another program holds locked.
    using RowReader = std::function<QVector<TooltipRow>(const QString& sPath)>;
    virtual RowReader Reader() const = 0;
    // Another backend over the same table with a connection of its own, made on and for
    // the thread that calls it: a worker that writes (the relinking of a selection) needs
    // its own, as a connection belongs to the thread that made it.
    using Connector = std::function<std::unique_ptr<ITooltipBackend>()>;
    virtual Connector Connect() const = 0;

    // Every row in the engine's order.
    virtual QVector<TooltipRow> AllRows() = 0;
    // The rows whose Tooltip equals sTooltip exactly, in the engine's order.
    virtual QVector<TooltipRow> RowsWithTooltip(const QString& sTooltip) = 0;
    // Adds each (Path, Tooltip) unless a row with the same two is there (also one added
    // before it from `rows`), all in one transaction: two copies importing at once still
    // add a row once, and a failure adds none. Returns, for each, whether it was added.
    using PathAndTooltip = QPair<QString, QString>;
    virtual QVector<bool> InsertMissing(const QVector<PathAndTooltip>& rows) = 0;

    // The identity of each commented image's file, one per path, in a table of its own
    // beside the comments. A read-only store made before that table existed has none: its
    // reads find nothing and its writes do nothing.
    virtual std::optional<FileIdentity> IdentityOf(const QString& sPath) = 0;
    virtual QStringList PathsWithIdentity(const FileIdentity& identity) = 0;
    virtual void SetIdentity(const QString& sPath, const FileIdentity& identity) = 0;
    virtual void RemoveIdentity(const QString& sPath) = 0;
};
