#include "FileCommands.h"
#include "AppError.h"
#include "Globals.h"
#include "IDialogs.h"
#include "IFileListView.h"
#include "IFileOperations.h"
#include "PathNames.h"
#include "frmNewPath.h"

#include <QDir>
#include <QObject>

FileCommands::FileCommands(IFileListView& flbFiles, Globals& globals, IFileOperations& files, const IFileSystem& fs,
                           TooltipRekey updateTooltipPath)
    : m_list(flbFiles), m_globals(globals), m_files(files), m_fs(fs),
      m_updateTooltipPath(std::move(updateTooltipPath)), m_receiver(std::make_unique<QObject>())
{
}

FileCommands::~FileCommands() = default;

frmNewPath* FileCommands::MoveDialog() const
{
    return frmMove.data();
}

QString FileCommands::CommentPath(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return path;
    const QString folder = slash == 0 ? QStringLiteral("/") : path.left(slash);
    return JoinPath(QDir::cleanPath(folder), path.mid(slash + 1));
}

void FileCommands::mnuRen_Click()
{
    // Without a selection the paths would name the folder itself: nothing to rename.
    const QString name = m_list.FileName();
    if (name.isEmpty())
        return;
    const QString answer = m_globals.Dialogs().InputBox(QStringLiteral("New Name:"), LoadResString(ResId::AppTitle), name);
    if (answer.isEmpty())
        return;
    // The answer is taken as typed: a folder part in it ("../x.jpg") moves the file.
    QString newPath = JoinPath(m_list.Path(), answer);
    QString oldPath = JoinPath(m_list.Path(), name);
    RenameFile(oldPath, newPath);
}

void FileCommands::mnuDelete_Click()
{
    const QString name = m_list.FileName();
    if (name.isEmpty())
        return;
    const int answer = m_globals.Dialogs().MsgBox(QStringLiteral("Delete file ") + name + QStringLiteral("?"),
                                                  IDialogs::vbOKCancel | IDialogs::vbInformation,
                                                  LoadResString(ResId::AppTitle));
    if (answer != IDialogs::vbOK)
        return;
    const int index = m_list.ListIndex();
    const QString path = JoinPath(m_list.Path(), name);
    try {
        m_files.MoveToTrash(path);
    } catch (const AppError& e) {
        // The file is never deleted for good instead: it stays, and the user hears why.
        m_globals.ShowError(QStringLiteral("Unable to move %1 to the trash (%2); the file was not deleted.")
                                .arg(path, e.Description()));
        return;
    }
    m_list.Refresh();
    // The entry that moved up into the freed place is selected; after the last entry the
    // new last one, and in an emptied list nothing.
    const int count = m_list.ListCount();
    const int select = index < count ? index : count - 1;
    if (select >= 0)
        m_list.SetListIndex(select);
}

frmNewPath* FileCommands::mnuMove_Click(const QString& startFolder)
{
    if (m_list.FileName().isEmpty())
        return nullptr;
    auto* dialog = new frmNewPath(m_fs, startFolder);
    frmMove = dialog;
    const QPointer<frmNewPath> sender(dialog);
    QObject::connect(dialog, &frmNewPath::NewSelected, m_receiver.get(), [this, sender](QString& sPath) {
        // A dialog from an earlier Move that is still open is no longer listened to.
        if (sender && sender == frmMove)
            RunEventHandler(m_globals.Dialogs(), [&] { frmMove_NewSelected(sPath); });
    });
    dialog->show();
    return dialog;
}

void FileCommands::frmMove_NewSelected(QString& sPath)
{
    // The file selected at this moment moves, not the one selected when Move was chosen.
    const QString name = m_list.FileName();
    if (name.isEmpty())
        return;
    QString oldPath = JoinPath(m_list.Path(), name);
    QString newPath = JoinPath(sPath, name);
    RenameFile(oldPath, newPath);
}

void FileCommands::RenameFile(QString& sOldPath, QString& sNewPath)
{
    try {
        m_files.Rename(sOldPath, sNewPath);
        m_list.Refresh();
        if (m_updateTooltipPath)
            m_updateTooltipPath(sOldPath, CommentPath(sNewPath));
    } catch (const std::exception&) {
        m_globals.ShowError(LoadResString(ResId::RenameFailed) + QStringLiteral("  ") + sNewPath);
    }
}
