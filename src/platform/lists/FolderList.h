#pragma once
#include <QHash>
#include <QListView>

class IFileSystem;
class FolderListModel;

// The folder list box: the chain of folders from the volume root down to the open
// folder, then the open folder's subfolders, indented. A click only highlights; a
// double click or Enter opens, which sets Path and raises Change synchronously.
// Like a drive's "current folder", it remembers the last folder opened on each volume:
// setting Path to a volume's root opens that folder instead. Its rows come from a
// FolderListModel, so a folder of 100,000 subfolders opens as fast as a FileList lists.
class FolderList : public QListView {
    Q_OBJECT
public:
    FolderList(const IFileSystem& fs, const QString& startFolder, QWidget* parent = nullptr);

    QString Path() const { return m_path; }
    // Opens `path` (or, for a volume root, the folder remembered for that volume).
    // Throws AppError and changes nothing when the folder is missing or unreadable.
    void SetPath(const QString& path);
    // The folder a double click would open: the highlighted entry's path.
    QString HighlightedPath() const;

Q_SIGNALS:
    void Change();
    // The user asked to open a folder that could not be read; the list shows the
    // open folder afresh, so an entry that vanished is gone.
    void OpenFailed(const QString& path, const QString& description);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void open(const QString& folder);
    void openFromUser(const QString& folder);
    void showFolder(const QStringList& sortedSubfolders);
    QString rememberedFolder(const QString& volumeRoot) const;

    const IFileSystem& m_fs;
    FolderListModel* m_model;
    QString m_path;
    QString m_processFolder;
    QHash<QString, QString> m_remembered;  // volume root -> last folder opened there
};
