#include "FileListModel.h"
#include "IFileSystem.h"
#include "WildcardPattern.h"

#include <QFile>

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
    // Names are matched and sorted as bytes where they are plain ASCII, which most are:
    // only the names that are kept are ever decoded.
    struct Entry {
        std::string key;  // the name case-folded, UTF-8
        std::string raw;
    };
    std::vector<std::string> all = fs.FileNames(folder);
    std::vector<Entry> kept;
    kept.reserve(all.size());
    for (std::string& raw : all) {
        const bool ascii = std::all_of(raw.begin(), raw.end(), [](char c) { return (unsigned char)c < 128; });
        std::string key;
        if (ascii && pattern.IsAscii()) {
            key = raw;
            std::transform(key.begin(), key.end(), key.begin(),
                           [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; });
            if (!pattern.MatchesAsciiLower(key))
                continue;
        } else {
            const QString folded = QFile::decodeName(raw.c_str()).toCaseFolded();
            if (!pattern.MatchesFolded(folded))
                continue;
            key = folded.toStdString();
        }
        kept.push_back({std::move(key), std::move(raw)});
    }
    std::sort(kept.begin(), kept.end(), [](const Entry& a, const Entry& b) {
        const int byKey = a.key.compare(b.key);
        return byKey != 0 ? byKey < 0 : a.raw < b.raw;
    });
    QStringList names;
    names.reserve(static_cast<qsizetype>(kept.size()));
    for (const Entry& e : kept)
        names.push_back(QFile::decodeName(e.raw.c_str()));
    return names;
}
