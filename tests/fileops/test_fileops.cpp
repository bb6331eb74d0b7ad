// Rename, move and trash against the real disk, with faults injected step by step.
#include "ErrorOf.h"
#include "ScriptedFileOperations.h"
#include "TestFiles.h"

#include <QtTest>
#include <cerrno>
#include <sys/stat.h>

using Step = ScriptedFileOperations::Step;
Q_DECLARE_METATYPE(Step)

namespace {
QStringList temporariesIn(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral(".tessel-*")}, QDir::Files | QDir::Hidden);
}

// Bytes in no repeating order, more than one copy chunk long.
const QByteArray Photo = [] {
    QByteArray bytes;
    for (int i = 0; i < 300000; ++i)
        bytes += char((unsigned(i) * 7919u) >> 3);
    return bytes;
}();
}

class TestFileOps : public QObject {
    Q_OBJECT
    QString at(const QString& rel) const { return m_tmp.path() + QLatin1Char('/') + rel; }
    QTemporaryDir m_tmp;
    QTemporaryDir m_home;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path() + QStringLiteral("/data")));
    }

    // pics/a.jpg "AAAA", pics/b.jpg "BBBB", pics/sub/, other/.
    void init()
    {
        QDir(m_tmp.path()).removeRecursively();
        TestFiles::makeDir(at(QStringLiteral("pics/sub")));
        TestFiles::makeDir(at(QStringLiteral("other")));
        TestFiles::write(at(QStringLiteral("pics/a.jpg")), "AAAA");
        TestFiles::write(at(QStringLiteral("pics/b.jpg")), "BBBB");
    }

    void rename_data()
    {
        QTest::addColumn<QString>("oldRel");
        QTest::addColumn<QString>("newRel");
        QTest::addColumn<int>("error");        // 0: the rename succeeds
        QTest::addColumn<QString>("landsAt");  // where a.jpg's bytes end up
        QTest::newRow("new name") << "pics/a.jpg" << "pics/c.jpg" << 0 << "pics/c.jpg";
        QTest::newRow("up and over") << "pics/a.jpg" << "pics/../other/x.jpg" << 0 << "other/x.jpg";
        // Never replaces what is there, not even the file itself under another spelling.
        QTest::newRow("onto existing") << "pics/a.jpg" << "pics/b.jpg" << FileErrNo::FileAlreadyExists << "pics/a.jpg";
        QTest::newRow("onto a folder") << "pics/a.jpg" << "pics/sub" << FileErrNo::FileAlreadyExists << "pics/a.jpg";
        QTest::newRow("itself, spelt otherwise") << "pics/a.jpg" << "pics/sub/../a.jpg" << FileErrNo::FileAlreadyExists
                                                 << "pics/a.jpg";
        QTest::newRow("missing source") << "pics/gone.jpg" << "pics/c.jpg" << int(ErrNo::FileNotFound) << "pics/a.jpg";
        QTest::newRow("missing folder") << "pics/a.jpg" << "pics/no/c.jpg" << int(ErrNo::PathNotFound) << "pics/a.jpg";
    }

    void rename()
    {
        QFETCH(QString, oldRel);
        QFETCH(QString, newRel);
        QFETCH(int, error);
        QFETCH(QString, landsAt);
        FileOperations ops;
        QCOMPARE(ErrorOf([&] { ops.Rename(at(oldRel), at(newRel)); }), error);
        QCOMPARE(TestFiles::read(at(landsAt)), QByteArray("AAAA"));
        QCOMPARE(TestFiles::read(at(QStringLiteral("pics/b.jpg"))), QByteArray("BBBB"));
        QCOMPARE(QFile::exists(at(QStringLiteral("pics/a.jpg"))), error != 0);
    }

    void copyingMoveKeepsBytesModeAndTime()
    {
        const QString source = at(QStringLiteral("pics/big.jpg")), target = at(QStringLiteral("other/big.jpg"));
        TestFiles::write(source, Photo);
        QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const QFile::Permissions mode = QFile::permissions(source);
        const QDateTime taken(QDate(2003, 7, 14), QTime(12, 30, 5), Qt::UTC);
        {
            QFile f(source);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(taken, QFileDevice::FileModificationTime));
        }
        ScriptedFileOperations ops;
        ops.SimulateCrossDevice(true);
        ops.Rename(source, target);
        QVERIFY(ops.StepsRun().contains(Step::CopyContents));  // the copying path really ran
        QVERIFY(!QFile::exists(source));
        QCOMPARE(TestFiles::read(target), Photo);
        QCOMPARE(QFileInfo(target).lastModified().toUTC(), taken);
        QCOMPARE(QFile::permissions(target), mode);
        QVERIFY(temporariesIn(at(QStringLiteral("other"))).isEmpty());
    }

    void copyingMoveFailureLeavesSourceAlone_data()
    {
        QTest::addColumn<Step>("step");  // err 0: no fault, but the target name is taken
        QTest::addColumn<int>("err");
        QTest::addColumn<int>("number");
        QTest::newRow("target taken") << Step::Rename << 0 << FileErrNo::FileAlreadyExists;
        QTest::newRow("create temporary") << Step::CreateTemporary << EACCES << int(ErrNo::PathFileAccess);
        QTest::newRow("copy") << Step::CopyContents << ENOSPC << FileErrNo::DiskFull;
        QTest::newRow("fsync") << Step::SyncFile << EIO << FileErrNo::DeviceIO;
        QTest::newRow("rename into place") << Step::PlaceTemporary << EEXIST << FileErrNo::FileAlreadyExists;
        QTest::newRow("fsync folder") << Step::SyncFolder << EIO << FileErrNo::DeviceIO;
        QTest::newRow("remove source") << Step::RemoveSource << EACCES << int(ErrNo::PathFileAccess);
    }

    void copyingMoveFailureLeavesSourceAlone()
    {
        QFETCH(Step, step);
        QFETCH(int, err);
        QFETCH(int, number);
        const QString source = at(QStringLiteral("pics/big.jpg")), target = at(QStringLiteral("other/big.jpg"));
        TestFiles::write(source, Photo);
        if (err == 0)
            TestFiles::write(target, "KEEP");
        ScriptedFileOperations ops;
        ops.SimulateCrossDevice(true);
        if (err != 0)
            ops.FailAt(step, err);
        QCOMPARE(ErrorOf([&] { ops.Rename(source, target); }), number);
        QVERIFY(ops.StepsRun().contains(step));
        QCOMPARE(TestFiles::read(source), Photo);
        QCOMPARE(TestFiles::read(target), err == 0 ? QByteArray("KEEP") : QByteArray("<missing>"));
        QCOMPARE(temporariesIn(at(QStringLiteral("other"))), QStringList());
    }

    void moveToAnotherRealFileSystem()
    {
        QTemporaryDir shm(QStringLiteral("/dev/shm/tessel-XXXXXX"));
        struct stat a {}, b {};
        if (!shm.isValid() || ::stat(QFile::encodeName(shm.path()).constData(), &a) != 0
            || ::stat(QFile::encodeName(m_tmp.path()).constData(), &b) != 0 || a.st_dev == b.st_dev)
            QSKIP("no second file system beside the temporary folder");
        const QString source = at(QStringLiteral("pics/big.jpg")), moved = shm.path() + QStringLiteral("/big.jpg");
        TestFiles::write(source, Photo);
        FileOperations ops;
        ops.Rename(source, moved);
        QVERIFY(!QFile::exists(source));
        QCOMPARE(TestFiles::read(moved), Photo);
        // Back again onto a name that is taken: refused, both files as they were.
        TestFiles::write(source, "TAKEN");
        QCOMPARE(ErrorOf([&] { ops.Rename(moved, source); }), FileErrNo::FileAlreadyExists);
        QCOMPARE(TestFiles::read(source), QByteArray("TAKEN"));
        QCOMPARE(TestFiles::read(moved), Photo);
        QVERIFY(temporariesIn(at(QStringLiteral("pics"))).isEmpty());
    }

    // What the trash holds afterwards (the file and its .trashinfo) is checked by the Delete command's test.
    void trash()
    {
        const QString source = at(QStringLiteral("pics/a.jpg"));
        ScriptedFileOperations refusing;
        refusing.FailAt(Step::Trash, EIO);
        QCOMPARE(ErrorOf([&] { refusing.MoveToTrash(source); }), int(ErrNo::PathFileAccess));
        QCOMPARE(TestFiles::read(source), QByteArray("AAAA"));
        FileOperations ops;
        ops.MoveToTrash(source);
        QCOMPARE(ErrorOf([&] { ops.MoveToTrash(source); }), int(ErrNo::FileNotFound));
        QCOMPARE(TestFiles::read(m_home.path() + QStringLiteral("/data/Trash/files/a.jpg")), QByteArray("AAAA"));
    }
};

QTEST_GUILESS_MAIN(TestFileOps)
#include "test_fileops.moc"
