#pragma once
#include "ITooltipBackend.h"
#include "NewestWins.h"
#include "Picture.h"
#include "ThumbnailCache.h"

#include <QImage>
#include <QObject>
#include <functional>
#include <optional>

// Reads what a selection shows without holding up the window: the picture's header and
// the camera's thumbnail, and the comment rows of its path, each on a worker thread, so a
// slow network share or a store that another program holds locked never freezes a key
// press. The newest request wins: a read that a newer request overtook is not started,
// and what an older request read is dropped. Results arrive on the user-interface thread
// through the two signals. The main window owns one; call Request on every selection.
class SelectionLoader : public QObject {
    Q_OBJECT
public:
    // The header and thumbnail of a file; no picture when it is not a readable picture.
    struct PictureRead {
        std::optional<Picture> picture;
        QImage thumbnail;
        // The thumbnail came from the desktop's cache and covers the preview: no decode needed.
        bool thumbnailCovers = false;
    };
    // Reads a file's header; tests and the benchmark put a slow file layer in its place.
    using PictureSource = std::function<PictureRead(const QString& path, double dpiX, double dpiY)>;

    explicit SelectionLoader(QObject* parent = nullptr);

    static PictureRead ReadPicture(const QString& path, double dpiX, double dpiY);
    void SetPictureSource(PictureSource source) { m_source = std::move(source); }
    void SetThumbnailCache(const ThumbnailCache& cache) { m_thumbnails = cache; }

    // Starts reading `path` and, when `rows` is given, its comment rows; every earlier
    // request is stale from now on. A cached thumbnail is looked for that covers the
    // picture fitted into `pane` (device pixels).
    void Request(const QString& path, double dpiX, double dpiY, QSize pane, ITooltipBackend::RowReader rows);
    // Whether everything the newest request asked for has arrived.
    bool IsSettled() const { return m_pictureDone && m_commentsDone; }

Q_SIGNALS:
    void PictureLoaded(const QString& path, const SelectionLoader::PictureRead& read);
    // `ok` is false when the store could not be read (locked, damaged): `rows` is empty.
    void CommentsLoaded(const QString& path, bool ok, const QVector<TooltipRow>& rows);

private:
    // A few threads, so that one file stuck on a dead share does not hold up the next
    // selection; stale requests leave their thread at once.
    NewestWins m_jobs{3};
    PictureSource m_source = &SelectionLoader::ReadPicture;
    ThumbnailCache m_thumbnails{QString()};
    bool m_pictureDone = true;
    bool m_commentsDone = true;
};
