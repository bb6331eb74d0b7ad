#pragma once
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class Globals;
class IFileListView;
class IFileOperations;
class IFileSystem;
class QObject;
class frmNewPath;

// Rename, Delete and Move of the file selected in the main window's file list. The
// commands read the list's own selection each time (not the current image), and act on
// nothing when no entry is selected. Create one per main window with its file list, its
// Globals, the file operations, the file system (for the move dialog) and the comment
// store's re-keying; the main window calls the menu handlers.
class FileCommands {
public:
    // Moves the comment of an image to its new path; may throw AppError.
    using TooltipRekey = std::function<void(const QString& sOldPath, const QString& sNewPath)>;

    FileCommands(IFileListView& flbFiles, Globals& globals, IFileOperations& files, const IFileSystem& fs,
                 TooltipRekey updateTooltipPath);
    ~FileCommands();

    void mnuRen_Click();
    void mnuDelete_Click();
    // Opens a new move dialog on `startFolder` (the main window's folder list) and keeps
    // it as frmMove; only the newest dialog's confirmation is acted on. Returns the shown
    // dialog, or nullptr when no file is selected.
    frmNewPath* mnuMove_Click(const QString& startFolder);
    // The move dialog's confirmation: moves the file selected now into sPath.
    void frmMove_NewSelected(QString& sPath);
    // Renames or moves, re-reads the list and moves the comment to CommentPath(sNewPath);
    // any failure shows "Unable to Rename or Move" and the new path, and stops there.
    void RenameFile(QString& sOldPath, QString& sNewPath);

    // The newest move dialog while it is open (frmMove), else nullptr.
    frmNewPath* MoveDialog() const;
    // The path under which the preview will look up the comment of a file once it is
    // listed again: "." and ".." of a typed name resolved in the folder part ("pics/../
    // other/x.jpg" is "other/x.jpg"), the one inserted "/" kept ("//x.jpg" in the root).
    // A comment is re-keyed to this path, so it follows a file moved by a typed name.
    static QString CommentPath(const QString& path);

private:
    IFileListView& m_list;
    Globals& m_globals;
    IFileOperations& m_files;
    const IFileSystem& m_fs;
    TooltipRekey m_updateTooltipPath;
    QPointer<frmNewPath> frmMove;
    // Owns the dialogs' connections, so none outlives these commands.
    std::unique_ptr<QObject> m_receiver;
};
