#include "CommentsTest.h"
#include "FakeTooltipBackend.h"
#include "SqliteTooltipBackend.h"
#include "TooltipErrors.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <chrono>
#include <future>
#include <thread>

namespace {
// Keys that a store splicing them into SQL text would mix up.
const QStringList kAwkwardKeys = {
    "/pics/a.jpg", "/pics/A.jpg", "/pics/a\" or \"1\"=\"1.jpg", "/pics/semi;colon.jpg",
    "/pics/it's.jpg", "/pics/'; DROP TABLE tblTooltip; --.jpg", "/pics/100%_done.jpg",
    "/pics/back\\slash.jpg", "//root.jpg", QStringLiteral("/pics/\u00dcmlaut \u732b.jpg"),
    "/pics/trailing blank.jpg ",
};
}

void CommentsTest::initTestCase()
{
    QVERIFY(m_temp.isValid());
    // Characters with a meaning in URIs, to show the file's name reaches the engine intact.
    m_awkwardFolder = m_temp.path() + QStringLiteral("/odd ?#%20 folder");
    QVERIFY(QDir().mkpath(m_awkwardFolder));
    CreateStore(m_awkwardFolder);
    TooltipStore store;
    store.Open(m_awkwardFolder);
    for (const QString& key : kAwkwardKeys)
        AddComment(store, key, QStringLiteral("note of ") + key);
}

void CommentsTest::keysAreMatchedExactly_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    for (const QString& key : kAwkwardKeys)
        QTest::newRow(qPrintable(key)) << key << QStringLiteral("note of ") + key;
    for (const char* probe : {"/pics/b\" or \"1\"=\"1.jpg", "\" or \"\"=\"", "/pics/%", "/pics/a.jpg;",
                              "/pics/a.JPG", "/root.jpg", "/pics/trailing blank.jpg", ""})
        QTest::newRow(probe) << QString::fromUtf8(probe) << QString();
}

void CommentsTest::keysAreMatchedExactly()
{
    QFETCH(QString, key);
    QFETCH(QString, expected);
    TooltipStore store;  // opened afresh: the comments were kept in the file
    store.Open(m_awkwardFolder);
    QCOMPARE(store.LookupTooltip(key), Text(expected));
    QCOMPARE(store.AbsolutePosition(), expected.isEmpty() ? -1 : 0);
    if (!expected.isEmpty())
        QCOMPARE(store.Field(QStringLiteral("Path")), Text(key));
    QCOMPARE(AllRows(m_awkwardFolder + QStringLiteral("/Tooltips.mdb")).size(), kAwkwardKeys.size());
}

void CommentsTest::unusableFilesAreNotOpened_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("error");
    const QByteArray damaged = QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\xab');
    QTest::newRow("missing") << "missing" << QByteArray() << TooltipErr::FileNotFound;
    QTest::newRow("empty") << "bytes" << QByteArray() << TooltipErr::NotADatabase;
    QTest::newRow("Jet database") << "bytes" << kJetHeader + QByteArray(2028, '\0') << TooltipErr::NotADatabase;
    QTest::newRow("damaged") << "bytes" << damaged << TooltipErr::NotADatabase;
    QTest::newRow("truncated") << "truncated" << QByteArray() << TooltipErr::Corrupt;
    QTest::newRow("no table") << "sql" << QByteArray("CREATE TABLE other (Path TEXT)") << TooltipErr::TableMissing;
    QTest::newRow("no Tooltip field") << "sql" << QByteArray("CREATE TABLE tblTooltip (Path TEXT)")
                                      << TooltipErr::TableMissing;
    QTest::newRow("folder") << "folder" << QByteArray() << TooltipErr::CannotRead;
}

