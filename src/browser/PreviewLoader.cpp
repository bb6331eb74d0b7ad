#include "PreviewLoader.h"
#include "Picture.h"
#include "PictureBox.h"
#include "PictureDecoder.h"

PreviewLoader::PreviewLoader(PictureBox& box, QObject* parent)
    : QObject(parent), m_box(box), m_decoder(new PictureDecoder(this))
{
    connect(m_decoder, &PictureDecoder::Decoded, this,
            [this](quint64, const QString& path, const QImage& image) { m_box.SetPixelsFor(path, image); });
}

PreviewLoader::~PreviewLoader() = default;

void PreviewLoader::Show(const Picture& picture, QSize coverBox)
{
    m_box.SetPicture(picture, PictureDecoder::EmbeddedThumbnail(picture.Path()));
    m_decoder->Request(picture.Path(), coverBox);
}
