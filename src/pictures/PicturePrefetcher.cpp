#include "PicturePrefetcher.h"
#include "PictureDecoder.h"
#include "PictureFile.h"

#include <algorithm>

namespace {
// The worker reads a header only to learn the pixel size and the file's state; HIMETRIC
// sizes play no part here, so any resolution does.
constexpr double HeaderDpi = 96.0;

// Qt cannot take a thread out of SCHED_IDLE again, so the policy is set here directly.
void setPolicy(pthread_t thread, int policy)
{
    const sched_param param{};
    pthread_setschedparam(thread, policy, &param);
}
}

PicturePrefetcher::PicturePrefetcher(qint64 budgetBytes, Box box) : m_budget(budgetBytes), m_box(box)
{
    m_pool.setMaxThreadCount(1);
    // What the user is looking at decodes on other threads; this only guesses ahead, so it
    // takes a core only when nothing else wants it (SCHED_IDLE on Linux): a guess never
    // slows down the picture the user asked for.
    m_pool.setThreadPriority(QThread::IdlePriority);
}

PicturePrefetcher::~PicturePrefetcher()
{
    {
        QMutexLocker lock(&m_mutex);
        m_stopping = true;
        m_entries.clear();
    }
    m_pool.waitForDone();
}

QSize PicturePrefetcher::CoverFor(QSize natural, QSize box) const
{
    if (m_box == Box::Cover || box.isEmpty() || (natural.width() <= box.width() && natural.height() <= box.height()))
        return box;
    return natural.scaled(box, Qt::KeepAspectRatio);
}

qint64 PicturePrefetcher::DecodeBytes(const Picture& picture, QSize coverBox) const
{
    const QSize size = PictureDecoder::DecodeSize(picture, CoverFor(picture.PixelSize(), coverBox));
    return qint64(size.width()) * size.height() * 4;
}

PicturePrefetcher::Entry* PicturePrefetcher::find(const QString& path, QSize coverBox)
{
    for (Entry& e : m_entries)
        if (e.path == path && e.coverBox == coverBox)
            return &e;
    return nullptr;
}

PicturePrefetcher::Entry* PicturePrefetcher::findId(quint64 id)
{
    for (Entry& e : m_entries)
        if (e.id == id)
            return &e;
    return nullptr;
}

qint64 PicturePrefetcher::heldBytesLocked() const
{
    qint64 sum = 0;
    for (const Entry& e : m_entries)
        if (e.state == State::Decoding || e.state == State::Ready)
            sum += e.bytes;
    return sum;
}

qint64 PicturePrefetcher::HeldBytes() const
{
    QMutexLocker lock(&m_mutex);
    return heldBytesLocked();
}

bool PicturePrefetcher::IsReady(const QString& path, QSize coverBox) const
{
    QMutexLocker lock(&m_mutex);
    for (const Entry& e : m_entries)
        if (e.path == path && e.coverBox == coverBox)
            return e.state == State::Ready;
    return false;
}

QImage PicturePrefetcher::Take(const Picture& picture, QSize coverBox)
{
    if (picture.IsEmpty())
        return {};
    {
        QMutexLocker lock(&m_mutex);
        Entry* e = find(picture.Path(), coverBox);
        // A decode of this very picture is under way: finishing it is quicker than starting
        // over, once it no longer waits for idle cores (a busy machine might never have one).
        if (e && e->state == State::Decoding && !m_boosted) {
            setPolicy(m_decoder, SCHED_OTHER);
            m_boosted = true;
        }
        while (e && e->state == State::Decoding) {
            m_finished.wait(&m_mutex);
            e = find(picture.Path(), coverBox);
        }
        if (e) {
            QImage pixels;
            // The pixels count only while the file is the one that was decoded ahead.
            if (e->state == State::Ready && e->picture.IsFileUnchanged()
                && e->picture.PixelSize() == picture.PixelSize())
                pixels = e->pixels;
            m_entries.erase(m_entries.begin() + (e - m_entries.data()));
            if (!pixels.isNull())
                return pixels;
        }
    }
    ++m_decodes;
    return PictureDecoder::DecodeForDisplay(picture.Path(), CoverFor(picture.PixelSize(), coverBox));
}

