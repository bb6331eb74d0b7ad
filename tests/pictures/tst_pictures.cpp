// Tests of the picture services: loading and its refusals (a file cut after its header is in
// the hostile corpus), HIMETRIC sizes, EXIF orientation, the allocation limits, decoding at
// DCT scale, the background decoder and the image control. Every image is written by the
// tests themselves.
#include "AppError.h"
#include "NewestWins.h"
#include "Picture.h"
#include "PictureBox.h"
#include "PictureDecoder.h"
#include "PictureBytes.h"
#include "PictureFile.h"
#include "Pixels.h"
#include "TestFiles.h"
#include "ThumbnailCache.h"
#include "Units.h"

#include <QtTest>

namespace {

// The JPEG with an Exif block right after SOI: IFD0 holds the orientation, IFD1 the thumbnail.
QByteArray WithExif(const QByteArray& jpeg, int orientation, const QByteArray& thumbnail)
{
    const quint32 ifd1 = 26; // after the header (8) and IFD0 (2 + 12 + 4)
    const QByteArray tiff = bytes(Le, quint16(0x4949), quint16(42), quint32(8), quint16(1), quint16(0x0112), quint16(3),
                               quint32(1), quint16(orientation), quint16(0), ifd1, quint16(2), quint16(0x0201),
                               quint16(4), quint32(1), quint32(ifd1 + 30), quint16(0x0202), quint16(4), quint32(1),
                               quint32(thumbnail.size()), quint32(0))
                            + thumbnail;
    // The segment length counts itself and "Exif\0\0" too.
    return jpeg.left(2) + bytes(Be, quint16(0xFFE1), quint16(tiff.size() + 8)) + QByteArray("Exif\0\0", 6) + tiff
           + jpeg.mid(2);
}

// The JPEG without its quantization tables: the header reads, the decoder gives up at once.
QByteArray WithoutQuantizationTables(QByteArray jpeg)
{
    for (int pos = 2; pos + 4 <= jpeg.size() && uchar(jpeg[pos + 1]) != 0xDA;) {
        const int length = 2 + (uchar(jpeg[pos + 2]) << 8 | uchar(jpeg[pos + 3]));
        if (uchar(jpeg[pos + 1]) == 0xDB)
            jpeg.remove(pos, length);
        else
            pos += length;
    }
    return jpeg;
}

// `image` as a 24-bit BMP stored top-down (a negative height), which Qt never writes.
QByteArray TopDownBmp(const QImage& image)
{
    const int stride = (image.width() * 3 + 3) & ~3;
    QByteArray pixels(stride * image.height(), '\0');
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb rgb = image.pixel(x, y);
            char* at = pixels.data() + y * stride + 3 * x;
            at[0] = char(qBlue(rgb)), at[1] = char(qGreen(rgb)), at[2] = char(qRed(rgb));
        }
    return "BM" + bytes(Le, quint32(54 + pixels.size()), quint32(0), quint32(54), quint32(40), qint32(image.width()),
                        qint32(-image.height()), quint16(1), quint16(24), quint32(0), quint32(pixels.size()),
                        qint32(2835), qint32(2835), quint32(0), quint32(0))
           + pixels;
}

// A row of the loading table: the file, the error it gives ("<number> <description>",
// empty when the picture loads), else its format and size, and the error decoding it gives
// when only that fails.
struct Load { QString path, error; QByteArray format; QSize size; QString decodeError; };

// A row of the orientation table: the EXIF orientation, and which stored quadrant's colour
// ends up at the upright top-left and top-right corners.
struct Corners { int orientation; QColor topLeft, topRight; };

// "<number> <description>" of the AppError that loading (or decoding) `path` throws.
QString errorOf(const QString& path, bool decode)
{
    try {
        decode ? void(PictureDecoder::DecodeForDisplay(path, QSize())) : void(Picture::LoadPicture(path, 96, 96));
        return {};
    } catch (const AppError& e) {
        return QStringLiteral("%1 %2").arg(e.Number()).arg(e.Description());
    }
}

}

Q_DECLARE_METATYPE(Load)
Q_DECLARE_METATYPE(Corners)

