#pragma once
#include "FileIdentity.h"

#include <QByteArray>
#include <QDateTime>
#include <QSize>
#include <QString>

class PictureFile;

// A picture as the windows hold it: its natural (upright) size in pixels and in HIMETRIC,
// the file it came from and how that file looked when it was read, but no pixels, so it
// is cheap to load on every selection and to copy. Get one with LoadPicture; a default
// Picture is the empty picture (0 x 0). Pixels are decoded separately by PictureDecoder.
class Picture {
public:
    // Decoding more than 16384 x 16384 pixels (268 megapixels, 1 GiB at four bytes a
    // pixel) is refused before any pixel is read: no real photo comes near it, and a
    // decompression bomb claiming 65535 x 65535 or 100000 x 100000 fails fast and clearly.
    static constexpr qint64 MaxPixels = 16384LL * 16384LL;
    // Qt's per-image allocation limit in MiB, matched to MaxPixels at four bytes a pixel.
    static constexpr int AllocationLimitMB = int(MaxPixels * 4 / (1024 * 1024));

    Picture() = default;

    // Reads the header of `path` (JPEG, GIF or BMP by content) and nothing else. An empty
    // path gives the empty picture. Throws AppError 53 "File not found" when the name does
    // not exist (or was shown lossily), 481 "Invalid picture" when it is not a readable
    // picture (wrong format, damaged header, a folder, a FIFO, a device), 75 when it cannot
    // be opened, and 7 "The picture is too large to open (W x H pixels)" beyond MaxPixels.
    static Picture LoadPicture(const QString& path, double dpiX, double dpiY);
    // The same from a file already open, so that its pixels can be decoded from it too.
    static Picture FromFile(const PictureFile& file, double dpiX, double dpiY);

    // nearest(pixels * 2540 / dpi), an exact half going to the even neighbour, so that
    // converting back at the same DPI gives the pixels again.
    static int PixelsToHimetric(int pixels, double dpi);

    bool IsEmpty() const { return m_pixelWidth <= 0 || m_pixelHeight <= 0; }
    // Natural size in HIMETRIC (hundredths of a millimetre), upright.
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Natural size in pixels, upright: an EXIF orientation of 5 to 8 swaps them.
    int PixelWidth() const { return m_pixelWidth; }
    int PixelHeight() const { return m_pixelHeight; }
    QSize PixelSize() const { return QSize(m_pixelWidth, m_pixelHeight); }
    // EXIF orientation 1..8 (1 for pictures without one).
    int Orientation() const { return m_orientation; }
    // "jpeg", "gif", "bmp" or another reader format; empty for the empty picture.
    const QByteArray& Format() const { return m_format; }
    const QString& Path() const { return m_path; }

    // The file as it was when the picture was loaded.
    QDateTime LastModified() const;
    // Whether the file at Path() is still the one that was loaded (same file, size and
    // modification time), so a later user can trust the size it holds.
    bool IsFileUnchanged() const;

private:
    QString m_path;
    QByteArray m_format;
    int m_width = 0;
    int m_height = 0;
    int m_pixelWidth = 0;
    int m_pixelHeight = 0;
    int m_orientation = 1;
    FileIdentity m_identity;
};

// Sets Qt's image allocation limit to Picture::AllocationLimitMB so that 100-megapixel
// photos open (Qt's default of 128 MB refuses a 12000 x 8000 JPEG). Call once at start;
// the picture services also call it themselves before their first decode.
void ConfigureImageAllocationLimit();
