#pragma once
#include <QByteArray>
#include <QDataStream>
#include <QIODevice>

// Hand-made picture headers for the readers' refusals, shared by the picture tests and the
// hostile corpus.

// The values in the given byte order: JPEG segments are big-endian, TIFF ("II") and BMP
// headers little-endian.
constexpr auto Le = QDataStream::LittleEndian, Be = QDataStream::BigEndian;
template <typename... T>
QByteArray bytes(QDataStream::ByteOrder order, T... values)
{
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream.setByteOrder(order);
    (stream << ... << values);
    return out;
}

// The JPEG with its frame header claiming another size (the scan data is left as it is).
inline QByteArray WithFrameSize(QByteArray jpeg, int width, int height)
{
    for (int pos = 2; pos + 9 <= jpeg.size(); pos += 2 + (uchar(jpeg[pos + 2]) << 8 | uchar(jpeg[pos + 3]))) {
        if (uchar(jpeg[pos + 1]) == 0xC0)
            return jpeg.replace(pos + 5, 4, bytes(Be, quint16(height), quint16(width)));
    }
    return {};
}

// A BMP header claiming a size, followed by a few bytes of pixel data.
inline QByteArray BmpClaiming(qint32 width, qint32 height)
{
    return "BM" + bytes(Le, quint32(70), quint32(0), quint32(54), quint32(40), width, height, quint16(1), quint16(24))
           + QByteArray(40, '\0');
}
