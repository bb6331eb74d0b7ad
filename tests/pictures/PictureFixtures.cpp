#include "PictureFixtures.h"

#include <QBuffer>
#include <QPainter>

namespace PictureFixtures {

namespace {

void putLe16(QByteArray& b, quint32 v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

void putLe32(QByteArray& b, quint32 v)
{
    putLe16(b, v & 0xFFFF);
    putLe16(b, v >> 16);
}

void setLe16(QByteArray& b, int at, quint32 v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

}

QImage Quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    const int w = width / 2, h = height / 2;
    painter.fillRect(0, 0, w, h, Qt::red);
    painter.fillRect(w, 0, width - w, h, Qt::green);
    painter.fillRect(0, h, w, height - h, Qt::blue);
    painter.fillRect(w, h, width - w, height - h, Qt::white);
    return image;
}

QByteArray Encode(const QImage& image, const char* format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

QByteArray WithExif(const QByteArray& jpeg, int orientation, const QByteArray& thumbnail)
{
    QByteArray tiff("II", 2);
    putLe16(tiff, 42);
    putLe32(tiff, 8); // IFD0 follows the header
    putLe16(tiff, 1);
    putLe16(tiff, 0x0112); // Orientation, SHORT, one value
    putLe16(tiff, 3);
    putLe32(tiff, 1);
    putLe16(tiff, quint32(orientation));
    putLe16(tiff, 0);
    const quint32 ifd1 = 8 + 2 + 12 + 4;
    putLe32(tiff, thumbnail.isEmpty() ? 0 : ifd1);
    if (!thumbnail.isEmpty()) {
        putLe16(tiff, 2);
        putLe16(tiff, 0x0201); // JPEGInterchangeFormat: offset of the thumbnail
        putLe16(tiff, 4);
        putLe32(tiff, 1);
        putLe32(tiff, ifd1 + 2 + 24 + 4);
        putLe16(tiff, 0x0202); // JPEGInterchangeFormatLength
        putLe16(tiff, 4);
        putLe32(tiff, 1);
        putLe32(tiff, quint32(thumbnail.size()));
        putLe32(tiff, 0);
        tiff += thumbnail;
    }
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = payload.size() + 2;
    QByteArray segment;
    segment.append(char(0xFF));
    segment.append(char(0xE1));
    segment.append(char(length >> 8));
    segment.append(char(length & 0xFF));
    return jpeg.left(2) + segment + payload + jpeg.mid(2);
}

QByteArray WithFrameSize(QByteArray jpeg, int width, int height)
{
    int pos = 2;
    while (pos + 9 <= jpeg.size() && uchar(jpeg[pos]) == 0xFF) {
        const uchar marker = uchar(jpeg[pos + 1]);
        if (marker == 0xC0 || marker == 0xC2) {
            jpeg[pos + 5] = char(height >> 8);
            jpeg[pos + 6] = char(height & 0xFF);
            jpeg[pos + 7] = char(width >> 8);
            jpeg[pos + 8] = char(width & 0xFF);
            return jpeg;
        }
        pos += 2 + (uchar(jpeg[pos + 2]) << 8 | uchar(jpeg[pos + 3]));
    }
    return {};
}

QByteArray Gif(int width, int height, QSize claim)
{
    QByteArray gif("GIF89a");
    putLe16(gif, quint32(width));
    putLe16(gif, quint32(height));
    gif.append(char(0x80)); // a global colour table of two entries
    gif.append(char(0));
    gif.append(char(0));
    gif.append("\xFF\x00\x00\x00\x00\xFF", 6);
    gif.append(char(0x2C)); // image descriptor covering the screen
    putLe16(gif, 0);
    putLe16(gif, 0);
    putLe16(gif, quint32(width));
    putLe16(gif, quint32(height));
    gif.append(char(0));
    gif.append(char(2)); // LZW minimum code size

    // 3-bit codes (clear 4, end 5); a clear code before every two pixels keeps the
    // decoder's table from growing, so the code size never changes.
    QByteArray data;
    quint32 bits = 0;
    int count = 0;
    auto put = [&](quint32 code) {
        bits |= code << count;
        count += 3;
        for (; count >= 8; count -= 8, bits >>= 8)
            data.append(char(bits & 0xFF));
    };
    for (int i = 0; i < width * height; ++i) {
        if (i % 2 == 0)
            put(4);
        put(i % width < width / 2 ? 0 : 1);
    }
    put(5);
    if (count > 0)
        data.append(char(bits & 0xFF));
    for (int at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        gif.append(char(block.size()));
        gif += block;
    }
    gif.append(char(0));
    gif.append(char(0x3B));
    if (claim.isValid()) { // the screen and image descriptors
        for (const int at : {6, 24}) {
            setLe16(gif, at, quint32(claim.width()));
            setLe16(gif, at + 2, quint32(claim.height()));
        }
    }
    return gif;
}

QByteArray BmpClaiming(qint32 width, qint32 height)
{
    QByteArray bmp("BM");
    putLe32(bmp, 54 + 16);
    putLe32(bmp, 0);
    putLe32(bmp, 54);
    putLe32(bmp, 40);
    putLe32(bmp, quint32(width));
    putLe32(bmp, quint32(height));
    putLe16(bmp, 1);
    putLe16(bmp, 24);
    for (int i = 0; i < 6; ++i) // compression, image size, resolution, colours
        putLe32(bmp, i == 2 || i == 3 ? 2835 : 0);
    bmp.append(QByteArray(16, '\0'));
    return bmp;
}

bool Near(QColor actual, QColor expected, int tolerance)
{
    return qAbs(actual.red() - expected.red()) <= tolerance
           && qAbs(actual.green() - expected.green()) <= tolerance
           && qAbs(actual.blue() - expected.blue()) <= tolerance;
}

}
