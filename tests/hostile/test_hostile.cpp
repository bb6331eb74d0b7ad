// The real main window and viewer driven over a hostile corpus: damaged pictures,
// decompression bombs, FIFOs and folders named like pictures, looping links, names that
// break quoting or are not UTF-8, and files that change between listing and click. Each
// case must end in its message or its silent recovery, as marked at the case: never a
// crash, a hang (a FIFO is never opened for reading) or unbounded memory.
#include "BrowserFixture.h"
#include "FifoWatch.h"
#include "FileCommands.h"
#include "FileList.h"
#include "FolderList.h"
#include "HostileCorpus.h"
#include "PictureBox.h"
#include "frmFullScreen.h"
#include "frmNewPath.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QtTest>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

namespace {

constexpr qint64 MaxStepMs = 2000;  // a selection or command that takes longer counts as a hang
constexpr long MaxPeakRssMiB = 600;
qint64 slowestStepMs = 0;  // over the whole run, for the closing report

// The main window over a hostile folder, with the trash and an editor association of its own.
struct HostileRig : BrowserFixture {
    HostileCorpus corpus{path("pics/hostile")};
    FifoWatch watch;

    HostileRig()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(path("data")));
        TestFiles::makeDir(path("data/applications"));
        TestFiles::write(path("data/applications/hostile-editor.desktop"),
                         "[Desktop Entry]\nType=Application\nName=Editor\nExec=hostile-editor --open %f\n");
        TestFiles::makeDir(path("cfg"));
        TestFiles::write(path("cfg/mimeapps.list"), "[Default Applications]\nimage/jpeg=hostile-editor.desktop\n"
                                                    "image/gif=hostile-editor.desktop\nimage/bmp=hostile-editor.desktop\n");
        QFile::copy(QStringLiteral(TESSEL_BUILT_STORE), path("app/Tooltips.mdb"));
        QFile::setPermissions(path("app/Tooltips.mdb"), QFile::ReadOwner | QFile::WriteOwner);
        for (const QByteArray& fifo : corpus.Fifos())
            watch.Watch(fifo);
    }

    frmFileDir& open(const QString& folder)
    {
        frmFileDir& form = startIn(folder);
        form.show();
        return form;
    }
    QString at(const QString& name) const { return corpus.Folder() + QLatin1Char('/') + name; }
    QByteArray raw(const QByteArray& name) const { return QFile::encodeName(corpus.Folder()) + '/' + name; }
};

long PeakRssMiB()
{
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;  // kilobytes on Linux
}

QString caption(const QString& path, QSize size)
{
    return path + QStringLiteral("   - Height = ") + QString::number(size.height()) + QStringLiteral("  Width = ")
           + QString::number(size.width());
}

int indexOf(frmFileDir& form, const QString& name)
{
    for (int i = 0; i < form.flbFiles->ListCount(); ++i)
        if (form.flbFiles->List(i) == name)
            return i;
    return -1;
}

QStringList listed(frmFileDir& form)
{
    QStringList names;
    for (int i = 0; i < form.flbFiles->ListCount(); ++i)
        names << form.flbFiles->List(i);
    return names;
}

void trigger(frmFileDir& form, const char* item)
{
    form.Menus().Action(QLatin1String(item))->trigger();
}

// Runs one user step and fails the test when it took longer than a person would wait.
#define TIMED(what, step)                                                                          \
    do {                                                                                           \
        QElapsedTimer timer_;                                                                      \
        timer_.start();                                                                            \
        step;                                                                                      \
        slowestStepMs = qMax(slowestStepMs, timer_.elapsed());                                     \
        QVERIFY2(timer_.elapsed() <= MaxStepMs,                                                    \
                 qPrintable(QStringLiteral("%1 took %2 ms").arg(what).arg(timer_.elapsed())));     \
    } while (false)

#define VERIFY_NO_FIFO_OPENED(rig)                                                                 \
    QVERIFY2((rig).watch.Violations().isEmpty(), qPrintable((rig).watch.Violations().join(u',')))

