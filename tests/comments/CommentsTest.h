#pragma once
#include "AppError.h"
#include "TooltipStore.h"

#include <QDir>
#include <QFile>
#include <QObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

using Text = std::optional<QString>;

inline const QByteArray kJetHeader("\x00\x01\x00\x00Standard Jet DB\x00", 20);

// Runs SQL over a connection of the test's own, not through the code under test, and
// returns the first column of the last statement's rows. `whileOpen` runs before the
// connection closes, which rolls back a transaction left open. One caller at a time.
inline QStringList Sql(const QString& sFile, const QStringList& statements,
                       const std::function<void()>& whileOpen = {})
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(sFile);
        db.open();  // a failure shows in the first statement
        for (const QString& sql : statements) {
            QSqlQuery query(db);
            if (!query.exec(sql))
                qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
            for (rows.clear(); query.next();)
                rows << query.value(0).toString();
        }
        if (whileOpen)
            whileOpen();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return rows;
}

// sFolder/Tooltips.mdb made with the schema file the build uses.
inline QString CreateStore(const QString& sFolder)
{
    QFile schema(QStringLiteral(TESSEL_TOOLTIP_SCHEMA_FILE));
    if (!schema.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", TESSEL_TOOLTIP_SCHEMA_FILE);
    const QString sql = QString::fromUtf8(schema.readAll()).remove(QRegularExpression(QStringLiteral("--[^\n]*")));
    const QString file = sFolder + QStringLiteral("/Tooltips.mdb");
    Sql(file, sql.split(QRegularExpression(QStringLiteral(";\\s*")), Qt::SkipEmptyParts));
    return file;
}

inline QStringList AllRows(const QString& sFile)  // "Path|Tooltip", rowid order
{
    return Sql(sFile, {QStringLiteral("SELECT Path || '|' || Tooltip FROM tblTooltip ORDER BY rowid")});
}

inline QByteArray Contents(const QString& sFile)
{
    QFile file(sFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteFile(const QString& sFile, const QByteArray& bytes)
{
    QFile file(sFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(sFile));
}

inline QStringList EntriesOf(const QString& sFolder)
{
    return QDir(sFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// A comment added the way the New command adds it.
inline void AddComment(TooltipStore& store, const QString& sPath, const QString& sText)
{
    store.AddNew();
    store.SetField(QStringLiteral("Path"), sPath);
    store.SetField(QStringLiteral("Tooltip"), sText);
    store.Update();
}

// The AppError number a call throws, 0 when it returns.
inline int ErrorOf(const std::function<void()>& call)
{
    try {
        call();
        return 0;
    } catch (const AppError& error) {
        return error.Number();
    }
}

class CommentsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // TooltipStore and its SQLite file
    void awkwardKeysKeepTheirOwnComments();
    void unusableFilesAreNotOpened_data();
    void unusableFilesAreNotOpened();
    void readOnlyStoreShowsButRefuses();
    void rekeyingMovesOnlyTheFirstRow();
    void twoCopiesShareTheFile();
    void busyStoreIsWaitedOut();
    void buildCreatedTheStore();

    // CommentCommands
    void commandsActOnTheFirstRow_data();
    void commandsActOnTheFirstRow();
    void refusedChanges_data();
    void refusedChanges();
};
