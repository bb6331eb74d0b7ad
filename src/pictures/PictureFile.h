#pragma once
#include "FileIdentity.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageIOHandler>
#include <QSize>
#include <QString>

#include <memory>

class QImageReader;

// An image file opened the one safe way that every picture service shares. The name is
// re-encoded and must name an existing regular file (a FIFO or device is never opened for
// reading, and a name shown lossily never reaches another file); the format comes from the
// content and must be JPEG, GIF or BMP, or another format the image reader knows when the
// file's name says that same format (a .webp holding WebP); the size the header claims has passed the
// decompression-bomb check. Construct one from a path: the constructor reads only the
// headers (and a JPEG's EXIF block) and throws AppError when the file is not a readable
// picture. Use it on one thread at a time.
class PictureFile {
public:
    explicit PictureFile(const QString& path);
    ~PictureFile();
    PictureFile(const PictureFile&) = delete;
    PictureFile& operator=(const PictureFile&) = delete;

    const QString& Path() const { return m_path; }
    // "jpeg", "gif", "bmp", or another reader format such as "png", "webp" or "tiff".
    const QByteArray& Format() const { return m_format; }
    // The size as the pixels are stored, before the EXIF orientation is applied.
    QSize StoredSize() const { return m_storedSize; }
    // EXIF orientation 1..8, as the image reader found it; 1 for files without one.
    int Orientation() const { return m_orientation; }
    // The size as the picture is shown: width and height swap for orientations 5 to 8.
    QSize UprightSize() const { return UprightSize(m_storedSize, m_orientation); }
    bool IsDctScalable() const;

    // The file as it was opened.
    const FileIdentity& Identity() const { return m_identity; }

    // Decodes the pixels at `uprightSize` (must be the upright size or, for a JPEG, a
    // DCT-scaled size of it) and returns them upright. Truncated or damaged pixel data
    // gives whatever decoded; throws AppError when the decoder gave up. Call once.
    QImage ReadUpright(QSize uprightSize);
    // The JPEG thumbnail stored in the EXIF block, upright; null when there is none. Reads
    // the EXIF block only now: most users of a PictureFile never ask for it.
    QImage EmbeddedThumbnail() const;

    // Throws AppError 7 when a picture of this many pixels may not be decoded.
    static void CheckPixelCount(QSize pixels);
    static QSize UprightSize(QSize stored, int orientation);
    // The EXIF orientation (1..8) the image reader's transformation stands for.
    static int OrientationOf(QImageIOHandler::Transformations transformation);
    // Turns stored pixels upright according to an EXIF orientation (the embedded
    // thumbnail carries none of its own).
    static QImage Upright(const QImage& stored, int orientation);

private:
    void openRegularFile();
    QByteArray exifThumbnail() const;
    QSize claimedSize();

    QString m_path;
    QFile m_file;
    std::unique_ptr<QImageReader> m_reader;
    QByteArray m_format;
    QSize m_storedSize;
    int m_orientation = 1;
    FileIdentity m_identity;
};
