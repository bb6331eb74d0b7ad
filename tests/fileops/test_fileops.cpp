// Rename and move against the real disk, with faults injected step by step, and the
// trash with names and trash folders the desktop's own trash could not cope with.
#include "DesktopTrash.h"
#include "ErrorOf.h"
#include "ScriptedFileOperations.h"
#include "TestFiles.h"

#include <QtTest>
#include <cerrno>
#include <sys/file.h>
#include <sys/stat.h>

using Step = ScriptedFileOperations::Step;

namespace {
QStringList temporariesIn(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral(".tessel-*")}, QDir::Files | QDir::Hidden);
}

// What another program does to the source while it is being moved.
enum class Meddle { None, Replace, Append };

// Table rows. Rename: from and to, the error (0: renamed), where a.jpg's bytes end up.
// Fault: the step of a copying move that fails with `err` (0 and no meddling: the
// target name is taken), or after which the source is meddled with, and the error the
// move then gives. Trash: a name, how often a file of that name is deleted, what is
// wrong with the trash beforehand, and the error each delete gives.
struct Rename { const char *from, *to; int error; const char* landsAt; };
struct Fault { Step step; int err, number; Meddle meddle = Meddle::None; };
enum class Broken { None, InfoIsFile, FilesIsFile, OrphanInFiles };
struct Trash { QByteArray name; int times; Broken broken; int error; };
// TopTrash: what `.Trash` at the top of the other file system is, the trash folder the
// file should land in there, and an errno for the rename into it.
enum class Shared { None, Sticky, NotSticky, LinkToSticky };
struct TopTrash { Shared shared; const char* lands; int renameErr; };

// The trash with the top of the other file system set by the test, and its rename
// made to fail on request.
class TopTrashAt : public DesktopTrash {
public:
    TopTrashAt(QByteArray top, int renameErr) : m_top(std::move(top)), m_renameErr(renameErr) {}

protected:
    QByteArray fileSystemTop(const QByteArray&, dev_t) override { return m_top; }
    int placeInTrash(const QByteArray& from, const QByteArray& to) override
    {
        return m_renameErr ? m_renameErr : DesktopTrash::placeInTrash(from, to);
    }

private:
    QByteArray m_top;
    int m_renameErr;
};

// Bytes in no repeating order, more than one copy chunk long.
const QByteArray Photo = [] {
    QByteArray bytes;
    for (int i = 0; i < 300000; ++i)
        bytes += char((unsigned(i) * 7919u) >> 3);
    return bytes;
}();

// Whether two folders lie on different file systems.
bool apart(const QString& a, const QString& b)
{
    struct stat x {}, y {};
    return ::stat(QFile::encodeName(a).constData(), &x) == 0 && ::stat(QFile::encodeName(b).constData(), &y) == 0
           && x.st_dev != y.st_dev;
}

// The value of `key=` in a .trashinfo file.
QByteArray infoValue(const QByteArray& info, const QByteArray& key)
{
    for (const QByteArray& line : info.split('\n'))
        if (line.startsWith(key + '='))
            return line.mid(key.size() + 1);
    return "<none>";
}
}

Q_DECLARE_METATYPE(Rename)
Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Trash)
Q_DECLARE_METATYPE(TopTrash)

class TestFileOps : public QObject {
    Q_OBJECT
    QString at(const QString& rel) const { return m_tmp.path() + QLatin1Char('/') + rel; }
    QTemporaryDir m_tmp;

private Q_SLOTS:
    // pics/a.jpg "AAAA", pics/b.jpg "BBBB", pics/sub/, other/, and a home of our own.
    void init()
    {
        QDir(m_tmp.path()).removeRecursively();
        TestFiles::usePrivateHome(at(QStringLiteral("home")));
        TestFiles::makeDir(at(QStringLiteral("pics/sub")));
        TestFiles::makeDir(at(QStringLiteral("other")));
        TestFiles::write(at(QStringLiteral("pics/a.jpg")), "AAAA");
        TestFiles::write(at(QStringLiteral("pics/b.jpg")), "BBBB");
    }

