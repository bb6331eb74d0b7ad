// Comments that follow their images: the comment attribute an image file carries, the
// relinking of a selected image that another program moved, and the CSV backup.
#include "CommentsCsv.h"
#include "ErrorOf.h"
#include "ScriptedFileComment.h"
#include "TestFiles.h"
#include "TooltipStore.h"
#include "TooltipStoreFile.h"

#include <QtTest>

namespace {
// What the preview shows when sPath is selected: the selection's worker-side read.
Text Selected(TooltipStore& store, const QString& sPath)
{
    return TooltipStore::TooltipOf(store.Reader()(sPath));
}

// A commented /p/a.jpg (device 1, inode 7, 100 bytes, time 5) on a file system with or
// without user attributes; then another program's `change` ("rename", "remove", "new"
// with the identity `other` at /p/b.jpg); the comment /p/b.jpg shows, the rows afterwards.
struct Elsewhere { bool attributes; QStringList changes; FileIdentity other; QString shown; QStringList after; };
}

Q_DECLARE_METATYPE(Elsewhere)

class CommentTravelTest : public QObject {
    Q_OBJECT
    TestFiles::PrivateHome m_home;  // where pending re-keys are kept

private Q_SLOTS:
    // The comment of a real image file, which another program then moves to another file
    // system, where only the attribute it carries can tell what it is: selecting the file
    // where it went shows the comment, from one row under the new path. A rename by a shell,
    // with and without the attribute, is in the acceptance run (which also reads the
    // attribute itself); a copy that carries the attribute is a row of the relinking table.
    void followsFilesMovedByOthers()
    {
        QTemporaryDir dir;
        QTemporaryDir shm(QStringLiteral("/dev/shm/tessel-travel-XXXXXX"));
        QVERIFY(shm.isValid());
        OpenedStore s(dir.path());
        const QString image = dir.path() + QStringLiteral("/pics/sea, \"blue\".jpg");
        TestFiles::write(image, "picture bytes");
        const QString text = QStringLiteral("Sunset, \"at\" the pier\nsecond line");
        AddComment(s.store, image, text);

        const QString moved = shm.path() + QStringLiteral("/moved.jpg");
        QCOMPARE(QProcess::execute(QStringLiteral("mv"), {image, moved}), 0);
        QCOMPARE(Selected(s.store, moved), Text(text));
        QCOMPARE(Selected(s.store, moved), Text(text));  // selected again: nothing more added
        QCOMPARE(AllRows(s.file), QStringList{moved + QLatin1Char('|') + text});
    }

    // Relinking over made-up files, on a store made before identities were kept (the
    // program adds the table): a comment is re-keyed only from a file that is gone, by its
    // carried text (moving it to another file system is the test above) or by all four parts
    // of its identity, never onto another file.
    void relinksOnlyTheSameFile_data()
    {
        QTest::addColumn<Elsewhere>("row");
        const FileIdentity same{1, 7, 100, 5};
        const QStringList stays{"/p/a.jpg|sea"}, moved{"/p/b.jpg|sea"};
        QTest::newRow("no attributes, renamed") << Elsewhere{false, {"rename"}, same, "sea", moved};
        QTest::newRow("another file, other inode") << Elsewhere{false, {"remove", "new"}, {1, 8, 100, 5}, "", stays};
        QTest::newRow("inode reused, other size") << Elsewhere{false, {"remove", "new"}, {1, 7, 101, 5}, "", stays};
        QTest::newRow("inode reused, other time") << Elsewhere{false, {"remove", "new"}, {1, 7, 100, 6}, "", stays};
        QTest::newRow("inode reused, other device") << Elsewhere{false, {"remove", "new"}, {3, 7, 100, 5}, "", stays};
        // A hard link, or a copy with the attribute, while the commented file is still there.
        QTest::newRow("hard link, original kept") << Elsewhere{false, {"new"}, same, "", stays};
        QTest::newRow("copy with attribute, original kept")
            << Elsewhere{true, {"copy"}, {1, 8, 100, 5}, "sea", {"/p/a.jpg|sea", "/p/b.jpg|sea"}};
    }

    void relinksOnlyTheSameFile()
    {
        QFETCH(Elsewhere, row);
        QTemporaryDir dir;
        const QString file = dir.path() + QStringLiteral("/Tooltips.mdb");
        Sql(file, {QStringLiteral("CREATE TABLE tblTooltip (Path TEXT, Tooltip TEXT)")});
        const QString a = QStringLiteral("/p/a.jpg"), b = QStringLiteral("/p/b.jpg");
        auto files = std::make_shared<ScriptedFileComment>();
        files->SetSupportsAttributes(row.attributes);
        files->SetFile(a, {1, 7, 100, 5});
        TooltipStore store;
        store.SetFileComment(files);
        store.Open(dir.path());
        AddComment(store, a, QStringLiteral("sea"));
        for (const QString& change : row.changes) {
            if (change == u"rename")
                files->MoveFile(a, b, row.other);
            else if (change == u"remove")
                files->RemoveFile(a);
            else if (change == u"copy")
                files->SetFile(b, row.other), files->WriteComment(b, QStringLiteral("sea"));
            else
                files->SetFile(b, row.other);
        }
        QCOMPARE(Selected(store, b), Text(row.shown));
        QCOMPARE(AllRows(file), row.after);
        // The identity table has one entry per commented path.
        const QStringList commented = Sql(file, {QStringLiteral("SELECT DISTINCT Path FROM tblTooltip ORDER BY Path")});
        QCOMPARE(Sql(file, {QStringLiteral("SELECT Path FROM tblIdentity ORDER BY Path")}), commented);
    }

