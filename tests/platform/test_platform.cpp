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
    void wildcard_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("matches");
        const QString images = QStringLiteral("*.jpg;*.gif;*.bmp;*.dib");
        QTest::newRow("upper-case extension") << images << "A.JPG" << true;
        QTest::newRow("other type") << images << "a.png" << false;
        QTest::newRow("extension only inside") << images << "a.jpg.txt" << false;
        QTest::newRow("bare extension") << images << ".jpg" << true;
        QTest::newRow("star matches empty") << "*" << "" << true;
        QTest::newRow("question mark is one char") << "a?c" << "abc" << true;
        QTest::newRow("question mark needs a char") << "a?c" << "ac" << false;
        QTest::newRow("backtracking") << "*a*b" << "aaaaaab" << true;
        QTest::newRow("backtracking fails") << "*a*b" << "aaaaaac" << false;
        QTest::newRow("empty parts skipped") << ";;*.bmp;" << "x.bmp" << true;
        QTest::newRow("non-ASCII folded") << "*.jpg" << QString::fromUtf8("ÄÖÜ.JPG") << true;
    }

    void wildcard()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, matches);
        QCOMPARE(WildcardPattern(pattern).Matches(name), matches);
    }

    void listingFiltersSortsAndSurvivesHostileNames()
    {
        QTemporaryDir tmp;
        const QString dir = tmp.path();
        for (const char* name : {"b.jpg", "A.JPG", "c.Gif", "a.png", ".hidden.jpg", "semi;colon.jpg", "new\nline.jpg"})
            TestFiles::write(dir + QLatin1Char('/') + QString::fromUtf8(name));
        TestFiles::writeRaw(QFile::encodeName(dir) + "/bad\xff.jpg");
        QDir().mkdir(dir + QStringLiteral("/folder.jpg"));
        QCOMPARE(::mkfifo(QFile::encodeName(dir + QStringLiteral("/pipe.jpg")).constData(), 0644), 0);
        QVERIFY(QFile::link(dir + QStringLiteral("/missing"), dir + QStringLiteral("/dangling.jpg")));
        QVERIFY(QFile::link(dir + QStringLiteral("/b.jpg"), dir + QStringLiteral("/link.jpg")));

        LocalFileSystem fs;
        // The FIFO, the folder and the dangling link are not files; dot-files stay hidden; no
        // regard to case. A name that is not UTF-8 is listed lossily, and that lossy name
        // names no file, so nothing can act on another file by mistake.
        const QStringList names = ListMatchingFiles(fs, dir, WildcardPattern(QStringLiteral("*.jpg;*.gif;*.bmp;*.dib")));
        QCOMPARE(names, (QStringList{"A.JPG", "b.jpg", "bad\uFFFD.jpg", "c.Gif", "link.jpg", "new\nline.jpg", "semi;colon.jpg"}));
        QVERIFY(!QFile::exists(dir + QStringLiteral("/bad\uFFFD.jpg")));

        QVERIFY_THROWS_EXCEPTION(AppError, ListMatchingFiles(fs, dir + QStringLiteral("/nope"), WildcardPattern()));
        ScriptedFileSystem scripted;
        scripted.MakeUnreadable(dir);
        QVERIFY_THROWS_EXCEPTION(AppError, ListMatchingFiles(scripted, dir, WildcardPattern()));
    }

    void roundingAndUnits()
    {
        // Nearest, ties to even, on both sides of zero.
        const QList<QPair<double, long long>> rounded{{2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.51, 3}, {-0.4, 0}};
        for (const auto& [value, expected] : rounded)
            QCOMPARE(Units::RoundHalfEven(value), expected);
        QCOMPARE(Units::Convert(1, Units::Pixels, Units::Twips, 96), 15.0);
        QCOMPARE(Units::Convert(1440, Units::Twips, Units::Himetric, 96), 2540.0);
        QCOMPARE(Units::Convert(480, Units::Pixels, Units::Twips, 120), 5760.0);
        QVERIFY_THROWS_EXCEPTION(AppError, Units::Convert(1, 99, Units::Pixels, 96));
    }

    void controlAdapterKeepsExactValuesAndPlacesAtNearestPixel()
    {
        QWidget form;
        auto* child = new QWidget(&form);
        FormScale scale(&form, &form, Units::Twips);
        ControlAdapter bounds(child, scale);
        const double tpp = Units::TwipsPerPixel(form.logicalDpiX());
        const auto px = [tpp](double twips) { return int(Units::RoundHalfEven(twips / tpp)); };
        bounds.SetBounds(2160, 600, 2175, 3795);
        QCOMPARE(child->geometry(), QRect(px(2160), px(600), px(2175), px(3795)));
        bounds.SetLeft(2160.5);
        QCOMPARE(bounds.Left(), 2160.5);  // no rounding of the stored value
        bounds.SetWidth(-300);            // a window made tiny
        QCOMPARE(bounds.Width(), -300.0);
        QCOMPARE(child->width(), 0);
    }

    void eventBoundaryShowsRunTimeError()
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

    // The start and exit paths are driven through the main window elsewhere; here a value
    // that an INI file could misread.
    void settingsKeepAwkwardValues()
    {
        QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
        IniSettingsStore store;
        const QString odd = QStringLiteral("/tmp/a b;c=\"d\"");
        store.SaveSetting(QStringLiteral("tessel"), QStringLiteral("Startup"), QStringLiteral("lastDir"), odd);
        QCOMPARE(store.GetSetting(QStringLiteral("tessel"), QStringLiteral("Startup"), QStringLiteral("lastDir"), {}), odd);
        QVERIFY(QFile::exists(home.path() + QStringLiteral("/tessel.ini")));
    }

    void volumeRootIsLongestPrefix()
    {
        const std::vector<VolumeInfo> volumes{{"/", {}}, {"/media/usb", {}}, {"/media/usb2", {}}};
        QCOMPARE(VolumeRootOf(volumes, QStringLiteral("/media/usb/pics")), QStringLiteral("/media/usb"));
        QCOMPARE(VolumeRootOf(volumes, QStringLiteral("/media/usb2")), QStringLiteral("/media/usb2"));
        QCOMPARE(VolumeRootOf(volumes, QStringLiteral("/media/usb22/x")), QStringLiteral("/"));
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
