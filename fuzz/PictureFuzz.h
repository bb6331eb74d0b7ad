#pragma once
// What the picture targets share: a scratch file the bytes are written to (PictureFile
// opens only regular files by name), quieted Qt warnings, and one pass through everything
// the program does with a picture file it is handed, with the promises PictureFile makes
// checked on the way.
#include "AppError.h"
#include "FuzzSupport.h"
#include "Picture.h"
#include "PictureDecoder.h"
#include "PictureFile.h"

#include <QImage>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace PictureFuzz {

// Pictures decode whole (or DCT-scaled) only up to this many upright pixels, so that one
// input takes milliseconds; larger claims still go through the header reading and the
// pixel-count check.
constexpr qint64 kMaxDecodedPixels = 4096LL * 4096LL;
// The embedded thumbnail's bound in PictureFile.cpp.
constexpr qint64 kMaxThumbnailPixels = 2048LL * 2048LL;

// One file under /dev/shm (or $TMPDIR) per process, rewritten in place for every input.
// Its name has no extension, so only the JPEG, GIF and BMP told by their first bytes are
// read as pictures: another format would have to be named as itself.
class ScratchFile {
public:
    ScratchFile()
    {
        const char* tmp = std::getenv("TMPDIR");
        const QByteArray folder = ::access("/dev/shm", W_OK) == 0 ? QByteArray("/dev/shm") : QByteArray(tmp ? tmp : "/tmp");
        QByteArray name = folder + "/tessel-fuzz-picture-XXXXXX";
        m_fd = ::mkstemp(name.data());
        if (m_fd < 0) {
            std::perror("mkstemp");
            std::abort();
        }
        m_path = QFile::decodeName(name);
    }
    ~ScratchFile()
    {
        ::close(m_fd);
        ::unlink(QFile::encodeName(m_path).constData());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const QString& Write(const char* data, size_t size)
    {
        if (::ftruncate(m_fd, 0) != 0 || (size && ::pwrite(m_fd, data, size, 0) != ssize_t(size))) {
            std::perror("scratch file");
            std::abort();
        }
        return m_path;
    }

private:
    int m_fd = -1;
    QString m_path;
};

inline void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// Damaged pictures make the decoders warn on every input; the warnings are not findings
// and writing them would cost more than the decoding.
inline void Initialize()
{
    qInstallMessageHandler(Quiet);
    ConfigureImageAllocationLimit();
}

inline QString SizeText(QSize size) { return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()); }

// What the program does with a file it lists: the header (size, orientation, bomb check),
// the EXIF thumbnail, and the pixels at a size for a display box (`boxDivisor` 0 asks for
// the natural size, 2, 4 or 8 for a box that fraction of it, which a JPEG decodes
// DCT-scaled).
inline void Exercise(const QString& path, int boxDivisor)
{
    try {
        PictureFile file(path);
        const QByteArray format = file.Format();
        FUZZ_CHECK(format == "jpeg" || format == "gif" || format == "bmp", QString::fromLatin1(format));
        const int orientation = file.Orientation();
        FUZZ_CHECK(orientation >= 1 && orientation <= 8, QString::number(orientation));
        const QSize upright = file.UprightSize();
        const qint64 pixels = qint64(upright.width()) * upright.height();
        // The constructor throws rather than hand out an empty size or a bomb.
        FUZZ_CHECK(upright.width() > 0 && upright.height() > 0 && pixels <= Picture::MaxPixels, SizeText(upright));

        const QImage thumbnail = file.EmbeddedThumbnail();
        if (!thumbnail.isNull())
            FUZZ_CHECK(qint64(thumbnail.width()) * thumbnail.height() <= kMaxThumbnailPixels, SizeText(thumbnail.size()));

        if (pixels > kMaxDecodedPixels)
            return;
        const QSize box = boxDivisor > 0 ? upright / boxDivisor : QSize();
        const QSize wanted = PictureDecoder::DecodeSize(upright, box, file.IsDctScalable());
        FUZZ_CHECK(!wanted.isEmpty() && wanted.width() <= upright.width() && wanted.height() <= upright.height(),
                   SizeText(upright) + QStringLiteral(" -> ") + SizeText(wanted));
        // Whatever decoded comes at the size asked for, however damaged the pixel data.
        const QImage image = file.ReadUpright(wanted);
        FUZZ_CHECK(image.size() == wanted, SizeText(wanted) + QStringLiteral(" -> ") + SizeText(image.size()));
    } catch (const AppError&) {
        // Refusing a file is what damaged input should get.
    }
}

} // namespace PictureFuzz
