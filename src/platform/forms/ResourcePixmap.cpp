#include "ResourcePixmap.h"

#include <QImageReader>

QPixmap ResourcePixmap(const QString& path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}
