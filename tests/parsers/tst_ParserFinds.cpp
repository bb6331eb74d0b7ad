// Inputs on which fuzzing found the parsers wrong, each with what they must give (the
// wildcard's are rows of the platform test's pattern table).
#include "DesktopEntry.h"
#include "MimeAppsList.h"

#include <QtTest>

class TestParserFinds : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstSpellingOfAMimeTypeWins_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("defaults");
        // Which spelling counted depended on the order of a hash table, so it changed between runs.
        QTest::newRow("found by the fuzzer")
            << "[Default Applications]\nimage/png=viewer.desktopons]\nimage/png=painter.desktop;\n"
               "image/gif=viewer.desktopefault Applications]\nimage/pnG=viewr.desktons]\nimage/png=editor.desktop;\n"
            << QStringList{"viewer.desktopons]"};
        // Eight spellings: a hash order agrees with the file order only by chance.
        QString many = QStringLiteral("[Default Applications]\n");
        const QStringList spellings{"IMAGE/PNG", "image/png", "Image/png", "iMage/png",
                                    "imAge/png", "imaGe/png", "imagE/png", "image/Png"};
        for (int i = 0; i < spellings.size(); ++i)
            many += spellings[i] + QStringLiteral("=app%1.desktop;\n").arg(i);
        QTest::newRow("eight spellings, upper case first") << many << QStringList{"app0.desktop"};
    }

    void firstSpellingOfAMimeTypeWins()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, defaults);
        const MimeAppsList list = MimeAppsList::Parse(text);
        QCOMPARE(list.Defaults(QStringLiteral("image/png")), defaults);
        QCOMPARE(list.Defaults(QStringLiteral("IMAGE/PNG")), defaults);
        QCOMPARE(SplitKeyFileList(ReadKeyFileGroup(text, QStringLiteral("Default Applications"), Qt::CaseInsensitive)
                                      .value(QStringLiteral("image/png"))),
                 defaults);

        // Read as a cache the same lines count as added associations, by the same rule.
        QString cache = text;
        cache.replace(QStringLiteral("[Default Applications]"), QStringLiteral("[MIME Cache]"));
        QCOMPARE(MimeAppsList::ParseCache(cache).Added(QStringLiteral("Image/PNG")), defaults);
    }
};

QTEST_GUILESS_MAIN(TestParserFinds)
#include "tst_ParserFinds.moc"