    void rename_data()
    {
        QTest::addColumn<Rename>("row");
        const int taken = FileErrNo::FileAlreadyExists;
        // Never replaces what is there, not even the file itself under another spelling.
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
        QCOMPARE(QFile::exists(at(QStringLiteral("pics/a.jpg"))), row.error != 0);
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
        // The source must still be the file that was copied when it is removed: another
        // file put in its place, or bytes written to it after the copy, must survive.
        const int changed = ErrNo::PathFileAccess;
        QTest::newRow("replaced during the copy") << Fault{Step::CopyContents, 0, changed, Meddle::Replace};
        QTest::newRow("grew during the copy") << Fault{Step::CopyContents, 0, changed, Meddle::Append};
        QTest::newRow("replaced once copied") << Fault{Step::SyncFolder, 0, changed, Meddle::Replace};
        QTest::newRow("grew once copied") << Fault{Step::SyncFolder, 0, changed, Meddle::Append};
    }

    void copyingMoveFailureLeavesSourceAlone()
    {
        QFETCH(Fault, row);
        const auto [step, err, number, meddle] = row;
        const QString source = at(QStringLiteral("pics/big.jpg")), target = at(QStringLiteral("other/big.jpg"));
        TestFiles::write(source, Photo);
        const bool taken = err == 0 && meddle == Meddle::None;
        if (taken)
            TestFiles::write(target, "KEEP");
        ScriptedFileOperations ops;
        ops.SimulateCrossDevice(true);
        if (err != 0)
            ops.FailAt(step, err);
        ops.AfterStep(step, [&] {
            if (meddle == Meddle::Replace) {  // as `mv other big.jpg` would
                TestFiles::write(source + QStringLiteral(".new"), "OTHER");
                QCOMPARE(::rename(QFile::encodeName(source + QStringLiteral(".new")), QFile::encodeName(source)), 0);
            } else if (meddle == Meddle::Append) {
                QFile file(source);
                QVERIFY(file.open(QIODevice::Append) && file.write("MORE") == 4);
            }
        });
        // A step never reached would give no error, or one from elsewhere.
        QCOMPARE(ErrorOf([&] { ops.Rename(source, target); }), number);
        const QByteArray kept = meddle == Meddle::Replace ? QByteArray("OTHER") : meddle == Meddle::Append ? Photo + "MORE" : Photo;
        QCOMPARE(TestFiles::read(source), kept);
        QCOMPARE(TestFiles::read(target), taken ? QByteArray("KEEP") : QByteArray("<missing>"));
        QCOMPARE(temporariesIn(at(QStringLiteral("other"))), QStringList());
    }

    void moveToAnotherRealFileSystem()
    {
        QTemporaryDir shm(QStringLiteral("/dev/shm/tessel-XXXXXX"));
        if (!shm.isValid() || !apart(shm.path(), m_tmp.path()))
            QSKIP("no second file system beside the temporary folder");
        const QString source = at(QStringLiteral("pics/big.jpg")), moved = shm.path() + QStringLiteral("/big.jpg");
        TestFiles::write(source, Photo);
        FileOperations ops;
        ops.Rename(source, moved);
        QVERIFY(!QFile::exists(source));
        QCOMPARE(TestFiles::read(moved), Photo);
        QVERIFY(temporariesIn(shm.path()).isEmpty());
    }

    // A copying move keeps the bytes, the mode and the time. A move that was killed leaves
    // its hidden temporary behind; the next move into that folder removes it, but nothing
    // that is not clearly such a leftover of ours.
    void copyingMoveKeepsModeAndTimeAndClearsLeftovers()
    {
        const QString folder = at(QStringLiteral("other/"));
        const QString source = at(QStringLiteral("pics/big.jpg")), target = folder + QStringLiteral("big.jpg");
        TestFiles::write(source, Photo);
        QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const QFile::Permissions mode = QFile::permissions(source);
        const QDateTime taken(QDate(2003, 7, 14), QTime(12, 30, 5), Qt::UTC);
        {
            QFile f(source);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(taken, QFileDevice::FileModificationTime));
        }
        const QString busy = folder + QStringLiteral(".tessel-Busy01.tmp");  // a live move holds its lock
        QStringList kept{busy, folder + QStringLiteral(".tessel-short.tmp"), folder + QStringLiteral(".tessel-Ab3xZ9.tmp.jpg"),
                         folder + QStringLiteral("tessel-Ab3xZ9.tmp")};
        TestFiles::write(folder + QStringLiteral(".tessel-Ab3xZ9.tmp"), "half a copy");
        for (const QString& file : kept)
            TestFiles::write(file, "keep");
        kept << folder + QStringLiteral(".tessel-Link00.tmp") << folder + QStringLiteral(".tessel-Dir000.tmp");
        QCOMPARE(::symlink("../pics/b.jpg", QFile::encodeName(kept[4]).constData()), 0);
        TestFiles::makeDir(kept[5]);
        if (::geteuid() == 0) {  // another user's
            kept << folder + QStringLiteral(".tessel-Other0.tmp");
            TestFiles::write(kept[6], "keep");
            QCOMPARE(::chown(QFile::encodeName(kept[6]).constData(), 4242, 4242), 0);
        }
        QFile lock(busy);
        QVERIFY(lock.open(QIODevice::ReadOnly) && ::flock(lock.handle(), LOCK_EX | LOCK_NB) == 0);
        // Afterwards: the stale one is gone, and the move left none of its own.
        QStringList temporaries = temporariesIn(folder);
        QVERIFY(temporaries.removeOne(QStringLiteral(".tessel-Ab3xZ9.tmp")));

