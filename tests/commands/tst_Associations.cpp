// The association reader: Exec lines, key files, the registry's buffer and the lookup
// through a private set of freedesktop folders.
#include "Associations.h"
#include "DesktopEntry.h"
#include "ExecLine.h"
#include "MimeAppsList.h"
#include "XdgTree.h"

#include <QtTest>
#include <memory>

class TestAssociations : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void splitExec_data();
    void splitExec();
    void joinGivesBackWhatSplitReads();
    void commandFromExec_data();
    void commandFromExec();
    void keyFiles();
    void registryBuffer_data();
    void registryBuffer();
    void getRegValue_data();
    void getRegValue();

private:
    std::unique_ptr<XdgTree> m_tree;
};

void TestAssociations::initTestCase()
{
    m_tree = std::make_unique<XdgTree>();
    QVERIFY2(m_tree->ready, "the shared MIME database was not found");
    m_tree->writeStandardAssociations();
}

void TestAssociations::splitExec_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("blanks and tabs") << "  a \t b  " << true << QStringList{"a", "b"};
    QTest::newRow("quoted blank") << "\"my app\" x" << true << QStringList{"my app", "x"};
    QTest::newRow("escapes in quotes") << R"("a\"b" "c\\d" "e\$f" "g\`h")" << true
                                       << QStringList{"a\"b", "c\\d", "e$f", "g`h"};
    QTest::newRow("other backslash kept") << R"("a\xb")" << true << QStringList{"a\\xb"};
    QTest::newRow("empty quoted argument") << "run \"\" x" << true << QStringList{"run", "", "x"};
    QTest::newRow("quotes join parts") << "a\"b c\"d" << true << QStringList{"ab cd"};
    QTest::newRow("single quotes are plain") << "say 'hi there'" << true << QStringList{"say", "'hi", "there'"};
    QTest::newRow("shell characters are plain") << "a;b $(c) `d`" << true << QStringList{"a;b", "$(c)", "`d`"};
    QTest::newRow("unterminated quote") << "run \"open" << false << QStringList{};
    QTest::newRow("escaped closing quote") << R"(run "a\")" << false << QStringList{};
    QTest::newRow("nothing") << "   " << true << QStringList{};
}

void TestAssociations::splitExec()
{
    QFETCH(QString, line);
    QFETCH(bool, ok);
    QFETCH(QStringList, arguments);
    QStringList got;
    QCOMPARE(ExecLine::Split(line, got), ok);
    if (ok)
        QCOMPARE(got, arguments);
}

void TestAssociations::joinGivesBackWhatSplitReads()
{
    const QList<QStringList> cases = {
        {"viewer", "%1"},
        {"/opt/my viewer/bin", "", "tail "},
        {"a\"b", "c\\", "\\\"", "$HOME", "`id`", "x;y", "it's"},
        {"line\nbreak", "tab\there", "#", "~", "(a)", "*?", "<>|&"},
    };
    for (const QStringList& args : cases) {
        QStringList back;
        QVERIFY(ExecLine::Split(ExecLine::Join(args), back));
        QCOMPARE(back, args);
    }
    QCOMPARE(ExecLine::Join({"viewer", "--open", "%1"}), QStringLiteral("viewer --open %1"));
}

void TestAssociations::commandFromExec_data()
{
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("command");  // "" when the line is unusable
    QTest::newRow("file codes") << "view %f %F %u %U" << "" << "view %1 %1 %1 %1";
    QTest::newRow("quoted code") << "view \"%f\"" << "" << "view %1";
    QTest::newRow("code inside argument") << "view --in=%f" << "" << "view --in=%1";
    QTest::newRow("percent") << "pct 50%% %%f" << "" << "pct 50% %f";
    QTest::newRow("icon") << "app %i %f" << "pic" << "app --icon pic %1";
    QTest::newRow("no icon") << "app %i %f" << "" << "app %1";
    QTest::newRow("name and location") << "app %c %k" << "" << "app \"Image Tool\" /apps/tool.desktop";
    QTest::newRow("deprecated and unknown dropped") << "app %d %D %n %N %v %m %z x%dy" << "" << "app xy";
    QTest::newRow("lone percent kept") << "app 5%" << "" << "app 5%";
    QTest::newRow("quoting kept") << "\"/opt/a b/app\" \"x;y\"" << "" << "\"/opt/a b/app\" \"x;y\"";
    QTest::newRow("unterminated") << "app \"%f" << "" << "";
    QTest::newRow("empty") << "  " << "" << "";
    QTest::newRow("program is a dropped code") << "%d" << "" << "";
}

void TestAssociations::commandFromExec()
{
    QFETCH(QString, exec);
    QFETCH(QString, icon);
    QFETCH(QString, command);
    QString got;
    const bool ok = ExecLine::CommandFromExec(exec, {icon, QStringLiteral("Image Tool"), QStringLiteral("/apps/tool.desktop")}, got);
    QCOMPARE(ok, !command.isEmpty());
    if (ok)
        QCOMPARE(got, command);
}

