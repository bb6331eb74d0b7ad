// Comments that follow their images: the comment attribute an image file carries, the
// relinking of a selected image that another program moved, and the CSV backup.
#include "AppError.h"
#include "TestFiles.h"
#include "TooltipStore.h"
#include "TooltipStoreFile.h"

#include <QProcess>
#include <QtTest>

#include <sys/xattr.h>

namespace {
using Text = std::optional<QString>;

Text Attribute(const QString& sPath)
{
    char value[4096];
    const ssize_t size = ::getxattr(QFile::encodeName(sPath).constData(), "user.xdg.comment", value, sizeof value);
    return size < 0 ? Text() : Text(QString::fromUtf8(value, int(size)));
}

void AddComment(TooltipStore& store, const QString& sPath, const QString& sText)
{
    store.AddNew();
    store.SetField(QStringLiteral("Path"), sPath);
    store.SetField(QStringLiteral("Tooltip"), sText);
    store.Update();
}

// What the preview shows when sPath is selected: the selection's worker-side read.
Text Selected(TooltipStore& store, const QString& sPath)
{
    return TooltipStore::TooltipOf(store.Reader()(sPath));
}

void Run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 0);
}

// A real file moved or copied by another program; `how` names the way.
struct Travel { QString how; bool keepsOriginal; };
}

Q_DECLARE_METATYPE(Travel)

class CommentTravelTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path() + QStringLiteral("/data")));
    }

    // The comment of a real image file, which another program then renames, moves or
    // copies: selecting the file where it went shows the comment, from one row under the
    // new path; a copy leaves the original its own row.
    void followsFilesMovedByOthers_data()
    {
        QTest::addColumn<Travel>("row");
        QTest::newRow("rename(2)") << Travel{"rename", false};
        QTest::newRow("mv to another file system") << Travel{"mv shm", false};
        QTest::newRow("cp -a") << Travel{"cp -a", true};
        // A tool that drops the attribute: the file's identity still finds the row.
        QTest::newRow("attribute dropped, rename(2)") << Travel{"strip rename", false};
    }

    void followsFilesMovedByOthers()
    {
        QFETCH(Travel, row);
        QTemporaryDir dir;
        QTemporaryDir shm(QStringLiteral("/dev/shm/tessel-travel-XXXXXX"));
        QVERIFY(shm.isValid());
        CreateStore(dir.path());
        const QString image = dir.path() + QStringLiteral("/pics/sea, \"blue\".jpg");
        TestFiles::write(image, "picture bytes");
        const QString text = QStringLiteral("Sunset, \"at\" the pier\nsecond line");
        TooltipStore store;
        store.Open(dir.path());
        AddComment(store, image, text);
        QCOMPARE(Selected(store, image), Text(text));  // the selection records what the file is

        QString moved = dir.path() + QStringLiteral("/pics/renamed.jpg");
        if (row.how == u"mv shm") {
            moved = shm.path() + QStringLiteral("/moved.jpg");
            Run(QStringLiteral("mv"), {image, moved});
        } else if (row.how == u"cp -a") {
            moved = dir.path() + QStringLiteral("/copy.jpg");
            Run(QStringLiteral("cp"), {QStringLiteral("-a"), image, moved});
        } else {
            if (row.how.startsWith(u"strip"))
                QCOMPARE(::removexattr(QFile::encodeName(image).constData(), "user.xdg.comment"), 0);
            QCOMPARE(::rename(QFile::encodeName(image).constData(), QFile::encodeName(moved).constData()), 0);
        }
        QCOMPARE(Selected(store, moved), Text(text));
        QStringList expected{moved + QLatin1Char('|') + text};
        if (row.keepsOriginal)
            expected.prepend(image + QLatin1Char('|') + text);
        QCOMPARE(AllRows(dir.path() + QStringLiteral("/Tooltips.mdb")), expected);
        QCOMPARE(Selected(store, moved), Text(text));  // selected again: nothing more added
        QCOMPARE(AllRows(dir.path() + QStringLiteral("/Tooltips.mdb")).size(), expected.size());
        QCOMPARE(Attribute(moved), Text(text));
    }
};

QTEST_GUILESS_MAIN(CommentTravelTest)
#include "CommentTravelTest.moc"
