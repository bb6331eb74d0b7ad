#include "MimeAppsList.h"
#include "DesktopEntry.h"

MimeAppsList::Table MimeAppsList::readTable(const QString& text, const QString& group)
{
    Table table;
    // MIME types are compared without case; of two spellings of one type the first counts.
    const KeyFileGroup keys = ReadKeyFileGroup(text, group, Qt::CaseInsensitive);
    for (auto it = keys.cbegin(); it != keys.cend(); ++it)
        table.insert(it.key(), SplitKeyFileList(it.value()));
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
