#pragma once
// Picture files made byte by byte, for the file reading and writing tests:
// layouts other programs write, and damaged or hostile headers.
#include <QByteArray>
#include <QImage>
#include <QVector>

namespace snaplorn::test {

// The bytes `image` gets in `format` from the installed image writers.
QByteArray encoded(const QImage& image, const char* format);

// A picture without sharp edges, so JPEG losses stay small: red grows to the
// right, green downwards, so a mirrored or swapped result is far off.
QImage smoothImage(int width, int height);

enum class BmpKind {
    Bgr24TopDown,
    Bgrx32BottomUp,
    Bgrx32MasksTopDown,
    Rgbx32Masks,
    Indexed8,
    Rgb555,            // 16 bits without masks
    Rgb555Masks,       // 16 bits, 5-5-5 masks
    Rgb565MasksTopDown // 16 bits, 5-6-5 masks
};
// A BMP file of `image` in the given layout; an Indexed8 one has an all-black
// palette and pixels, a 16-bit one keeps the high bits of each channel.
QByteArray handMadeBmp(const QImage& image, BmpKind kind);

// A GIF of palette indices, with an optional transparent index.
QByteArray handMadeGif(int width, int height, const QVector<QRgb>& palette,
                       const QVector<uchar>& indices, int transparentIndex = -1);

// The signature and header chunk of `png` changed to the given size, then
// an empty data chunk: enough for a reader to announce the size.
QByteArray pngHeaderOnly(const QByteArray& png, quint32 width, quint32 height);

} // namespace snaplorn::test