    // The attribute shows the image's first comment after every command that changes one,
    // and goes with the last; the program's own rename takes it to the new name, also to
    // another file system, which the file's copy arrives on without attributes.
    void attributeFollowsEveryWrite()
    {
        QTemporaryDir dir;
        const QString a = QStringLiteral("/p/a.jpg"), b = QStringLiteral("/q/b.jpg");
        auto files = std::make_shared<ScriptedFileComment>();
        files->SetFile(a, {1, 7, 100, 5});
        OpenedStore s(dir.path(), files);
        TooltipStore& store = s.store;
        const auto identities = [&] {
            return Sql(s.file, {QStringLiteral("SELECT Path || ' ' || Device || ' ' || Inode || ' ' || Size || ' ' || "
                                             "MTimeNs FROM tblIdentity ORDER BY Path")});
        };

        AddComment(store, a, QStringLiteral("first"));
        AddComment(store, a, QStringLiteral("second"));  // a second row: the first one shows
        QCOMPARE(files->Attribute(a), Text("first"));
        store.Lookup(a);
        EditComment(store, QStringLiteral("edited"));
        QCOMPARE(files->Attribute(a), Text("edited"));
        store.Delete();
        QCOMPARE(files->Attribute(a), Text("second"));

        files->MoveFile(a, b, FileIdentity{2, 3, 100, 9});
        files->RemoveComment(b);  // copied across file systems by the program, without attributes
        UpdateTooltipPath(store, a, b);
        QCOMPARE(files->Attribute(b), Text("second"));
        QCOMPARE(identities(), QStringList{"/q/b.jpg 2 3 100 9"});
        store.Lookup(b);
        store.Delete();
        QCOMPARE(files->Attribute(b), std::nullopt);
        QCOMPARE(identities(), QStringList());
    }

    // Every row goes out and comes back byte for byte, whatever it holds; a row the store
    // holds already is skipped; a broken file adds nothing at all.
    void csvRoundTripsEveryRow()
    {
        QTemporaryDir dir;
        OpenedStore source(dir.path() + QStringLiteral("/from")), target(dir.path() + QStringLiteral("/to"));
        const QList<QPair<QString, QString>> rows = {
            {"/p/plain.jpg", "plain"},
            {"/p/comma, \"quoted\".jpg", "He said \"hi\", then left"},
            {"/p/lines.jpg", "line one\nline two\r\nline three\r"},
            {"/p/blanks.jpg", "  leading and trailing  "},
            {"/p/ünïcødé 写真.jpg", "ça va? 🌅"},
            {"/p/plain.jpg", "a second comment"},
            {"/p/quote only.jpg", "\""},
        };
        for (const auto& [path, text] : rows)
            AddComment(source.store, path, text);
        const QString csv = dir.path() + QStringLiteral("/comments.csv");
        QCOMPARE(CommentsCsv::Export(source.store, csv), int(rows.size()));
        QVERIFY(TestFiles::read(csv).startsWith("Path,Tooltip\r\n"));

        // Into a store that holds one of them already, from a file an editor left a blank line
        // at the end of: the others come in byte for byte, each image's comments in their order.
        // (Into an empty store, as a move to another machine does, is in the acceptance run.)
        AddComment(target.store, rows[3].first, rows[3].second);
        TestFiles::write(csv, TestFiles::read(csv) + "\r\n");
        const CommentsCsv::ImportCount merged = CommentsCsv::Import(target.store, csv);
        QCOMPARE(merged.added, int(rows.size()) - 1);
        QCOMPARE(merged.skipped, 1);
        const QString bytes = QStringLiteral("SELECT hex(Path) || ':' || hex(Tooltip) FROM tblTooltip ORDER BY Path, rowid");
        QCOMPARE(Sql(target.file, {bytes}), Sql(source.file, {bytes}));

        // A quote left open, a stray quote, a record of three fields, a foreign header.
        for (const char* broken : {"Path,Tooltip\r\n/x.jpg,\"open\r\n", "Path,Tooltip\r\n/x.jpg,a\"b\r\n",
                                   "Path,Tooltip\r\n/y.jpg,ok\r\n/x.jpg,a,b\r\n", "File,Comment\r\n/x.jpg,a\r\n"}) {
            TestFiles::write(csv, broken);
            QVERIFY2(ErrorOf([&] { CommentsCsv::Import(target.store, csv); }) != 0, broken);
        }
        QCOMPARE(Sql(target.file, {bytes}), Sql(source.file, {bytes}));

        // The command line's way when there is no store (the acceptance run has its messages of success).
        QString message;
        QCOMPARE(CommentsCsv::Run(CommentsCsv::Mode::Import, dir.path(), csv, message), 1);  // no store there
        QVERIFY2(message.startsWith(QStringLiteral("Cannot import comments: ")), qPrintable(message));
    }
};

QTEST_GUILESS_MAIN(CommentTravelTest)
#include "CommentTravelTest.moc"
