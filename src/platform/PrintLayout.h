#pragma once
#include <QRectF>
#include <QSize>
#include <QSizeF>

namespace snaplorn {

// Where a print puts the image. The printout equals a small window showing
// the image at its actual size, printed at screen scale: the image keeps
// the physical size it has on the screen and sits 21 x 14 screen pixels
// from the top-left corner of the printable area (the printer shrinks an
// image that would not fit there; see fitOnPrintableArea).
struct PrintLayout {
    // The print window's outer size in screen pixels (image + 50 x 60).
    QSize windowSize;
    // The image on the paper, in inches from the printable area's corner.
    QRectF imageInches;
};

inline constexpr int PrintImageLeft = 21; // 315 twips at 15 twips per pixel
inline constexpr int PrintImageTop = 14;  // 210 twips
inline constexpr int PrintWindowExtraWidth = 50;
inline constexpr int PrintWindowExtraHeight = 60;

// The layout for an image of `imageSize` pixels on a screen with the given
// dots per inch (horizontal, vertical); a DPI that is not a sensible
// positive number counts as 96.
PrintLayout printLayout(const QSize& imageSize, const QSizeF& screenDpi);

// The place of the image on a page whose printable area is `printable`
// inches: unchanged when it fits, else shrunk to fit, keeping its offset
// from the corner and its proportions. An empty area changes nothing.
QRectF fitOnPrintableArea(const QRectF& imageInches, const QSizeF& printable);

} // namespace snaplorn
