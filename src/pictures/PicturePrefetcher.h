#pragma once
#include "Picture.h"

#include <QImage>
#include <QMutex>
#include <QSize>
#include <QString>
#include <QThreadPool>
#include <QWaitCondition>

#include <atomic>
#include <pthread.h>
#include <vector>

// Makes stepping through a folder instant, in the full-screen viewer and in the preview:
// while one picture is shown, the pictures before and after it in the owner's list are
// decoded ahead on an idle-priority worker from Qt's pool, at the size the screen or pane
// needs. It keeps nothing but those two (the shown picture's pixels live in the image
// control), and their pixels together stay within a byte budget, so a zoomed view of a huge
// photo never holds several of them. A picture decoded ahead is used only while its file is
// unchanged; otherwise it is decoded again. Create one per window that shows pictures; call
// Take for the picture to show, then Prefetch with its neighbours.
class PicturePrefetcher {
public:
    // What the pictures held besides the shown one may cost together.
    static constexpr qint64 DefaultBudgetBytes = 64LL * 1024 * 1024;

    // What a box passed in means: pixels that cover it in both directions (a screen the
    // picture is laid out on), or pixels enough for the picture fitted into it, keeping
    // its proportions (a preview pane).
    enum class Box { Cover, FitInto };

    explicit PicturePrefetcher(qint64 budgetBytes = DefaultBudgetBytes, Box box = Box::Cover);
    // Waits for a decode that is running; its result is dropped.
    ~PicturePrefetcher();
    PicturePrefetcher(const PicturePrefetcher&) = delete;
    PicturePrefetcher& operator=(const PicturePrefetcher&) = delete;

    // The pixels of `picture` (just loaded) decoded to cover `coverBox` (an empty box: the
    // natural size). Pixels decoded ahead are taken when the file is still the one decoded;
    // a decode of it that is running is waited for; otherwise it is decoded now, on the
    // calling thread. Throws AppError as PictureDecoder::DecodeForDisplay does.
    QImage Take(const Picture& picture, QSize coverBox);

    // The pictures around the one now shown: `previous` and `next` are decoded ahead at
    // `coverBox` (next first), everything else held is dropped. `shownBefore` with its
    // `pixelsBefore` (the picture the viewer showed until now) is kept instead of decoded
    // again when it is one of the two and its pixels are the size `coverBox` asks for.
    // `current` (the picture now shown) and empty names are never decoded ahead.
    void Prefetch(const QString& current, const QString& previous, const QString& next, QSize coverBox,
                  const Picture& shownBefore = Picture(), const QImage& pixelsBefore = QImage());

    // Drops everything held or waiting, so the next Take reads the file.
    void Clear();

    // Whether pixels of `path` for `coverBox` are decoded and held.
    bool IsReady(const QString& path, QSize coverBox) const;
    // How many pictures were decoded, ahead or on Take.
    int Decodes() const { return m_decodes.load(); }
    // Bytes of pixels held or being decoded.
    qint64 HeldBytes() const;
    qint64 BudgetBytes() const { return m_budget; }

    // The bytes of the pixels a decode of `picture` for `coverBox` gives (four a pixel).
    qint64 DecodeBytes(const Picture& picture, QSize coverBox) const;
    // The box a decode of a picture of `natural` pixels must cover for `box`.
    QSize CoverFor(QSize natural, QSize box) const;

private:
    enum class State { Waiting, Decoding, Ready, Skipped, Failed };
    struct Entry {
        quint64 id = 0;
        QString path;
        QSize coverBox;
        State state = State::Waiting;
        Picture picture; // the file as it was when decoded
        QImage pixels;
        qint64 bytes = 0; // counted against the budget while decoding or ready
    };

    void drain();
    Entry* find(const QString& path, QSize coverBox);
    Entry* findId(quint64 id);
    qint64 heldBytesLocked() const;

    const qint64 m_budget;
    const Box m_box;
    // One idle-priority worker from Qt's pool, started while there is work and gone when
    // there is none.
    QThreadPool m_pool;
    mutable QMutex m_mutex;
    QWaitCondition m_finished; // Take waits for a decode that is running
    std::vector<Entry> m_entries; // guarded by m_mutex; in the order they are wanted
    bool m_stopping = false;      // guarded by m_mutex
    bool m_draining = false;      // guarded by m_mutex: a worker is taking entries
    // The worker's thread while it decodes, and whether a Take waiting for that decode
    // lifted it to normal priority; both guarded by m_mutex.
    pthread_t m_decoder{};
    bool m_boosted = false;
    quint64 m_nextId = 0;         // guarded by m_mutex
    std::atomic<int> m_decodes{0};
};
