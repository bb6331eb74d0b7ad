// Rename, move and trash against the real disk, with faults injected step by step.
#include "AppError.h"
#include "ScriptedFileOperations.h"
#include "TestFiles.h"

#include <QtTest>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using Step = ScriptedFileOperations::Step;
Q_DECLARE_METATYPE(Step)

namespace {
QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList temporariesIn(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral(".tessel-*")}, QDir::Files | QDir::Hidden);
}

// The error number a call throws, 0 when it succeeds.
int errorOf(const std::function<void()>& call)
{
    try {
        call();
        return 0;
    } catch (const AppError& e) {
        return e.Number();
    }
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
private Q_SLOTS:
    void initTestCase();
    void init();
    void rename_data();
    void rename();
    void nameThatIsNotUtf8IsNeverReached();
    void copyingMoveKeepsBytesModeAndTime();
    void copyingMoveFailureLeavesSourceAlone_data();
    void copyingMoveFailureLeavesSourceAlone();
    void moveToAnotherRealFileSystem();
    void trash();

private:
    QString at(const QString& rel) const { return m_tmp.path() + QLatin1Char('/') + rel; }
    QTemporaryDir m_tmp;
    QTemporaryDir m_home;
};

void TestFileOps::initTestCase()
{
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path() + QStringLiteral("/data")));
}

void TestFileOps::init()
{
    QDir(m_tmp.path()).removeRecursively();
    TestFiles::makeDir(at(QStringLiteral("pics/sub")));
    TestFiles::makeDir(at(QStringLiteral("other")));
    TestFiles::write(at(QStringLiteral("pics/a.jpg")), "AAAA");
    TestFiles::write(at(QStringLiteral("pics/b.jpg")), "BBBB");
}

void TestFileOps::rename_data()
{
    QTest::addColumn<QString>("oldRel");
    QTest::addColumn<QString>("newRel");
    QTest::addColumn<int>("error");        // 0: the rename succeeds
    QTest::addColumn<QString>("landsAt");  // where a.jpg's bytes end up

    QTest::newRow("new name") << "pics/a.jpg" << "pics/c.jpg" << 0 << "pics/c.jpg";
    QTest::newRow("up and over") << "pics/a.jpg" << "pics/../other/x.jpg" << 0 << "other/x.jpg";
    QTest::newRow("onto existing") << "pics/a.jpg" << "pics/b.jpg" << FileErrNo::FileAlreadyExists << "pics/a.jpg";
    QTest::newRow("onto a folder") << "pics/a.jpg" << "pics/sub" << FileErrNo::FileAlreadyExists << "pics/a.jpg";
    QTest::newRow("onto itself") << "pics/a.jpg" << "pics/a.jpg" << FileErrNo::FileAlreadyExists << "pics/a.jpg";
    QTest::newRow("itself, spelt otherwise") << "pics/a.jpg" << "pics/sub/../a.jpg" << FileErrNo::FileAlreadyExists
                                             << "pics/a.jpg";
    QTest::newRow("missing source") << "pics/gone.jpg" << "pics/c.jpg" << int(ErrNo::FileNotFound) << "pics/a.jpg";
    QTest::newRow("missing folder") << "pics/a.jpg" << "pics/no/c.jpg" << int(ErrNo::PathNotFound) << "pics/a.jpg";
}

void TestFileOps::rename()
{
    QFETCH(QString, oldRel);
    QFETCH(QString, newRel);
    QFETCH(int, error);
    QFETCH(QString, landsAt);
    FileOperations ops;
    QCOMPARE(errorOf([&] { ops.Rename(at(oldRel), at(newRel)); }), error);
    QCOMPARE(readAll(at(landsAt)), QByteArray("AAAA"));
    QCOMPARE(readAll(at(QStringLiteral("pics/b.jpg"))), QByteArray("BBBB"));
    QCOMPARE(QFile::exists(at(QStringLiteral("pics/a.jpg"))), error != 0);
}

void TestFileOps::nameThatIsNotUtf8IsNeverReached()
{
    // Two files that Qt shows under one lossily decoded name: that name reaches neither.
    const QByteArray folder = QFile::encodeName(at(QStringLiteral("pics")));
    TestFiles::writeRaw(folder + "/caf\xe9.jpg", "latin1");
    TestFiles::writeRaw(folder + "/caf\xe8.jpg", "other");
    const QString shown = QFile::decodeName(folder + "/caf\xe9.jpg");
    FileOperations ops;
    QCOMPARE(errorOf([&] { ops.Rename(shown, at(QStringLiteral("pics/cafe.jpg"))); }), int(ErrNo::FileNotFound));
    QCOMPARE(errorOf([&] { ops.MoveToTrash(shown); }), int(ErrNo::FileNotFound));
    QVERIFY(!QFile::exists(at(QStringLiteral("pics/cafe.jpg"))));
    // Both still there; removed by hand, since Qt cannot name them to clean up.
    QCOMPARE(::unlink(folder + "/caf\xe9.jpg"), 0);
    QCOMPARE(::unlink(folder + "/caf\xe8.jpg"), 0);
}