        ScriptedFileOperations ops;
        ops.SimulateCrossDevice(true);
        ops.Rename(source, target);
        QVERIFY(ops.StepsRun().contains(Step::CopyContents));  // the copying path really ran
        QVERIFY(!QFile::exists(source));
        QCOMPARE(TestFiles::read(target), Photo);
        QCOMPARE(QFileInfo(target).lastModified().toUTC(), taken);
        QCOMPARE(QFile::permissions(target), mode);
        QCOMPARE(temporariesIn(folder), temporaries);
        for (const QString& file : kept)
            QVERIFY2(QFileInfo(file).exists() || QFileInfo(file).isSymLink(), qPrintable(file));
        QCOMPARE(TestFiles::read(at(QStringLiteral("pics/b.jpg"))), QByteArray("BBBB"));
    }

    void moveToTrash_data()
    {
        QTest::addColumn<Trash>("row");
        const int refused = ErrNo::PathFileAccess;
        // The name and ".trashinfo" no longer fit into the 255 bytes of a file name.
        QTest::newRow("255 bytes, twice") << Trash{QByteArray("q").repeated(251) + ".jpg", 2, Broken::None, 0};
        QTest::newRow("254 bytes of two-byte letters") << Trash{QByteArray("\xC3\xBC").repeated(125) + ".jpg", 2, Broken::None, 0};
        // A newline would end the Path= line early.
        QTest::newRow("spaces, percent, newline, non-ASCII, twice") << Trash{"my 100% \xC3\xA9t\xC3\xA9\n#1?.jpg", 2, Broken::None, 0};
        QTest::newRow("name taken in files only") << Trash{"a.jpg", 1, Broken::OrphanInFiles, 0};
        // Where the trash cannot be written, the file stays and the user hears why.
        QTest::newRow("info is no folder") << Trash{"a.jpg", 1, Broken::InfoIsFile, refused};
        QTest::newRow("info is no folder, 250 bytes") << Trash{QByteArray("r").repeated(246) + ".jpg", 1, Broken::InfoIsFile, refused};
        QTest::newRow("files is no folder") << Trash{"a.jpg", 1, Broken::FilesIsFile, refused};
    }

    void moveToTrash()
    {
        QFETCH(Trash, row);
        const auto [name, times, broken, error] = row;
        const QString trash = at(QStringLiteral("home/data/Trash/"));
        const QString path = at(QStringLiteral("pics/")) + QFile::decodeName(name);
        if (broken == Broken::InfoIsFile || broken == Broken::FilesIsFile)
            TestFiles::write(trash + (broken == Broken::InfoIsFile ? "info" : "files"), "not a folder");
        if (broken == Broken::OrphanInFiles)
            TestFiles::write(trash + QStringLiteral("files/") + QFile::decodeName(name), "orphan");
        QStringList contents;
        for (int i = 0; i < times; ++i) {
            contents << QStringLiteral("copy %1").arg(i);
            TestFiles::write(path, contents.last().toUtf8());
            QCOMPARE(ErrorOf([&] { FileOperations().MoveToTrash(path); }), error);
            QCOMPARE(TestFiles::read(path), error ? contents.last().toUtf8() : QByteArray("<missing>"));
        }
        const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        QStringList infos = QDir(trash + QStringLiteral("info")).entryList(all, QDir::Name);
        if (error) {
            QCOMPARE(infos, QStringList());
            QCOMPARE(QDir(trash + QStringLiteral("files")).entryList(all), QStringList());
            return;
        }
        // Each trashed file has its own name and its information file beside it, which
        // names the original place in a form that survives any byte of the name.
        QStringList trashed = QDir(trash + QStringLiteral("files")).entryList(all, QDir::Name);
        if (broken == Broken::OrphanInFiles)
            QCOMPARE(TestFiles::read(trash + QStringLiteral("files/") + trashed.takeAt(trashed.indexOf(QFile::decodeName(name)))), QByteArray("orphan"));
        QCOMPARE(trashed.size(), times);
        QStringList found;
        for (const QString& file : trashed) {
            const QByteArray infoName = QFile::encodeName(file) + ".trashinfo";
            QVERIFY2(infoName.size() <= 255 && file.endsWith(QStringLiteral(".jpg")), infoName.constData());
            QVERIFY(infos.removeOne(QFile::decodeName(infoName)));
            const QByteArray info = TestFiles::read(trash + QStringLiteral("info/") + QFile::decodeName(infoName));
            QVERIFY2(info.startsWith("[Trash Info]\n"), info.constData());
            const QByteArray encoded = infoValue(info, "Path");
            QCOMPARE(QByteArray::fromPercentEncoding(encoded), QFile::encodeName(path));
            QVERIFY2(QRegularExpression(QStringLiteral("^[A-Za-z0-9/._~%-]+$")).match(QString::fromLatin1(encoded)).hasMatch(), encoded.constData());
            found << QString::fromUtf8(TestFiles::read(trash + QStringLiteral("files/") + file));
        }
        QCOMPARE(infos, QStringList());
        found.sort();
        QCOMPARE(found, contents);
    }

    // A file on another file system than the home trash goes to the trash at that file
    // system's top, which records its place relative to the top.
    void topDirTrash_data()
    {
        QTest::addColumn<TopTrash>("row");
        const QByteArray uid = QByteArray::number(uint(::geteuid()));
        static const QByteArray own = ".Trash-" + uid, shared = ".Trash/" + uid;
        QTest::newRow("no .Trash") << TopTrash{Shared::None, own.constData(), 0};
        QTest::newRow("sticky .Trash") << TopTrash{Shared::Sticky, shared.constData(), 0};
        QTest::newRow(".Trash not sticky") << TopTrash{Shared::NotSticky, own.constData(), 0};
        QTest::newRow(".Trash a link") << TopTrash{Shared::LinkToSticky, own.constData(), 0};
        QTest::newRow("rename refused") << TopTrash{Shared::None, own.constData(), EIO};
    }

    void topDirTrash()
    {
        QFETCH(TopTrash, row);
        QTemporaryDir shm(QStringLiteral("/dev/shm/tessel-XXXXXX"));
        if (!shm.isValid() || !apart(shm.path(), m_tmp.path()))
            QSKIP("no second file system beside the temporary folder");
        const QString top = shm.path() + QLatin1Char('/'), path = top + QStringLiteral("pics/a b.jpg");
        TestFiles::write(path, "AB");
        if (row.shared == Shared::Sticky || row.shared == Shared::NotSticky)
            QCOMPARE(::mkdir(QFile::encodeName(top + ".Trash").constData(), row.shared == Shared::Sticky ? 01777 : 0777), 0);
        if (row.shared == Shared::LinkToSticky) {
            QCOMPARE(::mkdir(QFile::encodeName(top + "sticky").constData(), 01777), 0);
            QCOMPARE(::symlink("sticky", QFile::encodeName(top + ".Trash").constData()), 0);
        }
        TopTrashAt trash(QFile::encodeName(shm.path()), row.renameErr);
        QCOMPARE(ErrorOf([&] { trash.MoveToTrash(path); }), row.renameErr ? ErrNo::PathFileAccess : 0);
        const QString lands = top + QLatin1String(row.lands);
        QCOMPARE(TestFiles::read(path), row.renameErr ? QByteArray("AB") : QByteArray("<missing>"));
        QCOMPARE(TestFiles::read(lands + QStringLiteral("/files/a b.jpg")), row.renameErr ? QByteArray("<missing>") : QByteArray("AB"));
        const QByteArray info = TestFiles::read(lands + QStringLiteral("/info/a b.jpg.trashinfo"));
        QCOMPARE(infoValue(info, "Path"), row.renameErr ? QByteArray("<none>") : QByteArray("pics/a%20b.jpg"));
        QVERIFY(!QFileInfo::exists(at(QStringLiteral("home/data/Trash/files"))));  // never the home trash
    }
};

QTEST_GUILESS_MAIN(TestFileOps)
#include "test_fileops.moc"
