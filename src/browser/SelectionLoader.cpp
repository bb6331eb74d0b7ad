#include "SelectionLoader.h"
#include "PictureFile.h"

SelectionLoader::SelectionLoader(QObject* parent) : QObject(parent) {}

SelectionLoader::PictureRead SelectionLoader::ReadPicture(const QString& path, double dpiX, double dpiY)
{
    PictureRead read;
    try {
        if (path.isEmpty()) {
            read.picture = Picture::LoadPicture(path, dpiX, dpiY);
        } else {
            const PictureFile file(path);
            read.picture = Picture::FromFile(file, dpiX, dpiY);
            read.thumbnail = file.EmbeddedThumbnail();
        }
    } catch (const std::exception&) {
        // Not a readable picture: the preview keeps the one it has.
    }
    return read;
}

void SelectionLoader::Request(const QString& path, double dpiX, double dpiY, QSize pane,
                              ITooltipBackend::RowReader rows)
{
    const quint64 ticket = m_jobs.Next();
    m_pictureDone = false;
    m_commentsDone = !rows;
    m_jobs.Run(
        ticket,
        [source = m_source, cache = m_thumbnails, path, dpiX, dpiY, pane] {
            PictureRead read = source(path, dpiX, dpiY);
            if (!read.picture || read.picture->IsEmpty() || cache.IsOff())
                return read;
            // A thumbnail as large as the picture will stand in the pane spares the decode.
            const QSize natural = read.picture->PixelSize();
            const QSize fitted = natural.width() <= pane.width() && natural.height() <= pane.height()
                                     ? natural
                                     : natural.scaled(pane, Qt::KeepAspectRatio);
            const QImage cached = cache.Find(path, read.picture->LastModified().toSecsSinceEpoch(),
                                             qMax(fitted.width(), fitted.height()));
            if (!cached.isNull()) {
                read.thumbnail = cached;
                read.thumbnailCovers = true;
            }
            return read;
        },
        [this, path](PictureRead read) {
            m_pictureDone = true;
            Q_EMIT PictureLoaded(path, read);
        });
    if (!rows)
        return;
    m_jobs.Run(
        ticket,
        [rows = std::move(rows), path]() -> std::optional<QVector<TooltipRow>> {
            try {
                return rows(path);
            } catch (const std::exception&) {
                return std::nullopt;
            }
        },
        [this, path](std::optional<QVector<TooltipRow>> found) {
            m_commentsDone = true;
            Q_EMIT CommentsLoaded(path, found.has_value(), found.value_or(QVector<TooltipRow>()));
        });
}
