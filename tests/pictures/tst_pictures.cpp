// Tests of the picture services: header-only loading and its refusals, HIMETRIC sizes,
// EXIF orientation, the allocation limits, decoding at DCT scale, the background decoder
// and the image control. Every image is written by the tests themselves.
#include "AppError.h"
#include "Picture.h"
#include "PictureBox.h"
#include "PictureDecoder.h"
#include "PictureFile.h"
#include "PictureFixtures.h"
#include "TestFiles.h"
#include "Units.h"

#include <QElapsedTimer>
#include <QImageIOHandler>
#include <QImageReader>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using namespace PictureFixtures;

namespace {

// The number and description of the AppError that loading (or decoding) `path` throws.
QPair<int, QString> errorOf(const QString& path, bool decode = false)
{
    try {
        decode ? void(PictureDecoder::DecodeForDisplay(path, QSize())) : void(Picture::LoadPicture(path, 96, 96));
        return {0, QString()};
    } catch (const AppError& e) {
        return {e.Number(), e.Description()};
    }
}

}

class TestPictures : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void formatsByContent_data();
    void formatsByContent();
    void refusals_data();
    void refusals();
    void fifoRefusedWithoutBlocking();
    void himetricIsNearestWithTiesToEven_data();
    void himetricIsNearestWithTiesToEven();
    void exifOrientationEverywhere_data();
    void exifOrientationEverywhere();
    void allocationLimitAdmitsBigPhotos();
    void dctScale_data();
    void dctScale();
    void headerOnlyAndDctDecoding();
    void truncatedScanDecodesPartially();
    void decoderDeliversOnlyTheLatest();
    void decoderReportsFailureAndCancels();
    void boxDrawsStretched_data();
    void boxDrawsStretched();
    void boxClickTooltipAndStalePixels();

private:
    QString file(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        TestFiles::write(path, bytes);
        return path;
    }

    QTemporaryDir m_dir;
    QString m_big; // 6000 x 4000 JPEG with real detail
};

void TestPictures::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QImage big(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < big.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(big.scanLine(y));
        for (int x = 0; x < big.width(); ++x)
            line[x] = qRgb(x & 255, y & 255, (x ^ y) & 255);
    }
    m_big = file("big.jpg", Encode(big, "JPEG", 85));
}

void TestPictures::cleanupTestCase()
{
    // Qt cannot name the file whose name is not UTF-8, so it could not remove it.
    ::unlink((QFile::encodeName(m_dir.filePath("lossy")) + "/bad\xff.jpg").constData());
}

void TestPictures::formatsByContent_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("himetric");
    QTest::newRow("jpeg") << "a.jpg" << Encode(Quadrants(640, 480)) << QByteArray("jpeg") << QSize(640, 480)
                          << QSize(16933, 12700);
    QTest::newRow("bmp as .dib") << "b.dib" << Encode(Quadrants(12, 36), "BMP") << QByteArray("bmp")
                                 << QSize(12, 36) << QSize(318, 952);
    QTest::newRow("gif") << "c.gif" << Gif(10, 4) << QByteArray("gif") << QSize(10, 4) << QSize(265, 106);
    QTest::newRow("jpeg named .bmp") << "d.bmp" << Encode(Quadrants(20, 10)) << QByteArray("jpeg")
                                     << QSize(20, 10) << QSize(529, 265);
}

void TestPictures::formatsByContent()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, format);
    QFETCH(QSize, size);
    QFETCH(QSize, himetric);
    const QString path = file(name, bytes);
    const Picture picture = Picture::LoadPicture(path, 96, 96);
    QCOMPARE(picture.Format(), format);
    QCOMPARE(picture.PixelSize(), size);
    QCOMPARE(QSize(picture.Width(), picture.Height()), himetric);
    QCOMPARE(picture.Path(), path);
    QCOMPARE(picture.FileSize(), qint64(bytes.size()));
    QCOMPARE(picture.LastModified(), QFileInfo(path).lastModified());
    const QImage pixels = PictureDecoder::DecodeForDisplay(path, QSize());
    QCOMPARE(pixels.size(), size);
    QVERIFY(Near(pixels.pixelColor(0, 0), Qt::red));
    QVERIFY(Near(pixels.pixelColor(size.width() - 1, size.height() - 1), format == "gif" ? Qt::blue : Qt::white));
    QVERIFY(PictureDecoder::EmbeddedThumbnail(path).isNull()); // no EXIF block

    QVERIFY(picture.IsFileUnchanged());
    TestFiles::write(path, bytes + "trailing bytes");
    QVERIFY(!picture.IsFileUnchanged());

    // Loading no name gives the empty picture, as a default one is.
    QVERIFY(Picture::LoadPicture(QString(), 96, 96).IsEmpty());
    QVERIFY(PictureDecoder::DecodeForDisplay(QString(), QSize()).isNull());
    QCOMPARE(Picture().PixelSize(), QSize(0, 0));
}

