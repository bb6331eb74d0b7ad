// The EXIF block of a JPEG: the bytes are the TIFF structure after "Exif\0\0", put into
// the APP1 segment of a small valid JPEG. Mutating a whole file seldom keeps the segment
// framing that leads to the block, so here every input reaches libexif, the thumbnail it
// gives, the reader's own orientation and the upright decode at that orientation.
#include "PictureFuzz.h"

#include <QBuffer>

#include <algorithm>

namespace {

// 24 x 16, so that the orientations that swap width and height show in the decoded size.
QByteArray BaseJpeg()
{
    QImage image(24, 16, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "jpeg", 50) || !jpeg.startsWith("\xFF\xD8")) {
        std::fprintf(stderr, "cannot write the base JPEG (is the jpeg image plugin installed?)\n");
        std::abort();
    }
    return jpeg;
}

QByteArray g_base;

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    PictureFuzz::Initialize();
    g_base = BaseJpeg();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static PictureFuzz::ScratchFile scratch;
    // A segment's length field counts itself and "Exif\0\0": 65527 bytes of block at most.
    const int block = int(std::min<size_t>(size, 65535 - 8));
    const quint16 length = quint16(block + 8);
    const QByteArray file = g_base.left(2) + QByteArray("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF)
                            + QByteArray("Exif\0\0", 6) + QByteArray(reinterpret_cast<const char*>(data), block)
                            + g_base.mid(2);
    static const int divisors[] = {0, 2, 4, 8};
    PictureFuzz::Exercise(scratch.Write(file.constData(), size_t(file.size())), divisors[size % 4]);
    return 0;
}
