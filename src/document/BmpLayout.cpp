#include "document/BmpLayout.h"

#include <QtEndian>
#include <limits>

namespace snaplorn {

namespace {

constexpr int FileHeaderSize = 14;
constexpr int CoreHeaderSize = 12; // the old OS/2 header with 16-bit dimensions
constexpr int InfoHeaderSize = 40;
constexpr quint32 BiRgb = 0;
constexpr quint32 BiBitfields = 3;
constexpr quint32 BiAlphaBitfields = 6;
constexpr quint32 PixelsPerMetre = 2835; // 72 dpi

quint32 u32(const uchar* p)
{
    return qFromLittleEndian<quint32>(p);
}
quint16 u16(const uchar* p)
{
    return qFromLittleEndian<quint16>(p);
}

// 32-bit pixels with colour masks: only the two byte orders a JPEG encoder
// reads directly are recognised.
BmpLayout::Pixels maskedPixels(const uchar* data, qint64 size)
{
    const qint64 masksAt = FileHeaderSize + InfoHeaderSize;
    if (size < masksAt + 12)
        return BmpLayout::Pixels::Other;
    const quint32 red = u32(data + masksAt);
    const quint32 green = u32(data + masksAt + 4);
    const quint32 blue = u32(data + masksAt + 8);
    if (green != 0x0000ff00u)
        return BmpLayout::Pixels::Other;
    if (red == 0x00ff0000u && blue == 0x000000ffu)
        return BmpLayout::Pixels::Bgrx32;
    if (red == 0x000000ffu && blue == 0x00ff0000u)
        return BmpLayout::Pixels::Rgbx32;
    return BmpLayout::Pixels::Other;
}

// The channel masks of 16-bit pixels: stored after the 40-byte header (the
// longer headers keep them at the same place), or the 5-5-5 default.
void readMasks16(BmpLayout* layout, const uchar* data, qint64 size)
{
    if (layout->bitsPerPixel != 16)
        return;
    if (layout->compression == BiRgb) {
        layout->redMask = 0x7c00;
        layout->greenMask = 0x03e0;
        layout->blueMask = 0x001f;
        return;
    }
    const qint64 masksAt = FileHeaderSize + InfoHeaderSize;
    if ((layout->compression != BiBitfields && layout->compression != BiAlphaBitfields) ||
        size < masksAt + 12)
        return;
    layout->redMask = u32(data + masksAt) & 0xffff;
    layout->greenMask = u32(data + masksAt + 4) & 0xffff;
    layout->blueMask = u32(data + masksAt + 8) & 0xffff;
}

BmpLayout::Pixels pixelsOf(const BmpLayout& layout, const uchar* data, qint64 size)
{
    if (layout.bitsPerPixel == 24 && layout.compression == BiRgb)
        return BmpLayout::Pixels::Bgr24;
    if (layout.bitsPerPixel != 32)
        return BmpLayout::Pixels::Other;
    if (layout.compression == BiRgb)
        return BmpLayout::Pixels::Bgrx32;
    if (layout.compression == BiBitfields || layout.compression == BiAlphaBitfields)
        return maskedPixels(data, size);
    return BmpLayout::Pixels::Other;
}

// Width, height and depth from either the old 12-byte header or any of the
// 40-byte-and-longer headers, which share their first fields.
bool readDimensions(const uchar* info, quint32 infoSize, BmpLayout* layout)
{
    qint64 height = 0;
    if (infoSize == CoreHeaderSize) {
        layout->width = u16(info + 4);
        height = u16(info + 6);
        layout->bitsPerPixel = u16(info + 10);
        layout->compression = BiRgb;
    } else {
        layout->width = qint32(u32(info + 4));
        height = qint32(u32(info + 8));
        layout->bitsPerPixel = u16(info + 14);
        layout->compression = u32(info + 16);
    }
    layout->bottomUp = height > 0;
    height = height < 0 ? -height : height;
    if (layout->width <= 0 || height <= 0 || height > std::numeric_limits<int>::max())
        return false;
    layout->height = int(height);
    return layout->bitsPerPixel > 0 && layout->bitsPerPixel <= 64;
}

} // namespace

bool BmpLayout::uncompressed() const
{
    return compression == BiRgb || compression == BiBitfields || compression == BiAlphaBitfields;
}

bool readBmpLayout(const uchar* data, qint64 size, BmpLayout* layout)
{
    if (size < FileHeaderSize + CoreHeaderSize || data[0] != 'B' || data[1] != 'M')
        return false;
    const quint32 infoSize = u32(data + FileHeaderSize);
    if (infoSize != CoreHeaderSize && (infoSize < InfoHeaderSize || infoSize > 1024))
        return false;
    if (size < FileHeaderSize + qint64(infoSize))
        return false;
    *layout = BmpLayout{};
    if (!readDimensions(data + FileHeaderSize, infoSize, layout))
        return false;
    layout->pixelOffset = u32(data + 10);
    layout->rowStride = ((qint64(layout->width) * layout->bitsPerPixel + 31) / 32) * 4;
    // Dimensions whose pixels would end beyond any file size are no bitmap;
    // refusing them here keeps pixelEnd() a real number.
    if (layout->rowStride >
        (std::numeric_limits<qint64>::max() - layout->pixelOffset) / layout->height)
        return false;
    layout->pixels = pixelsOf(*layout, data, size);
    readMasks16(layout, data, size);
    return layout->pixelOffset >= FileHeaderSize + qint64(infoSize);
}

void makeBmp24Header(int width, int height, uchar* out)
{
    const quint32 imageBytes = quint32(bmp24RowStride(width) * height);
    out[0] = 'B';
    out[1] = 'M';
    qToLittleEndian<quint32>(Bmp24HeaderSize + imageBytes, out + 2);
    qToLittleEndian<quint32>(0, out + 6); // two reserved words
    qToLittleEndian<quint32>(Bmp24HeaderSize, out + 10);
    uchar* info = out + FileHeaderSize;
    qToLittleEndian<quint32>(InfoHeaderSize, info);
    qToLittleEndian<qint32>(width, info + 4);
    qToLittleEndian<qint32>(height, info + 8); // positive: bottom-up rows
    qToLittleEndian<quint16>(1, info + 12);    // planes
    qToLittleEndian<quint16>(24, info + 14);
    qToLittleEndian<quint32>(BiRgb, info + 16);
    qToLittleEndian<quint32>(imageBytes, info + 20);
    qToLittleEndian<quint32>(PixelsPerMetre, info + 24);
    qToLittleEndian<quint32>(PixelsPerMetre, info + 28);
    qToLittleEndian<quint32>(0, info + 32); // palette entries used
    qToLittleEndian<quint32>(0, info + 36); // important colours
}

} // namespace snaplorn
