#pragma once
#include <QSize>
#include <QString>

// Writes a JPEG of `size` at `quality` with detail like a photo's: soft gradients, shapes
// with hard edges, fine texture and sensor-like noise. A flat image would compress to
// almost nothing and make every decode look cheap, since the entropy decoding of the
// coefficients is a large part of what a real photo costs. `seed` varies the content.
bool WriteDetailedJpeg(const QString& path, QSize size, unsigned seed, int quality = 90);
