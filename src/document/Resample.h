#pragma once
#include <QImage>
#include <QSize>

namespace snaplorn {

// Whole pixel counts from fractional ones. Halving an odd side (301 / 2 =
// 150.5) and scaling a side by a ratio give fractions; every such size in
// the program is rounded here, to the nearest whole number with ties to the
// even neighbour (150.5 -> 150, 151.5 -> 152, -2.5 -> -2). The scroll bars'
// large change (half the image's side) follows the same rule.
qint64 roundHalfToEven(double value);
// Half of a side length, rounded as above: 301 -> 150, 303 -> 152.
qint64 halfToEven(qint64 length);

// Size of a picture fitted to a frame by the picture's own orientation: one
// wider than high takes the frame's width, any other (square included) the
// frame's height; the other side keeps the aspect ratio, rounded as above,
// and may end up larger than the frame. Both sides are at least 1.
QSize fitByOrientation(QSize image, QSize frame);

// Nearest-neighbour stretch of a whole picture to a new size, without any
// smoothing: destination pixel x takes source column floor((x + 0.5) * sw / dw),
// and the same for rows, so doubling maps every source pixel to an exact
// 2 x 2 block and halving keeps every second pixel. The result is
// Format_RGB32 (other formats are converted first). A null result means the
// new picture could not be allocated, or the source or size is empty.
QImage resampleNearest(const QImage& source, QSize size);

// The same into an existing 32-bit picture whose size is the target size;
// false when the formats do not fit.
bool resampleNearestInto(const QImage& source, QImage& target);

} // namespace snaplorn
