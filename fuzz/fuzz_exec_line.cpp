// The Exec splitter, its quoting and the open command built from an Exec line.
#include "ExecLine.h"
#include "FuzzSupport.h"

namespace {

// Without double quotes an Exec line is just words between blanks and tabs.
QStringList plainWords(QString line)
{
    return line.replace(QLatin1Char('\t'), QLatin1Char(' ')).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The file and URL codes (%f %F %u %U) in the arguments, read in pairs as the expansion does.
int fileCodes(const QStringList& arguments)
{
    int count = 0;
    for (const QString& arg : arguments)
        for (int i = 0; i + 1 < arg.size(); ++i)
            if (arg.at(i) == QLatin1Char('%'))
                count += QStringLiteral("fFuU").contains(arg.at(++i)) ? 1 : 0;
    return count;
}

void checkOpenCommand(const QString& exec, const QStringList& arguments, bool splits,
                      const ExecLine::FieldValues& values)
{
    QString command;
    const bool ok = ExecLine::CommandFromExec(exec, values, command);
    if (splits && !arguments.isEmpty() && !arguments.first().isEmpty() && !exec.contains(QLatin1Char('%')))
        FUZZ_CHECK(ok, Shown(exec));
    if (!ok)
        return;
    QStringList back;
    FUZZ_CHECK(ExecLine::Split(command, back) && !back.isEmpty() && !back.first().isEmpty(),
               Shown(exec) + QStringLiteral(" -> ") + Shown(command));
    // Without codes the command runs exactly the arguments of the Exec line.
    if (!exec.contains(QLatin1Char('%')))
        FUZZ_CHECK(back == arguments, Shown(arguments) + QStringLiteral(" -> ") + Shown(back));
    // "%%1" legitimately gives a literal "%1", which the command format cannot tell from
    // the file; otherwise every "%1" must come from a file code, and every file code gives one.
    // The "%%" is looked for in the arguments, unquoted: %"%1" is one too.
    if (!arguments.join(QLatin1Char(' ')).contains(QStringLiteral("%%")))
        FUZZ_CHECK(command.count(QStringLiteral("%1")) == fileCodes(arguments),
                   Shown(exec) + QStringLiteral(" -> ") + Shown(command));
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = FuzzText(data, size);

    // The text as an Exec line: whatever splits must survive quoting and splitting again.
    QStringList arguments;
    const bool splits = ExecLine::Split(text, arguments);
    if (!text.contains(QLatin1Char('"')))
        FUZZ_CHECK(splits && arguments == plainWords(text), Shown(text) + QStringLiteral(" -> ") + Shown(arguments));
    if (splits) {
        QStringList again;
        const QString joined = ExecLine::Join(arguments);
        FUZZ_CHECK(ExecLine::Split(joined, again) && again == arguments,
                   Shown(arguments) + QStringLiteral(" -> ") + Shown(joined) + QStringLiteral(" -> ") + Shown(again));
    }

    // The text as arguments separated by NUL: any argument at all, quotes, blanks, empty
    // ones, must come back unchanged from its quoted line.
    const QStringList list = text.split(QChar(0));
    const QString line = ExecLine::Join(list);
    QStringList back;
    FUZZ_CHECK(ExecLine::Split(line, back) && back == list,
               Shown(list) + QStringLiteral(" -> ") + Shown(line) + QStringLiteral(" -> ") + Shown(back));

    // Field values that need quoting themselves; with and without an icon.
    checkOpenCommand(text, arguments, splits,
                     {QStringLiteral("my icon"), QStringLiteral("Tool \"X\" $HOME"), QStringLiteral("/apps/a b.desktop")});
    checkOpenCommand(text, arguments, splits, {QString(), QStringLiteral("Tool"), QStringLiteral("/apps/t.desktop")});
    return 0;
}