void CommentsTest::unusableFilesAreNotOpened()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(int, error);
    QTemporaryDir dir;
    const QString file = dir.path() + QStringLiteral("/Tooltips.mdb");
    if (kind == QLatin1String("bytes"))
        WriteFile(file, bytes);
    else if (kind == QLatin1String("sql"))
        Exec(file, {QString::fromUtf8(bytes)});
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkdir(file));
    else if (kind == QLatin1String("truncated"))
        WriteFile(file, Contents(CreateStore(dir.path())).left(60));
    const QStringList entriesBefore = EntriesOf(dir.path());
    const QByteArray contentsBefore = Contents(file);

    TooltipStore store;
    QString why;
    try {
        store.Open(dir.path());
        QFAIL("the store opened");
    } catch (const AppError& e) {
        QCOMPARE(e.Number(), error);
        why = e.Description();
    }
    QVERIFY(!store.IsOpen());
    QCOMPARE(EntriesOf(dir.path()), entriesBefore);  // nothing created, no journal left
    QCOMPARE(Contents(file), contentsBefore);
    // Later use reports the store as not open, and why.
    try {
        store.LookupTooltip(QStringLiteral("/a.jpg"));
        QFAIL("a lookup succeeded without a store");
    } catch (const AppError& e) {
        QCOMPARE(e.Number(), TooltipErr::NotOpen);
        QCOMPARE(e.Description(), why);
    }
}

void CommentsTest::readOnlyStoreShowsButRefuses_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("opened read-only") << "open";
    QTest::newRow("file mode 0444") << "file";
    QTest::newRow("folder mode 0555") << "folder";
}

void CommentsTest::readOnlyStoreShowsButRefuses()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    const QString file = CreateStore(dir.path());
    const QString key = QStringLiteral("/p/a.jpg");
    Exec(file, {QStringLiteral("INSERT INTO tblTooltip VALUES ('/p/a.jpg', 'kept')")});
    const QByteArray before = Contents(file);
    const QStringList entriesBefore = EntriesOf(dir.path());
    const QString target = how == QLatin1String("folder") ? dir.path() : file;
    const QFile::Permissions mode = QFile::permissions(target);
    const auto restore = qScopeGuard([&] { QFile::setPermissions(target, mode); });

    TooltipStore store;
    if (how == QLatin1String("open")) {
        store.Open(std::make_unique<SqliteTooltipBackend>(file, SqliteTooltipBackend::Access::ReadOnly));
    } else {
        QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
        if (how == QLatin1String("folder"))
            readOnly |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(target, readOnly));
        if (QFileInfo(target).isWritable())
            QSKIP("this user may write to read-only files; the read-only opening covers the engine");
        store.Open(dir.path());
    }
    QVERIFY(store.IsReadOnly());
    QCOMPARE(store.LookupTooltip(key), Text("kept"));
    QCOMPARE(ErrorOf([&] { store.CheckWritable(); }), TooltipErr::ReadOnly);
    // The engine itself refuses each kind of change.
    QCOMPARE(ErrorOf([&] { AddComment(store, QStringLiteral("/p/b.jpg"), QStringLiteral("new")); }),
             TooltipErr::ReadOnly);
    QCOMPARE(ErrorOf([&] {
                 store.Edit();
                 store.SetField(QStringLiteral("Tooltip"), QStringLiteral("changed"));
                 store.Update();
             }),
             TooltipErr::ReadOnly);
    QCOMPARE(ErrorOf([&] { UpdateTooltipPath(store, key, QStringLiteral("/p/c.jpg")); }), TooltipErr::ReadOnly);
    QCOMPARE(ErrorOf([&] { store.Delete(); }), TooltipErr::ReadOnly);
    QCOMPARE(store.LookupTooltip(key), Text("kept"));
    store.Close();
    QCOMPARE(Contents(file), before);
    QCOMPARE(EntriesOf(dir.path()), entriesBefore);
}

void CommentsTest::recordsetFollowsTheFirstRow_data()
{
    QTest::addColumn<bool>("fake");
    QTest::newRow("SQLite file") << false;
    QTest::newRow("in-memory fake") << true;
}

