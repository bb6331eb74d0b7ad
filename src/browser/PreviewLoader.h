#pragma once
#include "NewestWins.h"
#include "Picture.h"
#include "PicturePrefetcher.h"
#include "ThumbnailCache.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QTimer>

#include <functional>
#include <memory>
#include <utility>

class PictureBox;

// Brings a preview's pixels in without holding up a selection: the camera's embedded
// thumbnail (or the desktop's cached one) at once, then a decode on a worker at the
// smallest scale that is enough for the picture fitted into the preview pane (a
// 24-megapixel photo in a pane of a few hundred pixels decodes at 1/8, far quicker than
// for the whole screen). Once a preview shows, the entries before and after it in the
// list are decoded ahead, so stepping through a folder shows each picture at once; once the
// user lingers on a preview, its picture is decoded for the full-screen viewer too. Only
// the latest picture's pixels are ever shown. One per preview control.
class PreviewLoader : public QObject {
    Q_OBJECT
public:
    // The files before and after the one shown, in the owner's list.
    using Neighbours = std::function<std::pair<QString, QString>()>;

    explicit PreviewLoader(PictureBox& box, Neighbours neighbours = {}, QObject* parent = nullptr);
    ~PreviewLoader() override;

    // Shows `picture` (whose header was just read) in the box with `thumbnail` (the
    // camera's, or none) until its decode arrives. The decode waits for Decode; a thumbnail
    // that covers the preview (from the desktop's cache) needs none while it still does.
    void Show(const Picture& picture, const QImage& thumbnail, bool thumbnailCovers = false);
    // Decodes the picture shown for the pane `pane` (device pixels), or, with now false,
    // keeps the decode pending until Resume (while the full-screen viewer decodes the same
    // file, a second decode would only slow its step down). Pixels that already cover the
    // picture as it stands in the pane are kept.
    void Decode(QSize pane, bool now = true);
    // Completes a pending preview: with the viewer's pixels of the same file when it
    // hands them over, otherwise by decoding now.
    void Resume(const QString& path = QString(), const QImage& pixels = QImage());
    // Where the full-screen viewer takes its pictures decoded ahead, and the box its screen
    // needs covered: a preview looked at for a moment (LingerMs unless set otherwise) is
    // decoded there, in the background, so that opening the viewer on it shows the picture
    // at once. Off until set.
    void SetViewerAhead(std::shared_ptr<PicturePrefetcher> ahead, std::function<QSize()> screenBox);
    void SetLingerMs(int ms) { m_linger.setInterval(ms); }
    const std::shared_ptr<PicturePrefetcher>& ViewerAhead() const { return m_viewerAhead; }
    // The viewer opened: it decides what it decodes, so nothing is decoded for it from here
    // until Resume.
    void ViewerOpened();
    // Whether a decode for the viewer will start if the user stays on this preview.
    bool IsLingering() const { return m_linger.isActive(); }
    static constexpr int LingerMs = 300;
    // Where decoded pixels are kept as thumbnails for the next visit (off until set).
    void SetThumbnailCache(const ThumbnailCache& cache) { m_thumbnails = cache; }

    // The size of the pixels last asked for (empty before the first decode).
    QSize WantedSize() const { return m_wanted; }
    // How many pictures were decoded, for the preview or ahead of it.
    int Decodes() const { return m_ahead.Decodes(); }
    PicturePrefetcher& Ahead() { return m_ahead; }

private:
    void decodeNow();
    void decodeForViewer();

    PictureBox& m_box;
    Neighbours m_neighbours;
    PicturePrefetcher m_ahead;
    NewestWins m_jobs;  // after the prefetcher: its jobs end before the prefetcher goes
    ThumbnailCache m_thumbnails{QString()};
    bool m_pending = false;
    bool m_viewerOpen = false;  // from ViewerOpened until Resume
    std::shared_ptr<PicturePrefetcher> m_viewerAhead;
    std::function<QSize()> m_screenBox;
    QTimer m_linger;
    QSize m_pane;
    QSize m_wanted;
    QSize m_covered;  // the pixels held that are as good as a decode of their size
    // The picture shown before and its decoded pixels, kept ahead for a step back.
    Picture m_shownBefore;
    QImage m_pixelsBefore;
};
