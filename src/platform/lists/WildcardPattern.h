#pragma once
#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

// A file pattern such as "*.jpg;*.gif": ";"-separated wildcards ('*' any run, '?' one
// character), matched against a whole name without regard to case.
class WildcardPattern {
public:
    explicit WildcardPattern(const QString& pattern = QStringLiteral("*"));

    const QString& Text() const { return m_text; }
    bool Matches(const QString& name) const;
    // For callers that already hold the name case-folded (saves folding it twice).
    bool MatchesFolded(const QString& foldedName) const;

    // For a name of plain ASCII bytes, already lower-cased: no decoding needed.
    bool MatchesAsciiLower(std::string_view lowerName) const;
    // Whether the fast path above may be used for this pattern.
    bool IsAscii() const { return m_ascii; }

    // One wildcard against one name, both already case-folded.
    static bool MatchOne(QStringView wildcard, QStringView name);

private:
    QString m_text;
    QStringList m_folded;
    std::vector<std::string> m_asciiLower;
    bool m_ascii = true;
};
