#pragma once
#include <QBuffer>
#include <QColor>
#include <QImage>

// Four quadrants: top-left red, top-right green, bottom-left blue, bottom-right white.
inline QImage Quadrants(int width, int height)
{
    static const QRgb corners[] = {0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffffff};
    return QImage(reinterpret_cast<const uchar*>(corners), 2, 2, QImage::Format_RGB32).scaled(width, height);
}

inline QImage Solid(int width, int height, QColor colour = Qt::darkCyan)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// The bytes of `image` saved as a `format` file.
inline QByteArray Encode(const QImage& image, const char* format = "JPEG")
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

// A GIF written by hand (nothing in Qt writes one): one frame of `frame` pixels, its left
// half red and its right half green, on a logical screen of `screen` pixels.
inline QByteArray Gif(QSize screen, QSize frame)
{
    const auto le16 = [](int v) { return QByteArray(1, char(v & 0xFF)) + char(v >> 8 & 0xFF); };
    QByteArray gif = "GIF89a" + le16(screen.width()) + le16(screen.height()) + QByteArray("\x80\0\0\xFF\0\0\0\xFF\0", 9)
                     + ',' + le16(0) + le16(0) + le16(frame.width()) + le16(frame.height()) + QByteArray("\0\x02", 2);
    // Codes of 3 bits: a clear code (4) before each pixel keeps the decoder's table, and so
    // the code size, from growing; the end code (5) comes last, padded to a whole byte.
    QByteArray data;
    quint32 bits = 0;
    int count = 0;
    const auto put = [&](quint32 code, int size) {
        for (bits |= code << count, count += size; count >= 8; count -= 8, bits >>= 8)
            data += char(bits & 0xFF);
    };
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            put(4 | (2 * x < frame.width() ? 0 : 1) << 3, 6);
    put(5, 10);
    for (int at = 0; at < data.size(); at += 255)
        gif += char(data.mid(at, 255).size()) + data.mid(at, 255);
    return gif + '\0' + ';';
}

// Whether two colours differ by at most `tolerance` in each channel (JPEG is lossy).
inline bool Near(QColor actual, QColor expected, int tolerance = 48)
{
    return qAbs(actual.red() - expected.red()) <= tolerance && qAbs(actual.green() - expected.green()) <= tolerance
           && qAbs(actual.blue() - expected.blue()) <= tolerance;
}
