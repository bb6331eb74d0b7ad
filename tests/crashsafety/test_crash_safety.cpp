// The comment store survives the program being killed at any moment: a writer process
// is killed with SIGKILL in the middle of its work, again and again, and after each kill
// the store must reopen, pass the engine's integrity check and hold exactly the comments
// whose commands had returned (plus, at most, the one that was running). A long write cut
// short is rolled back the same way.
#include "CommentScript.h"
#include "ErrorOf.h"
#include "Sql.h"
#include "TestFiles.h"

#include <QtTest>

using CommentScript::Row;

namespace {

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
    const QString verdict = Sql(file, {QStringLiteral("PRAGMA integrity_check")}).join(QStringLiteral("; "));
    for (const QString& row : Sql(file, {QStringLiteral("SELECT Path || '|' || Tooltip FROM tblTooltip")}))
        rows.push_back(Row(row.section(QLatin1Char('|'), 0, 0), row.section(QLatin1Char('|'), 1)));
    std::sort(rows.begin(), rows.end());
    return verdict;
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
    TestFiles::PrivateHome m_home;  // where pending re-keys are kept

private Q_SLOTS:
    void killedWriterKeepsEveryReturnedCommand()
    {
        QTemporaryDir dir;
        const QString file = TestFiles::copyBuiltStore(dir.path());
        const quint32 seed = qEnvironmentVariableIsSet("TESSEL_CRASH_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("TESSEL_CRASH_SEED"))
                                 : QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        qInfo("seed %u (set TESSEL_CRASH_SEED to repeat)", seed);
        const int rounds = 30;
        qint64 committed = 0;  // commands 0 .. committed-1 are in the store
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
        qInfo("%d rounds: %lld commands committed", rounds, committed);
    }

    void interruptedLongWriteIsRolledBack()
    {
        QTemporaryDir dir, crashed;
        const QString file = TestFiles::copyBuiltStore(dir.path());
        const int committed = 9;
        {
            TooltipStore store;
            store.Open(dir.path());
            for (int command = 0; command < committed; ++command)
                CommentScript::Run(store, command);
        }
        const qint64 sizeBefore = QFileInfo(file).size();
        // A write big enough to spill into the database file before it commits; a copy taken
        // in its middle is what a crash there leaves behind: changed pages beside a hot journal.
        const QString image = crashed.filePath(TooltipStore::FileName());
        Sql(file,
            {QStringLiteral("PRAGMA cache_size = 8"), QStringLiteral("BEGIN IMMEDIATE"),
             QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 4000) INSERT INTO "
                            "tblTooltip (Path, Tooltip) SELECT '/uncommitted/' || i, hex(randomblob(200)) FROM n"),
             QStringLiteral("UPDATE tblTooltip SET Tooltip = 'overwritten' WHERE Path NOT LIKE '/uncommitted/%'")},
            [&] {
                QFile::copy(file, image);
                QFile::copy(file + QStringLiteral("-journal"), image + QStringLiteral("-journal"));
            });
        QVERIFY(QFileInfo(image).size() > sizeBefore);
        QVERIFY(isHotJournal(image));

        QCOMPARE(reopenAsTheProgram(crashed.path()), QString());
        QVERIFY(!QFileInfo::exists(image + QStringLiteral("-journal")));
        QList<Row> rows;
        QCOMPARE(readIndependently(image, rows), QStringLiteral("ok"));
        QCOMPARE(rows, CommentScript::RowsAfter(committed));
    }

    // Re-keys that another program's lock refused wait in a journal; a crash in the middle
    // of adding one leaves half a line, which costs none of the complete ones, before or after.
    void tornRekeyJournalKeepsEveryCompleteLine()
    {
        QTemporaryDir dir;
        const QString file = TestFiles::copyBuiltStore(dir.path());
        TooltipStore store;
        store.Open(dir.path());
        QList<Row> renamed;
        for (int image = 0; image < 3; ++image) {
            CommentScript::Run(store, image * 4);  // a comment under OldPath(image)
            renamed << Row(CommentScript::NewPath(image), CommentScript::Tip(image, 0));
        }
        const auto renameWhileLocked = [&](int image) {
            int error = 0;
            Sql(file, {QStringLiteral("BEGIN EXCLUSIVE")}, [&] {
                error = ErrorOf([&] { UpdateTooltipPath(store, CommentScript::OldPath(image), CommentScript::NewPath(image)); });
            });
            QCOMPARE(error, 3260);  // locked
        };
        renameWhileLocked(0);
        renameWhileLocked(1);
        const QString journal = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + QStringLiteral("/tessel/comment-rekeys.journal");
        const QByteArray lines = TestFiles::read(journal);
        QCOMPARE(lines.count('\n'), 2);
        TestFiles::write(journal, lines + lines.left(lines.size() / 2 + lines.size() / 4));  // ends inside the second line
        renameWhileLocked(2);
        store.Close();

        QCOMPARE(reopenAsTheProgram(dir.path()), QString());
        QList<Row> rows;
        QCOMPARE(readIndependently(file, rows), QStringLiteral("ok"));
        std::sort(renamed.begin(), renamed.end());
        QCOMPARE(rows, renamed);
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "test_crash_safety.moc"
