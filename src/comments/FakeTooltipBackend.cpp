#include "FakeTooltipBackend.h"
#include "TooltipErrors.h"

#include <algorithm>

qint64 FakeTooltipBackend::AddRow(const std::optional<QString>& path,
                                  const std::optional<QString>& tooltip)
{
    m_rows.push_back({++m_lastId, path, tooltip});
    return m_lastId;
}

QVector<TooltipRow> FakeTooltipBackend::RowsForPath(const QString& sPath)
{
    QVector<TooltipRow> rows;
    for (const TooltipRow& row : m_rows)
        if (row.path == sPath)
            rows.push_back(row);
    return rows;
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
    const auto it = std::find_if(m_rows.cbegin(), m_rows.cend(), [&](const TooltipRow& stored) {
        return stored.id == row.id && stored.path == row.path && (!sameTooltip || stored.tooltip == row.tooltip);
    });
    if (it == m_rows.cend())
        throw TooltipError(TooltipErr::RecordDeleted);
    return int(it - m_rows.cbegin());
}

qint64 FakeTooltipBackend::Insert(const QString& sPath, const QString& sTooltip)
{
    checkWritable();
    return AddRow(sPath, sTooltip);
}

void FakeTooltipBackend::UpdateTooltip(const TooltipRow& row, const QString& sTooltip)
{
    checkWritable();
    m_rows[indexOf(row, true)].tooltip = sTooltip;
}

void FakeTooltipBackend::UpdatePath(const TooltipRow& row, const QString& sPath)
{
    checkWritable();
    m_rows[indexOf(row, false)].path = sPath;
}

void FakeTooltipBackend::Delete(const TooltipRow& row)
{
    checkWritable();
    m_rows.remove(indexOf(row, true));
}