// Both backends behave alike, so higher layers may test over the fake.
void CommentsTest::recordsetFollowsTheFirstRow()
{
    QFETCH(bool, fake);
    QTemporaryDir dir;
    TooltipStore store;
    if (fake) {
        auto backend = std::make_unique<FakeTooltipBackend>();
        backend->AddRow(QStringLiteral("/n.jpg"), std::nullopt);
        store.Open(std::move(backend));
    } else {
        Exec(CreateStore(dir.path()), {QStringLiteral("INSERT INTO tblTooltip (Path) VALUES ('/n.jpg')")});
        store.Open(dir.path());
    }
    const QString key = QStringLiteral("/k.jpg");
    const auto tooltip = [&] { return store.Field(QStringLiteral("Tooltip")); };

    QCOMPARE(store.AbsolutePosition(), -1);
    AddComment(store, key, QStringLiteral("first"));
    QCOMPARE(store.AbsolutePosition(), -1);  // adding does not move the current record
    store.Lookup(key);
    AddComment(store, key, QStringLiteral("second"));
    QCOMPARE(tooltip(), Text("first"));
    store.Lookup(key);
    QCOMPARE(tooltip(), Text("first"));
    store.Edit();
    store.SetField(QStringLiteral("Tooltip"), QStringLiteral("first, edited"));
    store.Update();
    store.Lookup(key);
    QCOMPARE(tooltip(), Text("first, edited"));
    store.Delete();
    QCOMPARE(store.AbsolutePosition(), -1);
    QCOMPARE(ErrorOf([&] { tooltip(); }), TooltipErr::NoCurrentRecord);
    QCOMPARE(store.LookupTooltip(key), Text("second"));
    // A comment without a value leaves the preview's tooltip alone.
    QCOMPARE(store.LookupTooltip(QStringLiteral("/n.jpg")), std::nullopt);
}

void CommentsTest::rekeyingMovesOnlyTheFirstRow_data()
{
    QTest::addColumn<QStringList>("comments");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("one comment") << QStringList{"c"} << QStringList{"/new.jpg|c", "/x.jpg|x"};
    QTest::newRow("two comments") << QStringList{"c1", "c2"} << QStringList{"/new.jpg|c1", "/old.jpg|c2", "/x.jpg|x"};
    QTest::newRow("no comment") << QStringList{} << QStringList{"/x.jpg|x"};
}

void CommentsTest::rekeyingMovesOnlyTheFirstRow()
{
    QFETCH(QStringList, comments);
    QFETCH(QStringList, after);
    QTemporaryDir dir;
    const QString file = CreateStore(dir.path());
    TooltipStore store;
    store.Open(dir.path());
    for (const QString& comment : comments)
        AddComment(store, QStringLiteral("/old.jpg"), comment);
    AddComment(store, QStringLiteral("/x.jpg"), QStringLiteral("x"));

    UpdateTooltipPath(store, QStringLiteral("/old.jpg"), QStringLiteral("/new.jpg"));
    QStringList rows = AllRows(file);
    rows.sort();
    QCOMPARE(rows, after);
    if (!comments.isEmpty())  // the re-keyed row is current, for a Delete that follows
        QCOMPARE(store.Field(QStringLiteral("Path")), Text("/new.jpg"));
    store.Close();  // without a store there is nothing to move, and no error
    UpdateTooltipPath(store, QStringLiteral("/new.jpg"), QStringLiteral("/other.jpg"));
}

void CommentsTest::twoCopiesShareTheFile()
{
    QTemporaryDir dir;
    const QString file = CreateStore(dir.path());
    const QString key = QStringLiteral("/shared.jpg");
    TooltipStore first;
    TooltipStore second;
    first.Open(dir.path());
    second.Open(dir.path());

    QCOMPARE(first.LookupTooltip(key), Text(""));
    AddComment(second, key, QStringLiteral("from the second"));
    QCOMPARE(first.LookupTooltip(key), Text("from the second"));
    second.Lookup(key);
    second.Edit();
    second.SetField(QStringLiteral("Tooltip"), QStringLiteral("edited by the second"));
    second.Update();  // while the first holds the same row
    QCOMPARE(first.LookupTooltip(key), Text("edited by the second"));

    // One copy removes the row the other has current.
    second.Delete();
    first.Edit();
    first.SetField(QStringLiteral("Tooltip"), QStringLiteral("too late"));
    QCOMPARE(ErrorOf([&] { first.Update(); }), TooltipErr::RecordDeleted);
    QCOMPARE(ErrorOf([&] { first.Delete(); }), 0);
    QCOMPARE(AllRows(file), QStringList());
}

