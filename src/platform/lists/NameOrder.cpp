#include "NameOrder.h"

#include <QFile>

#include <algorithm>

FoldedName FoldName(std::string raw)
{
    const bool ascii = std::all_of(raw.begin(), raw.end(), [](char c) { return (unsigned char)c < 128; });
    std::string key;
    if (ascii) {
        key = raw;
        std::transform(key.begin(), key.end(), key.begin(),
                       [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; });
    } else {
        key = QFile::decodeName(raw.c_str()).toCaseFolded().toStdString();
    }
    return {std::move(key), std::move(raw), ascii};
}

QStringList SortAndDecode(std::vector<FoldedName> names)
{
    std::sort(names.begin(), names.end(), [](const FoldedName& a, const FoldedName& b) {
        const int byKey = a.key.compare(b.key);
        return byKey != 0 ? byKey < 0 : a.raw < b.raw;
    });
    QStringList decoded;
    decoded.reserve(static_cast<qsizetype>(names.size()));
    for (const FoldedName& n : names)
        decoded.push_back(QFile::decodeName(n.raw.c_str()));
    return decoded;
}
