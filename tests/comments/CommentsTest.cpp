// The comment store over real SQLite files in temporary folders, and the comment
// commands with scripted dialogs over such a file (over the in-memory engine where only
// it can fail the way a full disk does).
#include "CommentCommands.h"
#include "ErrorOf.h"
#include "FakeTooltipBackend.h"
#include "Globals.h"
#include "IPreviewTooltip.h"
#include "ShownDialogs.h"
#include "Sql.h"
#include "SqliteTooltipBackend.h"
#include "TestFiles.h"
#include "TooltipErrors.h"
#include "TooltipStore.h"
#include "TooltipStoreFile.h"

#include <QtTest>

#include <chrono>
#include <future>
#include <optional>
#include <thread>

namespace {
QStringList EntriesOf(const QString& sFolder)
{
    return QDir(sFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

// The comment handling of a main window over a fresh store, open, in a temporary folder;
// its image, named to trip up SQL text, has the comments `seed`, oldest first.
struct Window : IPreviewTooltip {
    QTemporaryDir dir;
    QString file = CreateStore(dir.path());
    QString image = dir.path() + QStringLiteral("/it's \"a\" or \"1\"=\"1; b.jpg");
    QString tooltip = QStringLiteral("untouched");
    TooltipStore store;
    ScriptedDialogs dialogs;
    Globals globals{dialogs};
    CommentCommands commands{store, globals, *this};

    explicit Window(const QStringList& seed)
    {
        store.Open(dir.path());
        for (const QString& comment : seed)
            AddComment(store, image, comment);
    }
    QString CurrentFile() const override { return image; }
    void SetToolTipText(const QString& sText) override { tooltip = sText; }

    // "Select" looks the image up as selecting it does; the other steps are menu commands.
    void run(const QString& steps)
    {
        for (const QString& step : steps.split(QLatin1Char(' ')))
            step == u"Select" ? store.Lookup(image)
            : step == u"New"  ? commands.NewTooltip()
            : step == u"Edit" ? commands.EditTooltip()
                              : commands.DeleteTooltip();
    }
};

const QString kNewPrompt = QStringLiteral("Insert a Comment for this Image");
const QString kEditPrompt = QStringLiteral("Insert a new Comment for this Image:");

// A row: the steps run over an image with the comments `seed`, the answer to a prompt
// (none expected when `prompt` is empty), the comments and tooltip afterwards.
struct Steps { QString steps; QStringList seed; QString answer, prompt; QStringList after; QString tooltip; };
// A store file made of `bytes` or by `bytes` as SQL, or missing, and the error opening it gives.
struct Unusable { QString kind; QByteArray bytes; int error; };
// A command run over a store in a condition that refuses it, and how its message ends: what
// could not be done, and why.
struct Refusal { QString command, condition, ending; };
// Copy B has the only row, a.jpg's, current; copy A meanwhile deletes it and comments on
// b.jpg (the row id comes back), or changes its text; then B runs `command`.
// The error B's command meets and the rows afterwards.
struct Meanwhile { QString other, command; int error; QStringList after; };
// Re-keys refused by another program's lock (`lock`: the SQL that holds it) of the renames
// `renames` ("old>new" ...), then applied by `trigger` once the lock is gone.
struct Blocked { QString lock; QStringList renames; QString trigger; QStringList after; };
}

Q_DECLARE_METATYPE(Steps)
Q_DECLARE_METATYPE(Unusable)
Q_DECLARE_METATYPE(Refusal)
Q_DECLARE_METATYPE(Meanwhile)
Q_DECLARE_METATYPE(Blocked)

class CommentsTest : public QObject {
    Q_OBJECT
    TestFiles::PrivateHome m_home;  // where pending re-keys are kept

private Q_SLOTS:
    // Keys a store splicing them into SQL text or LIKE patterns would mix up; the folder's
    // name holds characters with a meaning in URIs.
    void awkwardKeysKeepTheirOwnComments()
    {
        const QStringList keys = {"/pics/a.jpg", "/pics/A.jpg", "/pics/a\" or \"1\"=\"1.jpg", "/pics/semi;colon.jpg",
                                  "/pics/'; DROP TABLE tblTooltip; --.jpg", "/pics/100%_done.jpg", "/pics/new\nline.jpg"};
        QTemporaryDir temp;
        const QString folder = temp.path() + QStringLiteral("/odd ?#%20 folder");
        {
            OpenedStore first(folder);
            for (const QString& key : keys)
                AddComment(first.store, key, QStringLiteral("note of ") + key);
        }
        const QString file = folder + QStringLiteral("/Tooltips.mdb");
        Sql(file, {QStringLiteral("INSERT INTO tblTooltip VALUES ('/pics/no value.jpg', NULL)")});
        TooltipStore store;  // opened afresh: the comments were kept in the file
        store.Open(folder);
        // Each key finds its own comment; a probe that only matches one spliced into SQL, none.
        for (const QString& key : keys + QStringList{"/pics/b\" or \"1\"=\"1.jpg", "\" or \"\"=\"", "/pics/%", "/pics/a.jpg;"})
            QCOMPARE(store.LookupTooltip(key), keys.contains(key) ? Text(QStringLiteral("note of ") + key) : Text(QString()));
        // A comment without a value leaves the preview's tooltip alone.
        QCOMPARE(store.LookupTooltip(QStringLiteral("/pics/no value.jpg")), std::nullopt);
        QCOMPARE(AllRows(file).size(), keys.size() + 1);
    }

    void unusableFilesAreNotOpened_data()
    {
        QTest::addColumn<Unusable>("row");
        const QByteArray damaged = QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\xab');
        QTest::newRow("missing") << Unusable{"missing", {}, TooltipErr::FileNotFound};
        QTest::newRow("empty") << Unusable{"bytes", {}, TooltipErr::NotADatabase};
        QTest::newRow("damaged") << Unusable{"bytes", damaged, TooltipErr::NotADatabase};
        QTest::newRow("no table") << Unusable{"sql", "CREATE TABLE other (Path TEXT)", TooltipErr::TableMissing};
        QTest::newRow("no Tooltip") << Unusable{"sql", "CREATE TABLE tblTooltip (Path)", TooltipErr::TableMissing};
    }

    void unusableFilesAreNotOpened()
    {
        QFETCH(Unusable, row);
        const auto& [kind, bytes, error] = row;
        QTemporaryDir dir;
        const QString file = dir.path() + QStringLiteral("/Tooltips.mdb");
        if (kind == u"bytes")
            TestFiles::write(file, bytes);
        else if (kind == u"sql")
            Sql(file, {QString::fromUtf8(bytes)});
        const QStringList entriesBefore = EntriesOf(dir.path());
        const QByteArray contentsBefore = TestFiles::read(file);

        TooltipStore store;
        QCOMPARE(ErrorOf([&] { store.Open(dir.path()); }), error);
        QCOMPARE(EntriesOf(dir.path()), entriesBefore);  // nothing created, no journal left
        QCOMPARE(TestFiles::read(file), contentsBefore);
    }

    void rekeyingMovesOnlyTheFirstRow()
    {
        Window w({});
        TooltipStore& store = w.store;
        for (const char* comment : {"c1", "c2"})
            AddComment(store, QStringLiteral("/old.jpg"), QString::fromUtf8(comment));
        AddComment(store, QStringLiteral("/x.jpg"), QStringLiteral("x"));

        UpdateTooltipPath(store, QStringLiteral("/none.jpg"), QStringLiteral("/x.jpg"));  // no comment: nothing moves
        UpdateTooltipPath(store, QStringLiteral("/old.jpg"), QStringLiteral("/new.jpg"));
        QCOMPARE(AllRows(w.file), (QStringList{"/new.jpg|c1", "/old.jpg|c2", "/x.jpg|x"}));
        // The re-keyed row is current, for a Delete that follows.
        QCOMPARE(store.Field(QStringLiteral("Path")), Text("/new.jpg"));
        store.Close();  // without a store there is nothing to move, and no error
        UpdateTooltipPath(store, QStringLiteral("/new.jpg"), QStringLiteral("/other.jpg"));
    }

    // A row id the engine gave out again must not make a command of the other copy act on
    // someone else's comment; a row whose text changed meanwhile is not overwritten or deleted.
    void commandsActOnlyOnTheRowTheyFound_data()
    {
        QTest::addColumn<Meanwhile>("row");
        const int gone = TooltipErr::RecordDeleted;
        QTest::newRow("id reused, Delete") << Meanwhile{"reuse", "Delete", 0, {"/b.jpg|b's"}};
        QTest::newRow("id reused, Edit") << Meanwhile{"reuse", "Edit", gone, {"/b.jpg|b's"}};
        QTest::newRow("id reused, re-key") << Meanwhile{"reuse", "Rekey", gone, {"/b.jpg|b's"}};
        QTest::newRow("text changed, Delete") << Meanwhile{"change", "Delete", 0, {"/a.jpg|A's"}};
        QTest::newRow("text changed, Edit") << Meanwhile{"change", "Edit", gone, {"/a.jpg|A's"}};
        // The comment still belongs to the renamed file, whatever its text now is.
        QTest::newRow("text changed, re-key") << Meanwhile{"change", "Rekey", 0, {"/a2.jpg|A's"}};
    }

    void commandsActOnlyOnTheRowTheyFound()
    {
        QFETCH(Meanwhile, row);
        Window w({});
        TooltipStore& a = w.store;
        const QString aJpg = QStringLiteral("/a.jpg");
        AddComment(a, aJpg, QStringLiteral("a's"));
        TooltipStore b;
        b.Open(w.dir.path());
        b.Lookup(aJpg);

        a.Lookup(aJpg);
        row.other == u"change" ? EditComment(a, QStringLiteral("A's")) : a.Delete();
        if (row.other == u"reuse") {
            AddComment(a, QStringLiteral("/b.jpg"), QStringLiteral("b's"));
            QCOMPARE(Sql(w.file, {QStringLiteral("SELECT rowid FROM tblTooltip")}), QStringList{"1"});
        }
        const int error = ErrorOf([&] {
            if (row.command == u"Delete")
                return b.Delete();
            b.Edit();
            if (row.command == u"Edit")
                b.SetField(QStringLiteral("Tooltip"), QStringLiteral("B's"));
            else
                b.SetField(QStringLiteral("Path"), QStringLiteral("/a2.jpg"));
            b.Update();
        });
        QCOMPARE(error, row.error);
        QCOMPARE(AllRows(w.file), row.after);
    }

    // A rename's re-key that another program's lock refuses is kept and done later: the
    // comment ends under the file's last name, none stays under the old one.
    void rekeyRefusedByALockFollowsLater_data()
    {
        QTest::addColumn<Blocked>("row");
        const QString exclusive = QStringLiteral("BEGIN EXCLUSIVE"), immediate = QStringLiteral("BEGIN IMMEDIATE");
        QTest::newRow("another copy's start") << Blocked{immediate, {"/a.jpg>/b.jpg"}, "other copy", {"/b.jpg|a's"}};
        QTest::newRow("next write")
            << Blocked{immediate, {"/a.jpg>/b.jpg"}, "write", {"/b.jpg|a's", "/w.jpg|w"}};
        QTest::newRow("renamed twice, next start")
            << Blocked{exclusive, {"/a.jpg>/b.jpg", "/b.jpg>/c.jpg"}, "reopen", {"/c.jpg|a's"}};
    }

    void rekeyRefusedByALockFollowsLater()
    {
        QFETCH(Blocked, row);
        Window w({});
        TooltipStore& store = w.store;
        AddComment(store, QStringLiteral("/a.jpg"), QStringLiteral("a's"));
        QList<int> errors;
        Sql(w.file, {row.lock}, [&] {
            for (const QString& rename : row.renames)
                errors << ErrorOf([&] { UpdateTooltipPath(store, rename.section('>', 0, 0), rename.section('>', 1)); });
        });
        // Reported as failed, as the rename's message says.
        QCOMPARE(errors, QList<int>(row.renames.size(), TooltipErr::Locked));

        TooltipStore other;
        if (row.trigger == u"write")
            AddComment(store, QStringLiteral("/w.jpg"), QStringLiteral("w"));
        else  // this copy's next start (Open closes the store first), or another copy's start
            (row.trigger == u"reopen" ? store : other).Open(w.dir.path());
        QCOMPARE(AllRows(w.file), row.after);
        // Done once only: a new comment under the old name stays there.
        AddComment(store, QStringLiteral("/a.jpg"), QStringLiteral("new a"));
        store.Open(w.dir.path());  // the next start
        QCOMPARE(store.LookupTooltip(QStringLiteral("/a.jpg")), Text("new a"));
    }

    void busyStoreIsWaitedOut()
    {
        Window w({});
        std::promise<void> holding;
        std::thread other([&] {  // another copy holds the write lock for 400 ms
            Sql(w.file, {QStringLiteral("BEGIN IMMEDIATE")}, [&] {
                holding.set_value();
                std::this_thread::sleep_for(std::chrono::milliseconds(400));
            });
        });
        holding.get_future().wait();
        const int error = ErrorOf([&] { AddComment(w.store, QStringLiteral("/m.jpg"), QStringLiteral("mine")); });
        other.join();
        QCOMPARE(error, 0);
        QCOMPARE(AllRows(w.file), QStringList{"/m.jpg|mine"});
    }

    // A cancelled New, blanks kept, a second comment and Edit without a comment are driven
    // through the real window by the preview test and the acceptance run.
    void commandsActOnTheFirstRow_data()
    {
        QTest::addColumn<Steps>("row");
        const QStringList one{"first"}, two{"first", "second"};
        // New does not move the current record: Delete still removes the selected comment.
        QTest::newRow("New, then Delete") << Steps{"Select New Delete", one, "second", kNewPrompt, {"second"}, ""};
        QTest::newRow("Edit, emptied") << Steps{"Edit", two, "", kEditPrompt, two, "untouched"};
        QTest::newRow("Edit, changed") << Steps{"Edit", two, "new", kEditPrompt, {"new", "second"}, "untouched"};
        QString big;
        for (int i = 0; big.size() < 100 * 1024; ++i)
            big += QStringLiteral("sentence %1 of a long comment. ").arg(i);
        QTest::newRow("Edit, 100 KB confirmed unchanged") << Steps{"Edit", {big}, big, kEditPrompt, {big}, "untouched"};
        QTest::newRow("New, 100 KB") << Steps{"New", {}, big, kNewPrompt, {big}, big};
        QTest::newRow("Delete twice") << Steps{"Select Delete Delete", two, "", "", {"second"}, ""};
        QTest::newRow("Delete, nothing selected") << Steps{"Delete", one, "", "", one, "untouched"};
    }

    void commandsActOnTheFirstRow()
    {
        QFETCH(Steps, row);
        auto [steps, seed, answer, prompt, after, tooltip] = row;
        Window w(seed);
        w.dialogs.queueInputAnswer(answer);
        // A command that changes no comment does not write at all, also not the same text back:
        // another copy holding the write lock meanwhile does not stop it.
        if (after == seed)
            Sql(w.file, {QStringLiteral("BEGIN IMMEDIATE")}, [&] { w.run(steps); });
        else
            w.run(steps);
        // The prompt only: no confirmation, no error.
        const QString box = QStringLiteral("InputBox|%1|0|Images Browser and Viewer|%2")
                                .arg(prompt, prompt == kEditPrompt ? seed.first() : QString());
        QCOMPARE(Shown(w.dialogs), prompt.isEmpty() ? QStringList() : QStringList{box});
        QCOMPARE(w.tooltip, tooltip);
        for (QString& comment : after)  // every row belongs to the image
            comment.prepend(w.image + QLatin1Char('|'));
        QCOMPARE(AllRows(w.file), after);
    }

    // When the comment cannot be stored, each command says so in one sentence and changes
    // nothing; it does not ask for a text that it knows it cannot keep.
    void refusedChanges_data()
    {
        QTest::addColumn<Refusal>("row");
        // Each command, each reason, and a failure after each prompt have a row.
        QTest::newRow("New, not opened") << Refusal{"New", "not opened", "saved: the comment database is not open"};
        QTest::newRow("New, locked") << Refusal{"New", "locked", "saved: the comment database is locked by another program"};
        QTest::newRow("Edit, read-only") << Refusal{"Edit", "read-only", "changed: the comment database is read-only"};
        QTest::newRow("Edit, disk full") << Refusal{"Edit", "disk full", "changed: the disk holding the comment database is full"};
        QTest::newRow("Delete, Jet file") << Refusal{"Delete", "Jet file", "deleted: the file %1 is not a comment database"};
        QTest::newRow("Delete, read-only") << Refusal{"Delete", "read-only", "deleted: the comment database is read-only"};
    }

    void refusedChanges()
    {
        QFETCH(Refusal, row);
        auto [command, condition, ending] = row;
        Window w({QStringLiteral("old")});
        w.store.Close();
        if (condition == u"Jet file") {
            TestFiles::write(w.file, QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20));
            QCOMPARE(ErrorOf([&] { w.store.Open(w.dir.path()); }), TooltipErr::NotADatabase);
            ending = ending.arg(w.file);
        } else if (condition == u"disk full") {
            // No disk fills up in a test run: the in-memory engine refuses the write instead.
            auto fake = std::make_unique<FakeTooltipBackend>();
            fake->AddRow(w.image, QStringLiteral("old"));
            fake->RefuseWrites(TooltipErr::DiskFull);
            w.store.Open(std::move(fake));
        } else if (condition != u"not opened") {
            const auto access = condition == u"read-only" ? SqliteTooltipBackend::Access::ReadOnly
                                                          : SqliteTooltipBackend::Access::Auto;
            w.store.Open(std::make_unique<SqliteTooltipBackend>(w.file, access, 100));
        }
        const QByteArray fileBefore = TestFiles::read(w.file);
        w.dialogs.queueInputAnswer(QStringLiteral("new text"));
        const QString steps = w.store.IsOpen() ? QStringLiteral("Select ") + command : command;

        if (condition == u"locked")  // another copy holds the write lock meanwhile
            Sql(w.file, {QStringLiteral("BEGIN IMMEDIATE")}, [&] { w.run(steps); });
        else
            w.run(steps);
        // Only a refusal the store cannot foresee comes after the prompt.
        const bool foreseen = condition != u"locked" && condition != u"disk full";
        QCOMPARE(w.dialogs.calls().size(), command != u"Delete" && !foreseen ? 2 : 1);
        QCOMPARE(Shown(w.dialogs).last(), ErrorBox(QStringLiteral("The comment could not be %1.").arg(ending)));
        QCOMPARE(w.tooltip, QStringLiteral("untouched"));
        QCOMPARE(TestFiles::read(w.file), fileBefore);
    }
};

QTEST_GUILESS_MAIN(CommentsTest)
#include "CommentsTest.moc"
