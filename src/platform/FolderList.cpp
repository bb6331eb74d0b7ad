#include "FolderList.h"
#include "AppError.h"
#include "IFileSystem.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QStyle>

namespace {
constexpr int PathRole = Qt::UserRole;
constexpr int IndentPerLevel = 3;  // blanks per level; the list shows plain text rows

QString childPath(const QString& parent, const QString& name)
{
    return parent.endsWith(QLatin1Char('/')) ? parent + name : parent + QLatin1Char('/') + name;
}

QString cleanAbsolute(const QString& path)
{
    if (!path.startsWith(QLatin1Char('/')))
        throw AppError(ErrNo::PathNotFound, QStringLiteral("FolderList.Path"),
                       QStringLiteral("Path not found: %1").arg(path));
    return QDir::cleanPath(path);
}
}

FolderList::FolderList(const IFileSystem& fs, const QString& startFolder, QWidget* parent)
    : QListWidget(parent), m_fs(fs), m_processFolder(QDir::cleanPath(startFolder))
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        openFromUser(item->data(PathRole).toString());
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
    const QStringList subfolders = m_fs.Subfolders(folder);  // throws: nothing changes
    m_path = folder;
    m_remembered.insert(VolumeRootOf(m_fs.Volumes(), folder), folder);
    rebuild(subfolders);
    Q_EMIT Change();
}

void FolderList::openFromUser(const QString& folder)
{
    try {
        open(folder);
    } catch (const AppError& e) {
        try {
            rebuild(m_fs.Subfolders(m_path));
        } catch (const AppError&) {
        }
        Q_EMIT OpenFailed(folder, e.Description());
    }
}

void FolderList::rebuild(const QStringList& subfoldersUnsorted)
{
    QStringList subfolders = subfoldersUnsorted;
    std::sort(subfolders.begin(), subfolders.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });

    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QString root = VolumeRootOf(m_fs.Volumes(), m_path);

    // The chain from the volume root down to the open folder.
    QStringList chain{root};
    const QString rest = m_path.mid(root.size());
    QString walked = root;
    for (const QString& part : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        walked = childPath(walked, part);
        chain.push_back(walked);
    }
    int level = 0;
    QListWidgetItem* current = nullptr;
    for (const QString& folder : chain) {
        const QString label = level == 0 ? folder : folder.section(QLatin1Char('/'), -1);
        auto* item = new QListWidgetItem(openIcon, QString(level * IndentPerLevel, QLatin1Char(' ')) + label, this);
        item->setData(PathRole, folder);
        current = item;
        ++level;
    }
    for (const QString& name : subfolders) {
        auto* item = new QListWidgetItem(closedIcon, QString(level * IndentPerLevel, QLatin1Char(' ')) + name, this);
        item->setData(PathRole, childPath(m_path, name));
    }
    setCurrentItem(current);
}

QString FolderList::HighlightedPath() const
{
    const QListWidgetItem* item = currentItem();
    return item ? item->data(PathRole).toString() : m_path;
}

void FolderList::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        openFromUser(currentItem()->data(PathRole).toString());
        return;
    }
    QListWidget::keyPressEvent(event);
}
