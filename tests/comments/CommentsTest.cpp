#include "CommentsTest.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {
template <typename F>
void withConnection(const QString& sFile, F work)
{
    static int counter = 0;
    const QString name = QStringLiteral("test-raw-%1").arg(++counter);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(sFile);
        if (!db.open())
            qFatal("cannot open %s: %s", qPrintable(sFile), qPrintable(db.lastError().text()));
        work(db);
    }
    QSqlDatabase::removeDatabase(name);
}
}

QString CreateStore(const QString& sFolder)
{
    QFile schema(QStringLiteral(TESSEL_TOOLTIP_SCHEMA_FILE));
    if (!schema.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", TESSEL_TOOLTIP_SCHEMA_FILE);
    QString sql;
    for (const QString& line : QString::fromUtf8(schema.readAll()).split(QLatin1Char('\n')))
        if (!line.trimmed().startsWith(QLatin1String("--")))
            sql += line + QLatin1Char('\n');
    QStringList statements = sql.split(QLatin1Char(';'));
    statements.removeIf([](const QString& s) { return s.trimmed().isEmpty(); });
    const QString file = sFolder + QStringLiteral("/Tooltips.mdb");
    Exec(file, statements);
    return file;
}

void Exec(const QString& sFile, const QStringList& statements)
{
    withConnection(sFile, [&](QSqlDatabase& db) {
        for (const QString& sql : statements) {
            QSqlQuery query(db);
            if (!query.exec(sql))
                qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
        }
    });
}

QStringList Query(const QString& sFile, const QString& sql)
{
    QStringList rows;
    withConnection(sFile, [&](QSqlDatabase& db) {
        QSqlQuery query(sql, db);
        while (query.next()) {
            QStringList columns;
            for (int i = 0; i < query.record().count(); ++i)
                columns << query.value(i).toString();
            rows << columns.join(QLatin1Char('|'));
        }
    });
    return rows;
}

QStringList AllRows(const QString& sFile)
{
    return Query(sFile, QStringLiteral("SELECT Path, Tooltip FROM tblTooltip ORDER BY rowid"));
}

QByteArray Contents(const QString& sFile)
{
    QFile file(sFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& sFile, const QByteArray& bytes)
{
    QFile file(sFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(sFile));
}

QStringList EntriesOf(const QString& sFolder)
{
    return QDir(sFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

void AddComment(TooltipStore& store, const QString& sPath, const QString& sText)
{
    store.AddNew();
    store.SetField(QStringLiteral("Path"), sPath);
    store.SetField(QStringLiteral("Tooltip"), sText);
    store.Update();
}

int ErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const AppError& error) {
        return error.Number();
    }
    return 0;
}

QTEST_GUILESS_MAIN(CommentsTest)
