#include "Picture.h"
#include "AppError.h"
#include "PictureFile.h"
#include "Units.h"

#include <QFile>
#include <QImageReader>

#include <cmath>
#include <limits>
#include <sys/stat.h>

Picture Picture::LoadPicture(const QString& path, double dpiX, double dpiY)
{
    if (!(dpiX > 0) || !(dpiY > 0))
        throw AppError(5, QStringLiteral("LoadPicture"), QStringLiteral("Invalid procedure call or argument"));
    Picture picture;
    if (path.isEmpty())
        return picture; // loading no name clears a picture

    const PictureFile file(path);
    const QSize upright = file.UprightSize();
    picture.m_path = path;
    picture.m_format = file.Format();
    picture.m_pixelWidth = upright.width();
    picture.m_pixelHeight = upright.height();
    picture.m_width = PixelsToHimetric(upright.width(), dpiX);
    picture.m_height = PixelsToHimetric(upright.height(), dpiY);
    picture.m_orientation = file.Orientation();
    picture.m_fileSize = file.FileSize();
    picture.m_modifiedNs = file.ModifiedNs();
    picture.m_device = file.Device();
    picture.m_inode = file.Inode();
    return picture;
}

int Picture::PixelsToHimetric(int pixels, double dpi)
{
    const double himetric = Units::Convert(pixels, Units::Pixels, Units::Himetric, dpi);
    if (!std::isfinite(himetric) || std::fabs(himetric) > std::numeric_limits<int>::max())
        throw AppError(ErrNo::Overflow, QStringLiteral("LoadPicture"), QStringLiteral("Overflow"));
    return int(Units::RoundHalfEven(himetric));
}

QDateTime Picture::LastModified() const
{
    if (m_path.isEmpty())
        return {};
    return QDateTime::fromMSecsSinceEpoch(m_modifiedNs / 1000000);
}

bool Picture::IsFileUnchanged() const
{
    if (m_path.isEmpty())
        return false;
    struct stat now {};
    if (::stat(QFile::encodeName(m_path).constData(), &now) != 0 || !S_ISREG(now.st_mode))
        return false;
    const qint64 modifiedNs = qint64(now.st_mtim.tv_sec) * 1000000000 + now.st_mtim.tv_nsec;
    return now.st_dev == m_device && now.st_ino == m_inode && now.st_size == m_fileSize
           && modifiedNs == m_modifiedNs;
}

void ConfigureImageAllocationLimit()
{
    QImageReader::setAllocationLimit(Picture::AllocationLimitMB);
}
