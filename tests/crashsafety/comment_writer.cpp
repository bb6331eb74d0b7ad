// Writes comments into a store until it is killed, so that the crash-safety test can
// pull the plug at random moments. Usage:
//   comment_writer <folder> <first command>       the CommentScript commands from there on
//   comment_writer <folder> --interrupted-write   starts a large write, says "holding" and
//                                                 waits, never committing it
// Prints "done <n>" (flushed) after command n has returned, i.e. is committed.
#include "CommentScript.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <cstdio>

namespace {

[[noreturn]] void fail(const QString& why)
{
    std::fprintf(stderr, "comment_writer: %s\n", qPrintable(why));
    std::exit(2);
}

// A write big enough to spill into the database file before it commits: what a crash in
// the middle of a long write leaves behind is a hot journal beside changed pages.
[[noreturn]] void holdInterruptedWrite(const QString& file)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(file);
    if (!db.open())
        fail(db.lastError().text());
    QSqlQuery query(db);
    for (const char* sql :
         {"PRAGMA cache_size = 8", "BEGIN IMMEDIATE",
          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 4000) "
          "INSERT INTO tblTooltip (Path, Tooltip) SELECT '/uncommitted/' || i, hex(randomblob(200)) FROM n",
          "UPDATE tblTooltip SET Tooltip = 'overwritten' WHERE Path NOT LIKE '/uncommitted/%'"})
        if (!query.exec(QString::fromLatin1(sql)))
            fail(QString::fromLatin1(sql) + QStringLiteral(": ") + query.lastError().text());
    std::printf("holding\n");
    std::fflush(stdout);
    for (;;)
        QThread::sleep(60);
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        fail(QStringLiteral("usage: comment_writer <folder> <first command> | --interrupted-write"));
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (qstrcmp(argv[2], "--interrupted-write") == 0)
        holdInterruptedWrite(folder + QLatin1Char('/') + TooltipStore::FileName());
    bool ok = false;
    const qint64 first = QByteArray(argv[2]).toLongLong(&ok);
    if (!ok || first < 0)
        fail(QStringLiteral("bad first command %1").arg(QString::fromLocal8Bit(argv[2])));
    try {
        TooltipStore store;
        store.Open(folder);
        for (qint64 command = first;; ++command) {
            CommentScript::Run(store, command);
            std::printf("done %lld\n", static_cast<long long>(command));
            std::fflush(stdout);
        }
    } catch (const AppError& error) {
        fail(QStringLiteral("error %1: %2").arg(error.Number()).arg(error.Description()));
    }
}