enum Mutation { Deleted, OtherPicture, Fifo, Folder, DanglingLink };

// Changes victim.jpg behind the listing's back.
void mutate(HostileRig& rig, const QString& folder, int mutation)
{
    const QByteArray victim = QFile::encodeName(folder + QStringLiteral("/victim.jpg"));
    QCOMPARE(::unlink(victim.constData()), 0);
    switch (mutation) {
    case OtherPicture: HostileCorpus::WriteRaw(victim, HostileCorpus::Jpeg({90, 70}, Qt::blue)); break;
    case Fifo: QVERIFY(HostileCorpus::MakeFifo(victim)); rig.watch.Watch(victim); break;
    case Folder: QCOMPARE(::mkdir(victim.constData(), 0755), 0); break;
    case DanglingLink: QCOMPARE(::symlink("gone.jpg", victim.constData()), 0); break;
    default: break;
    }
}

}  // namespace

class TestHostile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanupTestCase() { qInfo("slowest step %lld ms, peak RSS %ld MiB", slowestStepMs, PeakRssMiB()); }
    void fifoWatchCatchesReaders();
    void listingOffersPicturesOnly();
    void previewSurvivesEveryEntry();
    void viewerSurvivesEveryEntry();
    void browsingIntoLoopingFolders();
    void changedBeforeTheStep_data();
    void changedBeforeTheStep();
    void changedBeforeACommand_data();
    void changedBeforeACommand();
    void renameTakesHostileAnswers_data();
    void renameTakesHostileAnswers();
    void commandsOnHostileNames();
    void lossyNamesAreNeverActedOn();
};

void TestHostile::fifoWatchCatchesReaders()
{
    // The watch itself: a reader that holds a FIFO open, and one blocked in open(2), are
    // both caught, and the blocked one is released rather than left hanging.
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("pipe.jpg")));
    QVERIFY(HostileCorpus::MakeFifo(fifo));
    FifoWatch watch;
    watch.Watch(fifo);
    QTest::qWait(50);
    QVERIFY(watch.Violations().isEmpty());
    const int held = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    QVERIFY(held >= 0);
    QTRY_VERIFY(!watch.Violations().isEmpty());
    ::close(held);
    std::atomic<bool> released{false};
    std::thread blocked([&] {
        const int fd = ::open(fifo.constData(), O_RDONLY | O_CLOEXEC);
        ::close(fd);
        released = true;
    });
    const bool releasedByWatch = QTest::qWaitFor([&] { return released.load(); }, 3000);
    if (!releasedByWatch)
        ::close(::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));  // never hang the run
    blocked.join();
    QVERIFY(releasedByWatch);
    QVERIFY(watch.Violations().size() >= 2);
}

void TestHostile::listingOffersPicturesOnly()
{
    HostileRig rig;
    frmFileDir& form = rig.open(rig.corpus.Folder());
    QStringList want;
    for (const HostileCorpus::Entry& entry : rig.corpus.Listed())
        want << HostileCorpus::Decoded(entry.name);
    QStringList have = listed(form);
    // A folder, FIFOs, a dangling link and a link loop named *.jpg are not files: never listed.
    std::sort(want.begin(), want.end());
    std::sort(have.begin(), have.end());
    QCOMPARE(have, want);
    QCOMPARE(rig.corpus.Fifos().size(), 2);
    // The three lossy names show alike; each is still its own entry.
    QCOMPARE(have.count(QStringLiteral("bad\uFFFD.jpg")), 3);
    VERIFY_NO_FIFO_OPENED(rig);
}

