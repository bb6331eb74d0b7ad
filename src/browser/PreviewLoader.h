#pragma once
#include <QImage>
#include <QObject>
#include <QSize>

class Picture;
class PictureBox;
class PictureDecoder;

// Brings a preview's pixels in without holding up a selection: the camera's embedded
// thumbnail at once when there is one, then a decode on a worker thread at the smallest
// scale that covers the preview as it is placed (a 24-megapixel photo in a pane of a few
// hundred pixels decodes at 1/8, far quicker than for the whole screen). A pane that grows
// past what was decoded gets a sharper decode. Only the latest picture's pixels are ever
// shown. One per preview control.
class PreviewLoader : public QObject {
    Q_OBJECT
public:
    explicit PreviewLoader(PictureBox& box, QObject* parent = nullptr);
    ~PreviewLoader() override;

    // Shows `picture` (whose header was just read) in the box with `thumbnail` (the
    // camera's, or none) until its decode arrives. The decode waits for Decode; a thumbnail
    // that covers the preview (from the desktop's cache) needs none while it still does.
    void Show(const Picture& picture, const QImage& thumbnail, bool thumbnailCovers = false);
    // Decodes the picture shown to cover `coverBox` device pixels (the box as placed), or,
    // with now false, keeps the decode pending until Resume (while the full-screen viewer
    // decodes the same file, a second decode would only slow its step down). For a picture
    // whose pixels already cover the box, nothing is done.
    void Decode(QSize coverBox, bool now = true);
    // Completes a pending preview: with the viewer's pixels of the same file when it
    // hands them over, otherwise by decoding now.
    void Resume(const QString& path = QString(), const QImage& pixels = QImage());
    // The size of the pixels last asked for (empty before the first decode).
    QSize WantedSize() const { return m_wanted; }
    PictureDecoder& Decoder() const { return *m_decoder; }

private:
    PictureBox& m_box;
    PictureDecoder* m_decoder;
    QString m_pendingPath;
    QSize m_pendingCover;
    QSize m_wanted;
    QSize m_covered;  // the pixels held that are as good as a decode of their size
};
