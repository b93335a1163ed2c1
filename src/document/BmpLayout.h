#pragma once
#include <QtGlobal>

namespace snaplorn {

// Where the pixels of a BMP file are and how they are stored, read from the
// file header and the info header at the start of the file.
struct BmpLayout {
    // Pixel layouts the JPEG converter takes without conversion.
    enum class Pixels { Bgr24, Bgrx32, Rgbx32, Other };

    int width = 0;
    int height = 0; // always positive; see bottomUp
    bool bottomUp = true;
    int bitsPerPixel = 0;
    quint32 compression = 0;
    Pixels pixels = Pixels::Other;
    qint64 pixelOffset = 0; // from the start of the file
    qint64 rowStride = 0;   // bytes per stored row, padded to 4
    // Where red, green and blue sit in a 16-bit pixel: 5-5-5 unless the file
    // gives masks of its own; zero for other depths.
    quint32 redMask = 0;
    quint32 greenMask = 0;
    quint32 blueMask = 0;

    // Rows stored one after the other at rowStride (no run-length coding).
    bool uncompressed() const;
    qint64 pixelEnd() const { return pixelOffset + rowStride * height; }
};

// Reads the headers at `data` (`size` bytes available). False when the bytes
// do not start with a BMP header of sensible dimensions.
bool readBmpLayout(const uchar* data, qint64 size, BmpLayout* layout);

// Size of the headers of the 24-bit bitmaps this program writes.
inline constexpr int Bmp24HeaderSize = 54;

// Bytes per row of a 24-bit bitmap `width` pixels wide.
inline qint64 bmp24RowStride(int width)
{
    return (qint64(width) * 3 + 3) & ~qint64(3);
}

// Writes the file header and info header of an uncompressed bottom-up 24-bit
// bitmap at 72 dpi into `out` (Bmp24HeaderSize bytes).
void makeBmp24Header(int width, int height, uchar* out);

} // namespace snaplorn
