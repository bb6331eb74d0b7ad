// "Edit Current Image": the exact argument vector the associated program gets.
#include "EditCommand.h"
#include "Globals.h"
#include "ProcessStarter.h"
#include "ScriptedDialogs.h"
#include "XdgTree.h"

#include <QtTest>
#include <memory>

namespace {
// Records what would be started instead of starting it.
class RecordingStarter : public IProcessStarter {
public:
    bool StartDetached(const QString& program, const QStringList& arguments) override
    {
        started.push_back(QStringList{program} + arguments);
        return answer;
    }
    QList<QStringList> started;
    bool answer = true;
};

// A name that a shell would take apart in every possible way.
QString hostileName()
{
    return QStringLiteral("my \"best\" it's; $(touch pwned) `touch pwned2` 100%1 sure\nshot");
}

const QString NoApplication = QStringLiteral("Unable to locate the Application to open the image");
}

class TestEditCommand : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void edit_data();
    void edit();
    void failedStartIsTold();
    void realProgramGetsExactArguments();

private:
    std::unique_ptr<XdgTree> m_tree;
};

void TestEditCommand::initTestCase()
{
    m_tree = std::make_unique<XdgTree>();
    QVERIFY2(m_tree->ready, "the shared MIME database was not found");
    m_tree->writeStandardAssociations();
}

void TestEditCommand::edit_data()
{
    QTest::addColumn<QString>("file");          // a type alone is appended to a hostile name
    QTest::addColumn<QStringList>("expected");  // "@P@" stands for the image's path
    QTest::addColumn<QString>("message");
    QTest::newRow("quoted %f") << ".jpg" << QStringList{"viewer", "@P@"} << "";
    QTest::newRow("unquoted %U, program with blank") << ".png" << QStringList{"/opt/my viewer/bin/view", "--open", "@P@"}
                                                     << "";
    QTest::newRow("code twice") << ".gif" << QStringList{"compare", "@P@", "--again=@P@"} << "";
    QTest::newRow("%%") << ".tif" << QStringList{"printf", "100%", "@P@"} << "";
    QTest::newRow("%i %c %k") << ".xpm" << QStringList{"painter", "--icon", "painter-icon", "Maler", "@LOCATION@", "@P@"}
                              << "";
    QTest::newRow("cache, capital extension") << ".TXT" << QStringList{"cached-editor", "@P@"} << "";
    QTest::newRow("nothing selected") << "" << QStringList{} << "You must select an image !";
    QTest::newRow("no default application") << "/p/a.bmp" << QStringList{} << NoApplication;
    QTest::newRow("unknown type") << "/p/a.zzq" << QStringList{} << NoApplication;
    QTest::newRow("type of four letters") << "/p/a.jpeg" << QStringList{} << NoApplication;
    QTest::newRow("command over 254 bytes") << "/p/a.tga" << QStringList{} << NoApplication;
    QTest::newRow("program would be the file") << "/p/a.psd" << QStringList{} << NoApplication;
    QTest::newRow("shorter than a type") << "ab" << QStringList{} << NoApplication;
}

void TestEditCommand::edit()
{
    QFETCH(QString, file);
    QFETCH(QStringList, expected);
    QFETCH(QString, message);
    if (file.startsWith(QLatin1Char('.')))
        file = m_tree->at(QStringLiteral("pics/")) + hostileName() + file;
    for (QString& arg : expected) {
        arg.replace(QLatin1String("@LOCATION@"), m_tree->at(QStringLiteral("data/applications/fields.desktop")));
        arg.replace(QLatin1String("@P@"), file);
    }
    ScriptedDialogs dialogs;
    Globals globals(dialogs);
    RecordingStarter starter;
    EditCommand(globals, starter).mnuEdit_Click(file);
    QCOMPARE(starter.started, expected.isEmpty() ? QList<QStringList>() : QList<QStringList>{expected});
    QCOMPARE(dialogs.calls().size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QCOMPARE(dialogs.calls()[0].text, message);
        QCOMPARE(dialogs.calls()[0].style, 48);
        QCOMPARE(dialogs.calls()[0].title, QStringLiteral("Images Browser and Viewer"));
    }
}

void TestEditCommand::failedStartIsTold()
{
    ScriptedDialogs dialogs;
    Globals globals(dialogs);
    RecordingStarter starter;
    starter.answer = false;
    // A reader that answers as a registry would, quotes around program and "%1" included.
    const auto reader = [](std::uint32_t, const QString& key, const QString&) {
        if (key == QLatin1String(".jpg"))
            return QStringLiteral("jpegfile");
        return key == QLatin1String("jpegfile\\Shell\\Open\\Command") ? QStringLiteral("\"C:\\Edit\\ed.exe\" \"%1\"")
                                                                        : QStringLiteral("Error");
    };
    EditCommand(globals, starter, reader).mnuEdit_Click(QStringLiteral("/p/a.jpg"));
    QCOMPARE(starter.started, QList<QStringList>{QStringList({"C:\\Edit\\ed.exe", "/p/a.jpg"})});
    QCOMPARE(dialogs.calls().size(), 1);
    QCOMPARE(dialogs.calls()[0].text, QStringLiteral("Unable to start the application C:\\Edit\\ed.exe"));
}

void TestEditCommand::realProgramGetsExactArguments()
{
    // A program that writes each argument it gets, NUL-terminated, to a file.
    const QString script = m_tree->at(QStringLiteral("bin/recorder.sh"));
    const QString out = m_tree->at(QStringLiteral("bin/argv.bin"));
    m_tree->write(QStringLiteral("bin/recorder.sh"),
                  QStringLiteral("#!/bin/sh\nout=\"$1\"\nshift\nprintf '%s\\0' \"$@\" > \"$out.part\" && mv \"$out.part\" \"$out\"\n"));
    QVERIFY(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    m_tree->application(QStringLiteral("data/applications/recorder.desktop"),
                        QStringLiteral("\"%1\" \"%2\" %f").arg(script, out));
    m_tree->write(QStringLiteral("config/mimeapps.list"),
                  QStringLiteral("[Default Applications]\nimage/jpeg=recorder.desktop\n"));

    const QString path = m_tree->at(QStringLiteral("pics/")) + hostileName() + QStringLiteral(".jpg");
    ScriptedDialogs dialogs;
    Globals globals(dialogs);
    ProcessStarter starter;
    EditCommand(globals, starter).mnuEdit_Click(path);
    QVERIFY(dialogs.calls().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 10000);
    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QFile::encodeName(path) + '\0');  // one argument, byte for byte
    QVERIFY(!QFile::exists(QDir::current().filePath(QStringLiteral("pwned"))));
}

std::unique_ptr<QObject> newEditCommandTest() { return std::make_unique<TestEditCommand>(); }
#include "tst_EditCommand.moc"