void CommentsTest::busyStoreIsWaitedForThenReported()
{
    QTemporaryDir dir;
    const QString file = CreateStore(dir.path());
    const auto beginWrite = [&](const QString& name) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        return db.open() && QSqlQuery(db).exec(QStringLiteral("BEGIN IMMEDIATE"));
    };
    TooltipStore store;
    store.Open(dir.path());

    // Another copy writes for a moment: this one waits and then succeeds.
    std::promise<bool> holding;
    std::thread other([&] {
        holding.set_value(beginWrite(QStringLiteral("other")));
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        QSqlQuery(QSqlDatabase::database(QStringLiteral("other"), false)).exec(QStringLiteral("COMMIT"));
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
    });
    QVERIFY(holding.get_future().get());
    QElapsedTimer timer;
    timer.start();
    const int error = ErrorOf([&] { AddComment(store, QStringLiteral("/m.jpg"), QStringLiteral("mine")); });
    const qint64 waited = timer.elapsed();
    other.join();
    QCOMPARE(error, 0);
    QVERIFY2(waited >= 300, qPrintable(QString::number(waited)));

    // A lock held past the busy timeout is reported, and the store stays usable.
    TooltipStore impatient;
    impatient.Open(std::make_unique<SqliteTooltipBackend>(file, SqliteTooltipBackend::Access::Auto, 100));
    QVERIFY(beginWrite(QStringLiteral("holder")));
    QCOMPARE(ErrorOf([&] { AddComment(impatient, QStringLiteral("/l.jpg"), QStringLiteral("late")); }),
             TooltipErr::Locked);
    QSqlQuery(QSqlDatabase::database(QStringLiteral("holder"), false)).exec(QStringLiteral("ROLLBACK"));
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    AddComment(impatient, QStringLiteral("/l.jpg"), QStringLiteral("late"));
    QCOMPARE(AllRows(file), (QStringList{"/m.jpg|mine", "/l.jpg|late"}));
}

void CommentsTest::buildCreatesStoreOnlyWhenMissing()
{
    const QString indexSql = QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'tblTooltip' AND sql LIKE '%(Path)%'");
    const QString built = QStringLiteral(TESSEL_BUILT_STORE);  // beside the executable
    QVERIFY2(QFileInfo::exists(built), qPrintable(built));
    QCOMPARE(ErrorOf([&] { SqliteTooltipBackend probe(built, SqliteTooltipBackend::Access::ReadOnly); }), 0);
    QCOMPARE(Query(built, indexSql).size(), 1);

    const auto runScript = [](const QString& store) {
        QProcess cmake;
        cmake.start(QStringLiteral(TESSEL_CMAKE_COMMAND),
                    {QStringLiteral("-DSQLITE3=" TESSEL_SQLITE3), QStringLiteral("-DSCHEMA=" TESSEL_TOOLTIP_SCHEMA_FILE),
                     QStringLiteral("-DSTORE=") + store, QStringLiteral("-P"),
                     QStringLiteral(TESSEL_TOOLTIP_STORE_SCRIPT)});
        return cmake.waitForFinished(60000) && cmake.exitStatus() == QProcess::NormalExit && cmake.exitCode() == 0;
    };
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/new");
    const QString created = folder + QStringLiteral("/Tooltips.mdb");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(runScript(created));
    QCOMPARE(EntriesOf(folder), QStringList{"Tooltips.mdb"});
    QCOMPARE(Query(created, indexSql).size(), 1);
    TooltipStore store;
    store.Open(folder);
    QVERIFY(!store.IsReadOnly());
    AddComment(store, QStringLiteral("/a.jpg"), QStringLiteral("kept"));
    store.Close();

    // Existing files, the user's store or not, are left exactly as they are.
    const QString foreign = dir.path() + QStringLiteral("/Tooltips.mdb");
    WriteFile(foreign, kJetHeader);
    for (const QString& existing : {created, foreign}) {
        const QByteArray before = Contents(existing);
        QVERIFY(runScript(existing));
        QCOMPARE(Contents(existing), before);
    }
    QCOMPARE(AllRows(created), QStringList{"/a.jpg|kept"});
}
