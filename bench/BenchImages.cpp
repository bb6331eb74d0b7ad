#include "BenchImages.h"

#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cstdint>

namespace {

// xorshift32: fast and good enough for noise.
struct Noise {
    uint32_t state;
    uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

int clampByte(int v) { return std::clamp(v, 0, 255); }

}

bool WriteDetailedJpeg(const QString& path, QSize size, unsigned seed, int quality)
{
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return false;
    Noise noise{seed * 2654435761u + 1};
    const int w = size.width(), h = size.height();

    // A sky-to-ground gradient underneath everything.
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int t = y * 255 / h;
        for (int x = 0; x < w; ++x)
            line[x] = qRgb(90 + t / 3 + x * 40 / w, 120 + t / 4, 200 - t / 2);
    }

    // Shapes of many sizes with soft fills and hard edges, as objects in a scene.
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        const int shapes = 400;
        for (int i = 0; i < shapes; ++i) {
            const int radius = int(noise.next() % uint32_t(std::max(8, w / 12))) + 4;
            const QPointF centre(noise.next() % uint32_t(w), noise.next() % uint32_t(h));
            QRadialGradient fill(centre, radius);
            fill.setColorAt(0, QColor::fromRgb(noise.next() & 0xFFFFFF));
            fill.setColorAt(1, QColor::fromRgb(noise.next() & 0xFFFFFF));
            painter.setBrush(fill);
            if (i % 3 == 0)
                painter.drawRect(QRectF(centre, QSizeF(radius * 1.6, radius)));
            else
                painter.drawEllipse(centre, radius, radius * 0.7);
        }
    }

    // Fine texture (a few pixels across, like foliage or fabric) plus per-pixel noise.
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const uint32_t r = noise.next();
            const int texture = (((x / 3) ^ (y / 3)) & 7) * 3 - 10;
            const int grain = int(r & 31) - 16;
            const QRgb p = line[x];
            line[x] = qRgb(clampByte(qRed(p) + texture + grain), clampByte(qGreen(p) + texture + int((r >> 8) & 31) - 16),
                           clampByte(qBlue(p) + texture + int((r >> 16) & 31) - 16));
        }
    }

    QImageWriter writer(path, "jpeg");
    writer.setQuality(quality);
    return writer.write(image);
}
