#pragma once
#include "ThumbnailCache.h"

#include <QImage>
#include <QMutex>
#include <QObject>
#include <QSize>
#include <QString>
#include <QWaitCondition>

#include <atomic>
#include <optional>

class QThread;

// Decodes picture pixels on a worker thread so the windows never wait for a big file.
// Only the latest request matters: a new request makes every older one stale, a stale
// request that has not started is dropped without decoding and a stale result is thrown
// away, so holding an arrow key through a folder of big photos keeps at most one decode
// running and one waiting. Create one per window (on the UI thread) and connect Decoded
// and Failed; both arrive on the UI thread, for the latest request only.
class PictureDecoder : public QObject {
    Q_OBJECT
public:
    explicit PictureDecoder(QObject* parent = nullptr);
    // Waits for a decode that is running; nothing is delivered afterwards.
    ~PictureDecoder() override;

    // Asks for `path` decoded to cover `coverBox` (upright pixels, see DecodeSize); an
    // empty box asks for the natural size, as a zoomed view needs. Returns the request id.
    quint64 Request(const QString& path, QSize coverBox);
    // Makes every request stale: nothing more is delivered until the next Request.
    void Cancel();
    quint64 LatestRequest() const { return m_latest.load(); }
    // Where decoded pixels are kept as thumbnails (off until set); set before the first Request.
    void SetThumbnailCache(const ThumbnailCache& cache) { m_thumbnails = cache; }
    // How many decodes actually started on the worker (stale waiting requests never do).
    int DecodesStarted() const { return m_decodesStarted.load(); }

    // Decodes `path` synchronously at DecodeSize of its natural size, upright. An empty
    // path gives a null image. Damaged pixel data gives what decoded. Throws AppError as
    // Picture::LoadPicture does when the file is not a readable picture.
    static QImage DecodeForDisplay(const QString& path, QSize coverBox);
    // The size a picture of `natural` upright pixels is decoded at for `coverBox`: for a
    // JPEG the smallest DCT scale (1/8, 1/4, 1/2) whose size (rounded down) still covers
    // the box in both directions, otherwise, or when the box is empty, the natural size.
    // Never larger than the natural size.
    static QSize DecodeSize(QSize natural, QSize coverBox, bool dctScalable);
    // The thumbnail a camera stored in the JPEG's EXIF block, upright, to show until the
    // real pixels arrive; null when there is none or the file is not a readable picture.
    static QImage EmbeddedThumbnail(const QString& path);

Q_SIGNALS:
    void Decoded(quint64 id, const QString& path, const QImage& image);
    void Failed(quint64 id, const QString& path, const QString& why);

private:
    struct Job {
        quint64 id = 0;
        QString path;
        QSize coverBox;
    };

    void run();
    void deliver(quint64 id, const QString& path, const QImage& image, const QString& why, bool ok);

    QThread* m_thread = nullptr;
    QMutex m_mutex;
    QWaitCondition m_wake;
    std::optional<Job> m_pending; // guarded by m_mutex
    bool m_stopping = false;      // guarded by m_mutex
    std::atomic<quint64> m_latest{0};
    std::atomic<int> m_decodesStarted{0};
    ThumbnailCache m_thumbnails{QString()};
};