void TestHostile::previewSurvivesEveryEntry()
{
    HostileRig rig;
    frmFileDir& form = rig.open(rig.corpus.Folder());
    const int count = form.flbFiles->ListCount();
    QVERIFY(count >= 25);
    // The picture the preview holds: a file it cannot load leaves the previous one.
    QSize shownSize(0, 0);
    QString shownPath;
    for (int step = 0; step < count; ++step) {
        TIMED(QStringLiteral("step %1").arg(step), form.StepSelection(40));
        QCOMPARE(form.flbFiles->ListIndex(), step);
        const QString name = form.flbFiles->List(step);
        const HostileCorpus::Entry* entry = rig.corpus.Find(name);
        QVERIFY2(entry, qPrintable(name));
        if (entry->preview) {
            shownSize = entry->size;
            shownPath = rig.at(name);
        }
        // Silent either way: the caption pairs this path with the size of what is shown.
        QCOMPARE(form.CurrentFile(), rig.at(name));
        QVERIFY2(form.windowTitle() == caption(rig.at(name), shownSize), qPrintable(QString::fromLatin1(entry->why)));
        QCOMPARE(form.imgSmall->GetPicture().Path(), shownPath);
        TIMED(QStringLiteral("Enter on %1").arg(step), QTest::keyClick(form.flbFiles, Qt::Key_Return));
        QCOMPARE(form.windowTitle(), caption(rig.at(name), shownSize));
    }
    QVERIFY(rig.dialogs.calls().isEmpty());
    QTest::qWait(300);  // the last decodes finish on their worker
    QVERIFY2(PeakRssMiB() < MaxPeakRssMiB, qPrintable(QStringLiteral("peak RSS %1 MiB").arg(PeakRssMiB())));
    VERIFY_NO_FIFO_OPENED(rig);
}

void TestHostile::viewerSurvivesEveryEntry()
{
    HostileRig rig;
    frmFileDir& form = rig.open(rig.corpus.Folder());
    const int count = form.flbFiles->ListCount();
    QPointer<frmFullScreen> viewer;
    int messages = 0;
    for (int i = 0; i < count; ++i) {
        const QString name = form.flbFiles->List(i);
        const HostileCorpus::Entry* entry = rig.corpus.Find(name);
        QVERIFY2(entry, qPrintable(name));
        if (viewer) {
            TIMED(QStringLiteral("Next onto %1").arg(i), viewer->mnuNext_Click());
        } else {
            // The previous picture closed the viewer: select this entry and open a new one.
            TIMED(QStringLiteral("select %1").arg(i), form.flbFiles->SetListIndex(i));
            TIMED(QStringLiteral("open on %1").arg(i), form.mnuFullScreen_Click());
            viewer = form.Viewer();
        }
        QCOMPARE(form.flbFiles->ListIndex(), i);
        if (entry->viewer) {
            QVERIFY2(rig.dialogs.calls().size() == messages, qPrintable(QString::fromLatin1(entry->why)));
            QVERIFY(viewer && !viewer->IsUnloading());
            QCOMPARE(viewer->imgFullScr->GetPicture().Path(), rig.at(name));
            QCOMPARE(viewer->imgFullScr->GetPicture().PixelSize(), entry->size);
            QVERIFY(!viewer->imgFullScr->Pixels().isNull());
        } else {
            // "Unable to Open " and the path as the browser gave it; then the viewer closes.
            QVERIFY2(rig.dialogs.calls().size() == ++messages, qPrintable(QString::fromLatin1(entry->why)));
            QCOMPARE(rig.dialogs.calls().last().text, QStringLiteral("Unable to Open ") + rig.at(name));
            QCOMPARE(rig.dialogs.calls().last().style, 48);
            QCOMPARE(rig.dialogs.calls().last().title, QStringLiteral("Images Browser and Viewer"));
            QTRY_VERIFY(viewer.isNull());
        }
    }
    QVERIFY(messages > 10);
    QVERIFY2(PeakRssMiB() < MaxPeakRssMiB, qPrintable(QStringLiteral("peak RSS %1 MiB").arg(PeakRssMiB())));
    VERIFY_NO_FIFO_OPENED(rig);
}

