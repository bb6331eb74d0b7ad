// "Edit Current Image" and the association reader behind it: Exec lines, key files, the
// registry's buffer, the lookup through a private set of freedesktop folders, and the
// exact argument vector the associated program gets.
#include "Associations.h"
#include "DesktopEntry.h"
#include "EditCommand.h"
#include "ExecLine.h"
#include "Globals.h"
#include "ProcessStarter.h"
#include "ShownDialogs.h"
#include "TestFiles.h"

#include <QtTest>

namespace {
// A desktop entry of an application with the given Exec line (and any keys after it).
QString application(const QString& exec)
{
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=App\nExec=%1\n").arg(exec);
}

// Records what would be started instead of starting it.
struct RecordingStarter : IProcessStarter {
    bool StartDetached(const QString& program, const QStringList& arguments) override
    {
        started.push_back(QStringList{program} + arguments);
        return answer;
    }
    QList<QStringList> started;
    bool answer = true;
};

// Rows. Exec: an Exec line, the icon, and the arguments of the command it gives (none when
// the line is unusable).
struct Exec { QString exec, icon; QStringList arguments; };
struct Edit { QString file; bool starts; QStringList expected; QString message; };

// A name that a shell would take apart in every possible way.
const QString HostileName = QStringLiteral("my \"best\" it's; $(touch pwned) `touch pwned2` 100%1 sure\nshot");
}

Q_DECLARE_METATYPE(Exec)
Q_DECLARE_METATYPE(Edit)

