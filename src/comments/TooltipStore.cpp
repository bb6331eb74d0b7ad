#include "TooltipStore.h"
#include "FileCommentAttribute.h"
#include "SqliteTooltipBackend.h"
#include "TooltipErrors.h"

#include <QFileInfo>

namespace {
// Another program's lock, or a full disk, may be gone in a moment; a re-key refused by one
// of them is kept for later. RecordDeleted: the row changed under the re-key, which a
// later try looks up afresh.
bool mayWorkLater(const AppError& error)
{
    const int number = error.Number();
    return number == TooltipErr::Locked || number == TooltipErr::DiskFull || number == TooltipErr::RecordDeleted;
}

// Sets the backend's busy timeout for the object's life.
class BusyTimeoutScope {
public:
    BusyTimeoutScope(ITooltipBackend& backend, int ms) : m_backend(backend), m_saved(backend.BusyTimeout())
    {
        backend.SetBusyTimeout(ms);
    }
    ~BusyTimeoutScope()
    {
        try {
            m_backend.SetBusyTimeout(m_saved);
        } catch (const AppError&) {
        }
    }
    BusyTimeoutScope(const BusyTimeoutScope&) = delete;
    BusyTimeoutScope& operator=(const BusyTimeoutScope&) = delete;

private:
    ITooltipBackend& m_backend;
    int m_saved;
};
}

TooltipStore::TooltipStore() : m_sync(std::make_shared<FileCommentAttribute>()) {}
TooltipStore::~TooltipStore() = default;

void TooltipStore::Open(const QString& sFolder)
{
    Close();
    const QString file = sFolder + QLatin1Char('/') + FileName();
    try {
        m_backend = std::make_unique<SqliteTooltipBackend>(file);
    } catch (const AppError& error) {
        m_openFailure = error;
        throw;
    }
    const QString journal = RekeyJournal::DefaultFile();
    if (!journal.isEmpty()) {
        m_journal.emplace(journal);
        m_storeKey = QFileInfo(file).canonicalFilePath();
        // An earlier run, or another copy, may have left re-keys of this file.
        m_rekeysPending = true;
        ApplyPendingRekeys(RekeyBusyTimeoutMs);
    }
}

void TooltipStore::Open(std::unique_ptr<ITooltipBackend> backend)
{
    Close();
    m_backend = std::move(backend);
}

bool TooltipStore::IsReadOnly() const
{
    return m_backend && m_backend->IsReadOnly();
}

void TooltipStore::CheckWritable() const
{
    if (backend().IsReadOnly())
        throw TooltipError(TooltipErr::ReadOnly);
}

void TooltipStore::Close()
{
    m_backend.reset();
    m_openFailure.reset();
    m_journal.reset();
    m_storeKey.clear();
    m_rekeysPending = false;
    m_rows.clear();
    m_current = -1;
    m_pendingLookup.reset();
    CancelUpdate();
}

ITooltipBackend& TooltipStore::backend() const
{
    if (m_backend)
        return *m_backend;
    // Tells why there is no store when opening failed, so a command can say so.
    if (m_openFailure)
        throw AppError(TooltipErr::NotOpen, m_openFailure->Source(), m_openFailure->Description());
    throw TooltipError(TooltipErr::NotOpen);
}

const TooltipRow& TooltipStore::currentRow() const
{
    if (m_current < 0)
        throw TooltipError(TooltipErr::NoCurrentRecord);
    return m_rows[m_current];
}

TooltipStore::FieldId TooltipStore::fieldId(const QString& sName)
{
    if (sName.compare(QLatin1String("Path"), Qt::CaseInsensitive) == 0)
        return FieldId::Path;
    if (sName.compare(QLatin1String("Tooltip"), Qt::CaseInsensitive) == 0)
        return FieldId::Tooltip;
    throw TooltipError(TooltipErr::ItemNotFound, sName);
}

