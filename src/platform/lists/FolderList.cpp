#include "FolderList.h"
#include "AppError.h"
#include "FolderListModel.h"
#include "IFileSystem.h"
#include "ResourcePixmap.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QIcon>

namespace {
QString cleanAbsolute(const QString& path)
{
    if (!path.startsWith(QLatin1Char('/')))
        throw AppError(ErrNo::PathNotFound, QStringLiteral("FolderList.Path"),
                       QStringLiteral("Path not found: %1").arg(path));
    return QDir::cleanPath(path);
}
}

FolderList::FolderList(const IFileSystem& fs, const QString& startFolder, QWidget* parent)
    : QListView(parent), m_fs(fs),
      m_model(new FolderListModel(QIcon(ResourcePixmap(QStringLiteral(":/lists/folderOpen.png"))),
                                  QIcon(ResourcePixmap(QStringLiteral(":/lists/folderClosed.png"))), this)),
      m_processFolder(QDir::cleanPath(startFolder))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    setUniformItemSizes(true);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        openFromUser(m_model->PathAt(index.row()));
    });
    try {
        open(m_processFolder);
    } catch (const AppError&) {
        open(QStringLiteral("/"));
    }
}

QString FolderList::rememberedFolder(const QString& volumeRoot) const
{
    const auto it = m_remembered.constFind(volumeRoot);
    if (it != m_remembered.constEnd())
        return *it;
    const QString processRoot = VolumeRootOf(m_fs.Volumes(), m_processFolder);
    return processRoot == volumeRoot ? m_processFolder : volumeRoot;
}

void FolderList::SetPath(const QString& path)
{
    const QString clean = cleanAbsolute(path);
    const std::vector<VolumeInfo> volumes = m_fs.Volumes();
    const QString root = VolumeRootOf(volumes, clean);
    if (clean != root) {
        open(clean);
        return;
    }
    m_fs.CheckVolume(root);
    const QString remembered = rememberedFolder(root);
    try {
        open(remembered);
    } catch (const AppError&) {
        // The remembered folder went away meanwhile: the volume's root is the next best.
        open(root);
    }
}

void FolderList::open(const QString& folder)
{
    const QStringList subfolders = ListSubfolders(m_fs, folder);  // throws: nothing changes
    m_path = folder;
    m_remembered.insert(VolumeRootOf(m_fs.Volumes(), folder), folder);
    showFolder(subfolders);
    Q_EMIT Change();
}

void FolderList::openFromUser(const QString& folder)
{
    try {
        open(folder);
    } catch (const AppError& e) {
        try {
            showFolder(ListSubfolders(m_fs, m_path));
        } catch (const AppError&) {
        }
        Q_EMIT OpenFailed(folder, e.Description());
    }
}

void FolderList::showFolder(const QStringList& sortedSubfolders)
{
    m_model->SetFolder(VolumeRootOf(m_fs.Volumes(), m_path), m_path, sortedSubfolders);
    setCurrentIndex(m_model->index(m_model->OpenRow()));
}

QString FolderList::HighlightedPath() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? m_model->PathAt(current.row()) : m_path;
}

void FolderList::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        openFromUser(m_model->PathAt(currentIndex().row()));
        return;
    }
    QListView::keyPressEvent(event);
}
