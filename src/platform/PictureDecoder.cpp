#include "PictureDecoder.h"
#include "AppError.h"
#include "PictureFile.h"

#include <QMetaObject>
#include <QThread>

#include <new>

PictureDecoder::PictureDecoder(QObject* parent) : QObject(parent) {}

PictureDecoder::~PictureDecoder()
{
    {
        QMutexLocker lock(&m_mutex);
        m_stopping = true;
        m_pending.reset();
    }
    m_wake.wakeAll();
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

quint64 PictureDecoder::Request(const QString& path, QSize coverBox)
{
    const quint64 id = ++m_latest;
    {
        QMutexLocker lock(&m_mutex);
        // The one waiting slot: whatever waited there is stale now and simply replaced.
        m_pending = Job{id, path, coverBox};
    }
    if (!m_thread) {
        m_thread = QThread::create([this] { run(); });
        m_thread->setObjectName(QStringLiteral("PictureDecoder"));
        m_thread->start(QThread::LowPriority);
    }
    m_wake.wakeOne();
    return id;
}

void PictureDecoder::Cancel()
{
    ++m_latest; // an id no request carries
    QMutexLocker lock(&m_mutex);
    m_pending.reset();
}

void PictureDecoder::run()
{
    for (;;) {
        Job job;
        {
            QMutexLocker lock(&m_mutex);
            while (!m_pending && !m_stopping)
                m_wake.wait(&m_mutex);
            if (m_stopping)
                return;
            job = std::move(*m_pending);
            m_pending.reset();
        }
        if (job.id != m_latest.load())
            continue;

        ++m_decodesStarted;
        QImage image;
        QString why;
        bool ok = false;
        try {
            image = DecodeForDisplay(job.path, job.coverBox);
            ok = true;
        } catch (const AppError& e) {
            why = e.Description();
        } catch (const std::bad_alloc&) {
            why = QStringLiteral("Out of memory");
        } catch (const std::exception& e) {
            why = QString::fromLocal8Bit(e.what());
        }
        if (job.id != m_latest.load())
            continue; // a newer request came while decoding: this result is not wanted

        // Queued to this object's (the UI) thread; dropped by Qt if the decoder is gone.
        QMetaObject::invokeMethod(
            this, [this, id = job.id, path = job.path, image, why, ok] { deliver(id, path, image, why, ok); },
            Qt::QueuedConnection);
        // Once delivered, the pixels also serve the next visit and other programs.
        if (ok)
            m_thumbnails.Keep(job.path, image);
    }
}

void PictureDecoder::deliver(quint64 id, const QString& path, const QImage& image, const QString& why,
                             bool ok)
{
    if (id != m_latest.load())
        return; // made stale while the result travelled to this thread
    if (ok)
        Q_EMIT Decoded(id, path, image);
    else
        Q_EMIT Failed(id, path, why);
}

QImage PictureDecoder::DecodeForDisplay(const QString& path, QSize coverBox)
{
    if (path.isEmpty())
        return {};
    PictureFile file(path);
    return file.ReadUpright(DecodeSize(file.UprightSize(), coverBox, file.IsDctScalable()));
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

QImage PictureDecoder::EmbeddedThumbnail(const QString& path)
{
    if (path.isEmpty())
        return {};
    try {
        const PictureFile file(path);
        return file.EmbeddedThumbnail();
    } catch (const AppError&) {
        return {};
    }
}
