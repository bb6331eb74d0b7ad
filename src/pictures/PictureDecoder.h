#pragma once
#include <QImage>
#include <QSize>
#include <QString>

// Decoding picture pixels for display: at the smallest JPEG DCT scale that still covers
// the box they are shown in, upright. The functions may run on any thread; the windows
// run them on workers (NewestWins) so that they never wait for a big file.
namespace PictureDecoder {

// Decodes `path` synchronously at DecodeSize of its natural size, upright. An empty
// path gives a null image. Damaged pixel data gives what decoded. Throws AppError as
// Picture::LoadPicture does when the file is not a readable picture.
QImage DecodeForDisplay(const QString& path, QSize coverBox);
// The size a picture of `natural` upright pixels is decoded at for `coverBox`: for a
// JPEG the smallest DCT scale (1/8, 1/4, 1/2) whose size (rounded down) still covers
// the box in both directions, otherwise, or when the box is empty, the natural size.
// Never larger than the natural size.
QSize DecodeSize(QSize natural, QSize coverBox, bool dctScalable);
// The thumbnail a camera stored in the JPEG's EXIF block, upright, to show until the
// real pixels arrive; null when there is none or the file is not a readable picture.
QImage EmbeddedThumbnail(const QString& path);

}