void TestHostile::browsingIntoLoopingFolders()
{
    HostileRig rig;
    frmFileDir& form = rig.open(rig.corpus.Folder());
    // From the corpus: a folder named like a picture opens like any folder; a link to
    // itself is no folder at all.
    QStringList subfolders;
    for (int row = 0; row < form.dirFolders->count(); ++row)
        subfolders << form.dirFolders->item(row)->text().trimmed();
    QVERIFY(subfolders.contains(QStringLiteral("folder.jpg")));
    QVERIFY(subfolders.contains(QStringLiteral("loop")));
    QVERIFY(!subfolders.contains(QStringLiteral("selfloop")));

    // Down loop -> a -> b (= loop) -> a -> b ...: every level lists that folder's files.
    const auto openChild = [&](const QString& child) {
        for (int row = 0; row < form.dirFolders->count(); ++row) {
            QListWidgetItem* item = form.dirFolders->item(row);
            if (item->data(Qt::UserRole).toString() == child) {
                form.dirFolders->setCurrentItem(item);
                QTest::keyClick(form.dirFolders, Qt::Key_Return);
                return true;
            }
        }
        return false;
    };
    QString folder = rig.corpus.LoopFolder();
    TIMED(QStringLiteral("open loop"), QVERIFY(openChild(folder)));
    for (int level = 1; level <= 12; ++level) {
        folder += level % 2 ? QStringLiteral("/a") : QStringLiteral("/b");
        TIMED(QStringLiteral("open level %1").arg(level), QVERIFY2(openChild(folder), qPrintable(folder)));
        QCOMPARE(form.dirFolders->Path(), folder);
        QCOMPARE(form.flbFiles->Path(), folder);
        QCOMPARE(listed(form), QStringList{level % 2 ? QStringLiteral("inner.jpg") : QStringLiteral("top.jpg")});
        TIMED(QStringLiteral("preview level %1").arg(level), form.StepSelection(40));
        QCOMPARE(form.windowTitle(), caption(folder + (level % 2 ? QStringLiteral("/inner.jpg") : QStringLiteral("/top.jpg")),
                                             level % 2 ? QSize(14, 9) : QSize(12, 8)));
    }
    // A folder that vanished between listing and double click: the message, the list stays.
    const QString parent = folder;
    QVERIFY(QDir(rig.corpus.LoopFolder() + QStringLiteral("/a")).removeRecursively());
    QVERIFY(rig.dialogs.calls().isEmpty());
    openChild(parent + QStringLiteral("/a"));  // "a" is still listed under the stale parent
    QCOMPARE(rig.dialogs.calls().size(), 1);
    QVERIFY(rig.dialogs.calls().last().text.startsWith(QStringLiteral("Unable to open the folder ") + parent + "/a"));
    QCOMPARE(form.dirFolders->Path(), parent);
    VERIFY_NO_FIFO_OPENED(rig);
}

void TestHostile::changedBeforeTheStep_data()
{
    QTest::addColumn<int>("mutation");
    // The browser lists victim.jpg, the viewer has maybe decoded it ahead, then the file
    // changes before the step reaches it.
    QTest::newRow("deleted") << int(Deleted);
    QTest::newRow("replaced by another picture") << int(OtherPicture);
    QTest::newRow("replaced by a FIFO") << int(Fifo);
    QTest::newRow("replaced by a folder") << int(Folder);
    QTest::newRow("replaced by a dangling link") << int(DanglingLink);
}

