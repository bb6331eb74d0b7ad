// The file-pattern matcher. Input: the pattern, a newline, then the name.
#include "FuzzSupport.h"
#include "WildcardPattern.h"

#include <vector>

namespace {

// The textbook dynamic programme: which prefixes of the name the wildcard read so far
// can match. Slow but obviously right, so the fast matcher is held against it.
bool referenceMatch(QStringView wildcard, QStringView name)
{
    std::vector<char> row(size_t(name.size()) + 1, 0);
    row[0] = 1;
    for (const QChar w : wildcard) {
        std::vector<char> next(row.size(), 0);
        if (w == QLatin1Char('*')) {
            char reached = 0;
            for (size_t j = 0; j < row.size(); ++j)
                next[j] = reached = char(reached | row[j]);
        } else {
            for (size_t j = 1; j < row.size(); ++j)
                next[j] = char(row[j - 1] && (w == QLatin1Char('?') || w == name[qsizetype(j - 1)]));
        }
        row.swap(next);
    }
    return row.back() != 0;
}

bool isAscii(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() >= 128)
            return false;
    return true;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = FuzzText(data, size);
    const qsizetype cut = input.indexOf(QLatin1Char('\n'));
    const QString patternText = cut < 0 ? input : input.left(cut);
    const QString name = cut < 0 ? QString() : input.mid(cut + 1);
    const WildcardPattern pattern(patternText);
    const QString what = Shown(patternText) + QStringLiteral(" against ") + Shown(name);

    const QString foldedName = name.toCaseFolded();
    bool expected = false;
    for (const QString& part : patternText.split(QLatin1Char(';'))) {
        const QString wildcard = part.trimmed().toCaseFolded();
        if (wildcard.isEmpty())
            continue;
        const bool one = referenceMatch(wildcard, foldedName);
        FUZZ_CHECK(WildcardPattern::MatchOne(wildcard, foldedName) == one,
                   Shown(wildcard) + QStringLiteral(" against ") + Shown(foldedName));
        expected = expected || one;
    }
    const bool matches = pattern.Matches(name);
    FUZZ_CHECK(matches == expected, what);

    if (isAscii(patternText) && isAscii(name)) {
        // The byte fast path, the letter case of the name and that of the pattern change nothing.
        FUZZ_CHECK(pattern.IsAscii(), what);
        FUZZ_CHECK(pattern.MatchesAsciiLower(name.toLower().toStdString()) == matches, what);
        FUZZ_CHECK(pattern.Matches(name.toUpper()) == matches, what);
        FUZZ_CHECK(WildcardPattern(patternText.toUpper()).Matches(name.toLower()) == matches, what);
    }

    // A name taken as the pattern matches itself: '*' covers a literal '*', '?' any one character.
    if (!name.isEmpty() && name == name.trimmed() && !name.contains(QLatin1Char(';')))
        FUZZ_CHECK(WildcardPattern(name).Matches(name), Shown(name));
    return 0;
}
