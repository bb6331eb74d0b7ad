// The comment store survives the program being killed at any moment: a writer process
// is killed with SIGKILL in the middle of its work, again and again, and after each kill
// the store must reopen, pass the engine's integrity check and hold exactly the comments
// whose commands had returned (plus, at most, the one that was running).
#include "CommentScript.h"
#include "TooltipStore.h"

#include <QElapsedTimer>
#include <QFile>
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

constexpr int Rounds = 30;
constexpr int FirstLineTimeoutMs = 10000;

struct StoreCheck {
    QString integrity;
    QList<Row> rows;  // sorted
    QString error;
};

// Reads the store over a connection of the test's own, not through the code under test.
StoreCheck checkIndependently(const QString& file)
{
    StoreCheck check;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("independent"));
        db.setDatabaseName(file);
        if (!db.open()) {
            check.error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral("PRAGMA integrity_check")))
                check.error = query.lastError().text();
            while (query.next())
                check.integrity += (check.integrity.isEmpty() ? QString() : QStringLiteral("; ")) + query.value(0).toString();
            if (!query.exec(QStringLiteral("SELECT Path, Tooltip FROM tblTooltip")))
                check.error = query.lastError().text();
            while (query.next())
                check.rows.push_back(Row(query.value(0).toString(), query.value(1).toString()));
            std::sort(check.rows.begin(), check.rows.end());
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("independent"));
    return check;
}

// What the program does when it starts again after the crash: open the store, look one up.
QString reopenAsTheProgram(const QString& folder, const QString& path)
{
    TooltipStore store;
    try {
        store.Open(folder);
        store.LookupTooltip(path);
    } catch (const AppError& error) {
        return QStringLiteral("error %1: %2").arg(error.Number()).arg(error.Description());
    }
    return QString();
}

QString copyBuiltStore(const QTemporaryDir& dir)
{
    const QString file = dir.filePath(TooltipStore::FileName());
    if (!QFile::copy(QStringLiteral(TESSEL_BUILT_STORE), file))
        return QString();
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    return file;
}

bool waitForLine(QProcess& process, QByteArray& out, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!out.contains('\n') && timer.elapsed() < timeoutMs) {
        if (!process.waitForReadyRead(int(timeoutMs - timer.elapsed())))
            break;
        out += process.readAllStandardOutput();
    }
    return out.contains('\n');
}

// A rollback journal that must be played back: the engine writes its magic number only
// once the journal is synced, just before it changes the database file. A journal whose
// magic is still zero belongs to a write that never touched the database.
bool isHotJournal(const QString& journal)
{
    QFile file(journal);
    return file.open(QIODevice::ReadOnly) && file.read(8) == QByteArray("\xD9\xD5\x05\xF9\x20\xA1\x63\xD7", 8);
}

