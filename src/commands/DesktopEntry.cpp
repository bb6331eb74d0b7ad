#include "DesktopEntry.h"
#include "ExecLine.h"

#include <QRegularExpression>

KeyFileGroup ReadKeyFileGroup(const QString& text, const QString& group, Qt::CaseSensitivity keyCase)
{
    KeyFileGroup keys;
    bool inGroup = false;
    bool seen = false;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            // A group given twice is read once: its first appearance counts.
            inGroup = !seen && trimmed.mid(1, trimmed.size() - 2) == group;
            seen = seen || inGroup;
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QStringView keyText = line.left(eq).trimmed();
        const QString key = keyCase == Qt::CaseSensitive ? keyText.toString() : keyText.toString().toLower();
        QStringView value = line.mid(eq + 1);
        while (!value.isEmpty() && (value.front() == QLatin1Char(' ') || value.front() == QLatin1Char('\t')))
            value = value.mid(1);
        if (!key.isEmpty() && !keys.contains(key))
            keys.insert(key, value.toString());
    }
    return keys;
}

QString UnescapeKeyFileValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's': out += QLatin1Char(' '); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case '\\': out += QLatin1Char('\\'); break;
        default:
            // Not a string escape (";" in lists, or a quoting escape of Exec): kept whole.
            out += c;
            out += next;
            break;
        }
    }
    return out;
}

QStringList SplitKeyFileList(const QString& value)
{
    QStringList items;
    QString current;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            // An escape pair is taken whole, so the ';' after an escaped backslash still
            // separates; other escapes stay for the reader of the item.
            const QChar next = value.at(++i);
            if (next != QLatin1Char(';'))
                current += c;
            current += next;
        } else if (c == QLatin1Char(';')) {
            items.push_back(current.trimmed());
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.trimmed().isEmpty())
        items.push_back(current.trimmed());
    items.removeAll(QString());
    return items;
}

DesktopEntry DesktopEntry::Parse(const QString& text, const QString& location)
{
    DesktopEntry entry;
    entry.m_keys = ReadKeyFileGroup(text, QStringLiteral("Desktop Entry"));
    entry.m_location = location;
    entry.m_exec = UnescapeKeyFileValue(entry.m_keys.value(QStringLiteral("Exec")));
    entry.m_tryExec = UnescapeKeyFileValue(entry.m_keys.value(QStringLiteral("TryExec")));
    entry.m_icon = UnescapeKeyFileValue(entry.m_keys.value(QStringLiteral("Icon")));
    return entry;
}

bool DesktopEntry::IsApplication() const
{
    const auto isTrue = [this](const char* key) {
        return m_keys.value(QLatin1String(key)).trimmed() == QLatin1String("true");
    };
    return m_keys.value(QStringLiteral("Type")).trimmed() == QLatin1String("Application") && !isTrue("Hidden") &&
           !m_exec.trimmed().isEmpty();
}

QString DesktopEntry::Name(const QString& locale) const
{
    // lang_COUNTRY.ENCODING@MODIFIER: the encoding never takes part in the match.
    static const QRegularExpression form(QStringLiteral("^([^_.@]+)(?:_([^.@]+))?(?:\\.[^@]*)?(?:@(.+))?$"));
    const QRegularExpressionMatch m = form.match(locale);
    QStringList tries;
    if (m.hasMatch()) {
        const QString lang = m.captured(1), country = m.captured(2), modifier = m.captured(3);
        if (!country.isEmpty() && !modifier.isEmpty())
            tries << lang + QLatin1Char('_') + country + QLatin1Char('@') + modifier;
        if (!country.isEmpty())
            tries << lang + QLatin1Char('_') + country;
        if (!modifier.isEmpty())
            tries << lang + QLatin1Char('@') + modifier;
        tries << lang;
    }
    for (const QString& loc : tries) {
        const QString key = QStringLiteral("Name[%1]").arg(loc);
        if (m_keys.contains(key))
            return UnescapeKeyFileValue(m_keys.value(key));
    }
    return UnescapeKeyFileValue(m_keys.value(QStringLiteral("Name")));
}

bool DesktopEntry::OpenCommand(const QString& locale, QString& command) const
{
    if (!IsApplication())
        return false;
    return ExecLine::CommandFromExec(m_exec, {m_icon, Name(locale), m_location}, command);
}