void TooltipStore::Lookup(const QString& sPath)
{
    ITooltipBackend& store = backend();
    CancelUpdate();
    // Emptied first: after a failed lookup no row of an earlier image may stay current,
    // or Delete would remove that image's comment.
    m_rows.clear();
    m_current = -1;
    m_pendingLookup.reset();
    m_rows = store.RowsForPath(sPath);
    m_current = m_rows.isEmpty() ? -1 : 0;
}

std::optional<QString> TooltipStore::LookupTooltip(const QString& sPath)
{
    Lookup(sPath);
    return TooltipOf(m_rows);
}

std::optional<QString> TooltipStore::TooltipOf(const QVector<TooltipRow>& rows)
{
    if (rows.isEmpty())
        return QString();
    return rows.first().tooltip;
}

ITooltipBackend::RowReader TooltipStore::Reader() const
{
    if (!m_backend)
        return {};
    return [connect = m_backend->Connect(), sync = m_sync](const QString& sPath) {
        const std::unique_ptr<ITooltipBackend> store = connect();
        return sync.RowsForSelection(*store, sPath);
    };
}

void TooltipStore::BeginLookup(const QString& sPath)
{
    CancelUpdate();
    m_rows.clear();
    m_current = -1;
    m_pendingLookup = sPath;
}

bool TooltipStore::CompleteLookup(const QString& sPath, const QVector<TooltipRow>& rows)
{
    if (!m_backend || m_pendingLookup != sPath)
        return false;
    m_pendingLookup.reset();
    m_rows = rows;
    m_current = m_rows.isEmpty() ? -1 : 0;
    return true;
}

int TooltipStore::AbsolutePosition() const
{
    backend();
    return m_current;
}

std::optional<QString> TooltipStore::Field(const QString& sName) const
{
    backend();
    const FieldId id = fieldId(sName);
    const TooltipRow& row = m_editMode == EditMode::None ? currentRow() : m_buffer;
    return id == FieldId::Path ? row.path : row.tooltip;
}

void TooltipStore::SetField(const QString& sName, const QString& sValue)
{
    backend();
    const FieldId id = fieldId(sName);
    if (m_editMode == EditMode::None)
        throw TooltipError(TooltipErr::UpdateWithoutEdit);
    if (id == FieldId::Path) {
        m_buffer.path = sValue;
        m_pathSet = true;
    } else {
        m_buffer.tooltip = sValue;
        m_tooltipSet = true;
    }
}

void TooltipStore::AddNew()
{
    backend();
    CancelUpdate();
    m_editMode = EditMode::Adding;
}

void TooltipStore::Edit()
{
    backend();
    CancelUpdate();
    m_buffer = currentRow();
    m_editMode = EditMode::Editing;
}

void TooltipStore::Update()
{
    ITooltipBackend& store = backend();
    if (m_editMode == EditMode::None)
        throw TooltipError(TooltipErr::UpdateWithoutEdit);
    if (m_rekeysPending)  // the store may be writable again: earlier re-keys go first
        ApplyPendingRekeys(RekeyBusyTimeoutMs);
    // The pending change is dropped whether or not the write succeeds, so a refused
    // change can never be written later by accident.
    const EditMode mode = m_editMode;
    const TooltipRow buffer = m_buffer;
    const bool pathSet = m_pathSet;
    const bool tooltipSet = m_tooltipSet;
    CancelUpdate();

    if (mode == EditMode::Adding) {
        // Fields left unset are stored empty; the rows of the current lookup stay as they
        // are, with the same current record.
        store.Insert(buffer.path.value_or(QString()), buffer.tooltip.value_or(QString()));
        m_sync.AfterWrite(store, buffer.path.value_or(QString()));
        return;
    }
    // Each change names the row as the lookup found it, so that one another copy deleted or
    // changed meanwhile is refused rather than overwritten.
    TooltipRow stored = m_rows[m_current];
    if (tooltipSet) {
        store.UpdateTooltip(stored, buffer.tooltip.value_or(QString()));
        stored.tooltip = buffer.tooltip.value_or(QString());
        m_rows[m_current] = stored;
        if (!pathSet)
            m_sync.AfterWrite(store, stored.path.value_or(QString()));
    }
    if (pathSet) {
        const QString oldPath = stored.path.value_or(QString());
        store.UpdatePath(stored, buffer.path.value_or(QString()));
        stored.path = buffer.path.value_or(QString());
        m_rows[m_current] = stored;
        m_sync.AfterRekey(store, oldPath, *stored.path);
    }
}

