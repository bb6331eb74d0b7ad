#include "ExecLine.h"

namespace ExecLine {

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Characters that the desktop entry rules allow only inside quotes.
bool isReserved(QChar c)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

// Characters that a backslash escapes inside quotes.
bool isQuotedEscape(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\');
}

// Expands the field codes of one argument. An argument that held only codes standing for
// nothing here gives no argument at all rather than an empty one.
QStringList expandArgument(const QString& arg, const FieldValues& values)
{
    if (arg == QLatin1String("%i")) {
        if (values.icon.isEmpty())
            return {};
        return {QStringLiteral("--icon"), values.icon};
    }
    QString out;
    bool literal = false;  // anything in the argument besides codes
    for (int i = 0; i < arg.size(); ++i) {
        const QChar c = arg.at(i);
        if (c != QLatin1Char('%') || i + 1 == arg.size()) {
            out += c;
            literal = true;
            continue;
        }
        const char code = arg.at(++i).toLatin1();
        switch (code) {
        case 'f': case 'F': case 'u': case 'U':
            out += QLatin1String("%1");
            literal = true;
            break;
        case '%':
            out += QLatin1Char('%');
            literal = true;
            break;
        case 'c':
            out += values.name;
            break;
        case 'k':
            out += values.location;
            break;
        default:
            // %i inside a longer argument, the deprecated %d %D %n %N %v %m and codes
            // the rules do not know: removed.
            break;
        }
    }
    if (!literal && out.isEmpty() && !arg.isEmpty())
        return {};
    return {out};
}

}

bool Split(const QString& commandLine, QStringList& arguments)
{
    arguments.clear();
    QString current;
    bool inArgument = false;
    const int n = commandLine.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = commandLine.at(i);
        if (isSeparator(c)) {
            if (inArgument)
                arguments.push_back(current);
            current.clear();
            inArgument = false;
        } else if (c == QLatin1Char('"')) {
            inArgument = true;
            for (++i;; ++i) {
                if (i >= n)
                    return false;
                const QChar q = commandLine.at(i);
                if (q == QLatin1Char('"'))
                    break;
                if (q == QLatin1Char('\\') && i + 1 < n && isQuotedEscape(commandLine.at(i + 1)))
                    current += commandLine.at(++i);
                else
                    current += q;
            }
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments.push_back(current);
    return true;
}

QString Join(const QStringList& arguments)
{
    QStringList parts;
    parts.reserve(arguments.size());
    for (const QString& arg : arguments) {
        bool plain = !arg.isEmpty();
        for (const QChar c : arg)
            plain = plain && !isReserved(c);
        if (plain) {
            parts.push_back(arg);
            continue;
        }
        QString quoted = QStringLiteral("\"");
        for (const QChar c : arg) {
            if (isQuotedEscape(c))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        quoted += QLatin1Char('"');
        parts.push_back(quoted);
    }
    return parts.join(QLatin1Char(' '));
}

bool CommandFromExec(const QString& exec, const FieldValues& values, QString& command)
{
    QStringList arguments;
    if (!Split(exec, arguments) || arguments.isEmpty())
        return false;
    QStringList expanded;
    for (const QString& arg : arguments)
        expanded += expandArgument(arg, values);
    if (expanded.isEmpty() || expanded.first().isEmpty())
        return false;
    command = Join(expanded);
    return true;
}

}
