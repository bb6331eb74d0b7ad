// Rename and move against the real disk, with faults injected step by step. Moving to
// the trash is checked through the Delete command and the hostile corpus.
#include "ErrorOf.h"
#include "ScriptedFileOperations.h"
#include "TestFiles.h"

#include <QtTest>
#include <cerrno>
#include <sys/stat.h>

using Step = ScriptedFileOperations::Step;

namespace {
QStringList temporariesIn(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral(".tessel-*")}, QDir::Files | QDir::Hidden);
}

// Table rows. Rename: from and to, the error (0: renamed), where a.jpg's bytes end up.
// Fault: the step of a copying move that fails with `err` (0: none, but the target name
// is taken) and the error the move then gives.
struct Rename { const char *from, *to; int error; const char* landsAt; };
struct Fault { Step step; int err, number; };

// Bytes in no repeating order, more than one copy chunk long.
const QByteArray Photo = [] {
    QByteArray bytes;
    for (int i = 0; i < 300000; ++i)
        bytes += char((unsigned(i) * 7919u) >> 3);
    return bytes;
}();
}

Q_DECLARE_METATYPE(Rename)
Q_DECLARE_METATYPE(Fault)

class TestFileOps : public QObject {
    Q_OBJECT
    QString at(const QString& rel) const { return m_tmp.path() + QLatin1Char('/') + rel; }
    QTemporaryDir m_tmp;

private Q_SLOTS:
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
        QTest::addColumn<Rename>("row");
        const int taken = FileErrNo::FileAlreadyExists;
        QTest::newRow("new name") << Rename{"pics/a.jpg", "pics/c.jpg", 0, "pics/c.jpg"};
        QTest::newRow("up and over") << Rename{"pics/a.jpg", "pics/../other/x.jpg", 0, "other/x.jpg"};
        // Never replaces what is there, not even the file itself under another spelling.
        QTest::newRow("onto existing") << Rename{"pics/a.jpg", "pics/b.jpg", taken, "pics/a.jpg"};
        QTest::newRow("onto a folder") << Rename{"pics/a.jpg", "pics/sub", taken, "pics/a.jpg"};
        QTest::newRow("itself, spelt otherwise") << Rename{"pics/a.jpg", "pics/sub/../a.jpg", taken, "pics/a.jpg"};
        QTest::newRow("missing source") << Rename{"pics/gone.jpg", "pics/c.jpg", ErrNo::FileNotFound, "pics/a.jpg"};
        QTest::newRow("missing folder") << Rename{"pics/a.jpg", "pics/no/c.jpg", ErrNo::PathNotFound, "pics/a.jpg"};
    }

    void rename()
    {
        QFETCH(Rename, row);
        FileOperations ops;
        QCOMPARE(ErrorOf([&] { ops.Rename(at(row.from), at(row.to)); }), row.error);
        QCOMPARE(TestFiles::read(at(row.landsAt)), QByteArray("AAAA"));
        QCOMPARE(TestFiles::read(at(QStringLiteral("pics/b.jpg"))), QByteArray("BBBB"));
        QCOMPARE(QFile::exists(at(QStringLiteral("pics/a.jpg"))), row.error != 0);
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
        QTest::addColumn<Fault>("row");
        QTest::newRow("target taken") << Fault{Step::Rename, 0, FileErrNo::FileAlreadyExists};
        QTest::newRow("create temporary") << Fault{Step::CreateTemporary, EACCES, ErrNo::PathFileAccess};
        QTest::newRow("copy") << Fault{Step::CopyContents, ENOSPC, FileErrNo::DiskFull};
        QTest::newRow("fsync") << Fault{Step::SyncFile, EIO, FileErrNo::DeviceIO};
        QTest::newRow("rename into place") << Fault{Step::PlaceTemporary, EEXIST, FileErrNo::FileAlreadyExists};
        QTest::newRow("fsync folder") << Fault{Step::SyncFolder, EIO, FileErrNo::DeviceIO};
        QTest::newRow("remove source") << Fault{Step::RemoveSource, EACCES, ErrNo::PathFileAccess};
    }

    void copyingMoveFailureLeavesSourceAlone()
    {
        QFETCH(Fault, row);
        const auto [step, err, number] = row;
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
        QVERIFY(temporariesIn(shm.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFileOps)
#include "test_fileops.moc"