void TestAssociations::keyFiles()
{
    const QString text = QStringLiteral("# comment\r\n[Other]\nExec=wrong\n[Desktop Entry]\r\n"
                                        "Exec = first %f\r\nExec=second\n  # indented comment\n"
                                        "Name[de]=Betrachter\nName=Viewer\nIcon=\\sleading\\\\x\n"
                                        "[Desktop Entry]\nType=Application\n");
    const DesktopEntry entry = DesktopEntry::Parse(text, QStringLiteral("/x.desktop"));
    QCOMPARE(entry.Exec(), QStringLiteral("first %f"));
    QCOMPARE(entry.Icon(), QStringLiteral(" leading\\x"));
    QVERIFY(!entry.IsApplication());  // a group given twice counts once
    QCOMPARE(entry.Name(QStringLiteral("de_AT.UTF-8@euro")), QStringLiteral("Betrachter"));
    QCOMPARE(entry.Name(QStringLiteral("fr_FR")), QStringLiteral("Viewer"));
    QCOMPARE(SplitKeyFileList(QStringLiteral(" a.desktop ;b\\;c.desktop;;")), QStringList({"a.desktop", "b;c.desktop"}));

    const MimeAppsList list = MimeAppsList::Parse(QStringLiteral(
        "[Default Applications]\nImage/JPEG=a.desktop;b.desktop\n[Removed Associations]\nimage/jpeg=c.desktop\n"));
    QCOMPARE(list.Defaults(QStringLiteral("image/jpeg")), QStringList({"a.desktop", "b.desktop"}));
    QCOMPARE(list.Removed(QStringLiteral("IMAGE/jpeg")), QStringList{"c.desktop"});
}

void TestAssociations::registryBuffer_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "image/jpeg" << "image/jpeg";
    QTest::newRow("leading blank goes, trailing stays") << "  class " << "class ";
    QTest::newRow("cut at NUL") << QString::fromLatin1("ab\0cd", 5) << "ab";
    QTest::newRow("254 bytes fit") << QString(254, QLatin1Char('a')) << QString(254, QLatin1Char('a'));
    QTest::newRow("255 bytes do not") << QString(255, QLatin1Char('a')) << "Error";
    QTest::newRow("counted in bytes") << QString(128, QChar(0xE9)) << "Error";
    QTest::newRow("127 two-byte characters fit") << QString(127, QChar(0xE9)) << QString(127, QChar(0xE9));
}

void TestAssociations::registryBuffer()
{
    QFETCH(QString, value);
    QFETCH(QString, text);
    QCOMPARE(RegistryBufferText(value), text);
}

void TestAssociations::getRegValue_data()
{
    QTest::addColumn<QString>("subKey");
    QTest::addColumn<QString>("valueName");
    QTest::addColumn<QString>("value");
    const QString cmd = QStringLiteral("\\Shell\\Open\\Command");
    QTest::newRow("extension") << ".jpg" << "" << "image/jpeg";
    QTest::newRow("extension in capitals") << ".JPG" << "" << "image/jpeg";
    QTest::newRow("dib is a bitmap") << ".dib" << "" << "image/bmp";
    QTest::newRow("unknown extension") << ".zzq" << "" << "Error";
    QTest::newRow("no dot") << "jpeg" << "" << "Error";
    QTest::newRow("named value") << ".jpg" << "Content Type" << "Error";
    QTest::newRow("default skips a missing app, beats system list") << "image/jpeg" + cmd << "" << "viewer %1";
    QTest::newRow("key case ignored") << "image/jpeg\\shell\\open\\command" << "" << "viewer %1";
    QTest::newRow("alias of the type") << "image/pjpeg" + cmd << "" << "viewer %1";
    QTest::newRow("id in a subfolder") << "image/png" + cmd << "" << "\"/opt/my viewer/bin/view\" --open %1";
    QTest::newRow("hidden app skipped, user copy shadows") << "image/vnd.microsoft.icon" + cmd << "" << "shadow-user %1";
    QTest::newRow("removed association, cache") << "text/plain" + cmd << "" << "cached-editor %1";
    QTest::newRow("no default application") << "image/bmp" + cmd << "" << "Error";
    QTest::newRow("command too long") << "image/x-tga" + cmd << "" << "Error";
    QTest::newRow("class Error") << "Error" + cmd << "" << "Error";
    QTest::newRow("class without command key") << "image/jpeg" << "" << "Error";
}

void TestAssociations::getRegValue()
{
    QFETCH(QString, subKey);
    QFETCH(QString, valueName);
    QFETCH(QString, value);
    QCOMPARE(GetRegValue(HKEY_CLASSES_ROOT, subKey, valueName), value);
    QCOMPARE(GetRegValue(0x80000001u, subKey, valueName), QStringLiteral("Error"));
}

std::unique_ptr<QObject> newAssociationsTest() { return std::make_unique<TestAssociations>(); }
#include "tst_Associations.moc"
