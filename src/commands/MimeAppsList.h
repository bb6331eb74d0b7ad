#pragma once
#include <QHash>
#include <QString>
#include <QStringList>

// The associations one mimeapps.list (or one mimeinfo.cache) declares, MIME type (lower
// case) to desktop file ids in order of preference. Get one from the file's text with
// MimeAppsList::Parse or ParseCache; pure over text, so it can be fuzzed.
class MimeAppsList {
public:
    // A mimeapps.list: [Default Applications], [Added Associations], [Removed Associations].
    static MimeAppsList Parse(const QString& text);
    // A mimeinfo.cache: its [MIME Cache] group counts as added associations.
    static MimeAppsList ParseCache(const QString& text);

    QStringList Defaults(const QString& mimeType) const { return m_defaults.value(mimeType.toLower()); }
    QStringList Added(const QString& mimeType) const { return m_added.value(mimeType.toLower()); }
    QStringList Removed(const QString& mimeType) const { return m_removed.value(mimeType.toLower()); }

private:
    using Table = QHash<QString, QStringList>;
    static Table readTable(const QString& text, const QString& group);

    Table m_defaults;
    Table m_added;
    Table m_removed;
};
