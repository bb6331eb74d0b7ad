#include "FileListModel.h"
#include "IFileSystem.h"
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
    struct Entry {
        QString key;
        QString name;
    };
    std::vector<QString> all = fs.FileNames(folder);
    std::vector<Entry> kept;
    kept.reserve(all.size());
    for (QString& name : all) {
        QString folded = name.toCaseFolded();
        if (pattern.MatchesFolded(folded))
            kept.push_back({std::move(folded), std::move(name)});
    }
    std::sort(kept.begin(), kept.end(), [](const Entry& a, const Entry& b) {
        const int byKey = QStringView(a.key).compare(QStringView(b.key));
        return byKey != 0 ? byKey < 0 : a.name < b.name;
    });
    QStringList names;
    names.reserve(static_cast<qsizetype>(kept.size()));
    for (Entry& e : kept)
        names.push_back(std::move(e.name));
    return names;
}
