#include "PictureFile.h"
#include "AppError.h"
#include "PathNames.h"
#include "Picture.h"
#include "PictureDecoder.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QTransform>

#include <libexif/exif-data.h>
#include <libexif/exif-loader.h>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kSource = QStringLiteral("LoadPicture");

// The EXIF block lives in the first segments of a JPEG; never scan further than this.
constexpr qint64 kMaxExifScan = 512 * 1024;
// An embedded thumbnail is at most a few hundred pixels a side; anything claiming more
// than this is damaged or hostile and is not decoded.
constexpr qint64 kMaxThumbnailPixels = 2048 * 2048;

[[noreturn]] void fail(int number, const QString& description)
{
    throw AppError(number, kSource, description);
}

[[noreturn]] void failNotFound() { fail(ErrNo::FileNotFound, QStringLiteral("File not found")); }
[[noreturn]] void failInvalid() { fail(ErrNo::InvalidPicture, QStringLiteral("Invalid picture")); }

[[noreturn]] void failForErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
        failNotFound();
    default:
        fail(ErrNo::PathFileAccess, QStringLiteral("Path/File access error"));
    }
}

quint16 be16(const QByteArray& b, int at) { return quint16(uchar(b[at]) << 8 | uchar(b[at + 1])); }
quint16 le16(const QByteArray& b, int at) { return quint16(uchar(b[at + 1]) << 8 | uchar(b[at])); }
qint32 le32(const QByteArray& b, int at)
{
    return qint32(quint32(uchar(b[at + 3])) << 24 | quint32(uchar(b[at + 2])) << 16
                  | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at])));
}

// The dimensions in a JPEG's first frame header, found by walking the marker segments.
QSize jpegFrameSize(QFile& file)
{
    qint64 pos = 2;
    for (int segments = 0; segments < 1000; ++segments) {
        if (!file.seek(pos))
            return {};
        const QByteArray head = file.read(9);
        if (head.size() < 4 || uchar(head[0]) != 0xFF)
            return {};
        const uchar marker = uchar(head[1]);
        if (marker == 0xFF) { // fill byte
            ++pos;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) { // markers without a length
            pos += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) // scan data or end: no frame header came first
            return {};
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8
                           && marker != 0xCC;
        if (frame)
            return head.size() < 9 ? QSize() : QSize(be16(head, 7), be16(head, 5));
        pos += 2 + be16(head, 2);
    }
    return {};
}

QByteArray formatByMagic(const QByteArray& head)
{
    if (head.startsWith("\xFF\xD8\xFF"))
        return "jpeg";
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return "gif";
    if (head.startsWith("BM"))
        return "bmp";
    return {};
}

// The format a file's name claims, as the image reader names it ("tif" is "tiff"). Beyond
// JPEG, GIF and BMP, a picture is read only when its name and its content agree: the file
// list shows only the types the user listed, by name, and a PNG named .jpg stays refused.
QByteArray formatNamedBy(const QString& path)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    if (suffix == "jpg" || suffix == "jpe" || suffix == "jfif")
        return "jpeg";
    if (suffix == "tif")
        return "tiff";
    if (suffix == "dib")
        return "bmp";
    return suffix;
}

} // namespace

