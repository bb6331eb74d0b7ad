// The real main window and viewer driven over a hostile corpus: damaged pictures, FIFOs
// and folders named like pictures, looping links, names that break quoting or are not
// UTF-8, and files that change between listing and click. Each case must end in its
// message or its silent recovery, as marked at the case: never a crash or a hang (a FIFO
// is never opened for reading; FifoWatch releases a reader that blocks and records it).
// Decompression bombs are refused where every picture is read, in the picture tests.
#include "BrowserFixture.h"
#include "KeyCodes.h"
#include "FifoWatch.h"
#include "PictureBytes.h"
#include "Pixels.h"
#include "ShownDialogs.h"
#include "frmFullScreen.h"
#include "ViewerWait.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

#define VERIFY_NO_FIFO_OPENED(rig)                                                                 \
    QVERIFY2((rig).watch.Violations().isEmpty(), qPrintable((rig).watch.Violations().join(u',')))

QByteArray encoded(QSize size, const char* format, QColor colour = Qt::darkCyan)
{
    return Encode(Solid(size.width(), size.height(), colour), format);
}

using TestFiles::readRaw;

// A magic number, then noise: the same bytes on every run, so no outcome depends on luck.
QByteArray garbage(QByteArray bytes, quint32 seed)
{
    for (QRandomGenerator random(seed); bytes.size() < 3000;)
        bytes += char(random.bounded(256));
    return bytes;
}

// A folder of files made to break a picture browser. Every listed entry has the pixel size
// the caption and the viewer show for it; an entry without one is no readable picture, so
// the preview keeps the previous picture and the viewer reports "Unable to Open " and the
// path, and closes.
struct Entry {
    QByteArray name;  // as on disk: raw bytes
    QSize size;
    const char* why;
};

// The main window over pics/hostile, with the trash and a comment store of its own.
struct HostileRig : BrowserFixture {
    const QString folder = path("pics/hostile");
    QList<Entry> listed;
    FifoWatch watch;

