#pragma once
// What the fuzz targets share: turning libFuzzer's bytes into text, failing an invariant
// loudly (an abort, so that libFuzzer keeps the input as a crash), and a plain reading of
// one key-file group in file order to hold the readers against.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#define FUZZ_CHECK(condition, detail)                                   \
    do {                                                                \
        if (!(condition))                                               \
            FuzzFail(#condition, __FILE__, __LINE__, (detail));         \
    } while (0)

// Control characters and non-ASCII spelled out, so the failure message shows the input.
inline QString Shown(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\') + QString(c);
        else if (c.unicode() >= 0x20 && c.unicode() < 0x7f)
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out + QLatin1Char('"');
}

inline QString Shown(const QStringList& list)
{
    QStringList parts;
    for (const QString& item : list)
        parts << Shown(item);
    return QLatin1Char('[') + parts.join(QStringLiteral(", ")) + QLatin1Char(']');
}

[[noreturn]] inline void FuzzFail(const char* condition, const char* file, int line, const QString& detail)
{
    std::fprintf(stderr, "%s:%d: invariant failed: %s\n  %s\n", file, line, condition, qPrintable(detail));
    std::abort();
}

// Files are read as UTF-8 by the program, so the fuzzer's bytes are too.
inline QString FuzzText(const uint8_t* data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

// The key=value lines of the first [group] of a key file, in file order, duplicates
// included: what the readers are checked against. Lines end at '\n' (one '\r' before it
// dropped); blank lines and '#' comments are skipped; a line "[name]" starts a group.
using KeyValueLines = std::vector<std::pair<QString, QString>>;
inline KeyValueLines GroupLinesInOrder(const QString& text, const QString& group)
{
    KeyValueLines lines;
    enum { Before, Inside, After } state = Before;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.at(0) == QLatin1Char('#'))
            continue;
        if (trimmed.at(0) == QLatin1Char('[') && trimmed.back() == QLatin1Char(']')) {
            if (state == Inside)
                state = After;
            else if (state == Before && trimmed == QLatin1Char('[') + group + QLatin1Char(']'))
                state = Inside;
            continue;
        }
        const int eq = int(line.indexOf(QLatin1Char('=')));
        if (state != Inside || eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        QString value = line.mid(eq + 1);
        while (value.startsWith(QLatin1Char(' ')) || value.startsWith(QLatin1Char('\t')))
            value.remove(0, 1);
        if (!key.isEmpty())
            lines.emplace_back(key, value);
    }
    return lines;
}
