#pragma once
#include <QColor>
#include <QImage>

// Four quadrants: top-left red, top-right green, bottom-left blue, bottom-right white.
inline QImage Quadrants(int width, int height)
{
    static const QRgb corners[] = {0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffffff};
    return QImage(reinterpret_cast<const uchar*>(corners), 2, 2, QImage::Format_RGB32).scaled(width, height);
}

// Whether two colours differ by at most `tolerance` in each channel (JPEG is lossy).
inline bool Near(QColor actual, QColor expected, int tolerance = 48)
{
    return qAbs(actual.red() - expected.red()) <= tolerance && qAbs(actual.green() - expected.green()) <= tolerance
           && qAbs(actual.blue() - expected.blue()) <= tolerance;
}