    HostileRig()
    {
        TestFiles::copyBuiltStore(path("app"));
        TestFiles::makeDir(folder + QStringLiteral("/folder.jpg"));
        const QSize none;
        const auto add = [&](const QByteArray& name, const QByteArray& contents, QSize size, const char* why) {
            TestFiles::writeRaw(raw(name), contents);
            listed.push_back({name, size, why});
        };
        // Ordinary pictures under names that break quoting, option parsing or line-based
        // formats; each has its own size, so the caption tells which file was really read.
        add("plain.jpg", encoded({40, 30}, "JPEG"), {40, 30}, "a good picture: previewed and shown");
        add("semi;colon.jpg", encoded({42, 32}, "JPEG"), {42, 32}, "so is a semicolon: shown");
        add("new\nline.jpg", encoded({43, 33}, "JPEG"), {43, 33}, "and a newline: shown");
        add("--rf.gif", Gif({45, 35}, {45, 35}), {45, 35}, "a valid GIF under an option-like name: shown");
        add("trailing space .bmp", encoded({46, 36}, "BMP"), {46, 36}, "a valid BMP: shown");
        add("photo.dib", encoded({47, 37}, "BMP"), {47, 37}, "a BMP under the .dib pattern: shown");
        add("a\" or \"1\"=\"1.jpg", encoded({51, 41}, "JPEG"), {51, 41}, "SQL text in a name: shown");

        // Damaged files. The header decides the preview; the pixels decide the viewer.
        // Random pixels make the scan data long, so the cut falls well inside it.
        const QByteArray noise = garbage({}, 7);
        const QByteArray jpeg = Encode(QImage(reinterpret_cast<const uchar*>(noise.constData()), 25, 30, QImage::Format_RGB32));
        add("truncated-data.jpg", jpeg.left(jpeg.size() * 6 / 10), {25, 30}, "header intact, scan cut short: what decoded is shown");
        add("truncated-header.jpg", jpeg.left(20), none, "cut inside the headers: no size, not a picture");
        add("garbage.jpg", garbage("\xFF\xD8\xFF\xE0", 11), none, "JPEG magic, then noise: not a picture");
        const QByteArray smallGif = Gif({60, 50}, {60, 50});
        add("truncated-header.gif", smallGif.left(9), none, "cut inside the screen descriptor: not a picture");
        add("truncated-data.gif", smallGif.left(smallGif.size() / 2), {60, 50}, "size readable, frame cut short: what decoded is shown");
        add("garbage.gif", garbage("GIF89a", 12), none, "GIF magic, then noise: not a picture");
        const QByteArray bmp = encoded({64, 48}, "BMP");
        add("truncated-header.bmp", bmp.left(30), none, "cut inside the info header: not a picture");
        add("truncated-data.bmp", bmp.left(bmp.size() / 2), {64, 48}, "size readable, rows missing: what was read is shown");
        add("garbage.bmp", garbage("BM", 13), none, "BMP magic, then noise: not a picture");
        for (const char* empty : {"empty.jpg", "empty.gif", "empty.bmp"})
            add(empty, QByteArray(), none, "zero bytes: not a picture");

        // What decodes is a GIF's screen, not its first frame.
        add("wide-screen.gif", Gif({3000, 3000}, {2, 2}), {3000, 3000}, "a 2 x 2 frame on a 3000 x 3000 screen: the screen is shown");

        // Names that are not UTF-8 reach the program lossily (U+FFFD); a lossy name cannot be
        // told apart from a real name holding U+FFFD, so none of the three is ever opened.
        add("bad\xFF.jpg", encoded({48, 38}, "JPEG"), none, "invalid UTF-8: shown lossily, never opened");
        add("bad\xFE.jpg", encoded({49, 39}, "JPEG"), none, "invalid UTF-8, the same lossy name: never opened");
        add("bad\xEF\xBF\xBD.jpg", encoded({50, 40}, "JPEG"), none, "a real U+FFFD, the same again: never opened");

        // A link to a picture is the picture; the rest are not files: never listed, never opened.
        QVERIFY(::symlink("plain.jpg", raw("link-to-plain.jpg")) == 0);
        listed.push_back({"link-to-plain.jpg", {40, 30}, "a link to a picture is followed: shown as that picture"});
        for (const char* fifo : {"pipe.jpg", "pipe.gif"}) {
            QVERIFY(::mkfifo(raw(fifo), 0644) == 0);
            watch.Watch(raw(fifo));
        }
        QVERIFY(::symlink("nowhere.jpg", raw("dangling.jpg")) == 0);
        QVERIFY(::symlink("selfloop.jpg", raw("selfloop.jpg")) == 0);
        QVERIFY(::symlink("selfloop", raw("selfloop")) == 0);
        // loop/a/b leads back to loop: browsing down never ends.
        TestFiles::makeDir(folder + QStringLiteral("/loop/a"));
        TestFiles::writeRaw(raw("loop/top.jpg"), encoded({12, 8}, "JPEG"));
        TestFiles::writeRaw(raw("loop/a/inner.jpg"), encoded({14, 9}, "JPEG"));
        QVERIFY(::symlink("..", raw("loop/a/b")) == 0);
    }

    ~HostileRig()
    {
        // QTemporaryDir removes by decoded names, which cannot reach these.
        for (const char* name : {"bad\xFF.jpg", "bad\xFE.jpg"})
            ::unlink(raw(name).constData());
    }

    QByteArray raw(const QByteArray& name) const { return QFile::encodeName(folder) + '/' + name; }
    QString at(const QString& name) const { return folder + QLatin1Char('/') + name; }
    const Entry* find(const QString& shownName) const
    {
        for (const Entry& e : listed)
            if (QFile::decodeName(e.name) == shownName)
                return &e;
        return nullptr;
    }
};

QStringList listedNames(frmFileDir& form)
{
    QStringList names;
    for (int i = 0; i < form.flbFiles->ListCount(); ++i)
        names << form.flbFiles->List(i);
    return names;
}

enum Change { Deleted, OtherPicture, Fifo, Folder, DanglingLink };
enum Action { Step, Rename, Delete };
// What happened to victim.jpg after it was listed, what the user then does, and whether that succeeds.
struct Race { Change change; Action action; bool succeeds; };

}  // namespace

Q_DECLARE_METATYPE(Race)

