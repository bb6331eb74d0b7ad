#include "FakeTooltipBackend.h"
#include "TooltipErrors.h"

#include <algorithm>

qint64 FakeTooltipBackend::AddRow(const std::optional<QString>& path,
                                  const std::optional<QString>& tooltip)
{
    const QMutexLocker lock(&m_table->mutex);
    m_table->rows.push_back({++m_lastId, path, tooltip});
    return m_lastId;
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

int FakeTooltipBackend::indexOf(qint64 id) const
{
    const QVector<TooltipRow>& rows = m_table->rows;
    const auto it = std::find_if(rows.cbegin(), rows.cend(), [id](const TooltipRow& row) { return row.id == id; });
    if (it == rows.cend())
        throw TooltipError(TooltipErr::RecordDeleted);
    return int(it - rows.cbegin());
}

qint64 FakeTooltipBackend::Insert(const QString& sPath, const QString& sTooltip)
{
    checkWritable();
    return AddRow(sPath, sTooltip);
}

void FakeTooltipBackend::UpdateTooltip(qint64 id, const QString& sTooltip)
{
    checkWritable();
    const QMutexLocker lock(&m_table->mutex);
    m_table->rows[indexOf(id)].tooltip = sTooltip;
}

void FakeTooltipBackend::UpdatePath(qint64 id, const QString& sPath)
{
    checkWritable();
    const QMutexLocker lock(&m_table->mutex);
    m_table->rows[indexOf(id)].path = sPath;
}

void FakeTooltipBackend::Delete(qint64 id)
{
    checkWritable();
    const QMutexLocker lock(&m_table->mutex);
    m_table->rows.remove(indexOf(id));
}
