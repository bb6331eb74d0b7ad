#include "WildcardPattern.h"

WildcardPattern::WildcardPattern(const QString& pattern) : m_text(pattern)
{
    for (const QString& part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (trimmed.isEmpty())
            continue;
        m_folded.push_back(trimmed.toCaseFolded());
        bool ascii = true;
        for (QChar c : trimmed)
            ascii = ascii && c.unicode() < 128;
        m_ascii = m_ascii && ascii;
        if (ascii)
            m_asciiLower.push_back(trimmed.toLower().toStdString());
    }
}

namespace {
// Greedy scan that remembers the last '*' and retries from there: linear in practice,
// never exponential on hostile names.
template <typename View, typename Char>
bool matchWildcard(const View& wildcard, const View& name, Char star, Char any)
{
    size_t w = 0, n = 0;
    size_t starW = size_t(-1), starN = 0;
    while (n < size_t(name.size())) {
        // A '*' in the wildcard is always a wildcard, even where the name has a '*' too.
        if (w < size_t(wildcard.size()) && wildcard[w] != star && (wildcard[w] == any || wildcard[w] == name[n])) {
            ++w;
            ++n;
        } else if (w < size_t(wildcard.size()) && wildcard[w] == star) {
            starW = w++;
            starN = n;
        } else if (starW != size_t(-1)) {
            w = starW + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (w < size_t(wildcard.size()) && wildcard[w] == star)
        ++w;
    return w == size_t(wildcard.size());
}
}

bool WildcardPattern::MatchesAsciiLower(std::string_view lowerName) const
{
    for (const std::string& wildcard : m_asciiLower)
        if (matchWildcard(std::string_view(wildcard), lowerName, '*', '?'))
            return true;
    return false;
}

bool WildcardPattern::Matches(const QString& name) const
{
    return MatchesFolded(name.toCaseFolded());
}

bool WildcardPattern::MatchesFolded(const QString& foldedName) const
{
    for (const QString& wildcard : m_folded)
        if (MatchOne(wildcard, foldedName))
            return true;
    return false;
}

bool WildcardPattern::MatchOne(QStringView wildcard, QStringView name)
{
    return matchWildcard(wildcard, name, QChar(u'*'), QChar(u'?'));
}