PictureFile::PictureFile(const QString& path) : m_path(path)
{
    // Decoding may happen before the program's start-up configured the limit (tests, tools).
    static std::once_flag configured;
    std::call_once(configured, ConfigureImageAllocationLimit);

    openRegularFile();

    // The three formats the program is about are told by their first bytes; only other
    // files make the reader try its plugins one by one (loading each of them to ask).
    const QByteArray known = formatByMagic(m_file.peek(6));
    m_reader = std::make_unique<QImageReader>(&m_file, known);
    m_reader->setDecideFormatFromContent(known.isEmpty());
    m_reader->setAutoDetectImageFormat(known.isEmpty());
    m_format = known.isEmpty() ? m_reader->format().toLower() : known;
    if (m_format != "jpeg" && m_format != "gif" && m_format != "bmp" && m_format != formatNamedBy(m_path))
        failInvalid();
    // The reader finds the EXIF orientation while it reads the header, and turns the pixels
    // upright as it decodes them.
    m_reader->setAutoTransform(true);
    m_orientation = OrientationOf(m_reader->transformation());

    m_storedSize = m_reader->size();
    if (m_format == "bmp" && m_storedSize.height() < 0 && m_storedSize.height() > INT_MIN) {
        // Qt reports the height of a BMP stored top-down as the header has it, negative,
        // yet decodes the picture upright at the positive height.
        m_storedSize.setHeight(-m_storedSize.height());
    }
    if (m_format == "gif") {
        // Qt draws a GIF onto its whole logical screen, yet may report only the first
        // frame's size (a 2 x 2 frame on a 65535 x 65535 screen reads as 2 x 2), which would
        // slip a bomb past the check below and misstate the size. The screen is what decodes;
        // only a side the screen leaves at 0 comes from the first frame, as reported.
        const qint64 at = m_file.pos();
        const QSize screen = claimedSize();
        m_file.seek(at);
        if (screen.width() > 0)
            m_storedSize.setWidth(screen.width());
        if (screen.height() > 0)
            m_storedSize.setHeight(screen.height());
    }
    if (!m_storedSize.isValid() || m_storedSize.isEmpty()) {
        // Qt refuses some headers outright (a BMP over 16384 x 16384, a JPEG over 65500 a
        // side); read the claim ourselves so an oversized picture gets the clear message.
        const QSize claim = claimedSize();
        if (claim.isValid() && !claim.isEmpty())
            CheckPixelCount(UprightSize(claim, m_orientation));
        failInvalid();
    }
    CheckPixelCount(UprightSize());
}

PictureFile::~PictureFile() = default;

void PictureFile::openRegularFile()
{
    if (IsLossilyDecodedName(m_path))
        failNotFound();
    const QByteArray name = QFile::encodeName(m_path);

    // stat first: only a regular file is ever opened, so a FIFO or device cannot block us.
    struct stat named {};
    if (::stat(name.constData(), &named) != 0)
        failForErrno(errno);
    if (!S_ISREG(named.st_mode))
        failInvalid();

    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        failForErrno(errno);
    // The name may have been replaced between stat and open; trust only what is open.
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_dev != named.st_dev
        || opened.st_ino != named.st_ino) {
        ::close(fd);
        failInvalid();
    }
    if (!m_file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        fail(ErrNo::PathFileAccess, QStringLiteral("Path/File access error"));
    }
    m_identity = FileIdentity::Of(opened);
}

QSize PictureFile::claimedSize()
{
    if (m_format == "jpeg")
        return jpegFrameSize(m_file);
    if (!m_file.seek(0))
        return {};
    const QByteArray head = m_file.read(26);
    if (m_format == "gif" && head.size() >= 10)
        return QSize(le16(head, 6), le16(head, 8)); // the logical screen
    if (m_format == "bmp" && head.size() >= 26) {
        if (le32(head, 14) == 12) // the old core header with 16-bit sizes
            return QSize(le16(head, 18), le16(head, 20));
        const qint64 width = le32(head, 18);
        const qint64 height = qAbs(qint64(le32(head, 22))); // negative: stored top-down
        if (width > 0 && width <= INT_MAX && height <= INT_MAX)
            return QSize(int(width), int(height));
    }
    return {};
}

QImage PictureFile::ReadUpright(QSize uprightSize)
{
    const QSize stored = m_orientation >= 5 ? uprightSize.transposed() : uprightSize;
    if (stored != m_storedSize) {
        // Only a JPEG scales while it decodes; anything else would be a resized copy.
        if (!IsDctScalable())
            failInvalid();
        m_reader->setScaledSize(stored);
    }
    QImage image;
    // A truncated file or damaged scan data still yields what decoded. When the decoder
    // gives up instead, the image it had allocated holds unread memory at the stored size
    // and orientation: that is no picture.
    if (!m_reader->read(&image) || image.isNull())
        failInvalid();
    return image;
}

