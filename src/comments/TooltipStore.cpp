#include "TooltipStore.h"
#include "SqliteTooltipBackend.h"
#include "TooltipErrors.h"

TooltipStore::TooltipStore() = default;
TooltipStore::~TooltipStore() = default;

void TooltipStore::Open(const QString& sFolder)
{
    Close();
    try {
        m_backend = std::make_unique<SqliteTooltipBackend>(sFolder + QLatin1Char('/') + FileName());
    } catch (const AppError& error) {
        m_openFailure = error;
        throw;
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
    return m_backend ? m_backend->Reader() : ITooltipBackend::RowReader();
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
        return;
    }
    if (tooltipSet)
        store.UpdateTooltip(buffer.id, buffer.tooltip.value_or(QString()));
    if (pathSet)
        store.UpdatePath(buffer.id, buffer.path.value_or(QString()));
    m_rows[m_current] = buffer;
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
    const qint64 id = currentRow().id;
    try {
        store.Delete(id);
    } catch (const AppError& error) {
        // A row another copy of the program already removed is as deleted as can be.
        if (error.Number() != TooltipErr::RecordDeleted)
            throw;
    }
    m_rows.remove(m_current);
    m_current = -1;
}

void UpdateTooltipPath(TooltipStore& store, const QString& sOldPath, const QString& sNewPath)
{
    if (!store.IsOpen())
        return;
    store.Lookup(sOldPath);
    if (store.AbsolutePosition() == -1)
        return;
    store.Edit();
    store.SetField(QStringLiteral("Path"), sNewPath);
    store.Update();
}
