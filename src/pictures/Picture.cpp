#include "Picture.h"
#include "AppError.h"
#include "PictureFile.h"
#include "Units.h"

#include <QFile>
#include <QImageReader>

#include <cmath>
#include <limits>
#include <sys/stat.h>

namespace {
void checkResolution(double dpiX, double dpiY)
{
    if (!(dpiX > 0) || !(dpiY > 0))
        throw AppError(ErrNo::InvalidProcedureCall, QStringLiteral("LoadPicture"),
                       QStringLiteral("Invalid procedure call or argument"));
}
}

Picture Picture::LoadPicture(const QString& path, double dpiX, double dpiY)
{
    checkResolution(dpiX, dpiY);
    if (path.isEmpty())
        return Picture(); // loading no name clears a picture
    return FromFile(PictureFile(path), dpiX, dpiY);
}

Picture Picture::FromFile(const PictureFile& file, double dpiX, double dpiY)
{
    checkResolution(dpiX, dpiY);
    Picture picture;
    const QString& path = file.Path();
    const QSize upright = file.UprightSize();
    picture.m_path = path;
    picture.m_format = file.Format();
    picture.m_pixelWidth = upright.width();
    picture.m_pixelHeight = upright.height();
    picture.m_width = PixelsToHimetric(upright.width(), dpiX);
    picture.m_height = PixelsToHimetric(upright.height(), dpiY);
    picture.m_orientation = file.Orientation();
    picture.m_identity = file.Identity();
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
    return QDateTime::fromMSecsSinceEpoch(m_identity.mtimeNs / 1000000);
}

bool Picture::IsFileUnchanged() const
{
    if (m_path.isEmpty())
        return false;
    struct stat now {};
    if (::stat(QFile::encodeName(m_path).constData(), &now) != 0 || !S_ISREG(now.st_mode))
        return false;
    return FileIdentity::Of(now) == m_identity;
}

void ConfigureImageAllocationLimit()
{
    QImageReader::setAllocationLimit(Picture::AllocationLimitMB);
}
