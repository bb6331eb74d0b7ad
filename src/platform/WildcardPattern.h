#pragma once
#include <QString>
#include <QStringList>

// A file pattern such as "*.jpg;*.gif": ";"-separated wildcards ('*' any run, '?' one
// character), matched against a whole name without regard to case.
class WildcardPattern {
public:
    explicit WildcardPattern(const QString& pattern = QStringLiteral("*"));

    const QString& Text() const { return m_text; }
    bool Matches(const QString& name) const;
    // For callers that already hold the name case-folded (saves folding it twice).
    bool MatchesFolded(const QString& foldedName) const;

    // One wildcard against one name, both already case-folded.
    static bool MatchOne(QStringView wildcard, QStringView name);

private:
    QString m_text;
    QStringList m_folded;
};