void TestPictures::refusals_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    const QByteArray jpeg = Encode(Quadrants(16, 16));
    QTest::newRow("png named .jpg") << file("png.jpg", Encode(Quadrants(8, 8), "PNG"))
                                    << ErrNo::InvalidPicture << "Invalid picture";
    QTest::newRow("text") << file("text.jpg", "just some words\n") << ErrNo::InvalidPicture << "Invalid picture";
    QTest::newRow("zero bytes") << file("empty.gif", "") << ErrNo::InvalidPicture << "Invalid picture";
    const QString folder = TestFiles::makeDir(m_dir.filePath("folder.jpg"));
    QTest::newRow("folder") << folder << ErrNo::InvalidPicture << "Invalid picture";
    const QString dangling = m_dir.filePath("dangling.jpg");
    QVERIFY(QFile::link(m_dir.filePath("nowhere.jpg"), dangling));
    QTest::newRow("dangling symlink") << dangling << ErrNo::FileNotFound << "File not found";
    QTest::newRow("missing") << m_dir.filePath("missing.jpg") << ErrNo::FileNotFound << "File not found";

    // A name that is not UTF-8 is shown lossily; a real file may carry the lossy name
    // itself. The shown name stands for both, so it must open neither.
    const QString lossyDir = TestFiles::makeDir(m_dir.filePath("lossy"));
    const QString shown = QFile::decodeName("bad\xff.jpg");
    QCOMPARE(shown, QString::fromUtf8("bad\xef\xbf\xbd.jpg"));
    TestFiles::writeRaw(QFile::encodeName(lossyDir) + "/bad\xff.jpg", jpeg);
    TestFiles::write(lossyDir + "/" + shown, jpeg);
    QTest::newRow("lossily shown name") << lossyDir + "/" + shown << ErrNo::FileNotFound << "File not found";

    // Decompression bombs: refused from the header, before anything is allocated.
    const QString tooLarge = QStringLiteral("The picture is too large to open (%1 x %2 pixels)");
    QTest::newRow("jpeg 60000 x 60000") << file("bomb1.jpg", WithFrameSize(jpeg, 60000, 60000))
                                        << ErrNo::OutOfMemory << tooLarge.arg(60000).arg(60000);
    QTest::newRow("jpeg 65535 x 65535") << file("bomb2.jpg", WithFrameSize(jpeg, 65535, 65535))
                                        << ErrNo::OutOfMemory << tooLarge.arg(65535).arg(65535);
    QTest::newRow("bmp 100000 x 100000") << file("bomb3.bmp", BmpClaiming(100000, 100000))
                                         << ErrNo::OutOfMemory << tooLarge.arg(100000).arg(100000);
    QTest::newRow("bmp top-down 100000 x 100000") << file("bomb4.bmp", BmpClaiming(100000, -100000))
                                                  << ErrNo::OutOfMemory << tooLarge.arg(100000).arg(100000);
    QTest::newRow("gif 65535 x 65535") << file("bomb5.gif", Gif(2, 2, QSize(65535, 65535)))
                                       << ErrNo::OutOfMemory << tooLarge.arg(65535).arg(65535);
}

void TestPictures::refusals()
{
    QFETCH(QString, path);
    QFETCH(int, number);
    QFETCH(QString, description);
    QCOMPARE(errorOf(path), qMakePair(number, description));
    QCOMPARE(errorOf(path, true), qMakePair(number, description));
    QVERIFY(PictureDecoder::EmbeddedThumbnail(path).isNull());
}

void TestPictures::fifoRefusedWithoutBlocking()
{
    const QString fifo = m_dir.filePath("x.jpg");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    auto attempt = std::async(std::launch::async, [fifo] {
        return qMakePair(errorOf(fifo).first, errorOf(fifo, true).first);
    });
    if (attempt.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Release the blocked reader so the test ends, then fail.
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
        attempt.wait();
        QFAIL("opening a FIFO blocked");
    }
    const auto errors = attempt.get();
    QCOMPARE(errors.first, ErrNo::InvalidPicture);
    QCOMPARE(errors.second, ErrNo::InvalidPicture);
}

