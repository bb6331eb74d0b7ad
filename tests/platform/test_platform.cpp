// Tests of the platform services that have no list control behind them: patterns,
// listing, units, control bounds, errors at the event boundary, settings.
#include "AppError.h"
#include "ControlAdapter.h"
#include "FileListModel.h"
#include "FormScale.h"
#include "IniSettingsStore.h"
#include "LocalFileSystem.h"
#include "ScriptedDialogs.h"
#include "ScriptedFileSystem.h"
#include "TestFiles.h"
#include "Units.h"
#include "WildcardPattern.h"

#include <QWidget>
#include <QtTest>
#include <sys/stat.h>

class TestPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wildcard_data();
    void wildcard();
    void listingFiltersSortsAndSurvivesHostileNames();
    void roundHalfEven_data();
    void roundHalfEven();
    void unitConversionsRoundTrip();
    void controlAdapterKeepsExactValuesAndPlacesAtNearestPixel();
    void eventBoundaryShowsRunTimeError();
    void settingsLiveInXdgConfigHome();
    void volumeRootIsLongestPrefix();
};

void TestPlatform::wildcard_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    const QString images = QStringLiteral("*.jpg;*.gif;*.bmp;*.dib");
    QTest::newRow("upper-case extension") << images << "A.JPG" << true;
    QTest::newRow("mixed case") << images << "Holiday.Gif" << true;
    QTest::newRow("other type") << images << "a.png" << false;
    QTest::newRow("extension only inside") << images << "a.jpg.txt" << false;
    QTest::newRow("longer extension") << images << "a.jpeg" << false;
    QTest::newRow("dib") << images << "scan.DIB" << true;
    QTest::newRow("bare extension") << images << ".jpg" << true;
    QTest::newRow("blanks and quotes") << images << "my \"best\"; shot.jpg" << true;
    QTest::newRow("star matches empty") << "*" << "" << true;
    QTest::newRow("question mark is one char") << "a?c" << "abc" << true;
    QTest::newRow("question mark needs a char") << "a?c" << "ac" << false;
    QTest::newRow("backtracking") << "*a*b" << "aaaaaab" << true;
    QTest::newRow("backtracking fails") << "*a*b" << "aaaaaac" << false;
    QTest::newRow("empty parts skipped") << ";;*.bmp;" << "x.bmp" << true;
    QTest::newRow("non-ASCII folded") << "*.jpg" << QString::fromUtf8("ÄÖÜ.JPG") << true;
}

void TestPlatform::wildcard()
{
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(WildcardPattern(pattern).Matches(name), matches);
}

void TestPlatform::listingFiltersSortsAndSurvivesHostileNames()
{
    QTemporaryDir tmp;
    const QString dir = tmp.path();
    for (const char* name : {"b.jpg", "A.JPG", "c.Gif", "a.png", ".hidden.jpg", "-dash.bmp",
                             "semi;colon.jpg", "quote\".jpg", "new\nline.jpg", "$(x).jpg"})
        TestFiles::write(dir + QLatin1Char('/') + QString::fromUtf8(name));
    TestFiles::writeRaw(QFile::encodeName(dir) + "/bad\xff\xfe.jpg");
    QDir().mkdir(dir + QStringLiteral("/folder.jpg"));
    QVERIFY(::mkfifo(QFile::encodeName(dir + QStringLiteral("/pipe.jpg")).constData(), 0644) == 0);
    QVERIFY(QFile::link(dir + QStringLiteral("/missing"), dir + QStringLiteral("/dangling.jpg")));
    QVERIFY(QFile::link(dir + QStringLiteral("/b.jpg"), dir + QStringLiteral("/link.jpg")));

    LocalFileSystem fs;
    const QStringList names = ListMatchingFiles(fs, dir, WildcardPattern(QStringLiteral("*.jpg;*.gif;*.bmp;*.dib")));
    // The FIFO, the folder and the dangling link are not files; dot-files stay hidden.
    QCOMPARE(names.size(), 10);
    QCOMPARE(names.first(), QStringLiteral("$(x).jpg"));
    QVERIFY(names.indexOf(QStringLiteral("A.JPG")) < names.indexOf(QStringLiteral("b.jpg")));
    QVERIFY(names.indexOf(QStringLiteral("b.jpg")) < names.indexOf(QStringLiteral("c.Gif")));
    QVERIFY(names.contains(QStringLiteral("new\nline.jpg")));
    QVERIFY(names.contains(QStringLiteral("link.jpg")));
    QVERIFY(!names.contains(QStringLiteral("pipe.jpg")));
    QVERIFY(!names.contains(QStringLiteral("folder.jpg")));
    QVERIFY(!names.contains(QStringLiteral("dangling.jpg")));
    QVERIFY(!names.contains(QStringLiteral(".hidden.jpg")));
    // A name that is not UTF-8 is listed lossily, and that lossy name names no file,
    // so nothing can act on another file by mistake.
    const auto bad = std::find_if(names.begin(), names.end(), [](const QString& n) { return n.startsWith(QStringLiteral("bad")); });
    QVERIFY(bad != names.end());
    QVERIFY(!QFile::exists(dir + QLatin1Char('/') + *bad));

    QVERIFY_THROWS_EXCEPTION(AppError, ListMatchingFiles(fs, dir + QStringLiteral("/nope"), WildcardPattern()));
    ScriptedFileSystem scripted;
    scripted.MakeUnreadable(dir);
    QVERIFY_THROWS_EXCEPTION(AppError, ListMatchingFiles(scripted, dir, WildcardPattern()));
}

