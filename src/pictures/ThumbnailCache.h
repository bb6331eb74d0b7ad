#pragma once
#include <QImage>
#include <QString>

// The desktop's shared thumbnail cache, as file managers and image viewers keep it under
// $XDG_CACHE_HOME/thumbnails: one PNG per file in a folder per size (large 256, x-large
// 512, xx-large 1024 pixels), named by the MD5 of the file's URI and carrying that URI and
// the file's modification time, so a thumbnail of a file that changed since is never
// taken for it. Reading one is far quicker than decoding a large photo. Make one over the
// cache's folder (DefaultRoot() for the user's own; an empty root turns it off); it holds
// no state and may be used from any thread.
class ThumbnailCache {
public:
    // The largest edge of the thumbnails this program writes: the x-large folder's.
    static constexpr int WrittenEdge = 512;

    explicit ThumbnailCache(QString root = DefaultRoot());
    static QString DefaultRoot();
    const QString& Root() const { return m_root; }

    // The file:// URI of an absolute path, percent-encoded, and the thumbnail file's name.
    static QString UriOf(const QString& path);
    static QString FileNameFor(const QString& path);

    // A thumbnail of `path`, whose file was last modified at `mtimeSecs` (seconds since the
    // epoch), with a longer edge of at least `minEdge` pixels, from the smallest size that
    // has one; null when there is none, or none that is valid and for this very file.
    QImage Find(const QString& path, qint64 mtimeSecs, int minEdge) const;
    // Keeps `image` (pixels of the whole picture, upright, at least WrittenEdge on its
    // longer edge unless the picture is smaller) as the x-large thumbnail of `path`:
    // scaled down to WrittenEdge, written to a temporary and renamed into place, readable
    // by the user alone. Nothing is written for a file inside the cache itself. Returns
    // whether a thumbnail was written.
    bool Store(const QString& path, qint64 mtimeSecs, const QImage& image, QSize naturalSize) const;
    // Store for pixels just decoded from `path`, whose time and size are read from the file;
    // quietly nothing when the cache is off (an empty root) or anything fails.
    void Keep(const QString& path, const QImage& pixels) const;
    bool IsOff() const { return m_root.isEmpty(); }

private:
    QString m_root;
};