void TestPictures::himetricIsNearestWithTiesToEven_data()
{
    QTest::addColumn<int>("pixels");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("himetric");
    QTest::newRow("640 at 96") << 640 << 96.0 << 16933;    // 16933.33
    QTest::newRow("480 at 96") << 480 << 96.0 << 12700;    // exact
    QTest::newRow("12 at 96 tie up") << 12 << 96.0 << 318; // 317.5
    QTest::newRow("36 at 96 tie down") << 36 << 96.0 << 952; // 952.5
    QTest::newRow("3 at 120 tie up") << 3 << 120.0 << 64;  // 63.5
    QTest::newRow("9 at 120 tie down") << 9 << 120.0 << 190; // 190.5
    QTest::newRow("7 at 72") << 7 << 72.0 << 247; // 246.94
    QTest::newRow("odd DPI") << 1000 << 101.5 << 25025; // 25024.63
}

void TestPictures::himetricIsNearestWithTiesToEven()
{
    QFETCH(int, pixels);
    QFETCH(double, dpi);
    QFETCH(int, himetric);
    QCOMPARE(Picture::PixelsToHimetric(pixels, dpi), himetric);
    // Converting back at the same DPI gives the pixels, whatever the DPI.
    for (int px = 0; px <= 20000; ++px) {
        const double back = Units::Convert(Picture::PixelsToHimetric(px, dpi), Units::Himetric, Units::Pixels, dpi);
        if (Units::RoundHalfEven(back) != px)
            QFAIL(qPrintable(QStringLiteral("%1 px does not come back").arg(px)));
    }
}

void TestPictures::exifOrientationEverywhere_data()
{
    // Which stored quadrant ends up at the upright top-left and top-right corners.
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QColor>("topLeft");
    QTest::addColumn<QColor>("topRight");
    const QColor r = Qt::red, g = Qt::green, b = Qt::blue, w = Qt::white;
    QTest::newRow("1 normal") << 1 << r << g;
    QTest::newRow("2 mirrored") << 2 << g << r;
    QTest::newRow("3 half turn") << 3 << w << b;
    QTest::newRow("4 flipped") << 4 << b << w;
    QTest::newRow("5 transposed") << 5 << r << b;
    QTest::newRow("6 quarter clockwise") << 6 << b << r;
    QTest::newRow("7 transversed") << 7 << w << g;
    QTest::newRow("8 quarter anticlockwise") << 8 << g << w;
}

void TestPictures::exifOrientationEverywhere()
{
    QFETCH(int, orientation);
    QFETCH(QColor, topLeft);
    QFETCH(QColor, topRight);
    const QString path = file(QStringLiteral("o%1.jpg").arg(orientation),
                              WithExif(Encode(Quadrants(128, 64)), orientation, Encode(Quadrants(32, 16))));
    const bool swapped = orientation >= 5;
    const QSize upright = swapped ? QSize(64, 128) : QSize(128, 64);

    const Picture picture = Picture::LoadPicture(path, 96, 96);
    QCOMPARE(picture.Orientation(), orientation);
    QCOMPARE(picture.PixelSize(), upright);
    QCOMPARE(picture.Width(), Picture::PixelsToHimetric(upright.width(), 96));
    QCOMPARE(picture.Height(), Picture::PixelsToHimetric(upright.height(), 96));

    // Natural size, and a DCT-scaled decode for a box given in upright pixels.
    for (const QSize box : {QSize(), upright / 4}) {
        const QImage image = PictureDecoder::DecodeForDisplay(path, box);
        QCOMPARE(image.size(), box.isEmpty() ? upright : upright / 4);
        QVERIFY(Near(image.pixelColor(1, 1), topLeft));
        QVERIFY(Near(image.pixelColor(image.width() - 2, 1), topRight));
    }

    const QImage thumb = PictureDecoder::EmbeddedThumbnail(path);
    QCOMPARE(thumb.size(), swapped ? QSize(16, 32) : QSize(32, 16));
    QVERIFY(Near(thumb.pixelColor(1, 1), topLeft));
    QVERIFY(Near(thumb.pixelColor(thumb.width() - 2, 1), topRight));
}