void TestPlatform::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<long long>("rounded");
    QTest::newRow("2.5") << 2.5 << 2LL;
    QTest::newRow("3.5") << 3.5 << 4LL;
    QTest::newRow("-2.5") << -2.5 << -2LL;
    QTest::newRow("45.5") << 45.5 << 46LL;
    QTest::newRow("44.5") << 44.5 << 44LL;
    QTest::newRow("2.51") << 2.51 << 3LL;
    QTest::newRow("-0.4") << -0.4 << 0LL;
}

void TestPlatform::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(long long, rounded);
    QCOMPARE(Units::RoundHalfEven(value), rounded);
}

void TestPlatform::unitConversionsRoundTrip()
{
    QCOMPARE(Units::Convert(1, Units::Pixels, Units::Twips, 96), 15.0);
    QCOMPARE(Units::Convert(1440, Units::Twips, Units::Himetric, 96), 2540.0);
    QCOMPARE(Units::Convert(480, Units::Pixels, Units::Twips, 120), 5760.0);
    // A HIMETRIC size taken from pixels converts back to the same pixels.
    for (int px : {1, 17, 480, 639, 640, 6000}) {
        const long long himetric = Units::RoundHalfEven(px * 2540.0 / 96);
        QCOMPARE(Units::RoundHalfEven(Units::Convert(himetric, Units::Himetric, Units::Pixels, 96)), px);
    }
    QVERIFY_THROWS_EXCEPTION(AppError, Units::Convert(1, 99, Units::Pixels, 96));
}

void TestPlatform::controlAdapterKeepsExactValuesAndPlacesAtNearestPixel()
{
    QWidget form;
    auto* child = new QWidget(&form);
    FormScale scale(&form, &form, Units::Twips);
    ControlAdapter bounds(child, scale);
    const double tpp = Units::TwipsPerPixel(form.logicalDpiX());

    bounds.SetBounds(2160, 600, 2175, 3795);
    QCOMPARE(bounds.Left(), 2160.0);
    QCOMPARE(bounds.Height(), 3795.0);
    QCOMPARE(child->geometry(), QRect(int(Units::RoundHalfEven(2160 / tpp)), int(Units::RoundHalfEven(600 / tpp)),
                                      int(Units::RoundHalfEven(2175 / tpp)), int(Units::RoundHalfEven(3795 / tpp))));
    bounds.SetLeft(2160.5);
    QCOMPARE(bounds.Left(), 2160.5);  // no rounding of the stored value
    bounds.SetWidth(-300);            // a window made tiny
    QCOMPARE(bounds.Width(), -300.0);
    QCOMPARE(child->width(), 0);
}

void TestPlatform::eventBoundaryShowsRunTimeError()
{
    ScriptedDialogs dialogs;
    RunEventHandler(dialogs, [] { throw AppError(76, QStringLiteral("x"), QStringLiteral("Path not found")); });
    RunEventHandler(dialogs, [] { throw std::runtime_error("boom"); });
    RunEventHandler(dialogs, [] {});
    QCOMPARE(dialogs.calls().size(), 2);
    QCOMPARE(dialogs.calls()[0].text, QStringLiteral("Run-time error 76:\n\nPath not found"));
    QCOMPARE(dialogs.calls()[0].title, QString());  // the application's own title
    QVERIFY(dialogs.calls()[1].text.startsWith(QStringLiteral("Run-time error 51:")));

    QVERIFY(!TryStep([] { throw AppError(5, {}, {}); }));
    QVERIFY(TryStep([] {}));
}

void TestPlatform::settingsLiveInXdgConfigHome()
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    IniSettingsStore store;
    QCOMPARE(store.GetSetting(QStringLiteral("tessel"), QStringLiteral("Startup"), QStringLiteral("lastDir"), QStringLiteral("def")),
             QStringLiteral("def"));
    const QString odd = QStringLiteral("/tmp/a b;c=\"d\"");
    store.SaveSetting(QStringLiteral("tessel"), QStringLiteral("Startup"), QStringLiteral("lastDir"), odd);
    QFile ini(home.path() + QStringLiteral("/tessel.ini"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    QVERIFY(text.contains("[Startup]"));
    QVERIFY(text.contains("lastDir="));
    QCOMPARE(store.GetSetting(QStringLiteral("tessel"), QStringLiteral("Startup"), QStringLiteral("lastDir"), {}), odd);
}

void TestPlatform::volumeRootIsLongestPrefix()
{
    const std::vector<VolumeInfo> volumes{{"/", {}}, {"/media/usb", {}}, {"/media/usb2", {}}};
    QCOMPARE(VolumeRootOf(volumes, QStringLiteral("/media/usb/pics")), QStringLiteral("/media/usb"));
    QCOMPARE(VolumeRootOf(volumes, QStringLiteral("/media/usb2")), QStringLiteral("/media/usb2"));
    QCOMPARE(VolumeRootOf(volumes, QStringLiteral("/media/usb22/x")), QStringLiteral("/"));
    QCOMPARE(VolumeRootOf(volumes, QStringLiteral("/home")), QStringLiteral("/"));
}

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
