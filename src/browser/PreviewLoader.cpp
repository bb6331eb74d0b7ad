#include "PreviewLoader.h"
#include "Picture.h"
#include "PictureBox.h"
#include "PictureDecoder.h"

PreviewLoader::PreviewLoader(PictureBox& box, QObject* parent)
    : QObject(parent), m_box(box), m_decoder(new PictureDecoder(this))
{
    connect(m_decoder, &PictureDecoder::Decoded, this,
            [this](quint64, const QString& path, const QImage& image) {
                if (m_box.SetPixelsFor(path, image))
                    m_covered = image.size();
            });
}

PreviewLoader::~PreviewLoader() = default;

void PreviewLoader::Show(const Picture& picture, const QImage& thumbnail, bool thumbnailCovers)
{
    m_decoder->Cancel();
    m_box.SetPicture(picture, thumbnail);
    m_pendingPath.clear();
    m_wanted = QSize();
    m_covered = thumbnailCovers ? thumbnail.size() : QSize();
}

void PreviewLoader::Decode(QSize coverBox, bool now)
{
    const Picture& picture = m_box.GetPicture();
    if (picture.IsEmpty())
        return;
    if (m_covered.isValid() && m_covered.width() >= coverBox.width() && m_covered.height() >= coverBox.height())
        return;
    const QSize wanted = PictureDecoder::DecodeSize(picture.PixelSize(), coverBox, picture.Format() == "jpeg");
    // A decode of this picture at least as large was asked for already: a pane that shrank,
    // or a second look at the same selection, needs nothing from the file.
    if (m_wanted.isValid() && wanted.width() <= m_wanted.width() && wanted.height() <= m_wanted.height())
        return;
    m_wanted = wanted;
    m_pendingPath = picture.Path();
    m_pendingCover = coverBox;
    if (now)
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
