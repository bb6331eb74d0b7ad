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

void PreviewLoader::Show(const Picture& picture, const QImage& thumbnail, QSize coverBox, bool decodeNow)
{
    m_box.SetPicture(picture, thumbnail);
    m_pendingPath = picture.Path();
    m_pendingCover = coverBox;
    if (decodeNow)
        Resume();
    else
        m_decoder->Cancel();
}

void PreviewLoader::Resume(const QString& path, const QImage& pixels)
{
    if (m_pendingPath.isEmpty())
        return;
    if (!pixels.isNull() && path == m_pendingPath && m_box.SetPixelsFor(path, pixels)) {
        m_pendingPath.clear();
        return;
    }
    m_decoder->Request(m_pendingPath, m_pendingCover);
    m_pendingPath.clear();
}
