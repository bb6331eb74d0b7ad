#include "CommentsTest.h"
#include "SqliteTooltipBackend.h"
#include "TooltipErrors.h"

#include <chrono>
#include <future>
#include <thread>

// Keys a store splicing them into SQL text or LIKE patterns would mix up; the folder's
// name holds characters with a meaning in URIs.
void CommentsTest::awkwardKeysKeepTheirOwnComments()
{
    const QStringList keys = {"/pics/a.jpg", "/pics/A.jpg", "/pics/a\" or \"1\"=\"1.jpg", "/pics/semi;colon.jpg",
                              "/pics/'; DROP TABLE tblTooltip; --.jpg", "/pics/100%_done.jpg"};
    QTemporaryDir temp;
    const QString folder = temp.path() + QStringLiteral("/odd ?#%20 folder");
    QVERIFY(QDir().mkpath(folder));
    const QString file = CreateStore(folder);
    {
        TooltipStore store;
        store.Open(folder);
        for (const QString& key : keys)
            AddComment(store, key, QStringLiteral("note of ") + key);
    }
    TooltipStore store;  // opened afresh: the comments were kept in the file
    store.Open(folder);
    for (const QString& key : keys)
        QCOMPARE(store.LookupTooltip(key), Text(QStringLiteral("note of ") + key));
    for (const char* probe : {"/pics/b\" or \"1\"=\"1.jpg", "\" or \"\"=\"", "/pics/%", "/pics/a.jpg;"})
        QCOMPARE(store.LookupTooltip(QString::fromUtf8(probe)), Text(""));
    QCOMPARE(AllRows(file).size(), keys.size());
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
    QTest::newRow("no table") << "sql" << QByteArray("CREATE TABLE other (Path TEXT)") << TooltipErr::TableMissing;
    QTest::newRow("no Tooltip") << "sql" << QByteArray("CREATE TABLE tblTooltip (Path)") << TooltipErr::TableMissing;
}

void CommentsTest::unusableFilesAreNotOpened()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(int, error);
    QTemporaryDir dir;
    const QString file = dir.path() + QStringLiteral("/Tooltips.mdb");
    if (kind == u"bytes")
        WriteFile(file, bytes);
    else if (kind == u"sql")
        Sql(file, {QString::fromUtf8(bytes)});
    const QStringList entriesBefore = EntriesOf(dir.path());
    const QByteArray contentsBefore = Contents(file);

    TooltipStore store;
    QCOMPARE(ErrorOf([&] { store.Open(dir.path()); }), error);
    QVERIFY(!store.IsOpen());
    QCOMPARE(EntriesOf(dir.path()), entriesBefore);  // nothing created, no journal left
    QCOMPARE(Contents(file), contentsBefore);
}

void CommentsTest::readOnlyStoreShowsButRefuses()
{
    QTemporaryDir dir;
    const QString file = CreateStore(dir.path());
    const QString key = QStringLiteral("/p/a.jpg");
    Sql(file, {QStringLiteral("INSERT INTO tblTooltip VALUES ('/p/a.jpg', 'kept'), ('/p/n.jpg', NULL)")});
    const QByteArray before = Contents(file);
    TooltipStore store;
    store.Open(std::make_unique<SqliteTooltipBackend>(file, SqliteTooltipBackend::Access::ReadOnly));
    // A comment without a value leaves the preview's tooltip alone.
    QCOMPARE(store.LookupTooltip(QStringLiteral("/p/n.jpg")), std::nullopt);
    // The engine itself refuses each kind of change.
    const std::function<void()> changes[] = {
        [&] { AddComment(store, QStringLiteral("/p/b.jpg"), QStringLiteral("new")); },
        [&] { store.Edit(); store.SetField(QStringLiteral("Tooltip"), QStringLiteral("changed")); store.Update(); },
        [&] { UpdateTooltipPath(store, key, QStringLiteral("/p/c.jpg")); },
        [&] { store.Delete(); },
    };
    for (const auto& change : changes) {
        QCOMPARE(store.LookupTooltip(key), Text("kept"));
        QCOMPARE(ErrorOf(change), TooltipErr::ReadOnly);
    }
    store.Close();
    QCOMPARE(Contents(file), before);
    QCOMPARE(EntriesOf(dir.path()), QStringList{"Tooltips.mdb"});
}

void CommentsTest::rekeyingMovesOnlyTheFirstRow()
{
    QTemporaryDir dir;
    const QString file = CreateStore(dir.path());
    TooltipStore store;
    store.Open(dir.path());
    for (const char* comment : {"c1", "c2"})
        AddComment(store, QStringLiteral("/old.jpg"), QString::fromUtf8(comment));
    AddComment(store, QStringLiteral("/x.jpg"), QStringLiteral("x"));

    UpdateTooltipPath(store, QStringLiteral("/none.jpg"), QStringLiteral("/x.jpg"));  // no comment: nothing moves
    UpdateTooltipPath(store, QStringLiteral("/old.jpg"), QStringLiteral("/new.jpg"));
    QCOMPARE(AllRows(file), (QStringList{"/new.jpg|c1", "/old.jpg|c2", "/x.jpg|x"}));
    // The re-keyed row is current, for a Delete that follows.
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
    QCOMPARE(AllRows(file), QStringList());
}

void CommentsTest::busyStoreIsWaitedOut()
{
    QTemporaryDir dir;
    const QString file = CreateStore(dir.path());
    TooltipStore store;
    store.Open(dir.path());
    std::promise<void> holding;
    std::thread other([&] {  // another copy holds the write lock for 400 ms
        Sql(file, {QStringLiteral("BEGIN IMMEDIATE")}, [&] {
            holding.set_value();
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
        });
    });
    holding.get_future().wait();
    const int error = ErrorOf([&] { AddComment(store, QStringLiteral("/m.jpg"), QStringLiteral("mine")); });
    other.join();
    QCOMPARE(error, 0);
    QCOMPARE(AllRows(file), QStringList{"/m.jpg|mine"});
}

void CommentsTest::buildCreatedTheStore()
{
    const QString built = QStringLiteral(TESSEL_BUILT_STORE);  // beside the executable
    QVERIFY2(QFile::exists(built), qPrintable(built));
    QCOMPARE(ErrorOf([&] { SqliteTooltipBackend probe(built, SqliteTooltipBackend::Access::ReadOnly); }), 0);
}