void TestHostile::changedBeforeTheStep()
{
    QFETCH(int, mutation);
    HostileRig rig;
    const QString folder = rig.path("pics/sub");
    HostileCorpus::WriteRaw(QFile::encodeName(folder + QStringLiteral("/a.jpg")), HostileCorpus::Jpeg({60, 40}));
    HostileCorpus::WriteRaw(QFile::encodeName(folder + QStringLiteral("/victim.jpg")), HostileCorpus::Jpeg({80, 60}, Qt::red));
    frmFileDir& form = rig.open(folder);
    QCOMPARE(listed(form), (QStringList{QStringLiteral("a.jpg"), QStringLiteral("victim.jpg")}));
    form.flbFiles->SetListIndex(0);
    form.mnuFullScreen_Click();
    QPointer<frmFullScreen> viewer = form.Viewer();
    QVERIFY(viewer);
    QTRY_VERIFY(viewer->Prefetcher().HeldBytes() > 0);  // victim.jpg decoded ahead, as it was
    mutate(rig, folder, mutation);
    if (QTest::currentTestFailed())
        return;

    TIMED(QStringLiteral("Next"), viewer->mnuNext_Click());
    const QString victim = folder + QStringLiteral("/victim.jpg");
    QCOMPARE(form.CurrentFile(), victim);
    if (mutation == OtherPicture) {
        // The new file is shown, never the pixels decoded ahead from the old one.
        QCOMPARE(form.windowTitle(), caption(victim, {90, 70}));
        QVERIFY(rig.dialogs.calls().isEmpty());
        QCOMPARE(viewer->imgFullScr->GetPicture().PixelSize(), QSize(90, 70));
        const QRgb centre = viewer->imgFullScr->Pixels().pixel(viewer->imgFullScr->Pixels().rect().center());
        QVERIFY2(qBlue(centre) > 200 && qRed(centre) < 60, qPrintable(QString::number(centre, 16)));
    } else {
        // The preview stays silently on a.jpg; the viewer reports the path and closes.
        QCOMPARE(form.windowTitle(), caption(victim, {60, 40}));
        QCOMPARE(form.imgSmall->GetPicture().Path(), folder + QStringLiteral("/a.jpg"));
        QCOMPARE(rig.dialogs.calls().size(), 1);
        QCOMPARE(rig.dialogs.calls().first().text, QStringLiteral("Unable to Open ") + victim);
        QTRY_VERIFY(viewer.isNull());
    }
    VERIFY_NO_FIFO_OPENED(rig);
}

void TestHostile::changedBeforeACommand_data()
{
    QTest::addColumn<int>("mutation");
    QTest::addColumn<bool>("rename");
    QTest::addColumn<bool>("succeeds");
    // Rename acts on whatever carries the name now, without opening it; only a name that is
    // gone, or a folder (which is not a picture file), is refused with the message.
    QTest::newRow("rename deleted") << int(Deleted) << true << false;
    QTest::newRow("rename other picture") << int(OtherPicture) << true << true;
    QTest::newRow("rename FIFO") << int(Fifo) << true << true;
    QTest::newRow("rename folder") << int(Folder) << true << false;
    QTest::newRow("rename dangling link") << int(DanglingLink) << true << true;
    // Delete hands the name to the trash, where it can be restored; a name that is gone,
    // that now holds a folder the user never saw in the file list, or a link the trash
    // cannot take (its target is gone) is refused with the message, and nothing is lost.
    QTest::newRow("delete deleted") << int(Deleted) << false << false;
    QTest::newRow("delete other picture") << int(OtherPicture) << false << true;
    QTest::newRow("delete FIFO") << int(Fifo) << false << true;
    QTest::newRow("delete folder") << int(Folder) << false << false;
    QTest::newRow("delete dangling link") << int(DanglingLink) << false << false;
}

