// The comment store survives the program being killed at any moment: a writer process
// is killed with SIGKILL in the middle of its work, again and again, and after each kill
// the store must reopen, pass the engine's integrity check and hold exactly the comments
// whose commands had returned (plus, at most, the one that was running).
#include "CommentScript.h"

#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using CommentScript::Row;

namespace {

QString copyBuiltStore(const QTemporaryDir& dir)
{
    const QString file = dir.filePath(TooltipStore::FileName());
    QFile::copy(QStringLiteral(TESSEL_BUILT_STORE), file);
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    return file;
}

// What the program does when it starts again after the crash: open the store, look one
// up. Returns the error it met, if any.
QString reopenAsTheProgram(const QString& folder)
{
    try {
        TooltipStore store;
        store.Open(folder);
        store.LookupTooltip(CommentScript::OldPath(0));
    } catch (const AppError& error) {
        return QStringLiteral("error %1: %2").arg(error.Number()).arg(error.Description());
    }
    return QString();
}

// Reads the store over a connection of the test's own, not through the code under test:
// returns the integrity check's verdict ("ok" when sound) and fills `rows`, sorted.
QString readIndependently(const QString& file, QList<Row>& rows)
{
    QStringList verdict;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("independent"));
        db.setDatabaseName(file);
        if (!db.open())
            verdict << db.lastError().text();
        QSqlQuery query(db);
        for (query.exec(QStringLiteral("PRAGMA integrity_check")); query.next();)
            verdict << query.value(0).toString();
        if (!query.exec(QStringLiteral("SELECT Path, Tooltip FROM tblTooltip")))
            verdict << query.lastError().text();
        while (query.next())
            rows.push_back(Row(query.value(0).toString(), query.value(1).toString()));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("independent"));
    std::sort(rows.begin(), rows.end());
    return verdict.join(QStringLiteral("; "));
}

// A rollback journal that must be played back: the engine writes its magic number only
// once the journal is synced, just before it changes the database file. A journal whose
// magic is still zero belongs to a write that never touched the database.
bool isHotJournal(const QString& database)
{
    QFile file(database + QStringLiteral("-journal"));
    return file.open(QIODevice::ReadOnly) && file.read(8) == QByteArray("\xD9\xD5\x05\xF9\x20\xA1\x63\xD7", 8);
}

}  // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killedWriterKeepsEveryReturnedCommand();
    void interruptedLongWriteIsRolledBack();
};

void TestCrashSafety::killedWriterKeepsEveryReturnedCommand()
{
    QTemporaryDir dir;
    const QString file = copyBuiltStore(dir);
    const quint32 seed = qEnvironmentVariableIsSet("TESSEL_CRASH_SEED")
                             ? quint32(qEnvironmentVariableIntValue("TESSEL_CRASH_SEED"))
                             : QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    qInfo("seed %u (set TESSEL_CRASH_SEED to repeat)", seed);
    const int rounds = 30;
    qint64 committed = 0;  // commands 0 .. committed-1 are in the store
    int hotJournals = 0;
    for (int round = 0; round < rounds; ++round) {
        QProcess writer;
        writer.start(QStringLiteral(TESSEL_COMMENT_WRITER), {dir.path(), QString::number(committed)});
        QByteArray out;
        // Killed once it is writing, somewhere in the next commands.
        QTRY_VERIFY2_WITH_TIMEOUT((out += writer.readAllStandardOutput()).contains('\n'),
                                  writer.readAllStandardError().constData(), 10000);
        QThread::msleep(random.bounded(150));
        writer.kill();
        QVERIFY(writer.waitForFinished(5000));
        out += writer.readAllStandardOutput();
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

        // Only complete lines count: each names a command that had returned, in order.
        qint64 confirmed = committed;
        for (const QByteArray& line : out.left(out.lastIndexOf('\n')).split('\n'))
            QCOMPARE(line, "done " + QByteArray::number(confirmed++));
        hotJournals += isHotJournal(file);

        // The program starting again must open the store, whatever the kill left behind.
        QCOMPARE(reopenAsTheProgram(dir.path()), QString());
        QVERIFY2(!isHotJournal(file), "the program's reopening did not roll the journal back");
        QList<Row> rows;
        QCOMPARE(readIndependently(file, rows), QStringLiteral("ok"));
        // Every returned command is there; the one running at the kill either wholly is or is not.
        committed = rows == CommentScript::RowsAfter(confirmed + 1) ? confirmed + 1 : confirmed;
        QCOMPARE(rows, CommentScript::RowsAfter(committed));
    }
    QVERIFY2(committed >= rounds, "the writer hardly wrote anything before being killed");
    qInfo("%d rounds: %lld commands committed, %d kills left a hot journal", rounds, committed, hotJournals);
}

void TestCrashSafety::interruptedLongWriteIsRolledBack()
{
    QTemporaryDir dir;
    const QString file = copyBuiltStore(dir);
    const int committed = 9;
    {
        TooltipStore store;
        store.Open(dir.path());
        for (int command = 0; command < committed; ++command)
            CommentScript::Run(store, command);
    }
    const qint64 sizeBefore = QFileInfo(file).size();

    QProcess writer;
    writer.start(QStringLiteral(TESSEL_COMMENT_WRITER), {dir.path(), QStringLiteral("--interrupted-write")});
    QByteArray out;
    QTRY_VERIFY2_WITH_TIMEOUT((out += writer.readAllStandardOutput()) == "holding\n",
                              writer.readAllStandardError().constData(), 10000);
    // The uncommitted rows already reached the file, and the journal holds the old pages.
    QVERIFY(QFileInfo(file).size() > sizeBefore);
    QVERIFY(isHotJournal(file));
    writer.kill();
    QVERIFY(writer.waitForFinished(5000));

    QCOMPARE(reopenAsTheProgram(dir.path()), QString());
    QVERIFY(!QFileInfo::exists(file + QStringLiteral("-journal")));
    QList<Row> rows;
    QCOMPARE(readIndependently(file, rows), QStringLiteral("ok"));
    QCOMPARE(rows, CommentScript::RowsAfter(committed));
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "test_crash_safety.moc"
