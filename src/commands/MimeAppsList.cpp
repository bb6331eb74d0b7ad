#include "MimeAppsList.h"
#include "DesktopEntry.h"

MimeAppsList::Table MimeAppsList::readTable(const QString& text, const QString& group)
{
    Table table;
    const KeyFileGroup keys = ReadKeyFileGroup(text, group);
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        const QString type = it.key().toLower();
        // MIME types are compared without case.
        if (!table.contains(type))
            table.insert(type, SplitKeyFileList(it.value()));
    }
    return table;
}

MimeAppsList MimeAppsList::Parse(const QString& text)
{
    MimeAppsList list;
    list.m_defaults = readTable(text, QStringLiteral("Default Applications"));
    list.m_added = readTable(text, QStringLiteral("Added Associations"));
    list.m_removed = readTable(text, QStringLiteral("Removed Associations"));
    return list;
}

MimeAppsList MimeAppsList::ParseCache(const QString& text)
{
    MimeAppsList list;
    list.m_added = readTable(text, QStringLiteral("MIME Cache"));
    return list;
}
