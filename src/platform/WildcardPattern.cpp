#include "WildcardPattern.h"

WildcardPattern::WildcardPattern(const QString& pattern) : m_text(pattern)
{
    for (const QString& part : pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            m_folded.push_back(trimmed.toCaseFolded());
    }
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
    // Greedy scan that remembers the last '*' and retries from there: linear in
    // practice, never exponential on hostile names.
    qsizetype w = 0, n = 0;
    qsizetype starW = -1, starN = 0;
    while (n < name.size()) {
        if (w < wildcard.size() && (wildcard[w] == QLatin1Char('?') || wildcard[w] == name[n])) {
            ++w;
            ++n;
        } else if (w < wildcard.size() && wildcard[w] == QLatin1Char('*')) {
            starW = w++;
            starN = n;
        } else if (starW >= 0) {
            w = starW + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (w < wildcard.size() && wildcard[w] == QLatin1Char('*'))
        ++w;
    return w == wildcard.size();
}
