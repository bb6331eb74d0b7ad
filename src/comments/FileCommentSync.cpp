#include "FileCommentSync.h"
#include "AppError.h"
#include "TooltipErrors.h"

FileCommentSync::FileCommentSync(std::shared_ptr<IFileComment> files) : m_files(std::move(files)) {}

void FileCommentSync::AfterWrite(ITooltipBackend& store, const QString& sPath) const
{
    try {
        const QVector<TooltipRow> rows = store.RowsForPath(sPath);
        const std::optional<QString> text = rows.isEmpty() ? std::nullopt : rows.first().tooltip;
        if (text && !text->isEmpty()) {
            m_files->WriteComment(sPath, *text);
            recordIdentity(store, sPath);
        } else {
            m_files->RemoveComment(sPath);
            if (rows.isEmpty() && !store.IsReadOnly())
                store.RemoveIdentity(sPath);
        }
    } catch (const AppError&) {
        // The next write or selection brings the file in step again.
    }
}

void FileCommentSync::AfterRekey(ITooltipBackend& store, const QString& sOldPath, const QString& sNewPath) const
{
    try {
        if (!store.IsReadOnly() && store.RowsForPath(sOldPath).isEmpty())
            store.RemoveIdentity(sOldPath);
    } catch (const AppError&) {
    }
    AfterWrite(store, sNewPath);
}

void FileCommentSync::recordIdentity(ITooltipBackend& store, const QString& sPath) const
{
    if (store.IsReadOnly())
        return;
    try {
        const std::optional<FileIdentity> identity = m_files->Identity(sPath);
        // Written only when it changed: a selection must not take the write lock each time.
        if (identity && store.IdentityOf(sPath) != identity)
            store.SetIdentity(sPath, *identity);
    } catch (const AppError&) {
    }
}

void FileCommentSync::moveRows(ITooltipBackend& store, const QString& sFrom, const QString& sTo) const
{
    for (const TooltipRow& row : store.RowsForPath(sFrom)) {
        try {
            store.UpdatePath(row, sTo);
        } catch (const AppError& error) {
            // Another copy moved or deleted it meanwhile.
            if (error.Number() != TooltipErr::RecordDeleted)
                throw;
        }
    }
    AfterRekey(store, sFrom, sTo);
}

bool FileCommentSync::adoptCarried(ITooltipBackend& store, const QString& sPath, const QString& sText) const
{
    for (const TooltipRow& row : store.RowsWithTooltip(sText)) {
        if (row.path && *row.path != sPath && m_files->IsGone(*row.path)) {
            moveRows(store, *row.path, sPath);
            return true;
        }
    }
    store.Insert(sPath, sText);
    recordIdentity(store, sPath);
    return true;
}

bool FileCommentSync::relinkByIdentity(ITooltipBackend& store, const QString& sPath) const
{
    const std::optional<FileIdentity> identity = m_files->Identity(sPath);
    if (!identity)
        return false;
    for (const QString& path : store.PathsWithIdentity(*identity)) {
        if (path == sPath || !m_files->IsGone(path) || store.RowsForPath(path).isEmpty())
            continue;
        moveRows(store, path, sPath);
        return true;
    }
    return false;
}

QVector<TooltipRow> FileCommentSync::RowsForSelection(ITooltipBackend& store, const QString& sPath) const
{
    QVector<TooltipRow> rows = store.RowsForPath(sPath);
    if (!rows.isEmpty()) {
        recordIdentity(store, sPath);
        return rows;
    }
    const std::optional<QString> carried = m_files->ReadComment(sPath);
    const QVector<TooltipRow> shown =
        carried ? QVector<TooltipRow>{TooltipRow{0, sPath, *carried}} : QVector<TooltipRow>();
    if (store.IsReadOnly())
        return shown;
    try {
        if (carried ? adoptCarried(store, sPath, *carried) : relinkByIdentity(store, sPath))
            rows = store.RowsForPath(sPath);
    } catch (const AppError&) {
        // Locked or full: the carried comment still shows, and the next selection tries again.
    }
    return rows.isEmpty() ? shown : rows;
}
