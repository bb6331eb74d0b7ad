#pragma once
#include "IFileComment.h"
#include "ITooltipBackend.h"

#include <memory>

// Keeps an image file in step with its comments in the store, so that a comment follows
// its image also where another program moves it: after every write the file carries the
// text of its first row as its own comment attribute, and the store keeps the file's
// identity. When a selected image has no row under its path, the comment it carries, or
// failing that its identity, finds its row again: the row of a file that is gone is
// re-keyed to the image, and never one whose file is still there.
//
// The store stays the record; a file system without user attributes or a read-only file
// only loses the attribute. TooltipStore owns one over FileCommentAttribute; tests make
// one over ScriptedFileComment. Copies share the file layer and may run on any thread,
// each with a backend (and so a connection) of its own.
class FileCommentSync {
public:
    explicit FileCommentSync(std::shared_ptr<IFileComment> files);

    // After a comment of sPath was written or deleted: the attribute shows the first row's
    // text, or goes when sPath has no comment left; the identity is recorded or dropped.
    // Never throws: the comment itself is stored already.
    void AfterWrite(ITooltipBackend& store, const QString& sPath) const;
    // After the rows of sOldPath moved to sNewPath (the program renamed the file).
    void AfterRekey(ITooltipBackend& store, const QString& sOldPath, const QString& sNewPath) const;

    // The rows the selection of sPath shows, for a worker thread. Rows under sPath come
    // back as they are (the file's identity is brought up to date). Without any, a comment
    // the file carries is adopted: the rows of a gone file with that text are re-keyed to
    // sPath, else a row is added; without one, the rows of a gone file with exactly the
    // same identity are re-keyed. A store that may not be written still shows the carried
    // comment, as a row it does not hold (id 0). Read failures throw AppError.
    QVector<TooltipRow> RowsForSelection(ITooltipBackend& store, const QString& sPath) const;

private:
    void recordIdentity(ITooltipBackend& store, const QString& sPath) const;
    // Re-keys every row of sFrom to sTo, then follows the file under sTo.
    void moveRows(ITooltipBackend& store, const QString& sFrom, const QString& sTo) const;
    bool adoptCarried(ITooltipBackend& store, const QString& sPath, const QString& sText) const;
    bool relinkByIdentity(ITooltipBackend& store, const QString& sPath) const;

    std::shared_ptr<IFileComment> m_files;
};