void TestPictures::allocationLimitAdmitsBigPhotos()
{
    ConfigureImageAllocationLimit();
    QCOMPARE(QImageReader::allocationLimit(), Picture::AllocationLimitMB);
    // Qt's own limit and ours agree: the largest picture we admit fits, one more row not.
    QImage probe;
    QVERIFY(QImageIOHandler::allocateImage(QSize(16384, 16384), QImage::Format_ARGB32, &probe));
    probe = QImage();
    QVERIFY(!QImageIOHandler::allocateImage(QSize(16384, 16385), QImage::Format_ARGB32, &probe));
    PictureFile::CheckPixelCount(QSize(16384, 16384));

    // A 100-megapixel photo, end to end: the header admits it and the decode allocates.
    const QString path = file("huge.jpg", WithFrameSize(Encode(Quadrants(64, 64)), 12000, 8000));
    QCOMPARE(Picture::LoadPicture(path, 96, 96).PixelSize(), QSize(12000, 8000));
    QCOMPARE(PictureDecoder::DecodeForDisplay(path, QSize()).size(), QSize(12000, 8000));
}

void TestPictures::dctScale_data()
{
    QTest::addColumn<QSize>("natural");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<bool>("jpeg");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("full HD: 1/2") << QSize(6000, 4000) << QSize(1920, 1080) << true << QSize(3000, 2000);
    QTest::newRow("VGA: 1/8") << QSize(6000, 4000) << QSize(640, 480) << true << QSize(750, 500);
    QTest::newRow("one pixel more: 1/4") << QSize(6000, 4000) << QSize(751, 480) << true << QSize(1500, 1000);
    QTest::newRow("portrait") << QSize(4000, 6000) << QSize(1920, 1080) << true << QSize(2000, 3000);
    QTest::newRow("odd size rounds down") << QSize(6001, 4001) << QSize(640, 480) << true << QSize(750, 500);
    QTest::newRow("smaller than box") << QSize(800, 600) << QSize(1920, 1080) << true << QSize(800, 600);
    QTest::newRow("narrower than box") << QSize(1000, 3000) << QSize(1920, 1080) << true << QSize(1000, 3000);
    QTest::newRow("no box: natural") << QSize(6000, 4000) << QSize() << true << QSize(6000, 4000);
    QTest::newRow("bmp: natural") << QSize(6000, 4000) << QSize(640, 480) << false << QSize(6000, 4000);
}

void TestPictures::dctScale()
{
    QFETCH(QSize, natural);
    QFETCH(QSize, box);
    QFETCH(bool, jpeg);
    QFETCH(QSize, expected);
    QCOMPARE(PictureDecoder::DecodeSize(natural, box, jpeg), expected);
}

void TestPictures::headerOnlyAndDctDecoding()
{
    QElapsedTimer timer;
    timer.start();
    const Picture picture = Picture::LoadPicture(m_big, 96, 96);
    const qint64 loadNs = timer.nsecsElapsed();
    QCOMPARE(picture.PixelSize(), QSize(6000, 4000));

    timer.restart();
    const QImage full = PictureDecoder::DecodeForDisplay(m_big, QSize());
    const qint64 decodeNs = timer.nsecsElapsed();
    QCOMPARE(full.size(), QSize(6000, 4000));
    // Reading the header touches a few hundred bytes; decoding touches 24 million pixels.
    QVERIFY2(loadNs * 20 < decodeNs, qPrintable(QStringLiteral("load %1 ns, decode %2 ns").arg(loadNs).arg(decodeNs)));

    const QImage half = PictureDecoder::DecodeForDisplay(m_big, QSize(1920, 1080));
    QCOMPARE(half.size(), QSize(3000, 2000));
    const QImage eighth = PictureDecoder::DecodeForDisplay(m_big, QSize(640, 480));
    QCOMPARE(eighth.size(), QSize(750, 500));
    // Same picture: the scaled decode shows the same colours at the same place.
    QVERIFY(Near(eighth.pixelColor(375, 250), full.pixelColor(3000, 2000), 80));
}

