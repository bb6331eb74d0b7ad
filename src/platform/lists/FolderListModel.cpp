#include "FolderListModel.h"
#include "IFileSystem.h"
#include "NameOrder.h"

namespace {
constexpr int IndentPerLevel = 3;  // blanks per level; the list shows plain text rows

QString childPath(const QString& parent, const QString& name)
{
    return parent.endsWith(QLatin1Char('/')) ? parent + name : parent + QLatin1Char('/') + name;
}
}

FolderListModel::FolderListModel(QIcon openIcon, QIcon closedIcon, QObject* parent)
    : QAbstractListModel(parent), m_openIcon(std::move(openIcon)), m_closedIcon(std::move(closedIcon))
{
}

void FolderListModel::SetFolder(const QString& root, const QString& folder, QStringList subfolders)
{
    QStringList chain{root};
    QString walked = root;
    for (const QString& part : folder.mid(root.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        walked = childPath(walked, part);
        chain.push_back(walked);
    }
    beginResetModel();
    m_chain = std::move(chain);
    m_subfolders = std::move(subfolders);
    endResetModel();
}

QString FolderListModel::PathAt(int row) const
{
    if (row < 0)
        return {};
    if (row < m_chain.size())
        return m_chain.at(row);
    row -= static_cast<int>(m_chain.size());
    return row < m_subfolders.size() ? childPath(m_chain.last(), m_subfolders.at(row)) : QString();
}

int FolderListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_chain.size() + m_subfolders.size());
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const
{
    const int row = index.row();
    if (!index.isValid() || row >= rowCount())
        return {};
    const bool inChain = row < m_chain.size();
    switch (role) {
    case Qt::DisplayRole: {
        const int level = inChain ? row : static_cast<int>(m_chain.size());
        const QString label = row == 0 ? m_chain.first()
            : inChain                  ? m_chain.at(row).section(QLatin1Char('/'), -1)
                                       : m_subfolders.at(row - m_chain.size());
        return QString(level * IndentPerLevel, QLatin1Char(' ')) + label;
    }
    case Qt::DecorationRole:
        return inChain ? m_openIcon : m_closedIcon;
    default:
        return {};
    }
}

QStringList ListSubfolders(const IFileSystem& fs, const QString& folder)
{
    std::vector<std::string> raw = fs.Subfolders(folder);
    std::vector<FoldedName> names;
    names.reserve(raw.size());
    for (std::string& name : raw)
        names.push_back(FoldName(std::move(name)));
    return SortAndDecode(std::move(names));
}
