#pragma once
#include <QAbstractListModel>
#include <QIcon>
#include <QStringList>

// The rows of a FolderList: the chain of folders from a volume's root down to the open
// folder, then the open folder's subfolders, one level deeper. Rows are made up as the
// view asks for them, so a folder of 100,000 subfolders costs one name per row and the
// view paints only what is visible. Owned by its FolderList.
class FolderListModel : public QAbstractListModel {
    Q_OBJECT
public:
    FolderListModel(QIcon openIcon, QIcon closedIcon, QObject* parent = nullptr);

    // Shows `folder`, which lies on the volume at `root`, with its subfolders' names in order.
    void SetFolder(const QString& root, const QString& folder, QStringList subfolders);
    // The row of the open folder, the last of the chain; -1 before SetFolder.
    int OpenRow() const { return static_cast<int>(m_chain.size()) - 1; }
    // The full path of the folder shown in `row`, or an empty string.
    QString PathAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QStringList m_chain;       // full paths, root first, the open folder last
    QStringList m_subfolders;  // names, in the order shown
    QIcon m_openIcon;
    QIcon m_closedIcon;
};

// The names of the visible subfolders of `folder`, sorted by name without regard to
// case (names equal but for case in a fixed order). Throws AppError like
// IFileSystem::Subfolders.
class IFileSystem;
QStringList ListSubfolders(const IFileSystem& fs, const QString& folder);
