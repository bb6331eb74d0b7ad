#include "CommentsCsv.h"
#include "AppError.h"
#include "TooltipStore.h"

#include <QFile>
#include <QSaveFile>

namespace {
const QString kSource = QStringLiteral("Comments CSV");

AppError csvError(const QString& sWhat)
{
    return AppError(ErrNo::InvalidFileFormat, kSource, sWhat);
}

QByteArray field(const QString& s)
{
    QByteArray utf8 = s.toUtf8();
    // Quoted whenever it holds anything a reader could split on or trim.
    if (utf8.contains(',') || utf8.contains('"') || utf8.contains('\n') || utf8.contains('\r')
        || utf8.startsWith(' ') || utf8.endsWith(' ')) {
        utf8.replace("\"", "\"\"");
        return '"' + utf8 + '"';
    }
    return utf8;
}
}

QByteArray CommentsCsv::Format(const QVector<QStringList>& records)
{
    QByteArray out;
    for (const QStringList& record : records) {
        for (int i = 0; i < record.size(); ++i) {
            if (i > 0)
                out += ',';
            out += field(record[i]);
        }
        out += "\r\n";
    }
    return out;
}

QVector<QStringList> CommentsCsv::Parse(const QByteArray& bytes)
{
    QByteArray text = bytes;
    if (text.startsWith("\xEF\xBB\xBF"))  // a byte-order mark some editors write
        text.remove(0, 3);
    QVector<QStringList> records;
    QStringList record;
    QByteArray current;
    bool quoted = false;      // inside a quoted field
    bool wasQuoted = false;   // the current field was quoted and has closed
    bool fieldStarted = false;
    const auto endField = [&] {
        record << QString::fromUtf8(current);
        current.clear();
        wasQuoted = false;
        fieldStarted = false;
    };
    const auto endRecord = [&] {
        endField();
        records << record;
        record.clear();
    };
    for (int i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    current += '"';
                    ++i;
                } else {
                    quoted = false;
                    wasQuoted = true;
                }
            } else {
                current += c;
            }
            continue;
        }
        if (c == ',') {
            endField();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            endRecord();
            ++i;
        } else if (c == '\n') {
            endRecord();
        } else if (c == '"' && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (wasQuoted || c == '"') {
            throw csvError(QStringLiteral("a quote stands inside a field in record %1").arg(records.size() + 1));
        } else {
            current += c;
            fieldStarted = true;
        }
    }
    if (quoted)
        throw csvError(QStringLiteral("a quoted field is not closed in record %1").arg(records.size() + 1));
    if (fieldStarted || wasQuoted || !record.isEmpty())
        endRecord();
    return records;
}

int CommentsCsv::Export(TooltipStore& store, const QString& sFile)
{
    const QVector<TooltipRow> rows = store.AllRows();
    QVector<QStringList> records{{QStringLiteral("Path"), QStringLiteral("Tooltip")}};
    for (const TooltipRow& row : rows)
        records << QStringList{row.path.value_or(QString()), row.tooltip.value_or(QString())};
    QSaveFile file(sFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(Format(records)) < 0 || !file.commit())
        throw csvError(QStringLiteral("cannot write %1: %2").arg(sFile, file.errorString()));
    return int(rows.size());
}

int CommentsCsv::Run(Mode mode, const QString& sStoreFolder, const QString& sFile, QString& sMessage)
{
    try {
        TooltipStore store;
        store.Open(sStoreFolder);
        if (mode == Mode::Export) {
            const int written = Export(store, sFile);
            sMessage = QStringLiteral("Exported %1 comments to %2.").arg(written).arg(sFile);
        } else {
            const ImportCount count = Import(store, sFile);
            sMessage = QStringLiteral("Added %1 comments from %2, skipped %3 already there or empty.")
                           .arg(count.added).arg(sFile).arg(count.skipped);
        }
        return 0;
    } catch (const AppError& error) {
        sMessage = QStringLiteral("%1 comments: %2").arg(mode == Mode::Export ? QStringLiteral("Cannot export")
                                                                              : QStringLiteral("Cannot import"),
                                                         error.Description());
        return 1;
    }
}

CommentsCsv::ImportCount CommentsCsv::Import(TooltipStore& store, const QString& sFile)
{
    QFile file(sFile);
    if (!file.open(QIODevice::ReadOnly))
        throw csvError(QStringLiteral("cannot read %1: %2").arg(sFile, file.errorString()));
    const QVector<QStringList> records = Parse(file.readAll());
    if (records.isEmpty() || records.first() != QStringList{QStringLiteral("Path"), QStringLiteral("Tooltip")})
        throw csvError(QStringLiteral("%1 does not start with the header Path,Tooltip").arg(sFile));
    // Checked whole before the first row is added, so a broken file adds nothing.
    QVector<ITooltipBackend::PathAndTooltip> rows;
    ImportCount count;
    for (int i = 1; i < records.size(); ++i) {
        if (records[i] == QStringList{QString()})  // a blank line, as editors leave at the end
            continue;
        if (records[i].size() != 2)
            throw csvError(QStringLiteral("record %1 of %2 is not a path and a comment").arg(i + 1).arg(sFile));
        // The program never stores an empty comment; a row exported without one is skipped.
        if (records[i][1].isEmpty())
            ++count.skipped;
        else
            rows.push_back({records[i][0], records[i][1]});
    }
    for (const bool added : store.AddMissingRows(rows))
        (added ? count.added : count.skipped)++;
    return count;
}