void TestHostile::changedBeforeACommand()
{
    QFETCH(int, mutation);
    QFETCH(bool, rename);
    QFETCH(bool, succeeds);
    HostileRig rig;
    const QString folder = rig.path("pics/sub");
    HostileCorpus::WriteRaw(QFile::encodeName(folder + QStringLiteral("/victim.jpg")), HostileCorpus::Jpeg({80, 60}));
    frmFileDir& form = rig.open(folder);
    QCOMPARE(form.flbFiles->ListCount(), 1);
    mutate(rig, folder, mutation);
    if (QTest::currentTestFailed())
        return;
    TIMED(QStringLiteral("select"), form.flbFiles->SetListIndex(0));
    const QString victim = folder + QStringLiteral("/victim.jpg");
    struct stat before {};
    const bool existed = ::lstat(QFile::encodeName(victim).constData(), &before) == 0;

    const QString target = rename ? folder + QStringLiteral("/renamed.jpg") : rig.path("data/Trash/files/victim.jpg");
    if (rename) {
        rig.dialogs.queueInputAnswer(QStringLiteral("renamed.jpg"));
        TIMED(QStringLiteral("rename"), trigger(form, "mnuRen"));
    } else {
        rig.dialogs.queueMsgBoxAnswer(IDialogs::vbOK);
        TIMED(QStringLiteral("delete"), trigger(form, "mnuDelete"));
        QCOMPARE(rig.dialogs.calls().first().text, QStringLiteral("Delete file victim.jpg?"));
    }
    const int prompts = 1;
    struct stat after {};
    if (succeeds) {
        QCOMPARE(rig.dialogs.calls().size(), prompts);
        // The very thing that carried the name moved, and nothing else came into being.
        QCOMPARE(::lstat(QFile::encodeName(target).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QVERIFY(!QFileInfo(victim).exists() && !QFileInfo(victim).isSymLink());
        if (mutation == Fifo)
            rig.watch.Watch(QFile::encodeName(target));
    } else {
        QCOMPARE(rig.dialogs.calls().size(), prompts + 1);
        const QString message = rig.dialogs.calls().last().text;
        if (rename)
            QCOMPARE(message, QStringLiteral("Unable to Rename or Move  ") + target);
        else
            QVERIFY2(message.startsWith(QStringLiteral("Unable to move %1 to the trash").arg(victim)), qPrintable(message));
        QCOMPARE(rig.dialogs.calls().last().style, 48);
        QVERIFY(::lstat(QFile::encodeName(target).constData(), &after) != 0);
        QCOMPARE(::lstat(QFile::encodeName(victim).constData(), &after) == 0, existed);
    }
    VERIFY_NO_FIFO_OPENED(rig);
}

void TestHostile::renameTakesHostileAnswers_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("landsAt");  // relative to the corpus folder; empty: refused
    // The answer is the new name as typed, never parsed by a shell: a folder part moves the file.
    QTest::newRow("up and out") << "plain.jpg" << "../x" << "../x";
    QTest::newRow("newline") << "semi;colon.jpg" << "a\nb.jpg" << "a\nb.jpg";
    QTest::newRow("option-like") << "quo\"te.jpg" << "-rf.jpg" << "-rf.jpg";
    QTest::newRow("quote and semicolon") << "photo.dib" << "x\"; drop table tblTooltip;.jpg"
                                         << "x\"; drop table tblTooltip;.jpg";
    // Refused with "Unable to Rename or Move  " and the new path; nothing changes.
    QTest::newRow("onto an existing picture") << "-leading-dash.jpg" << "new\nline.jpg" << "";
    QTest::newRow("onto a FIFO") << "plain.jpg" << "pipe.jpg" << "";
    QTest::newRow("onto a folder") << "plain.jpg" << "folder.jpg" << "";
    QTest::newRow("into a missing folder") << "plain.jpg" << "nowhere/x.jpg" << "";
    QTest::newRow("onto itself") << "plain.jpg" << "plain.jpg" << "";
}

void TestHostile::renameTakesHostileAnswers()
{
    QFETCH(QString, source);
    QFETCH(QString, answer);
    QFETCH(QString, landsAt);
    HostileRig rig;
    frmFileDir& form = rig.open(rig.corpus.Folder());
    const int index = indexOf(form, source);
    QVERIFY(index >= 0);
    form.flbFiles->SetListIndex(index);
    rig.dialogs.queueInputAnswer(QStringLiteral("comment of ") + source);
    trigger(form, "mnuNewTooltip");
    const QByteArray bytes = HostileCorpus::ReadRaw(rig.raw(QFile::encodeName(source)));
    const QByteArray targetBefore = HostileCorpus::ReadRaw(rig.raw(QFile::encodeName(answer)));

    rig.dialogs.queueInputAnswer(answer);
    TIMED(QStringLiteral("rename"), trigger(form, "mnuRen"));
    QCOMPARE(rig.dialogs.calls().at(1).text, QStringLiteral("New Name:"));
    QCOMPARE(rig.dialogs.calls().at(1).defaultText, source);
    const QString oldPath = rig.at(source);
    if (landsAt.isEmpty()) {
        QCOMPARE(rig.dialogs.calls().size(), 3);
        QCOMPARE(rig.dialogs.calls().last().text, QStringLiteral("Unable to Rename or Move  ") + rig.at(answer));
        QCOMPARE(HostileCorpus::ReadRaw(rig.raw(QFile::encodeName(source))), bytes);
        QCOMPARE(HostileCorpus::ReadRaw(rig.raw(QFile::encodeName(answer))), targetBefore);
        QCOMPARE(form.Comments().LookupTooltip(oldPath), std::optional<QString>(QStringLiteral("comment of ") + source));
    } else {
        QCOMPARE(rig.dialogs.calls().size(), 2);
        QCOMPARE(HostileCorpus::ReadRaw(rig.raw(QFile::encodeName(landsAt))), bytes);
        QVERIFY(!QFileInfo::exists(oldPath));
        // The comment follows under the path the list will show the file by.
        const QString newPath = FileCommands::CommentPath(rig.at(landsAt));
        QCOMPARE(form.Comments().LookupTooltip(newPath), std::optional<QString>(QStringLiteral("comment of ") + source));
        QCOMPARE(form.Comments().LookupTooltip(oldPath), std::optional<QString>(QString()));
        QCOMPARE(indexOf(form, source), -1);
        QCOMPARE(indexOf(form, answer) >= 0, !landsAt.contains(QLatin1Char('/')));
    }
    VERIFY_NO_FIFO_OPENED(rig);
}

void TestHostile::commandsOnHostileNames()
{
    HostileRig rig;
    frmFileDir& form = rig.open(rig.corpus.Folder());
    const QStringList names{QStringLiteral("new\nline.jpg"), QStringLiteral("quo\"te.jpg"),
                            QStringLiteral("-leading-dash.jpg"), QStringLiteral("--rf.gif")};
    for (const QString& name : names) {
        const int index = indexOf(form, name);
        QVERIFY(index >= 0);
        const QSize size = rig.corpus.Find(name)->size;
        TIMED(name, form.flbFiles->SetListIndex(index));
        const QString path = rig.at(name);

        // Edit: the path reaches the editor whole, as one argument, never through a shell.
        trigger(form, "mnuEdit");
        QCOMPARE(rig.starter.started.last(), (QStringList{QStringLiteral("hostile-editor"), QStringLiteral("--open"), path}));
        // Image Information: the preview's size.
        trigger(form, "mnuImgInfo");
        QCOMPARE(rig.dialogs.calls().last().text,
                 QStringLiteral("Height = %1  Width = %2").arg(size.height()).arg(size.width()));

        // New, Edit and Delete comment: keyed by the exact path, quotes and newlines included.
        rig.dialogs.queueInputAnswer(QStringLiteral("first ") + name);
        trigger(form, "mnuNewTooltip");
        QCOMPARE(form.imgSmall->ToolTipText(), QStringLiteral("first ") + name);
        form.flbFiles->SetListIndex(indexOf(form, QStringLiteral("plain.jpg")));
        QCOMPARE(form.imgSmall->ToolTipText(), QString());
        form.flbFiles->SetListIndex(index);
        QCOMPARE(form.imgSmall->ToolTipText(), QStringLiteral("first ") + name);
        rig.dialogs.queueInputAnswer(QStringLiteral("second ") + name);
        trigger(form, "mnuTooltipEd");
        QCOMPARE(rig.dialogs.calls().last().defaultText, QStringLiteral("first ") + name);
        QCOMPARE(form.Comments().LookupTooltip(path), std::optional<QString>(QStringLiteral("second ") + name));
        form.flbFiles->SetListIndex(indexOf(form, QStringLiteral("plain.jpg")));
        form.flbFiles->SetListIndex(index);
        QCOMPARE(form.imgSmall->ToolTipText(), QStringLiteral("second ") + name);
        trigger(form, "mnuTooltipDel");
        QCOMPARE(form.imgSmall->ToolTipText(), QString());
        QCOMPARE(form.Comments().LookupTooltip(path), std::optional<QString>(QString()));
    }
    QCOMPARE(rig.starter.started.size(), names.size());

    // Move: the file selected at confirmation goes, name and all.
    form.flbFiles->SetListIndex(indexOf(form, QStringLiteral("new\nline.jpg")));
    trigger(form, "mnuMove");
    QPointer<frmNewPath> dialog = form.Files().MoveDialog();
    QVERIFY(dialog);
    dialog->dirNewPath->SetPath(rig.path("pics/sub"));
    TIMED(QStringLiteral("move"), dialog->cmdOK->click());
    QVERIFY(QFile::exists(rig.path("pics/sub/new\nline.jpg")));
    QCOMPARE(indexOf(form, QStringLiteral("new\nline.jpg")), -1);

    // Delete: to the trash, from where the name can be restored.
    const int calls = rig.dialogs.calls().size();
    for (const QString& name : {QStringLiteral("-leading-dash.jpg"), QStringLiteral("quo\"te.jpg")}) {
        form.flbFiles->SetListIndex(indexOf(form, name));
        rig.dialogs.queueMsgBoxAnswer(IDialogs::vbOK);
        TIMED(QStringLiteral("delete"), trigger(form, "mnuDelete"));
        QCOMPARE(rig.dialogs.calls().last().text, QStringLiteral("Delete file ") + name + QLatin1Char('?'));
        QVERIFY(QFile::exists(rig.path("data/Trash/files/") + name));
        QVERIFY(QFile::exists(rig.path("data/Trash/info/") + name + QStringLiteral(".trashinfo")));
        QCOMPARE(indexOf(form, name), -1);
    }
    QCOMPARE(rig.dialogs.calls().size(), calls + 2);  // the two confirmations, no failure
    VERIFY_NO_FIFO_OPENED(rig);
}

void TestHostile::lossyNamesAreNeverActedOn()
{
    HostileRig rig;
    frmFileDir& form = rig.open(rig.corpus.Folder());
    const QList<QByteArray> raws{"bad\xFF.jpg", "bad\xFE.jpg", "bad\xEF\xBF\xBD.jpg"};
    QList<QByteArray> contents;
    for (const QByteArray& raw : raws)
        contents << HostileCorpus::ReadRaw(rig.raw(raw));
    const QString shown = QStringLiteral("bad\uFFFD.jpg");
    const int first = indexOf(form, shown);
    QVERIFY(first >= 0);
    // The three entries look the same, so whichever the user picks, the program cannot know
    // which file is meant: every command refuses, and no file is renamed or trashed.
    for (int index = first; index < first + 3; ++index) {
        QCOMPARE(form.flbFiles->List(index), shown);
        form.flbFiles->SetListIndex(index);
        rig.dialogs.clear();
        rig.dialogs.queueInputAnswer(QStringLiteral("renamed-bad.jpg"));
        trigger(form, "mnuRen");
        QCOMPARE(rig.dialogs.calls().last().text, QStringLiteral("Unable to Rename or Move  ") + rig.at(QStringLiteral("renamed-bad.jpg")));
        rig.dialogs.queueMsgBoxAnswer(IDialogs::vbOK);
        trigger(form, "mnuDelete");
        QVERIFY(rig.dialogs.calls().last().text.startsWith(QStringLiteral("Unable to move ") + rig.at(shown)));
        QCOMPARE(form.flbFiles->ListCount(), rig.corpus.Listed().size());
        for (int i = 0; i < raws.size(); ++i)
            QCOMPARE(HostileCorpus::ReadRaw(rig.raw(raws[i])), contents[i]);
    }
    QVERIFY(!QFile::exists(rig.at(QStringLiteral("renamed-bad.jpg"))));
    QVERIFY(!QDir(rig.path("data/Trash/files")).exists() || QDir(rig.path("data/Trash/files")).isEmpty());
    VERIFY_NO_FIFO_OPENED(rig);
}

QTEST_MAIN(TestHostile)
#include "test_hostile.moc"
