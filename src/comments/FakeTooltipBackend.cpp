#include "FakeTooltipBackend.h"
#include "TooltipErrors.h"

#include <algorithm>

qint64 FakeTooltipBackend::AddRow(const std::optional<QString>& path,
                                  const std::optional<QString>& tooltip)
{
    const QMutexLocker lock(&m_table->mutex);
    m_table->rows.push_back({++m_table->lastId, path, tooltip});
    return m_table->lastId;
}

QVector<TooltipRow> FakeTooltipBackend::Rows() const
{
    const QMutexLocker lock(&m_table->mutex);
    return m_table->rows;
}

QVector<TooltipRow> FakeTooltipBackend::Table::rowsForPath(const QString& sPath) const
{
    const QMutexLocker lock(&mutex);
    QVector<TooltipRow> found;
    for (const TooltipRow& row : rows)
        if (row.path == sPath)
            found.push_back(row);
    return found;
}

QVector<TooltipRow> FakeTooltipBackend::RowsForPath(const QString& sPath)
{
    return m_table->rowsForPath(sPath);
}

ITooltipBackend::RowReader FakeTooltipBackend::Reader() const
{
    return [table = m_table](const QString& sPath) { return table->rowsForPath(sPath); };
}

void FakeTooltipBackend::checkWritable() const
{
    if (m_refuseWith != 0)
        throw TooltipError(m_refuseWith, QStringLiteral("refused by the test"));
    if (m_readOnly)
        throw TooltipError(TooltipErr::ReadOnly);
}

int FakeTooltipBackend::indexOf(const TooltipRow& row, bool sameTooltip) const
{
    const QVector<TooltipRow>& rows = m_table->rows;
    const auto it = std::find_if(rows.cbegin(), rows.cend(), [&](const TooltipRow& stored) {
        return stored.id == row.id && stored.path == row.path && (!sameTooltip || stored.tooltip == row.tooltip);
    });
    if (it == rows.cend())
        throw TooltipError(TooltipErr::RecordDeleted);
    return int(it - rows.cbegin());
}

qint64 FakeTooltipBackend::Insert(const QString& sPath, const QString& sTooltip)
{
    checkWritable();
    return AddRow(sPath, sTooltip);
}

void FakeTooltipBackend::UpdateTooltip(const TooltipRow& row, const QString& sTooltip)
{
    checkWritable();
    const QMutexLocker lock(&m_table->mutex);
    m_table->rows[indexOf(row, true)].tooltip = sTooltip;
}

void FakeTooltipBackend::UpdatePath(const TooltipRow& row, const QString& sPath)
{
    checkWritable();
    const QMutexLocker lock(&m_table->mutex);
    m_table->rows[indexOf(row, false)].path = sPath;
}

void FakeTooltipBackend::Delete(const TooltipRow& row)
{
    checkWritable();
    const QMutexLocker lock(&m_table->mutex);
    m_table->rows.remove(indexOf(row, true));
}

ITooltipBackend::Connector FakeTooltipBackend::Connect() const
{
    return [table = m_table, refuseWith = m_refuseWith, readOnly = m_readOnly]() -> std::unique_ptr<ITooltipBackend> {
        auto other = std::make_unique<FakeTooltipBackend>();
        other->m_table = table;
        other->m_refuseWith = refuseWith;
        other->m_readOnly = readOnly;
        return other;
    };
}

QVector<TooltipRow> FakeTooltipBackend::RowsWithTooltip(const QString& sTooltip)
{
    const QMutexLocker lock(&m_table->mutex);
    QVector<TooltipRow> found;
    for (const TooltipRow& row : m_table->rows)
        if (row.tooltip == sTooltip)
            found.push_back(row);
    return found;
}

QVector<bool> FakeTooltipBackend::InsertMissing(const QVector<PathAndTooltip>& rows)
{
    checkWritable();
    const QMutexLocker lock(&m_table->mutex);
    QVector<bool> added;
    for (const PathAndTooltip& row : rows) {
        const bool there = std::any_of(m_table->rows.cbegin(), m_table->rows.cend(), [&](const TooltipRow& stored) {
            return stored.path == row.first && stored.tooltip == row.second;
        });
        if (!there)
            m_table->rows.push_back({++m_table->lastId, row.first, row.second});
        added << !there;
    }
    return added;
}

std::optional<FileIdentity> FakeTooltipBackend::IdentityOf(const QString& sPath)
{
    const QMutexLocker lock(&m_table->mutex);
    for (const auto& entry : m_table->identities)
        if (entry.first == sPath)
            return entry.second;
    return std::nullopt;
}

QStringList FakeTooltipBackend::PathsWithIdentity(const FileIdentity& identity)
{
    const QMutexLocker lock(&m_table->mutex);
    QStringList paths;
    for (const auto& entry : m_table->identities)
        if (entry.second == identity)
            paths << entry.first;
    return paths;
}

void FakeTooltipBackend::SetIdentity(const QString& sPath, const FileIdentity& identity)
{
    checkWritable();
    RemoveIdentity(sPath);
    const QMutexLocker lock(&m_table->mutex);
    m_table->identities.push_back({sPath, identity});
}

void FakeTooltipBackend::RemoveIdentity(const QString& sPath)
{
    checkWritable();
    const QMutexLocker lock(&m_table->mutex);
    m_table->identities.erase(std::remove_if(m_table->identities.begin(), m_table->identities.end(),
                                             [&](const auto& entry) { return entry.first == sPath; }),
                              m_table->identities.end());
}