void TestFileOps::copyingMoveKeepsBytesModeAndTime()
{
    const QString source = at(QStringLiteral("pics/big.jpg"));
    TestFiles::write(source, Photo);
    QCOMPARE(::chmod(QFile::encodeName(source).constData(), 0640), 0);
    const QDateTime taken(QDate(2003, 7, 14), QTime(12, 30, 5), Qt::UTC);
    {
        QFile f(source);
        QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(taken, QFileDevice::FileModificationTime));
    }
    const QFile::Permissions mode = QFile::permissions(source);
    ScriptedFileOperations ops;
    ops.SimulateCrossDevice(true);
    ops.Rename(source, at(QStringLiteral("other/big.jpg")));

    QVERIFY(ops.StepsRun().contains(Step::CopyContents));  // the copying path really ran
    QVERIFY(!QFile::exists(source));
    const QString target = at(QStringLiteral("other/big.jpg"));
    QCOMPARE(readAll(target), Photo);
    QCOMPARE(QFileInfo(target).lastModified().toUTC(), taken);
    QCOMPARE(QFile::permissions(target), mode);
    QVERIFY(temporariesIn(at(QStringLiteral("other"))).isEmpty());
}

void TestFileOps::copyingMoveFailureLeavesSourceAlone_data()
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

void TestFileOps::copyingMoveFailureLeavesSourceAlone()
{
    QFETCH(Step, step);
    QFETCH(int, err);
    QFETCH(int, number);
    TestFiles::write(at(QStringLiteral("pics/big.jpg")), Photo);
    const bool taken = err == 0;
    if (taken)
        TestFiles::write(at(QStringLiteral("other/big.jpg")), "KEEP");
    ScriptedFileOperations ops;
    ops.SimulateCrossDevice(true);
    if (!taken)
        ops.FailAt(step, err);

    QCOMPARE(errorOf([&] { ops.Rename(at(QStringLiteral("pics/big.jpg")), at(QStringLiteral("other/big.jpg"))); }),
             number);
    QVERIFY(ops.StepsRun().contains(step));
    QCOMPARE(readAll(at(QStringLiteral("pics/big.jpg"))), Photo);
    QCOMPARE(readAll(at(QStringLiteral("other/big.jpg"))), taken ? QByteArray("KEEP") : QByteArray("<missing>"));
    QCOMPARE(temporariesIn(at(QStringLiteral("other"))), QStringList());
}

void TestFileOps::moveToAnotherRealFileSystem()
{
    QTemporaryDir shm(QStringLiteral("/dev/shm/tessel-XXXXXX"));
    struct stat a {}, b {};
    if (!shm.isValid() || ::stat(QFile::encodeName(shm.path()).constData(), &a) != 0 ||
        ::stat(QFile::encodeName(m_tmp.path()).constData(), &b) != 0 || a.st_dev == b.st_dev)
        QSKIP("no second file system beside the temporary folder");

    const QString source = at(QStringLiteral("pics/big.jpg"));
    const QString moved = shm.path() + QStringLiteral("/big.jpg");
    TestFiles::write(source, Photo);
    FileOperations ops;
    ops.Rename(source, moved);
    QVERIFY(!QFile::exists(source));
    QCOMPARE(readAll(moved), Photo);
    // Back again onto a name that is taken: refused, both files as they were.
    TestFiles::write(source, "TAKEN");
    QCOMPARE(errorOf([&] { ops.Rename(moved, source); }), FileErrNo::FileAlreadyExists);
    QCOMPARE(readAll(source), QByteArray("TAKEN"));
    QCOMPARE(readAll(moved), Photo);
    QVERIFY(temporariesIn(at(QStringLiteral("pics"))).isEmpty());
}

void TestFileOps::trash()
{
    const QString source = at(QStringLiteral("pics/a.jpg"));
    ScriptedFileOperations refusing;
    refusing.FailAt(Step::Trash, EIO);
    QCOMPARE(errorOf([&] { refusing.MoveToTrash(source); }), int(ErrNo::PathFileAccess));
    QCOMPARE(readAll(source), QByteArray("AAAA"));

    FileOperations ops;
    ops.MoveToTrash(source);
    QVERIFY(!QFile::exists(source));
    QCOMPARE(errorOf([&] { ops.MoveToTrash(source); }), int(ErrNo::FileNotFound));

    // Restorable: the info file names the original place, the bytes are intact.
    const QString trash = m_home.path() + QStringLiteral("/data/Trash/");
    const QStringList files = QDir(trash + QStringLiteral("files")).entryList(QDir::Files);
    QCOMPARE(files.size(), 1);
    QFile info(trash + QStringLiteral("info/") + files.first() + QStringLiteral(".trashinfo"));
    QVERIFY(info.open(QIODevice::ReadOnly));
    const QByteArray text = info.readAll();
    const int pos = text.indexOf("\nPath=") + 6;
    QVERIFY(pos > 6);
    const QString original = QFile::decodeName(QByteArray::fromPercentEncoding(text.mid(pos, text.indexOf('\n', pos) - pos)));
    QCOMPARE(original, source);
    QVERIFY(QFile::rename(trash + QStringLiteral("files/") + files.first(), original));
    QCOMPARE(readAll(source), QByteArray("AAAA"));
}

QTEST_GUILESS_MAIN(TestFileOps)
#include "test_fileops.moc"
