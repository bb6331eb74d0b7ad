#pragma once
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

// Image files the picture tests write themselves, byte by byte where Qt cannot.
namespace PictureFixtures {

// Four quadrants: top-left red, top-right green, bottom-left blue, bottom-right white.
QImage Quadrants(int width, int height);
QByteArray Encode(const QImage& image, const char* format = "JPEG", int quality = 90);
// The JPEG with an APP1 Exif segment right after SOI: IFD0 holds the orientation, IFD1
// (when a thumbnail is given) points at the thumbnail's bytes.
QByteArray WithExif(const QByteArray& jpeg, int orientation, const QByteArray& thumbnail = {});
// The JPEG with its frame header claiming another size (the scan data is left as it is).
QByteArray WithFrameSize(QByteArray jpeg, int width, int height);
// A GIF whose left half is palette entry 0 (red) and right half entry 1 (blue); with a
// valid `claim`, its headers claim that size instead.
QByteArray Gif(int width, int height, QSize claim = QSize());
// A BMP header claiming a size, followed by a few bytes of pixel data.
QByteArray BmpClaiming(qint32 width, qint32 height);

// Whether two colours differ by at most `tolerance` in each channel (JPEG is lossy).
bool Near(QColor actual, QColor expected, int tolerance = 48);

}