class TestHostile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyEntryIsListedPreviewedAndViewed()
    {
        HostileRig rig;
        frmFileDir& form = rig.showIn(rig.folder);
        // A folder, FIFOs, a dangling link and a link loop named *.jpg are not files: never
        // listed. The corpus's count, and every listed name found in the corpus below, say so.
        const int count = form.flbFiles->ListCount();
        QCOMPARE(count, rig.listed.size());
        // Stepping the preview: silent either way, the caption pairs each path with the size of
        // what is shown, and a file the preview cannot read leaves the previous picture.
        QSize shownSize(0, 0);
        QString shownPath;
        for (int step = 0; step < count; ++step) {
            form.StepSelection(KeyCodes::Down);
            QVERIFY(settled(form));
            const QString name = form.flbFiles->List(step);
            const Entry* entry = rig.find(name);
            QVERIFY2(entry, qPrintable(name));
            if (entry->size.isValid()) {
                shownSize = entry->size;
                shownPath = rig.at(name);
            }
            QVERIFY2(form.windowTitle() == caption(rig.at(name), shownSize), entry->why);
            QCOMPARE(form.imgSmall->GetPicture().Path(), shownPath);
            if (entry->size.isValid())  // its decode runs to the end before the next step
                QTRY_VERIFY2(!form.imgSmall->Pixels().isNull(), entry->why);
        }
        QVERIFY(rig.dialogs.calls().isEmpty());

        // The viewer: shows each picture, or says "Unable to Open " and the path as the browser
        // gave it, and closes; then the entry after it is selected and a new viewer opened.
        QPointer<frmFullScreen> viewer;
        for (int i = 0; i < count; ++i) {
            const Entry* entry = rig.find(form.flbFiles->List(i));
            const int messages = rig.dialogs.calls().size();
            if (viewer) {
                viewer->mnuNext_Click();
            } else {
                QVERIFY(select(form, i));
                form.mnuFullScreen_Click();
                viewer = form.Viewer();
            }
            QVERIFY(loaded(viewer));
            QCOMPARE(form.flbFiles->ListIndex(), i);
            const QString path = rig.at(form.flbFiles->List(i));
            if (entry->size.isValid()) {
                QVERIFY2(rig.dialogs.calls().size() == messages && viewer && !viewer->IsUnloading(), entry->why);
                QCOMPARE(viewer->imgFullScr->GetPicture().Path(), path);
                QCOMPARE(viewer->imgFullScr->GetPicture().PixelSize(), entry->size);
                QVERIFY(!viewer->imgFullScr->Pixels().isNull());
            } else {
                QVERIFY2(rig.dialogs.calls().size() == messages + 1, entry->why);
                QCOMPARE(Shown(rig.dialogs).last(), ErrorBox(QStringLiteral("Unable to Open ") + path));
                QTRY_VERIFY(viewer.isNull());
            }
        }
        VERIFY_NO_FIFO_OPENED(rig);
    }

    void changedBetweenListingAndClick_data()
    {
        QTest::addColumn<Race>("row");
        const char* const changes[] = {"deleted", "replaced by another picture", "replaced by a FIFO",
                                       "replaced by a folder", "replaced by a dangling link"};
        const char* const actions[] = {"step", "rename", "delete"};
        const bool succeeds[3][5] = {
            // The viewer may have decoded victim.jpg ahead; only a picture is shown, and it is
            // the new one. Anything else: the message, and the viewer closes.
            {false, true, false, false, false},
            // Rename acts on whatever carries the name now, without opening it; only a name that
            // is gone, or a folder (which is not a picture file), is refused with the message.
            {false, true, true, false, true},
            // Delete hands the name to the trash, where it can be restored (a link goes as the
            // link, its target untouched); a name that is gone, or that now holds a folder the
            // user never saw in the file list, is refused with the message, and nothing is lost.
            {false, true, true, false, true},
        };
        for (int action = Step; action <= Delete; ++action)
            for (int change = Deleted; change <= DanglingLink; ++change)
                QTest::addRow("%s after victim.jpg was %s", actions[action], changes[change])
                    << Race{Change(change), Action(action), succeeds[action][change]};
    }

    void changedBetweenListingAndClick()
    {
        QFETCH(Race, row);
        const auto [change, action, succeeds] = row;
        HostileRig rig;
        const QString folder = rig.path("pics/sub");
        const QString victim = folder + QStringLiteral("/victim.jpg");
        const QByteArray rawVictim = QFile::encodeName(victim);
        TestFiles::write(folder + QStringLiteral("/a.jpg"), encoded({60, 40}, "JPEG"));
        TestFiles::write(victim, encoded({80, 60}, "JPEG", Qt::red));
        frmFileDir& form = rig.showIn(folder);
        QCOMPARE(form.flbFiles->ListCount(), 2);  // listed before the change
        QPointer<frmFullScreen> viewer;
        if (action == Step) {
            QVERIFY(select(form, 0));
            form.mnuFullScreen_Click();
            viewer = form.Viewer();
            QVERIFY(viewer && loaded(viewer));
            QTRY_VERIFY(viewer->Prefetcher().HeldBytes() > 0);  // victim.jpg decoded ahead, as it was
        }
        QCOMPARE(::unlink(rawVictim), 0);
        switch (change) {
        case Deleted: break;
        case OtherPicture: TestFiles::write(victim, encoded({90, 70}, "JPEG", Qt::blue)); break;
        case Fifo: QVERIFY(::mkfifo(rawVictim, 0644) == 0); rig.watch.Watch(rawVictim); break;
        case Folder: QCOMPARE(::mkdir(rawVictim, 0755), 0); break;
        case DanglingLink: QCOMPARE(::symlink("gone.jpg", rawVictim), 0); break;
        }

        if (action == Step) {
            viewer->mnuNext_Click();
            QVERIFY(loaded(viewer));
            QVERIFY(settled(form));
            if (succeeds) {
                // The new file is shown, never the pixels decoded ahead from the old one.
                QCOMPARE(form.windowTitle(), caption(victim, {90, 70}));
                QVERIFY(rig.dialogs.calls().isEmpty());
                const QImage& pixels = viewer->imgFullScr->Pixels();
                QCOMPARE(pixels.size(), QSize(90, 70));
                QVERIFY2(qBlue(pixels.pixel(45, 35)) > 200 && qRed(pixels.pixel(45, 35)) < 60, "the old pixels");
            } else {
                // The preview stays silently on a.jpg; the viewer reports the path and closes.
                QCOMPARE(form.windowTitle(), caption(victim, {60, 40}));
                QCOMPARE(form.imgSmall->GetPicture().Path(), folder + QStringLiteral("/a.jpg"));
                QCOMPARE(Shown(rig.dialogs), QStringList{ErrorBox(QStringLiteral("Unable to Open ") + victim)});
                QTRY_VERIFY(viewer.isNull());
            }
        } else {
            QVERIFY(select(form, 1));
            struct stat before {}, after {};
            const bool existed = ::lstat(rawVictim, &before) == 0;
            const QString target = action == Rename ? folder + QStringLiteral("/renamed.jpg") : rig.path("data/Trash/files/victim.jpg");
            rig.dialogs.queueInputAnswer(QStringLiteral("renamed.jpg"));
            rig.dialogs.queueMsgBoxAnswer(IDialogs::vbOK);
            trigger(form, action == Rename ? "mnuRen" : "mnuDelete");
            if (succeeds) {
                QCOMPARE(rig.dialogs.calls().size(), 1);  // the prompt only
                // The very thing that carried the name moved, and nothing else came into being.
                QCOMPARE(::lstat(QFile::encodeName(target), &after), 0);
                QCOMPARE(after.st_ino, before.st_ino);
                QVERIFY(::lstat(rawVictim, &after) != 0);
                if (change == Fifo)
                    rig.watch.Watch(QFile::encodeName(target));
            } else {
                QCOMPARE(rig.dialogs.calls().size(), 2);
                const QString message = rig.dialogs.calls().last().text;
                QVERIFY2(message.startsWith(action == Rename ? QStringLiteral("Unable to Rename or Move  ") + target
                                                             : QStringLiteral("Unable to move %1 to the trash").arg(victim)),
                         qPrintable(message));
                QVERIFY(::lstat(QFile::encodeName(target), &after) != 0);
                QCOMPARE(::lstat(rawVictim, &after) == 0, existed);
            }
        }
        VERIFY_NO_FIFO_OPENED(rig);
    }

    // Commands and folder browsing over the corpus, one after the other on one window.
    void commandsAndFoldersUnderHostileNames()
    {
        HostileRig rig;
        frmFileDir& form = rig.showIn(rig.folder);
        const QList<QByteArray> raws{"bad\xFF.jpg", "bad\xFE.jpg", "bad\xEF\xBF\xBD.jpg"};
        const auto contents = [&] { return readRaw(rig.raw(raws[0])) + readRaw(rig.raw(raws[1])) + readRaw(rig.raw(raws[2])); };
        const QByteArray before = contents();
        const QString semicolon = QStringLiteral("semi;colon.jpg");
        // Rename takes the answer as typed, never through a shell; the comment follows, even
        // under a new name that is SQL text. (Comments under names that break quoting are
        // the comment tests' awkward keys; that the old key lets go, theirs and the rename run's.)
        const QString sql = QStringLiteral("x\"; drop table tblTooltip;.jpg");
        QVERIFY(select(form, listedNames(form).indexOf(semicolon)));
        rig.dialogs.queueInputAnswer(QStringLiteral("comment of ") + semicolon);
        trigger(form, "mnuNewTooltip");
        rig.dialogs.queueInputAnswer(sql);
        trigger(form, "mnuRen");
        QCOMPARE(readRaw(rig.raw(QFile::encodeName(sql))), encoded({42, 32}, "JPEG"));
        QCOMPARE(form.Comments().LookupTooltip(rig.at(sql)), std::optional<QString>(QStringLiteral("comment of ") + semicolon));
        // (That a rename never replaces what holds the new name is the file operation tests';
        // so is a newline in a name the trash keeps, with the place to restore it to.)

        // The three lossy entries look the same, so whichever the user picks, the program
        // cannot know which file is meant: every command refuses, and no file is renamed or trashed.
        const QString shown = QStringLiteral("bad\uFFFD.jpg");
        const int first = listedNames(form).indexOf(shown);
        QCOMPARE(form.flbFiles->List(first + 2), shown);
        for (int index = first; index < first + 3; ++index) {
            QVERIFY(select(form, index));
            rig.dialogs.queueInputAnswer(QStringLiteral("renamed-bad.jpg"));
            trigger(form, "mnuRen");
            QCOMPARE(rig.dialogs.calls().last().text,
                     QStringLiteral("Unable to Rename or Move  ") + rig.at(QStringLiteral("renamed-bad.jpg")));
            rig.dialogs.queueMsgBoxAnswer(IDialogs::vbOK);
            trigger(form, "mnuDelete");
            QVERIFY(rig.dialogs.calls().last().text.startsWith(QStringLiteral("Unable to move ") + rig.at(shown)));
        }
        // A file renamed or trashed is no longer where it was read from.
        QCOMPARE(contents(), before);
        QCOMPARE(form.flbFiles->ListCount(), rig.listed.size());

        // A folder named like a picture opens like any folder; a link to itself is no folder.
        QStringList subfolders;
        for (int row = 0; row < form.dirFolders->model()->rowCount(); ++row)
            subfolders << form.dirFolders->model()->index(row, 0).data().toString().trimmed();
        QVERIFY(subfolders.contains(QStringLiteral("folder.jpg")));
        QVERIFY(subfolders.contains(QStringLiteral("loop")));
        QVERIFY(!subfolders.contains(QStringLiteral("selfloop")));
        // Down loop -> a -> b (= loop) -> a -> b ...: every level lists that folder's files,
        // and the caption names the file under the path as browsed.
        QString folder = rig.at(QStringLiteral("loop"));
        for (int level = 1; level <= 12; ++level) {
            folder += level % 2 ? QStringLiteral("/a") : QStringLiteral("/b");
            form.dirFolders->SetPath(folder);
            const QString file = level % 2 ? QStringLiteral("inner.jpg") : QStringLiteral("top.jpg");
            QCOMPARE(listedNames(form), QStringList{file});
            form.StepSelection(KeyCodes::Down);
            QVERIFY(settled(form));
            QCOMPARE(form.windowTitle(), caption(folder + QLatin1Char('/') + file, level % 2 ? QSize(14, 9) : QSize(12, 8)));
        }
        VERIFY_NO_FIFO_OPENED(rig);
    }
};

QTEST_MAIN(TestHostile)
#include "test_hostile.moc"
