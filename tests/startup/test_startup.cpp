// The command line as the program reads it, and where its comment store is found: the
// parser and the store's location driven directly over temporary folders.
#include "CommandLine.h"
#include "StoreLocation.h"
#include "TestFiles.h"

#include <QtTest>

namespace {
struct Expected {
    bool exits;
    int exitCode;
    QString folder;       // relative to the test folder; "-" for none
    QString file;         // relative to the test folder; "-" for none
    bool fullScreen;
    QString out;          // a line the standard output starts with; "" for nothing
    QString err;          // a text standard error holds; "" for nothing
};
// A store row: the files present before the start, the expected folder, the contents of the
// user's store afterwards ("-" when there is none), and whether there is a data home.
struct Store { QStringList present; QString expectedFolder, userStoreAfter; bool withDataHome; };
} // namespace
Q_DECLARE_METATYPE(Expected)
Q_DECLARE_METATYPE(Store)

class TestStartup : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Expected>("expected");
        auto row = [](const char* name, QStringList args, Expected e) {
            args.prepend(QStringLiteral("/opt/bin/tessel"));
            QTest::newRow(name) << args << e;
        };
        // No path (the stored folder), a folder, a file (also outside the pattern), --full-screen
        // FILE, a missing path, --help, --version and an unknown option are in the acceptance run.
        row("a folder, trailing slash", {"pics/"}, {false, 0, "pics", "-", false, "", ""});
        row("a file through ..", {"pics/../pics/a.jpg"}, {false, 0, "pics", "pics/a.jpg", false, "", ""});
        row("FILE --full-screen", {"pics/a.jpg", "--full-screen"}, {false, 0, "pics", "pics/a.jpg", true, "", ""});
        row("--full-screen FOLDER: the folder, no viewer", {"--full-screen", "pics"},
            {false, 0, "pics", "-", false, "", "--full-screen needs a picture, not a folder"});
        row("--full-screen alone: a start as without it", {"--full-screen"},
            {false, 0, "-", "-", false, "", "--full-screen needs a picture to show"});
        row("--full-screen on a missing path", {"--full-screen", "gone"},
            {false, 0, "-", "-", false, "", "gone: no such file or folder"});
        row("Qt's own options pass, with their values", {"-platform", "offscreen", "-style", "fusion", "-reverse", "pics"},
            {false, 0, "pics", "-", false, "", ""});
        row("--help-all", {"--help-all"}, {true, 0, "-", "-", false, "Usage: tessel [options] [path]", ""});
        row("two paths", {"pics", "pics/a.jpg"}, {true, 2, "-", "-", false, "", "give at most one folder or file"});
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Expected, expected);
        QVERIFY(m_dir.isValid());
        const QString root = QFileInfo(m_dir.path()).canonicalFilePath();
        TestFiles::write(root + "/pics/a.jpg");

        const CommandLine::Result result = CommandLine("tessel", "9.8.7").Parse(arguments, root);
        QCOMPARE(result.action == CommandLine::Action::Exit, expected.exits);
        if (expected.exits)
            QCOMPARE(result.exitCode, expected.exitCode);
        auto under = [&](const QString& relative) { return relative == "-" ? QString() : root + "/" + relative; };
        QCOMPARE(result.folder, under(expected.folder));
        QCOMPARE(result.file, under(expected.file));
        QCOMPARE(result.fullScreen, expected.fullScreen);
        QVERIFY2(expected.out.isEmpty() ? result.out.isEmpty() : result.out.startsWith(expected.out), qPrintable(result.out));
        QVERIFY2(expected.err.isEmpty() ? result.err.isEmpty() : result.err.contains(expected.err), qPrintable(result.err));
    }

    void helpListsEveryOption()
    {
        // A row added to the table reaches --help; its value is read back when the comments
        // are exported and imported in the acceptance run.
        const QString usage = CommandLine("tessel", "1").Usage();
        for (const CommandLine::Option& option : CommandLine::Options())
            QVERIFY2(usage.contains("--" + option.name), qPrintable(option.name));
        QVERIFY(usage.contains("--version"));
        QVERIFY2(!usage.contains("platform"), "Qt's own options are not ours to list");
    }

    void storeLocation_data()
    {
        // Files present before the start: "exe" beside the program, "installed" the empty store
        // under ../share/tessel, "dangling" a link as the user's store.
        QTest::addColumn<Store>("row");
        // The store kept at later starts is in the acceptance run of the installed copy.
        QTest::newRow("portable: beside the program") << Store{{"exe", "installed"}, "prefix/bin", "-", true};
        QTest::newRow("first start: copied from the installed one") << Store{{"installed"}, "data/tessel", "installed", true};
        QTest::newRow("nothing installed: none is made") << Store{{}, "data/tessel", "-", true};
        QTest::newRow("a dangling link is the user's") << Store{{"installed", "dangling"}, "data/tessel", "dangling", true};
        QTest::newRow("no data home: the program's folder, nothing made") << Store{{"installed"}, "prefix/bin", "-", false};
    }

    void storeLocation()
    {
        QFETCH(Store, row);
        const auto& [present, expectedFolder, userStoreAfter, withDataHome] = row;
        QTemporaryDir dir;
        const QString root = dir.path(), exe = TestFiles::makeDir(root + "/prefix/bin"), user = root + "/data/tessel/Tooltips.mdb";
        if (present.contains("exe"))
            TestFiles::write(exe + "/Tooltips.mdb", "exe");
        if (present.contains("installed"))
            TestFiles::write(root + "/prefix/share/tessel/Tooltips.mdb", "installed");
        if (present.contains("dangling"))
            QVERIFY(QFile::link(root + "/nowhere", TestFiles::makeDir(root + "/data/tessel") + "/Tooltips.mdb"));

        QCOMPARE(StoreLocation::Folder(exe, withDataHome ? root + "/data" : QString()), root + "/" + expectedFolder);

        const QFileInfo after(user);
        if (userStoreAfter == "-")
            QVERIFY(!after.exists() && !after.isSymLink());
        else if (userStoreAfter == "dangling")
            QVERIFY(after.isSymLink() && !after.exists());
        else
            QCOMPARE(TestFiles::read(user), userStoreAfter.toUtf8());
        // Nothing half-copied is left beside it.
        for (const QString& name : QDir(root + "/data/tessel").entryList(QDir::Files | QDir::Hidden | QDir::System))
            QVERIFY2(!name.endsWith(".partial"), qPrintable(name));
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
