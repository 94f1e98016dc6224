// Paints a distribution picture (numerics/picture.h) with QPainter, stretching its
// logical space onto any rectangle, and saves it as PNG, SVG or PDF.
#pragma once

#include <QRectF>
#include <QSize>
#include <QString>

#include "numerics/picture.h"

class QPainter;

namespace sorvel {

void PaintPicture(QPainter& painter, const TPicture& picture, const QRectF& target);

// A white image of the given pixel size with the picture stretched over it.
bool SavePicturePng(const TPicture& picture, const QString& path, QSize size = QSize(1500, 1000));
// Vector files with the picture's own logical size as their coordinate space.
bool SavePictureSvg(const TPicture& picture, const QString& path);
// One page of 6 by 4 inches.
bool SavePicturePdf(const TPicture& picture, const QString& path);

}  // namespace sorvel