QByteArray PictureFile::exifThumbnail() const
{
    // Read with pread: the file's offset belongs to the image reader, which may decode later.
    const int fd = m_file.handle();
    char magic[2];
    if (m_format != "jpeg" || ::pread(fd, magic, 2, 0) != 2 || uchar(magic[0]) != 0xFF || uchar(magic[1]) != 0xD8)
        return {};
    ExifLoader* loader = exif_loader_new();
    if (!loader)
        return {};
    QByteArray chunk(8192, Qt::Uninitialized);
    for (qint64 scanned = 0; scanned < kMaxExifScan;) {
        const ssize_t got = ::pread(fd, chunk.data(), size_t(chunk.size()), scanned);
        if (got <= 0)
            break;
        scanned += got;
        if (!exif_loader_write(loader, reinterpret_cast<unsigned char*>(chunk.data()), unsigned(got)))
            break;
    }
    QByteArray thumbnail;
    const unsigned char* buffer = nullptr;
    unsigned int size = 0;
    exif_loader_get_buf(loader, &buffer, &size);
    ExifData* data = buffer && size ? exif_data_new() : nullptr;
    if (data) {
        // Read the block as it is: "fixing" it to the standard could invent entries.
        exif_data_unset_option(data, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
        exif_data_load_data(data, buffer, size);
        if (data->data && data->size > 0)
            thumbnail = QByteArray(reinterpret_cast<const char*>(data->data), int(data->size));
        exif_data_unref(data);
    }
    exif_loader_unref(loader);
    return thumbnail;
}

QImage PictureFile::EmbeddedThumbnail() const
{
    const QByteArray thumbnail = exifThumbnail();
    if (thumbnail.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(thumbnail);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);
    if (reader.format().toLower() != "jpeg")
        return {};
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || qint64(size.width()) * size.height() > kMaxThumbnailPixels)
        return {};
    QImage image;
    reader.read(&image);
    return image.isNull() ? QImage() : Upright(image, m_orientation);
}

bool PictureFile::IsDctScalable() const
{
    return PictureDecoder::IsDctScalable(m_format);
}

void PictureFile::CheckPixelCount(QSize pixels)
{
    if (qint64(pixels.width()) * qint64(pixels.height()) > Picture::MaxPixels)
        fail(ErrNo::OutOfMemory, QStringLiteral("The picture is too large to open (%1 x %2 pixels)")
                                     .arg(pixels.width())
                                     .arg(pixels.height()));
}

int PictureFile::OrientationOf(QImageIOHandler::Transformations transformation)
{
    // The EXIF orientations 1 to 8, in the terms the image reader reports them.
    using T = QImageIOHandler::Transformation;
    static const QImageIOHandler::Transformations byOrientation[] = {
        T::TransformationNone,   T::TransformationMirror,  T::TransformationRotate180,
        T::TransformationFlip,   T::TransformationFlipAndRotate90, T::TransformationRotate90,
        T::TransformationMirrorAndRotate90, T::TransformationRotate270};
    for (int i = 0; i < 8; ++i)
        if (byOrientation[i] == transformation)
            return i + 1;
    return 1;
}

QSize PictureFile::UprightSize(QSize stored, int orientation)
{
    return orientation >= 5 ? stored.transposed() : stored;
}

QImage PictureFile::Upright(const QImage& stored, int orientation)
{
    // EXIF orientations: 2 mirrored, 3 turned half way, 4 flipped, 5 transposed,
    // 6 turned a quarter clockwise, 7 transversed, 8 turned a quarter anticlockwise.
    const QTransform quarter = QTransform().rotate(90);
    switch (orientation) {
    case 2: return stored.mirrored(true, false);
    case 3: return stored.mirrored(true, true);
    case 4: return stored.mirrored(false, true);
    case 5: return stored.transformed(quarter).mirrored(true, false);
    case 6: return stored.transformed(quarter);
    case 7: return stored.transformed(quarter).mirrored(false, true);
    case 8: return stored.transformed(QTransform().rotate(270));
    default: return stored;
    }
}
