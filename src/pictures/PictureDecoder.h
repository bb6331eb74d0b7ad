#pragma once
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Decoding picture pixels for display: at the smallest JPEG DCT scale that still covers
// the box they are shown in, upright. The functions may run on any thread; the windows
// run them on workers (NewestWins) so that they never wait for a big file.
class Picture;
class PictureFile;

namespace PictureDecoder {

// Whether pictures of `format` (as the image reader names it) decode at a fraction of their
// size for the price of that fraction: only JPEG's DCT does.
bool IsDctScalable(const QByteArray& format);

// Decodes `path` synchronously at DecodeSize of its natural size, upright. An empty
// path gives a null image. Damaged pixel data gives what decoded. Throws AppError as
// Picture::LoadPicture does when the file is not a readable picture.
QImage DecodeForDisplay(const QString& path, QSize coverBox);
// The same from a file whose header was read already. Call once per file.
QImage DecodeForDisplay(PictureFile& file, QSize coverBox);
// The size a picture of `natural` upright pixels is decoded at for `coverBox`: for a
// JPEG the smallest DCT scale (1/8, 1/4, 1/2) whose size (rounded down) still covers
// the box in both directions, otherwise, or when the box is empty, the natural size.
// Never larger than the natural size.
QSize DecodeSize(QSize natural, QSize coverBox, bool dctScalable);
// The same for a picture whose header was read.
QSize DecodeSize(const Picture& picture, QSize coverBox);

}
