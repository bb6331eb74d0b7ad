#include "PictureDecoder.h"
#include "Picture.h"
#include "PictureFile.h"

QImage PictureDecoder::DecodeForDisplay(const QString& path, QSize coverBox)
{
    if (path.isEmpty())
        return {};
    PictureFile file(path);
    return DecodeForDisplay(file, coverBox);
}

QImage PictureDecoder::DecodeForDisplay(PictureFile& file, QSize coverBox)
{
    return file.ReadUpright(DecodeSize(file.UprightSize(), coverBox, file.IsDctScalable()));
}

bool PictureDecoder::IsDctScalable(const QByteArray& format)
{
    return format == "jpeg";
}

QSize PictureDecoder::DecodeSize(const Picture& picture, QSize coverBox)
{
    return DecodeSize(picture.PixelSize(), coverBox, IsDctScalable(picture.Format()));
}

QSize PictureDecoder::DecodeSize(QSize natural, QSize coverBox, bool dctScalable)
{
    if (!dctScalable || natural.isEmpty() || coverBox.isEmpty())
        return natural;
    // libjpeg's output at 1/n is the natural size divided by n and rounded up, and Qt picks
    // n from the ratio of natural to requested size. Asking for the size rounded down makes
    // that ratio at least n and below 2n, so Qt decodes at exactly 1/n; at most it then
    // trims one pixel.
    for (const int denominator : {8, 4, 2}) {
        const QSize scaled(natural.width() / denominator, natural.height() / denominator);
        if (scaled.width() >= coverBox.width() && scaled.height() >= coverBox.height())
            return scaled;
    }
    return natural;
}