void PicturePrefetcher::Prefetch(const QString& current, const QString& previous, const QString& next,
                                 QSize coverBox, const Picture& shownBefore, const QImage& pixelsBefore)
{
    QStringList wanted;
    for (const QString& path : {next, previous})
        if (!path.isEmpty() && path != current && !wanted.contains(path))
            wanted << path;
    QMutexLocker lock(&m_mutex);
    // A decode that is running for a picture no longer wanted finishes unseen: its result
    // finds no entry.
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](const Entry& e) { return !wanted.contains(e.path) || e.coverBox != coverBox; }),
                    m_entries.end());
    for (const QString& path : wanted) {
        if (find(path, coverBox))
            continue;
        Entry e;
        e.id = ++m_nextId;
        e.path = path;
        e.coverBox = coverBox;
        const qint64 bytes = pixelsBefore.isNull() ? 0 : qint64(pixelsBefore.sizeInBytes());
        if (path == shownBefore.Path() && !pixelsBefore.isNull()
            && pixelsBefore.size() == PictureDecoder::DecodeSize(shownBefore, CoverFor(shownBefore.PixelSize(), coverBox))
            && heldBytesLocked() + bytes <= m_budget) {
            e.state = State::Ready;
            e.picture = shownBefore;
            e.pixels = pixelsBefore;
            e.bytes = bytes;
        }
        m_entries.push_back(std::move(e));
    }
    // Keep the order the caller asked for, so the worker starts with the next picture.
    std::stable_sort(m_entries.begin(), m_entries.end(), [&](const Entry& a, const Entry& b) {
        return wanted.indexOf(a.path) < wanted.indexOf(b.path);
    });
    if (m_draining || m_entries.empty())
        return;
    m_draining = true;
    m_pool.start([this] { drain(); });
}

void PicturePrefetcher::Clear()
{
    QMutexLocker lock(&m_mutex);
    m_entries.clear();
}

void PicturePrefetcher::drain()
{
    for (;;) {
        quint64 id = 0;
        QString path;
        QSize coverBox;
        {
            QMutexLocker lock(&m_mutex);
            const auto waiting = std::find_if(m_entries.begin(), m_entries.end(),
                                              [](const Entry& e) { return e.state == State::Waiting; });
            if (m_stopping || waiting == m_entries.end()) {
                m_draining = false;
                return;
            }
            waiting->state = State::Decoding;
            m_decoder = pthread_self();
            id = waiting->id;
            path = waiting->path;
            coverBox = waiting->coverBox;
        }

        Picture picture;
        QImage pixels;
        State outcome = State::Failed;
        try {
            // The header first: it records the file's state, and the size tells whether
            // the pixels fit the budget before any of them is decoded.
            PictureFile file(path);
            picture = Picture::FromFile(file, HeaderDpi, HeaderDpi);
            const qint64 bytes = DecodeBytes(picture, coverBox);
            bool fits = false;
            {
                QMutexLocker lock(&m_mutex);
                if (Entry* e = findId(id)) {
                    fits = heldBytesLocked() + bytes <= m_budget;
                    e->bytes = fits ? bytes : 0; // reserved while decoding
                }
            }
            if (fits) {
                ++m_decodes;
                pixels = PictureDecoder::DecodeForDisplay(file, CoverFor(picture.PixelSize(), coverBox));
                outcome = State::Ready;
            } else {
                outcome = State::Skipped;
            }
        } catch (const std::exception&) {
        }
        // A picture that failed or did not fit is decoded by Take, which then reports
        // the failure the way the viewer shows it.

        QMutexLocker lock(&m_mutex);
        if (m_boosted) {
            setPolicy(m_decoder, SCHED_IDLE);
            m_boosted = false;
        }
        if (Entry* e = findId(id)) {
            e->state = outcome;
            e->picture = picture;
            e->pixels = pixels;
            if (outcome != State::Ready)
                e->bytes = 0;
        }
        m_finished.wakeAll();
    }
}
