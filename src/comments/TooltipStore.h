#pragma once
#include "AppError.h"
#include "FileCommentSync.h"
#include "ITooltipBackend.h"
#include "RekeyJournal.h"

#include <memory>
#include <optional>

// The program's comment database and its one recordset, as a single object. The main
// window owns one for its whole life, opens it at load with the executable's folder and
// hands it by reference to whatever reads or changes comments; tests open one over a
// temporary folder or over a FakeTooltipBackend.
//
// Like a recordset it has a current record: Lookup fills it with the rows of one path,
// the first of them current, and Edit, Update and Delete act on that record. The comment
// commands rely on this: Delete removes the row that the most recent lookup found.
// Every failure is thrown as AppError (numbers in TooltipErrors.h); while the store is not
// open every operation but IsOpen, IsReadOnly and Close throws TooltipErr::NotOpen.
//
// A re-key after a rename that another program's lock refuses is kept in the user's
// RekeyJournal and done later: before the next write, by ApplyPendingRekeys (the main
// window retries on a timer) and at the latest at the next Open.
class TooltipStore {
public:
    // The database file's name; it lives in the folder passed to Open.
    static QString FileName() { return QStringLiteral("Tooltips.mdb"); }
    // How long a rename's re-key waits for another program's lock before it is kept for
    // later: the window must not freeze for the full wait of a comment command.
    static constexpr int RekeyBusyTimeoutMs = 250;
    // The wait of each later try, short enough to retry from a timer on the window's thread.
    static constexpr int RetryBusyTimeoutMs = 50;

    TooltipStore();
    ~TooltipStore();
    // The file layer the comments follow their images through; FileCommentAttribute unless
    // a test puts a ScriptedFileComment in its place.
    void SetFileComment(std::shared_ptr<IFileComment> files) { m_sync = FileCommentSync(std::move(files)); }
    TooltipStore(const TooltipStore&) = delete;
    TooltipStore& operator=(const TooltipStore&) = delete;

    // Opens sFolder + "/" + FileName(). A missing, unreadable, empty, damaged or foreign
    // file, or one without the comment table, throws and leaves the store closed; the
    // file is never created. A file that may not be written opens read-only. Re-keys of
    // this file still pending from an earlier run are then done, as far as they can be.
    void Open(const QString& sFolder);
    // Opens the store over another backend (tests: FakeTooltipBackend), without a journal:
    // a re-key that cannot be written then only throws.
    void Open(std::unique_ptr<ITooltipBackend> backend);
    bool IsOpen() const { return m_backend != nullptr; }
    // Whether the open store refuses changes up front; false when not open.
    bool IsReadOnly() const;
    // Throws the error a change would fail with now (not open, read-only), else nothing.
    void CheckWritable() const;
    // Closes the recordset and the database; the store may be opened again.
    void Close();

    // Re-runs the recordset for one path: it then holds the rows whose Path equals sPath
    // exactly (the key is bound, never spliced into SQL), the first of them current.
    void Lookup(const QString& sPath);
    // Lookup(sPath), then the text the preview's tooltip should show: "" when the path
    // has no comment, the first row's comment when it has, std::nullopt when that row's
    // comment holds no value (the tooltip is then left as it was).
    std::optional<QString> LookupTooltip(const QString& sPath);

    // A lookup in two halves, for the selection, which may not wait on the store: Reader()
    // reads a path's rows on any thread (empty while the store is not open), relinking the
    // comment of an image another program moved (FileCommentSync::RowsForSelection); BeginLookup
    // empties the recordset at once, so that no row of the image selected before stays
    // current; CompleteLookup installs the rows the reader found, the first current, when
    // sPath is still the lookup begun last (and says whether it was). Until then, or after
    // the reader failed, IsLookupPending() tells a command to look the path up itself.
    ITooltipBackend::RowReader Reader() const;
    void BeginLookup(const QString& sPath);
    bool CompleteLookup(const QString& sPath, const QVector<TooltipRow>& rows);
    bool IsLookupPending() const { return m_pendingLookup.has_value(); }
    // What the preview's tooltip shows for a lookup's rows: "" for none, else the first
    // row's comment, std::nullopt when that holds no value (the tooltip keeps its text).
    static std::optional<QString> TooltipOf(const QVector<TooltipRow>& rows);