class TestPictures : public QObject {
    Q_OBJECT

    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        TestFiles::write(path, bytes);
        return path;
    }

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void load_data()
    {
        QTest::addColumn<Load>("row");
        auto row = [](const char* name, const QString& path, const QString& error, const char* format = "",
                      QSize size = QSize()) { QTest::newRow(name) << Load{path, error, format, size, {}}; };
        // The format comes from the content, never from the name. (A JPEG under its own name
        // is every row of the orientation table.)
        row("gif", file("c.gif", Gif({4, 2}, {4, 2})), {}, "gif", QSize(4, 2));
        row("bmp stored top-down", file("e.bmp", TopDownBmp(Quadrants(12, 36))), {}, "bmp", QSize(12, 36));
        row("jpeg named .bmp", file("d.bmp", Encode(Quadrants(20, 10))), {}, "jpeg", QSize(20, 10));
        // Other formats the reader knows are read when the name says the same format (the
        // list shows only the types the user listed, by name).
        row("tiff as .tif", file("h.tif", Encode(Quadrants(6, 10), "TIFF")), {}, "tiff", QSize(6, 10));

        const QString invalid = QStringLiteral("481 Invalid picture"), notFound = QStringLiteral("53 File not found");
        row("png named .jpg", file("png.jpg", Encode(Quadrants(8, 8), "PNG")), invalid);
        row("folder", TestFiles::makeDir(m_dir.filePath("folder.jpg")), invalid);
        QVERIFY(QFile::link(m_dir.filePath("nowhere.jpg"), m_dir.filePath("dangling.jpg")));
        row("dangling symlink", m_dir.filePath("dangling.jpg"), notFound);
        const QByteArray jpeg = Encode(Quadrants(16, 16));

        // Decompression bombs: refused from the header, before anything is allocated. The
        // preview and the viewer read every picture through this load.
        const QString tooLarge = QStringLiteral("7 The picture is too large to open (%1 x %2 pixels)");
        row("jpeg 65535 x 65535", file("bomb1.jpg", WithFrameSize(jpeg, 65535, 65535)), tooLarge.arg(65535).arg(65535));
        row("bmp top-down", file("bomb3.bmp", BmpClaiming(100000, -100000)), tooLarge.arg(100000).arg(100000));
        // A GIF decodes to its screen, however small its frame.
        row("gif 65535 x 65535", file("bomb4.gif", Gif({65535, 65535}, {2, 2})), tooLarge.arg(65535).arg(65535));
        // A screen 0 high takes its height from the frame, and its width still decodes.
        row("gif 65535 x 0", file("bomb5.gif", Gif({65535, 0}, {2, 4097})), tooLarge.arg(65535).arg(4097));

        // The decoder gave up before any pixel: what it allocated holds no picture.
        QTest::newRow("jpeg without quantization tables")
            << Load{file("noquant.jpg", WithoutQuantizationTables(jpeg)), {}, "jpeg", QSize(16, 16), invalid};
    }

    void load()
    {
        QFETCH(Load, row);
        const auto& [path, error, format, size, decodeError] = row;
        QCOMPARE(errorOf(path, false) + errorOf(path, true), error + (decodeError.isEmpty() ? error : decodeError));
        if (!error.isEmpty())
            return;
        // None of these files has an EXIF thumbnail.
        QVERIFY(PictureFile(path).EmbeddedThumbnail().isNull());

        const Picture picture = Picture::LoadPicture(path, 96, 96);
        QCOMPARE(picture.Format(), format);
        QCOMPARE(picture.PixelSize(), size);
        if (!decodeError.isEmpty())
            return;
        const QImage pixels = PictureDecoder::DecodeForDisplay(path, QSize());
        QCOMPARE(pixels.size(), size);
        QVERIFY(Near(pixels.pixelColor(0, 0), Qt::red));
        QVERIFY(Near(pixels.pixelColor(size.width() - 1, 0), Qt::green));
        // No name: the empty picture, and nothing to decode.
        QVERIFY(Picture::LoadPicture(QString(), 96, 96).IsEmpty());
        QVERIFY(PictureDecoder::DecodeForDisplay(QString(), QSize()).isNull());
    }

    void himetric()
    {
        QCOMPARE(Picture::PixelsToHimetric(12, 96), 318);      // 317.5, up to even
        QCOMPARE(Picture::PixelsToHimetric(36, 96), 952);      // 952.5, down to even
        for (const double dpi : {96.0, 101.5}) // converting back at the same DPI gives the pixels
            for (int px = 0; px <= 20000; ++px)
                QCOMPARE(Units::RoundHalfEven(Units::Convert(Picture::PixelsToHimetric(px, dpi), Units::Himetric,
                                                             Units::Pixels, dpi)), px);
    }

    void exifOrientationEverywhere_data()
    {
        QTest::addColumn<Corners>("row");
        QTest::newRow("1 normal") << Corners{1, Qt::red, Qt::green};
        QTest::newRow("2 mirrored") << Corners{2, Qt::green, Qt::red};
        QTest::newRow("3 half turn") << Corners{3, Qt::white, Qt::blue};
        QTest::newRow("4 flipped") << Corners{4, Qt::blue, Qt::white};
        QTest::newRow("5 transposed") << Corners{5, Qt::red, Qt::blue};
        QTest::newRow("6 quarter clockwise") << Corners{6, Qt::blue, Qt::red};
        QTest::newRow("7 transversed") << Corners{7, Qt::white, Qt::green};
        QTest::newRow("8 quarter anticlockwise") << Corners{8, Qt::green, Qt::white};
    }

    void exifOrientationEverywhere()
    {
        QFETCH(Corners, row);
        const auto [orientation, topLeft, topRight] = row;
        const QString path = file(QStringLiteral("o%1.jpg").arg(orientation),
                                  WithExif(Encode(Quadrants(128, 64)), orientation, Encode(Quadrants(32, 16))));
        const QSize upright = orientation >= 5 ? QSize(64, 128) : QSize(128, 64);
        const Picture picture = Picture::LoadPicture(path, 96, 96);
        QCOMPARE(picture.PixelSize(), upright);
        // Natural size, a DCT-scaled decode for a box in upright pixels, and the thumbnail.
        const QImage images[] = {PictureDecoder::DecodeForDisplay(path, QSize()),
                                 PictureDecoder::DecodeForDisplay(path, upright / 4),
                                 PictureFile(path).EmbeddedThumbnail()};
        for (const QImage& image : images) {
            QCOMPARE(image.size(), &image == images ? upright : upright / 4);
            QVERIFY(Near(image.pixelColor(1, 1), topLeft));
            QVERIFY(Near(image.pixelColor(image.width() - 2, 1), topRight));
        }
    }

    void bigPhotoPassesTheLimit()
    {
        // 100 megapixels: Qt's default allocation limit would refuse the decode, ours admits it.
        const QString path = file("huge.jpg", WithFrameSize(Encode(Quadrants(64, 64)), 12000, 8000));
        QCOMPARE(PictureDecoder::DecodeForDisplay(path, QSize()).size(), QSize(12000, 8000));
        PictureFile::CheckPixelCount(QSize(16384, 16384)); // the largest admitted
        QVERIFY_THROWS_EXCEPTION(AppError, PictureFile::CheckPixelCount(QSize(16384, 16385)));
    }

    // The smallest DCT scale (1/1 to 1/8) whose size still covers the box; other formats decode whole.
    void dctScale()
    {
        const struct { QSize natural, box; bool jpeg; QSize expected; } rows[] = {
            {{6000, 4000}, {640, 480}, true, {750, 500}},
            {{6000, 4000}, {751, 480}, true, {1500, 1000}}, // one pixel more: 1/4
            {{6001, 4001}, {640, 480}, true, {750, 500}},   // an odd size rounds down
            {{6000, 4000}, {640, 480}, false, {6000, 4000}},
        };
        for (const auto& row : rows)
            QCOMPARE(PictureDecoder::DecodeSize(row.natural, row.box, row.jpeg), row.expected);
    }

    // Holding an arrow key through big photos: the job running finishes unseen, the ones
    // it overtook never start, and only the newest is delivered.
    void newestRequestWins()
    {
        NewestWins jobs(1);
        std::atomic<int> started{0};
        QSemaphore held;
        QStringList delivered;
        const auto request = [&](const QString& what, bool hold) {
            jobs.Run(
                jobs.Next(),
                [&started, &held, what, hold] {
                    ++started;
                    if (hold)
                        held.acquire();
                    return what;
                },
                [&delivered](const QString& result) { delivered << result; });
        };
        request(QStringLiteral("first"), true);
        QTRY_COMPARE(started.load(), 1);  // now working
        for (int i = 0; i < 18; ++i)
            request(QString::number(i), false);
        request(QStringLiteral("last"), false);
        held.release();
        // One worker takes the jobs in order: once the last is delivered, every other one ran.
        QTRY_VERIFY(!delivered.isEmpty());
        QCOMPARE(delivered, QStringList{QStringLiteral("last")});
        QCOMPARE(started.load(), 2);
    }

    // The desktop's thumbnail cache: what is written passes the checks other programs make
    // and reads back; a thumbnail of another file or a damaged one is never taken (one of an
    // older version: the preview tests); pixels that would make a blurred thumbnail are not
    // written.
    void thumbnailCache()
    {
        QTemporaryDir dir;
        const ThumbnailCache cache(dir.path() + QStringLiteral("/thumbnails"));
        const QString photo = dir.path() + QStringLiteral("/a photo #1.jpg");
        TestFiles::write(photo, "stand-in");
        const QString uri = QStringLiteral("file://") + dir.path() + QStringLiteral("/a%20photo%20%231.jpg");
        QCOMPARE(ThumbnailCache::UriOf(photo), uri);
        const QString name = QString::fromLatin1(QCryptographicHash::hash(uri.toUtf8(), QCryptographicHash::Md5).toHex());
        const QString stored = cache.Root() + QStringLiteral("/x-large/") + name + QStringLiteral(".png");

        QVERIFY(cache.Store(photo, 1700000000, Solid(2000, 1000), {6000, 3000}));
        const QImage png(stored, "png");
        QCOMPARE(png.text(QStringLiteral("Thumb::URI")), uri);
        QCOMPARE(png.text(QStringLiteral("Thumb::MTime")), QStringLiteral("1700000000"));
        QCOMPARE(QFileInfo(stored).permissions() & 0x7777, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser);
        QCOMPARE(QFileInfo(cache.Root()).permissions() & 0x0077, QFileDevice::Permissions());
        QCOMPARE(QDir(cache.Root() + QStringLiteral("/x-large")).entryList(QDir::Files | QDir::Hidden).size(), 1);

        QVERIFY(cache.Find(photo, 1700000000, 600).isNull());  // smaller than asked
        const QString other = dir.path() + QStringLiteral("/other.jpg");
        QFile::copy(stored, cache.Root() + QStringLiteral("/x-large/") + ThumbnailCache::FileNameFor(other));
        QVERIFY(cache.Find(other, 1700000000, 300).isNull());  // made for another file
        TestFiles::write(stored, QByteArray("\x89PNG\r\n\x1a\n damaged"));
        QVERIFY(cache.Find(photo, 1700000000, 300).isNull());

        // Never enlarged from pixels smaller than the picture; a small picture is kept whole.
        QVERIFY(!cache.Store(photo, 1700000000, Solid(300, 150), {3000, 1500}));
        QVERIFY(cache.Store(photo, 1700000000, Solid(100, 50), {100, 50}));
        QCOMPARE(cache.Find(photo, 1700000000, 100).size(), QSize(100, 50));
        // Nothing is written for the cache's own files, nor by a cache turned off.
        QVERIFY(!cache.Store(stored, 1700000000, Solid(600, 600), {600, 600}));
        QVERIFY(!ThumbnailCache(QString()).Store(photo, 1700000000, Solid(600, 600), {600, 600}));
    }

    void box()
    {
        const QString path = file("box.jpg", Encode(Quadrants(60, 30)));
        PictureBox box;
        box.resize(40, 20);
        box.SetPicture(Picture::LoadPicture(path, 96, 96));
        // A late decode of a picture no longer shown is ignored.
        QVERIFY(!box.SetPixelsFor(m_dir.filePath("other.jpg"), Quadrants(2, 2)));
        for (const QSize pixels : {QSize(4, 2), QSize(400, 200)}) { // enlarged, then shrunk
            QVERIFY(box.SetPixelsFor(path, Quadrants(pixels.width(), pixels.height())));
            const QImage shown = box.grab().toImage();
            QVERIFY(Near(shown.pixelColor(2, 2), Qt::red, 10));
            QVERIFY(Near(shown.pixelColor(37, 17), Qt::white, 10));
        }
        QSignalSpy clicks(&box, &PictureBox::Click);
        QTest::mouseClick(&box, Qt::RightButton, {}, QPoint(5, 5));
        QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(60, 5)); // dragged off first
        QCOMPARE(clicks.size(), 0);
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks.size(), 1);
        // Markup in a comment is shown, never interpreted.
        box.SetToolTipText(QStringLiteral("Tom & <b>Jerry</b>"));
        QVERIFY(box.toolTip().contains(QStringLiteral("&lt;b&gt;Jerry")));
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