void TooltipStore::CancelUpdate()
{
    m_editMode = EditMode::None;
    m_buffer = TooltipRow();
    m_pathSet = false;
    m_tooltipSet = false;
}

void TooltipStore::Delete()
{
    ITooltipBackend& store = backend();
    CancelUpdate();
    const TooltipRow row = currentRow();
    if (m_rekeysPending)
        ApplyPendingRekeys(RekeyBusyTimeoutMs);
    try {
        store.Delete(row);
    } catch (const AppError& error) {
        // A row another copy of the program removed is as deleted as can be; one it changed
        // is no longer the comment the user chose to delete, and is kept.
        if (error.Number() != TooltipErr::RecordDeleted)
            throw;
    }
    m_sync.AfterWrite(store, row.path.value_or(QString()));
    m_rows.remove(m_current);
    m_current = -1;
}

void TooltipStore::RekeyPath(const QString& sOldPath, const QString& sNewPath)
{
    ITooltipBackend& store = backend();
    // Pending re-keys first: after a -> b and b -> c the comment must end under c.
    if (m_rekeysPending && !ApplyPendingRekeys(RekeyBusyTimeoutMs) && !store.IsReadOnly())
        keepRekey(sOldPath, sNewPath, TooltipError(TooltipErr::Locked));
    try {
        const BusyTimeoutScope shortWait(store, RekeyBusyTimeoutMs);
        Lookup(sOldPath);
        if (m_current < 0)
            return;
        Edit();
        SetField(QStringLiteral("Path"), sNewPath);
        Update();
    } catch (const AppError& error) {
        if (!mayWorkLater(error))
            throw;
        keepRekey(sOldPath, sNewPath, error);
    }
}

void TooltipStore::keepRekey(const QString& sOldPath, const QString& sNewPath, const AppError& refusal)
{
    if (m_journal) {
        try {
            m_journal->Append({m_storeKey, sOldPath, sNewPath});
            m_rekeysPending = true;
        } catch (const AppError&) {
            // Not kept either: the comment stays under the old path, and the refusal says why.
        }
    }
    throw refusal;
}

bool TooltipStore::ApplyPendingRekeys(int busyTimeoutMs)
{
    if (!m_rekeysPending)
        return true;
    if (!m_backend || !m_journal || m_backend->IsReadOnly())
        return false;
    ITooltipBackend& store = *m_backend;
    try {
        const BusyTimeoutScope shortWait(store, busyTimeoutMs);
        // Through the backend, not Lookup: the current record, which Delete relies on, stays.
        m_rekeysPending = m_journal->Apply(m_storeKey, [this, &store](const RekeyJournal::Entry& entry) {
            const QVector<TooltipRow> rows = store.RowsForPath(entry.oldPath);
            if (!rows.isEmpty()) {
                store.UpdatePath(rows.first(), entry.newPath);
                m_sync.AfterRekey(store, entry.oldPath, entry.newPath);
            }
            return true;
        });
    } catch (const AppError&) {
    }
    return !m_rekeysPending;
}

QVector<TooltipRow> TooltipStore::AllRows() const
{
    return backend().AllRows();
}

QVector<bool> TooltipStore::AddMissingRows(const QVector<ITooltipBackend::PathAndTooltip>& rows)
{
    CheckWritable();
    return backend().InsertMissing(rows);
}

void UpdateTooltipPath(TooltipStore& store, const QString& sOldPath, const QString& sNewPath)
{
    if (!store.IsOpen())
        return;
    store.RekeyPath(sOldPath, sNewPath);
}
