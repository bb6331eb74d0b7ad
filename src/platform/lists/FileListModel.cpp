#include "FileListModel.h"
#include "IFileSystem.h"
#include "NameOrder.h"
#include "WildcardPattern.h"

#include <algorithm>

void FileListModel::SetNames(QStringList names)
{
    beginResetModel();
    m_names = std::move(names);
    endResetModel();
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_names.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_names.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_names.at(index.row());
    return {};
}

QStringList ListMatchingFiles(const IFileSystem& fs, const QString& folder,
                              const WildcardPattern& pattern)
{
    std::vector<std::string> all = fs.FileNames(folder);
    std::vector<FoldedName> kept;
    kept.reserve(all.size());
    for (std::string& raw : all) {
        FoldedName name = FoldName(std::move(raw));
        // Most names are plain ASCII: they are matched without being decoded.
        const bool matches = name.ascii && pattern.IsAscii()
            ? pattern.MatchesAsciiLower(name.key)
            : pattern.MatchesFolded(QString::fromStdString(name.key));
        if (matches)
            kept.push_back(std::move(name));
    }
    return SortAndDecode(std::move(kept));
}