    // 0-based position of the current record, -1 when there is none.
    int AbsolutePosition() const;

    // A field ("Path" or "Tooltip", any letter case) of the current record, or of the
    // record being added or edited; std::nullopt when it holds no value.
    std::optional<QString> Field(const QString& sName) const;
    // Sets a field of the record being added or edited.
    void SetField(const QString& sName, const QString& sValue);

    // Starts a new record; the current record does not move, also after Update.
    void AddNew();
    // Starts changing the current record.
    void Edit();
    // Writes the record started by AddNew or Edit; it is committed when Update returns.
    // On failure the change is dropped and the stored row stays as it was.
    void Update();
    void CancelUpdate();
    // Removes the current record; afterwards there is no current record. A row another
    // copy of the program deleted or changed meanwhile is left as it is, without an error.
    void Delete();

    // Moves the first comment of sOldPath to sNewPath, the current record afterwards;
    // nothing when sOldPath has none. Waits at most RekeyBusyTimeoutMs for another
    // program's lock; a re-key refused by a lock (or a full disk) is kept in the journal
    // for later, and the refusal is still thrown. Pending re-keys are done first, so that
    // a file renamed twice ends with its comment under the last name.
    void RekeyPath(const QString& sOldPath, const QString& sNewPath);
    // Whether re-keys of this store may be waiting in the journal (kept by this store, or
    // found at Open). Reads no file.
    bool HasPendingRekeys() const { return m_rekeysPending; }
    // Does the pending re-keys, each one only while the first row under its old path still
    // exists, waiting at most busyTimeoutMs for a lock. Returns whether none are left.
    // Leaves the current record alone and never throws.
    bool ApplyPendingRekeys(int busyTimeoutMs);

    // For backup and moving between machines: every row in the engine's order, and adding
    // rows unless the same Path and Tooltip is there (ITooltipBackend::InsertMissing).
    QVector<TooltipRow> AllRows() const;
    QVector<bool> AddMissingRows(const QVector<ITooltipBackend::PathAndTooltip>& rows);

private:
    enum class EditMode { None, Adding, Editing };
    enum class FieldId { Path, Tooltip };

    ITooltipBackend& backend() const;
    [[noreturn]] void keepRekey(const QString& sOldPath, const QString& sNewPath, const AppError& refusal);
    const TooltipRow& currentRow() const;
    static FieldId fieldId(const QString& sName);

    std::unique_ptr<ITooltipBackend> m_backend;
    FileCommentSync m_sync;
    std::optional<AppError> m_openFailure;  // why the last Open failed, for later errors
    QVector<TooltipRow> m_rows;             // the rows of the most recent lookup
    int m_current = -1;
    std::optional<QString> m_pendingLookup;  // the path of a lookup begun, not completed
    EditMode m_editMode = EditMode::None;
    TooltipRow m_buffer;  // the record being added or edited
    bool m_pathSet = false;
    bool m_tooltipSet = false;
    std::optional<RekeyJournal> m_journal;  // where refused re-keys wait; none over a test backend
    QString m_storeKey;                     // the database file's canonical path, in journal entries
    bool m_rekeysPending = false;
};

// Moves the comment of an image whose file got a new name or folder: the first row under
// sOldPath is re-keyed to sNewPath (TooltipStore::RekeyPath); nothing happens when sOldPath
// has no comment, or when the store is not open (there are no comments to move then). An
// engine failure throws, also when the re-key was kept to be done later.
void UpdateTooltipPath(TooltipStore& store, const QString& sOldPath, const QString& sNewPath);