void TestPictures::truncatedScanDecodesPartially()
{
    QImage image(256, 256, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(0, 128, 256, 128, Qt::blue);
    const QByteArray jpeg = Encode(image);
    const QString path = file("cut.jpg", jpeg.left(jpeg.size() * 2 / 5));

    QCOMPARE(Picture::LoadPicture(path, 96, 96).PixelSize(), QSize(256, 256));
    const QImage partial = PictureDecoder::DecodeForDisplay(path, QSize());
    QCOMPARE(partial.size(), QSize(256, 256));
    QVERIFY(Near(partial.pixelColor(4, 4), Qt::red));
    QVERIFY(!Near(partial.pixelColor(4, 250), Qt::blue)); // never reached
}

void TestPictures::decoderDeliversOnlyTheLatest()
{
    const QString small = file("small.jpg", Encode(Quadrants(40, 20)));
    PictureDecoder decoder;
    QSignalSpy decoded(&decoder, &PictureDecoder::Decoded);
    QSignalSpy failed(&decoder, &PictureDecoder::Failed);
    decoder.Request(m_big, QSize());
    QTRY_COMPARE_WITH_TIMEOUT(decoder.DecodesStarted(), 1, 5000); // now decoding
    quint64 last = 0;
    for (int i = 0; i < 19; ++i) // an arrow key held down through big photos
        last = decoder.Request(i < 18 ? m_big : small, QSize());
    QVERIFY(decoded.wait(20000));
    QTest::qWait(300); // nothing else may follow
    QCOMPARE(decoded.size(), 1);
    QCOMPARE(failed.size(), 0);
    QCOMPARE(decoded[0][0].toULongLong(), last);
    QCOMPARE(decoded[0][1].toString(), small);
    QCOMPARE(decoded[0][2].value<QImage>().size(), QSize(40, 20));
    QCOMPARE(decoder.DecodesStarted(), 2); // the one running, then only the latest
}

void TestPictures::decoderReportsFailureAndCancels()
{
    const QString text = file("notes.jpg", "not a picture");
    PictureDecoder decoder;
    QSignalSpy decoded(&decoder, &PictureDecoder::Decoded);
    QSignalSpy failed(&decoder, &PictureDecoder::Failed);
    const quint64 id = decoder.Request(text, QSize(100, 100));
    QVERIFY(failed.wait(5000));
    QCOMPARE(failed[0][0].toULongLong(), id);
    QCOMPARE(failed[0][1].toString(), text);
    QCOMPARE(failed[0][2].toString(), QStringLiteral("Invalid picture"));

    decoder.Request(m_big, QSize());
    decoder.Cancel();
    QTest::qWait(800);
    QCOMPARE(decoded.size(), 0);
    QCOMPARE(failed.size(), 1);
}

void TestPictures::boxDrawsStretched_data()
{
    QTest::addColumn<QSize>("pixels");
    QTest::newRow("enlarged") << QSize(4, 2);
    QTest::newRow("shrunk") << QSize(400, 200);
}

void TestPictures::boxDrawsStretched()
{
    QFETCH(QSize, pixels);
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(pixels.width() / 2, 0, pixels.width() / 2, pixels.height(), Qt::blue);
    PictureBox box;
    box.resize(40, 20);
    box.SetPixels(image);
    const QImage shown = box.grab().toImage();
    QCOMPARE(shown.size(), QSize(40, 20));
    QVERIFY(Near(shown.pixelColor(2, 2), Qt::red, 10));
    QVERIFY(Near(shown.pixelColor(37, 17), Qt::blue, 10));
}

void TestPictures::boxClickTooltipAndStalePixels()
{
    PictureBox box;
    box.resize(40, 20);
    QSignalSpy clicks(&box, &PictureBox::Click);
    QTest::mouseClick(&box, Qt::RightButton, {}, QPoint(5, 5));
    QCOMPARE(clicks.size(), 0);
    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(60, 5)); // dragged off first
    QCOMPARE(clicks.size(), 0);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(clicks.size(), 1);

    box.SetToolTipText(QStringLiteral("Tom & <b>Jerry</b>"));
    QCOMPARE(box.ToolTipText(), QStringLiteral("Tom & <b>Jerry</b>"));
    QVERIFY(box.toolTip().contains(QStringLiteral("&lt;b&gt;Jerry")));
    box.SetToolTipText(QStringLiteral("a plain comment"));
    QCOMPARE(box.toolTip(), QStringLiteral("a plain comment"));

    const QString path = file("shown.bmp", Encode(Quadrants(8, 4), "BMP"));
    box.SetPicture(Picture::LoadPicture(path, 96, 96));
    QVERIFY(box.Pixels().isNull());
    QVERIFY(!box.SetPixelsFor(m_dir.filePath("other.jpg"), Quadrants(2, 2)));
    QVERIFY(box.Pixels().isNull());
    QVERIFY(box.SetPixelsFor(path, Quadrants(8, 4)));
    QCOMPARE(box.Pixels().size(), QSize(8, 4));
    QCOMPARE(box.GetPicture().PixelSize(), QSize(8, 4));
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