// Test bodies live in the class: moc misreads a raw string holding \" here, so use plain literals.
class TestEditCommand : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        const QString mime = QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("mime"),
                                                    QStandardPaths::LocateDirectory);
        QVERIFY2(!mime.isEmpty(), "the shared MIME database was not found");
        QVERIFY(m_xdg.isValid() && QDir().mkpath(at(QStringLiteral("mimedata"))));
        QVERIFY(QFile::link(mime, at(QStringLiteral("mimedata/mime"))));
        TestFiles::usePrivateHome(m_xdg.path());  // data and config below it
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(at(QStringLiteral("etcxdg"))));
        qputenv("XDG_DATA_DIRS",
                QFile::encodeName(at(QStringLiteral("sysdata")) + QLatin1Char(':') + at(QStringLiteral("mimedata"))));
        qunsetenv("XDG_CURRENT_DESKTOP");
        write(QStringLiteral("config/mimeapps.list"),
              QStringLiteral("[Default Applications]\nimage/jpeg=gone.desktop;quoted.desktop;\n"
                             "image/png = vendor-unquoted.desktop\nimage/gif=twice.desktop\n"
                             "image/vnd.microsoft.icon=hidden.desktop;shadowed.desktop;\n"
                             "image/x-tga=long.desktop\nimage/vnd.adobe.photoshop=selfnamed.desktop\n"
                             "[Removed Associations]\ntext/plain=removed.desktop;\n"));
        write(QStringLiteral("etcxdg/mimeapps.list"),
              QStringLiteral("[Default Applications]\nimage/jpeg=other.desktop\n"));
        write(QStringLiteral("sysdata/applications/mimeinfo.cache"),
              QStringLiteral("[MIME Cache]\ntext/plain=removed.desktop;cached.desktop;\n"));
        const std::pair<const char*, QString> apps[] = {
            {"data/applications/quoted.desktop", QStringLiteral("viewer \"%f\"")},
            {"sysdata/applications/other.desktop", QStringLiteral("other %f")},
            {"sysdata/applications/vendor/unquoted.desktop", QStringLiteral("\"/opt/my viewer/bin/view\" --open %U")},
            {"data/applications/twice.desktop", QStringLiteral("compare %f --again=%f")},
            {"data/applications/hidden.desktop", QStringLiteral("hidden %f\nHidden=true")},
            {"data/applications/shadowed.desktop", QStringLiteral("shadow-user %f")},
            {"sysdata/applications/shadowed.desktop", QStringLiteral("shadow-system %f")},
            {"data/applications/long.desktop", QStringLiteral("tool %1 %f").arg(QString(300, QLatin1Char('x')))},
            {"data/applications/selfnamed.desktop", QStringLiteral("%f --flag")},
            {"data/applications/removed.desktop", QStringLiteral("removed %f")},
            {"sysdata/applications/cached.desktop", QStringLiteral("cached-editor %u")},
        };
        for (const auto& [rel, exec] : apps)
            write(QLatin1String(rel), application(exec));
    }

    // The open command an Exec line gives, read back into its arguments.
    void commandFromExec_data()
    {
        QTest::addColumn<Exec>("row");
        QTest::newRow("escapes in quotes") << Exec{" \"my app\"\t\"a\\\"b\" \"c\\\\d\" \"e\\$f\" \"g\\`h\" \"i\\xj\"", "",
                                                   {"my app", "a\"b", "c\\d", "e$f", "g`h", "i\\xj"}};
        QTest::newRow("shell characters are plain") << Exec{"'hi there' a;b $(c) `d`", "", {"'hi", "there'", "a;b", "$(c)", "`d`"}};
        const QStringList hostile{"/opt/a b", "a\"b", "c\\", "\\\"", "$HOME", "`id`", "x;y", "it's", "l\nb", "t\tb"};
        QTest::newRow("what Join quotes") << Exec{ExecLine::Join(hostile), "", hostile};
        QTest::newRow("icon, name, location")
            << Exec{"app %i %c %k", "pic", {"app", "--icon", "pic", "Image Tool", "/apps/tool.desktop"}};
        QTest::newRow("no icon") << Exec{"app %i %f", "", {"app", "%1"}};
        QTest::newRow("%%, list code") << Exec{"printf 100%% %F", "", {"printf", "100%", "%1"}};
        QTest::newRow("deprecated and unknown dropped") << Exec{"app %d %D %n %N %v %m %z x%dy", "", {"app", "xy"}};
        QTest::newRow("escaped closing quote") << Exec{"run \"a\\\"", "", {}};
        QTest::newRow("program is a dropped code") << Exec{"%d", "", {}};
    }

    void commandFromExec()
    {
        QFETCH(Exec, row);
        const auto& [exec, icon, arguments] = row;
        QString command;
        QStringList got;
        const ExecLine::FieldValues values{icon, QStringLiteral("Image Tool"), QStringLiteral("/apps/tool.desktop")};
        QCOMPARE(ExecLine::CommandFromExec(exec, values, command), !arguments.isEmpty());
        QVERIFY(arguments.isEmpty() || ExecLine::Split(command, got));
        QCOMPARE(got, arguments);
    }

    void keyFiles()
    {
        const DesktopEntry entry = DesktopEntry::Parse(
            QStringLiteral("# comment\r\n[Other]\nExec=wrong\n[Desktop Entry]\r\nExec = first %f\r\nExec=second\n"
                           "  # indented comment\nIcon=\\sleading\\\\x\n[Desktop Entry]\nType=Application\n"),
            QStringLiteral("/x.desktop"));
        QCOMPARE(entry.Exec(), QStringLiteral("first %f"));
        QCOMPARE(entry.Icon(), QStringLiteral(" leading\\x"));
        QVERIFY(!entry.IsApplication());  // a group given twice counts once
        QCOMPARE(SplitKeyFileList(QStringLiteral(" a.desktop ;b\\;c.desktop;;")),
                 QStringList({"a.desktop", "b;c.desktop"}));
        QCOMPARE(SplitKeyFileList(QStringLiteral("a\\\\;b")), QStringList({"a\\\\", "b"}));
    }

    void registryBuffer()
    {
        // The value as read back through a 255-byte buffer of blanks.
        QCOMPARE(RegistryBufferText(QStringLiteral("  class ")), QStringLiteral("class "));
        QCOMPARE(RegistryBufferText(QString::fromLatin1("ab\0cd", 5)), QStringLiteral("ab"));
        QCOMPARE(RegistryBufferText(QString(254, QLatin1Char('a'))), QString(254, QLatin1Char('a')));
        QCOMPARE(RegistryBufferText(QString(255, QLatin1Char('a'))), QStringLiteral("Error"));
        QCOMPARE(RegistryBufferText(QString(128, QChar(0xE9))), QStringLiteral("Error"));  // counted in bytes
    }

    // file: a type alone is appended to a hostile name; expected: "@P@" stands for the image's path.
    void edit_data()
    {
        QTest::addColumn<Edit>("row");
        const QString none = QStringLiteral("Unable to locate the Application to open the image");
        QTest::newRow("unquoted %U, program with blank")
            << Edit{".png", true, {"/opt/my viewer/bin/view", "--open", "@P@"}, ""};
        QTest::newRow("code twice") << Edit{".gif", true, {"compare", "@P@", "--again=@P@"}, ""};
        QTest::newRow("hidden app skipped, user copy shadows") << Edit{".ico", true, {"shadow-user", "@P@"}, ""};
        QTest::newRow("cache, capital extension") << Edit{".TXT", true, {"cached-editor", "@P@"}, ""};
        QTest::newRow("quoted %f, program fails to start")
            << Edit{".jpg", false, {"viewer", "@P@"}, "Unable to start the application viewer"};
        QTest::newRow("no default application") << Edit{"/p/a.bmp", true, {}, none};
        QTest::newRow("command over 254 bytes") << Edit{"/p/a.tga", true, {}, none};
        QTest::newRow("program would be the file") << Edit{"/p/a.psd", true, {}, none};
        const QString lossy = QStringLiteral("/p/caf") + QChar(QChar::ReplacementCharacter) + QStringLiteral(".jpg");
        QTest::newRow("name decoded lossily") << Edit{lossy, true, {}, QStringLiteral("File not found: ") + lossy};
    }

    void edit()
    {
        QFETCH(Edit, row);
        const QString file = row.file.startsWith(u'.') ? at(QStringLiteral("pics/")) + HostileName + row.file : row.file;
        row.expected.replaceInStrings(QStringLiteral("@P@"), file);
        ScriptedDialogs dialogs;
        Globals globals(dialogs);
        RecordingStarter starter;
        starter.answer = row.starts;
        EditCommand(globals, starter).mnuEdit_Click(file);
        QCOMPARE(starter.started, row.expected.isEmpty() ? QList<QStringList>() : QList<QStringList>{row.expected});
        QCOMPARE(Shown(dialogs), row.message.isEmpty() ? QStringList() : QStringList{ErrorBox(row.message)});
    }

    void realProgramGetsExactArguments()
    {
        // A program that writes each argument it gets, NUL-terminated, to a file.
        const QString script = at(QStringLiteral("bin/recorder.sh"));
        const QString out = at(QStringLiteral("bin/argv.bin"));
        write(QStringLiteral("bin/recorder.sh"),
              QStringLiteral("#!/bin/sh\nout=\"$1\"\nshift\n"
                             "printf '%s\\0' \"$@\" > \"$out.part\" && mv \"$out.part\" \"$out\"\n"));
        QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        write(QStringLiteral("data/applications/recorder.desktop"),
              application(QStringLiteral("\"%1\" \"%2\" %f").arg(script, out)));
        write(QStringLiteral("config/mimeapps.list"),
              QStringLiteral("[Default Applications]\nimage/jpeg=recorder.desktop\n"));

        const QString path = at(QStringLiteral("pics/")) + HostileName + QStringLiteral(".jpg");
        ScriptedDialogs dialogs;
        Globals globals(dialogs);
        ProcessStarter starter;
        EditCommand(globals, starter).mnuEdit_Click(path);
        QVERIFY(dialogs.calls().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 10000);
        QCOMPARE(TestFiles::read(out), QFile::encodeName(path) + '\0');  // one argument, byte for byte, no shell
    }

private:
    // A private set of freedesktop folders: config (XDG_CONFIG_HOME), etcxdg
    // (XDG_CONFIG_DIRS), data (XDG_DATA_HOME), sysdata plus a link to the system's shared
    // MIME database (XDG_DATA_DIRS), so association lookups see only what a test wrote.
    QTemporaryDir m_xdg;
    QString at(const QString& rel) const { return m_xdg.path() + QLatin1Char('/') + rel; }
    void write(const QString& rel, const QString& text) const { TestFiles::write(at(rel), text.toUtf8()); }
};

QTEST_MAIN(TestEditCommand)
#include "tst_EditCommand.moc"
