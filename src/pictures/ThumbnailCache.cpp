#include "ThumbnailCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

#include <cstdio>
#include <sys/stat.h>

namespace {
struct Folder {
    const char* name;
    int edge;
};
// Smallest first, so the quickest thumbnail that is large enough is read.
constexpr Folder Folders[] = {{"large", 256}, {"x-large", 512}, {"xx-large", 1024}};
}

ThumbnailCache::ThumbnailCache(QString root) : m_root(std::move(root)) {}

QString ThumbnailCache::DefaultRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/thumbnails");
}

QString ThumbnailCache::UriOf(const QString& path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

QString ThumbnailCache::FileNameFor(const QString& path)
{
    return QString::fromLatin1(QCryptographicHash::hash(UriOf(path).toUtf8(), QCryptographicHash::Md5).toHex())
           + QStringLiteral(".png");
}

QImage ThumbnailCache::Find(const QString& path, qint64 mtimeSecs, int minEdge) const
{
    if (IsOff())
        return {};
    const QString uri = UriOf(path);
    const QString name = FileNameFor(path);
    for (const Folder& folder : Folders) {
        if (folder.edge < minEdge)
            continue;
        // (Read whole: the reader's text before decoding splits keys at their "::".)
        const QImage image(m_root + QLatin1Char('/') + QLatin1String(folder.name) + QLatin1Char('/') + name, "png");
        // A thumbnail of another file or of an older version of this one, a damaged file,
        // or one smaller than asked for is as good as none.
        if (image.isNull() || image.text(QStringLiteral("Thumb::URI")) != uri
            || image.text(QStringLiteral("Thumb::MTime")) != QString::number(mtimeSecs)
            || qMax(image.width(), image.height()) < qMin(minEdge, folder.edge))
            continue;
        return image;
    }
    return {};
}

bool ThumbnailCache::Store(const QString& path, qint64 mtimeSecs, const QImage& image, QSize naturalSize) const
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (IsOff() || image.isNull() || absolute.startsWith(m_root + QLatin1Char('/')))
        return false;
    // Never enlarged: pixels smaller than the thumbnail would be, and smaller than the
    // picture itself, would make a blurred thumbnail that other programs trust.
    const int longer = qMax(image.width(), image.height());
    if (longer < WrittenEdge && longer < qMax(naturalSize.width(), naturalSize.height()))
        return false;
    const QString folder = m_root + QStringLiteral("/x-large");
    if (!QDir().mkpath(folder))
        return false;
    ::chmod(QFile::encodeName(m_root).constData(), 0700);
    ::chmod(QFile::encodeName(folder).constData(), 0700);

    QImage thumbnail = longer > WrittenEdge
                           ? image.scaled(WrittenEdge, WrittenEdge, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                           : image;
    thumbnail.setText(QStringLiteral("Thumb::URI"), UriOf(absolute));
    thumbnail.setText(QStringLiteral("Thumb::MTime"), QString::number(mtimeSecs));
    thumbnail.setText(QStringLiteral("Thumb::Image::Width"), QString::number(naturalSize.width()));
    thumbnail.setText(QStringLiteral("Thumb::Image::Height"), QString::number(naturalSize.height()));
    thumbnail.setText(QStringLiteral("Software"), QStringLiteral("Tessel Image Explorer"));

    // Written whole under another name (a temporary file is the user's alone) and renamed
    // over any older thumbnail: a reader never sees half a thumbnail.
    QTemporaryFile file(folder + QStringLiteral("/.tessel-XXXXXX.png"));
    if (!file.open())
        return false;
    QImageWriter writer(&file, "png");
    if (!writer.write(thumbnail) || !file.flush())
        return false;
    const QString target = folder + QLatin1Char('/') + FileNameFor(absolute);
    if (::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}

void ThumbnailCache::Keep(const QString& path, const QImage& pixels) const
{
    if (IsOff() || pixels.isNull())
        return;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    // A thumbnail written since the file last changed is taken to be of this version already.
    struct stat kept {};
    const QByteArray thumbnail = QFile::encodeName(m_root + QStringLiteral("/x-large/") + FileNameFor(path));
    if (::stat(thumbnail.constData(), &kept) == 0 && kept.st_size > 0 && kept.st_mtim.tv_sec > st.st_mtim.tv_sec)
        return;
    // The natural size matters only for pixels smaller than a thumbnail: a small picture.
    const QSize natural = qMax(pixels.width(), pixels.height()) >= WrittenEdge ? pixels.size()
                                                                               : QImageReader(path).size();
    Store(path, qint64(st.st_mtim.tv_sec), pixels, natural);
}
