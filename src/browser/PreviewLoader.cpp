#include "PreviewLoader.h"
#include "Picture.h"
#include "PictureBox.h"
#include "PictureDecoder.h"

#include <QThreadPool>

namespace {
// Pictures decoded ahead for a preview are small; a few of them cost little.
constexpr qint64 AheadBudgetBytes = 16LL * 1024 * 1024;
}

PreviewLoader::PreviewLoader(PictureBox& box, Neighbours neighbours, QObject* parent)
    : QObject(parent), m_box(box), m_neighbours(std::move(neighbours)),
      m_ahead(AheadBudgetBytes, PicturePrefetcher::Box::FitInto)
{
    m_linger.setSingleShot(true);
    m_linger.setInterval(LingerMs);
    connect(&m_linger, &QTimer::timeout, this, &PreviewLoader::decodeForViewer);
}

void PreviewLoader::SetViewerAhead(std::shared_ptr<PicturePrefetcher> ahead, std::function<QSize()> screenBox)
{
    m_viewerAhead = std::move(ahead);
    m_screenBox = std::move(screenBox);
}

void PreviewLoader::ViewerOpened()
{
    m_viewerOpen = true;
    m_linger.stop();
}

void PreviewLoader::decodeForViewer()
{
    const QString path = m_box.GetPicture().Path();
    // While the viewer is open it decides what it decodes ahead.
    if (!m_viewerAhead || m_viewerOpen || path.isEmpty())
        return;
    m_viewerAhead->Prefetch(QString(), QString(), path, m_screenBox ? m_screenBox() : QSize());
}

PreviewLoader::~PreviewLoader() = default;

void PreviewLoader::Show(const Picture& picture, const QImage& thumbnail, bool thumbnailCovers)
{
    m_jobs.Cancel();
    if (m_covered.isValid() && m_box.GetPicture().Path() != picture.Path()) {
        m_shownBefore = m_box.GetPicture();
        m_pixelsBefore = m_box.Pixels();
    }
    m_box.SetPicture(picture, thumbnail);
    m_pending = false;
    m_wanted = QSize();
    m_covered = thumbnailCovers ? thumbnail.size() : QSize();
    // Counted from when the preview is complete, so the two decodes never compete: held
    // keys step on long before it fires; a selection the user stays on gets it.
    m_linger.stop();
    if (m_viewerAhead && thumbnailCovers)
        m_linger.start();
}

void PreviewLoader::Decode(QSize pane, bool now)
{
    const Picture& picture = m_box.GetPicture();
    if (picture.IsEmpty() || pane.isEmpty())
        return;
    const QSize cover = m_ahead.CoverFor(picture.PixelSize(), pane);
    if (m_covered.isValid() && m_covered.width() >= cover.width() && m_covered.height() >= cover.height())
        return;
    const QSize wanted = PictureDecoder::DecodeSize(picture, cover);
    // A decode of this picture at least as large was asked for already: a pane that shrank,
    // or a second look at the same selection, needs nothing from the file.
    if (m_wanted.isValid() && wanted.width() <= m_wanted.width() && wanted.height() <= m_wanted.height())
        return;
    m_wanted = wanted;
    m_pane = pane;
    m_pending = true;
    if (now)
        decodeNow();
    else
        m_jobs.Cancel();
}

void PreviewLoader::Resume(const QString& path, const QImage& pixels)
{
    m_viewerOpen = false;
    if (!m_pending)
        return;
    if (!pixels.isNull() && path == m_box.GetPicture().Path() && m_box.SetPixelsFor(path, pixels)) {
        m_pending = false;
        return;
    }
    decodeNow();
}

void PreviewLoader::decodeNow()
{
    m_pending = false;
    const Picture picture = m_box.GetPicture();
    const QSize pane = m_pane;
    m_jobs.Run(
        m_jobs.Next(),
        [this, picture, pane] {
            QImage pixels;
            try {
                pixels = m_ahead.Take(picture, pane);
            } catch (const std::exception&) {
                // A file that went bad since its header was read keeps what the box shows.
            }
            return pixels;
        },
        [this, path = picture.Path(), pane](const QImage& pixels) {
            if (!pixels.isNull() && m_box.SetPixelsFor(path, pixels))
                m_covered = pixels.size();
            if (m_viewerAhead)
                m_linger.start();
            // The pixels also serve the next visit and other programs, once they are shown.
            if (!m_thumbnails.IsOff() && !pixels.isNull())
                QThreadPool::globalInstance()->start([cache = m_thumbnails, path, pixels] { cache.Keep(path, pixels); });
            if (!m_neighbours)
                return;
            const auto [previous, next] = m_neighbours();
            m_ahead.Prefetch(path, previous, next, pane, m_shownBefore, m_pixelsBefore);
            m_shownBefore = Picture();
            m_pixelsBefore = QImage();
        });
}
