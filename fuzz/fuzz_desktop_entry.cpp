// The key-file reader, its value escapes and lists, and the desktop entry built on them.
#include "DesktopEntry.h"
#include "ExecLine.h"
#include "FuzzSupport.h"

namespace {

const QString Group = QStringLiteral("Desktop Entry");

// The first value of each key, as the file gives them.
KeyFileGroup firstOfEach(const KeyValueLines& lines)
{
    KeyFileGroup keys;
    for (const auto& [key, value] : lines)
        if (!keys.contains(key))
            keys.insert(key, value);
    return keys;
}

QString escapeValue(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        default: out += c; break;
        }
    }
    return out;
}

void checkGroup(const QString& text)
{
    const KeyFileGroup keys = ReadKeyFileGroup(text, Group);
    FUZZ_CHECK(keys == firstOfEach(GroupLinesInOrder(text, Group)), Shown(text));
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        const QString& key = it.key();
        FUZZ_CHECK(!key.isEmpty() && key == key.trimmed() && !key.contains(QLatin1Char('=')) &&
                       !key.contains(QLatin1Char('\n')),
                   Shown(key));
        FUZZ_CHECK(!it.value().contains(QLatin1Char('\n')) && !it.value().startsWith(QLatin1Char(' ')) &&
                       !it.value().startsWith(QLatin1Char('\t')),
                   Shown(it.value()));
        FUZZ_CHECK(UnescapeKeyFileValue(it.value()).size() <= it.value().size(), Shown(it.value()));
    }

    // Line ends and the groups around it change nothing; a repeated group is ignored.
    if (!text.contains(QLatin1Char('\r')))
        FUZZ_CHECK(ReadKeyFileGroup(QString(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n")), Group) == keys,
                   Shown(text));
    FUZZ_CHECK(ReadKeyFileGroup(QStringLiteral("[Other]\nExec=evil\nName=evil\n") + text, Group) == keys, Shown(text));
    FUZZ_CHECK(ReadKeyFileGroup(text + QStringLiteral("\n[Other]\nExec=evil"), Group) == keys, Shown(text));
    if (!keys.isEmpty())
        FUZZ_CHECK(ReadKeyFileGroup(text + QStringLiteral("\n[Desktop Entry]\nExec=evil\nZ=1"), Group) == keys,
                   Shown(text));
}

void checkValues(const QString& text)
{
    FUZZ_CHECK(UnescapeKeyFileValue(escapeValue(text)) == text, Shown(text));
    if (!text.contains(QLatin1Char('\\')))
        FUZZ_CHECK(UnescapeKeyFileValue(text) == text, Shown(text));

    const QStringList items = SplitKeyFileList(text);
    for (const QString& item : items)
        FUZZ_CHECK(!item.isEmpty() && item == item.trimmed(), Shown(text) + QStringLiteral(" -> ") + Shown(items));
    if (!text.contains(QLatin1Char('\\'))) {
        QStringList plain;
        for (const QString& part : text.split(QLatin1Char(';')))
            if (!part.trimmed().isEmpty())
                plain << part.trimmed();
        FUZZ_CHECK(items == plain, Shown(text) + QStringLiteral(" -> ") + Shown(items));
    }
    // Items with ';' in them, escaped as the list format asks, come back whole.
    QStringList wanted;
    for (const QString& line : text.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty() && !line.contains(QLatin1Char('\\')))
            wanted << line.trimmed();
    QString list;
    for (const QString& item : wanted)
        list += QString(item).replace(QLatin1Char(';'), QStringLiteral("\\;")) + QLatin1Char(';');
    FUZZ_CHECK(SplitKeyFileList(list) == wanted, Shown(wanted) + QStringLiteral(" -> ") + Shown(list));
}

void checkEntry(const QString& text)
{
    const DesktopEntry entry = DesktopEntry::Parse(text, QStringLiteral("/apps/x.desktop"));
    const KeyFileGroup keys = ReadKeyFileGroup(text, Group);
    QStringList names{QString()};
    for (auto it = keys.cbegin(); it != keys.cend(); ++it)
        if (it.key() == QLatin1String("Name") || it.key().startsWith(QLatin1String("Name[")))
            names << UnescapeKeyFileValue(it.value());
    for (const char* locale : {"de_DE.UTF-8@euro", "de", "C", "", "sr@latin", "_@", "pt_BR"})
        FUZZ_CHECK(names.contains(entry.Name(QLatin1String(locale))), Shown(entry.Name(QLatin1String(locale))));
    // The most specific localised name wins.
    const QString specific = QStringLiteral("Name[de_DE@euro]");
    if (keys.contains(specific))
        FUZZ_CHECK(entry.Name(QStringLiteral("de_DE.UTF-8@euro")) == UnescapeKeyFileValue(keys.value(specific)),
                   Shown(text));

    QString command;
    if (entry.OpenCommand(QStringLiteral("de_DE"), command)) {
        QStringList arguments;
        FUZZ_CHECK(entry.IsApplication(), Shown(text));
        FUZZ_CHECK(ExecLine::Split(command, arguments) && !arguments.isEmpty() && !arguments.first().isEmpty(),
                   Shown(command));
    }
    if (entry.IsApplication())
        FUZZ_CHECK(!entry.Exec().trimmed().isEmpty(), Shown(text));
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = FuzzText(data, size);
    checkGroup(text);
    checkValues(text);
    checkEntry(text);
    return 0;
}
