#include "PictureBytes.h"

#include <QBuffer>
#include <QtEndian>

namespace snaplorn::test {

namespace {

quint32 pngCrc(const QByteArray& bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

} // namespace

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage smoothImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(255 * x / width, 255 * y / height, 96));
    return image;
}

// Masks, when given, follow the 40-byte info header.
QByteArray handMadeBmp(const QImage& image, BmpKind kind)
{
    const bool sixteen = kind == BmpKind::Rgb555 || kind == BmpKind::Rgb555Masks ||
                         kind == BmpKind::Rgb565MasksTopDown;
    const bool masks = kind == BmpKind::Bgrx32MasksTopDown || kind == BmpKind::Rgbx32Masks ||
                       kind == BmpKind::Rgb555Masks || kind == BmpKind::Rgb565MasksTopDown;
    const bool topDown = kind == BmpKind::Bgr24TopDown || kind == BmpKind::Bgrx32MasksTopDown ||
                         kind == BmpKind::Rgb565MasksTopDown;
    const int bits = kind == BmpKind::Bgr24TopDown ? 24
                     : kind == BmpKind::Indexed8   ? 8
                     : sixteen                     ? 16
                                                   : 32;
    const int stride = ((image.width() * bits + 31) / 32) * 4;
    const int offset = 54 + (masks ? 12 : 0) + (bits == 8 ? 1024 : 0);
    QByteArray bytes(offset + stride * image.height(), '\0');
    auto* d = reinterpret_cast<uchar*>(bytes.data());
    d[0] = 'B';
    d[1] = 'M';
    qToLittleEndian<quint32>(bytes.size(), d + 2);
    qToLittleEndian<quint32>(offset, d + 10);
    qToLittleEndian<quint32>(40, d + 14);
    qToLittleEndian<qint32>(image.width(), d + 18);
    qToLittleEndian<qint32>(topDown ? -image.height() : image.height(), d + 22);
    qToLittleEndian<quint16>(1, d + 26);
    qToLittleEndian<quint16>(bits, d + 28);
    qToLittleEndian<quint32>(masks ? 3 : 0, d + 30);
    const bool rgbx = kind == BmpKind::Rgbx32Masks;
    const bool green6 = kind == BmpKind::Rgb565MasksTopDown;
    if (masks && sixteen) {
        qToLittleEndian<quint32>(green6 ? 0xf800 : 0x7c00, d + 54);
        qToLittleEndian<quint32>(green6 ? 0x07e0 : 0x03e0, d + 58);
        qToLittleEndian<quint32>(0x001f, d + 62);
    } else if (masks) {
        qToLittleEndian<quint32>(rgbx ? 0xff : 0xff0000, d + 54);
        qToLittleEndian<quint32>(0xff00, d + 58);
        qToLittleEndian<quint32>(rgbx ? 0xff0000 : 0xff, d + 62);
    }
    for (int y = 0; y < image.height(); ++y) {
        uchar* row = d + offset + qsizetype(stride) * (topDown ? y : image.height() - 1 - y);
        for (int x = 0; x < image.width() && bits != 8; ++x) {
            const QRgb p = image.pixel(x, y);
            uchar* px = row + x * bits / 8;
            if (sixteen) {
                const int r = qRed(p) >> 3, b = qBlue(p) >> 3;
                const int g = green6 ? qGreen(p) >> 2 : qGreen(p) >> 3;
                qToLittleEndian<quint16>(
                    quint16(green6 ? r << 11 | g << 5 | b : r << 10 | g << 5 | b), px);
                continue;
            }
            px[0] = uchar(rgbx ? qRed(p) : qBlue(p));
            px[1] = uchar(qGreen(p));
            px[2] = uchar(rgbx ? qBlue(p) : qRed(p));
        }
    }
    return bytes;
}

// A GIF with its LZW data left uncompressed: every pixel is a literal code and
// a clear code comes often enough that the codes stay 9 bits wide.
QByteArray handMadeGif(int width, int height, const QVector<QRgb>& palette,
                       const QVector<uchar>& indices, int transparentIndex)
{
    QByteArray gif("GIF89a");
    auto u16 = [&gif](int v) { gif.append(char(v & 0xff)).append(char(v >> 8)); };
    u16(width);
    u16(height);
    gif.append(char(0xf7)).append('\0').append('\0'); // 256-entry colour table
    for (int i = 0; i < 256; ++i) {
        const QRgb c = palette.value(i);
        gif.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
    if (transparentIndex >= 0)
        gif.append("\x21\xf9\x04\x01\x00\x00", 6).append(char(transparentIndex)).append('\0');
    gif.append(',');
    u16(0);
    u16(0);
    u16(width);
    u16(height);
    gif.append('\0').append(char(8));
    QByteArray lzw;
    quint32 bits = 0;
    int count = 0;
    auto emitCode = [&](int code) {
        bits |= quint32(code) << count;
        for (count += 9; count >= 8; count -= 8, bits >>= 8)
            lzw.append(char(bits & 0xff));
    };
    for (int i = 0; i < indices.size(); ++i) {
        if (i % 200 == 0)
            emitCode(256);
        emitCode(indices[i]);
    }
    emitCode(257);
    if (count > 0)
        lzw.append(char(bits & 0xff));
    for (int at = 0; at < lzw.size(); at += 255)
        gif.append(char(qMin(255, int(lzw.size() - at)))).append(lzw.mid(at, 255));
    return gif.append('\0').append(';');
}

QByteArray pngHeaderOnly(const QByteArray& png, quint32 width, quint32 height)
{
    QByteArray head = png.left(33);
    qToBigEndian<quint32>(width, head.data() + 16);
    qToBigEndian<quint32>(height, head.data() + 20);
    qToBigEndian<quint32>(pngCrc(head.mid(12, 17)), head.data() + 29);
    QByteArray data("\0\0\0\0IDAT\0\0\0\0", 12);
    qToBigEndian<quint32>(pngCrc("IDAT"), data.data() + 8);
    return head + data;
}

} // namespace snaplorn::test