QString describe(const QList<Row>& rows)
{
    QStringList parts;
    for (const Row& row : rows)
        parts << row.first + QStringLiteral(" = ") + row.second;
    return parts.join(QStringLiteral(" | "));
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
    QVERIFY2(!file.isEmpty(), TESSEL_BUILT_STORE);
    const QString journal = file + QStringLiteral("-journal");

    const quint32 seed = qEnvironmentVariableIsSet("TESSEL_CRASH_SEED")
                             ? quint32(qEnvironmentVariableIntValue("TESSEL_CRASH_SEED"))
                             : QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    qInfo("seed %u (set TESSEL_CRASH_SEED to repeat)", seed);

    QElapsedTimer total;
    total.start();
    qint64 committed = 0;  // commands 0 .. committed-1 are in the store
    int hotJournals = 0, inFlightKept = 0, rowsVerified = 0;
    for (int round = 0; round < Rounds; ++round) {
        QProcess writer;
        writer.setProgram(QStringLiteral(TESSEL_COMMENT_WRITER));
        writer.setArguments({dir.path(), QString::number(committed)});
        writer.start();
        QVERIFY2(writer.waitForStarted(), qPrintable(writer.errorString()));
        QByteArray out;
        // Killed once it is writing, somewhere in the next commands.
        QVERIFY2(waitForLine(writer, out, FirstLineTimeoutMs), writer.readAllStandardError().constData());
        QThread::msleep(random.bounded(150));
        writer.kill();
        QVERIFY(writer.waitForFinished(5000));
        out += writer.readAllStandardOutput();
        QVERIFY2(writer.exitStatus() == QProcess::CrashExit, writer.readAllStandardError().constData());

        // Only complete lines count: each names a command that had returned.
        qint64 confirmed = committed;
        for (const QByteArray& line : out.left(out.lastIndexOf('\n')).split('\n')) {
            QVERIFY2(line.startsWith("done "), line.constData());
            const qint64 n = line.mid(5).toLongLong();
            QCOMPARE(n, confirmed);  // in order, none skipped
            confirmed = n + 1;
        }
        if (isHotJournal(journal))
            ++hotJournals;

        // The program starting again must open the store, whatever the kill left behind.
        const QString reopen = reopenAsTheProgram(dir.path(), CommentScript::OldPath(0));
        QVERIFY2(reopen.isEmpty(), qPrintable(QStringLiteral("round %1: %2").arg(round).arg(reopen)));
        QVERIFY2(!isHotJournal(journal), "the program's reopening did not roll the journal back");

        const StoreCheck check = checkIndependently(file);
        QVERIFY2(check.error.isEmpty(), qPrintable(check.error));
        QCOMPARE(check.integrity, QStringLiteral("ok"));
        // Every returned command is there; the one running at the kill either wholly is or is not.
        const QList<Row> without = CommentScript::RowsAfter(confirmed);
        const QList<Row> with = CommentScript::RowsAfter(confirmed + 1);
        if (check.rows == with) {
            committed = confirmed + 1;
            ++inFlightKept;
        } else {
            QVERIFY2(check.rows == without,
                     qPrintable(QStringLiteral("round %1 after %2 commands:\n have %3\n want %4")
                                    .arg(round).arg(confirmed).arg(describe(check.rows), describe(without))));
            committed = confirmed;
        }
        rowsVerified += int(check.rows.size());
    }
    QVERIFY2(committed >= Rounds, "the writer hardly wrote anything before being killed");
    qInfo("%d rounds in %lld ms: %lld commands committed, %d rows verified, %d kills left a hot journal, "
          "%d kills came after the running command had committed",
          Rounds, total.elapsed(), committed, rowsVerified, hotJournals, inFlightKept);
}

void TestCrashSafety::interruptedLongWriteIsRolledBack()
{
    QTemporaryDir dir;
    const QString file = copyBuiltStore(dir);
    QVERIFY2(!file.isEmpty(), TESSEL_BUILT_STORE);
    {
        TooltipStore store;
        store.Open(dir.path());
        for (int image = 0; image < 3; ++image) {
            store.AddNew();
            store.SetField(QStringLiteral("Path"), CommentScript::OldPath(image));
            store.SetField(QStringLiteral("Tooltip"), CommentScript::Tip(image, 0));
            store.Update();
        }
    }
    const qint64 sizeBefore = QFileInfo(file).size();

    QProcess writer;
    writer.start(QStringLiteral(TESSEL_COMMENT_WRITER), {dir.path(), QStringLiteral("--interrupted-write")});
    QByteArray out;
    QVERIFY2(waitForLine(writer, out, FirstLineTimeoutMs), writer.readAllStandardError().constData());
    QCOMPARE(out, QByteArray("holding\n"));
    // The uncommitted rows already reached the file, and the journal holds the old pages.
    QVERIFY(QFileInfo(file).size() > sizeBefore);
    QVERIFY(isHotJournal(file + QStringLiteral("-journal")));
    writer.kill();
    QVERIFY(writer.waitForFinished(5000));

    TooltipStore store;
    try {
        store.Open(dir.path());
        for (int image = 0; image < 3; ++image)
            QCOMPARE(store.LookupTooltip(CommentScript::OldPath(image)),
                     std::optional<QString>(CommentScript::Tip(image, 0)));
        QCOMPARE(store.LookupTooltip(QStringLiteral("/uncommitted/1")), std::optional<QString>(QString()));
    } catch (const AppError& error) {
        QFAIL(qPrintable(QStringLiteral("reopening after the crash: error %1: %2").arg(error.Number()).arg(error.Description())));
    }
    store.Close();
    QVERIFY(!QFileInfo::exists(file + QStringLiteral("-journal")));
    const StoreCheck check = checkIndependently(file);
    QCOMPARE(check.integrity, QStringLiteral("ok"));
    QList<Row> committed;
    for (int image = 0; image < 3; ++image)
        committed.push_back(*CommentScript::RowAfter(image, 1));
    std::sort(committed.begin(), committed.end());
    QCOMPARE(check.rows, committed);
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "test_crash_safety.moc"
