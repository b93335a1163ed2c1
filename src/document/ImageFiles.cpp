#include "document/ImageFiles.h"

#include "base/Texts.h"
#include "document/BmpLayout.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <cstring>

namespace snaplorn {

namespace {

LoadedImage unreadable(const QString& message)
{
    return {QImage(), LoadedImage::Failure::Unreadable, message};
}

LoadedImage notAnImage()
{
    return {QImage(), LoadedImage::Failure::NotAnImage, QString::fromUtf8(texts::NotProperImage)};
}

// Skips the entropy-coded data after a start-of-scan header: it ends at the
// first marker that is neither a stuffed zero nor a restart marker.
qint64 skipScanData(const uchar* data, qint64 size, qint64 pos)
{
    while (pos < size) {
        const auto* ff =
            static_cast<const uchar*>(std::memchr(data + pos, 0xff, size_t(size - pos)));
        if (!ff)
            return size;
        pos = ff - data + 1;
        if (pos >= size)
            return size;
        const uchar next = data[pos];
        if (next != 0x00 && next != 0xff && (next < 0xd0 || next > 0xd7))
            return pos - 1;
    }
    return size;
}

// A JPEG decoder fills a file that ends early with grey and reports success,
// so the file's segments are walked up to the end-of-image marker.
bool jpegReachesEnd(const uchar* data, qint64 size)
{
    qint64 pos = 2; // after the start-of-image marker
    while (pos < size) {
        if (data[pos] != 0xff) { // stray bytes between segments: the decoder skips them
            const auto* ff =
                static_cast<const uchar*>(std::memchr(data + pos, 0xff, size_t(size - pos)));
            if (!ff)
                return false;
            pos = ff - data;
        }
        while (pos < size && data[pos] == 0xff)
            ++pos;
        if (pos >= size)
            return false;
        const uchar marker = data[pos++];
        if (marker == 0xd9)
            return true;
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7))
            continue; // markers without a length
        if (pos + 2 > size)
            return false;
        const int length = (data[pos] << 8) | data[pos + 1];
        if (length < 2)
            return false;
        pos += length;
        if (marker == 0xda)
            pos = skipScanData(data, size, pos);
    }
    return false;
}

// A bitmap decoder also accepts a file that stops before its last row.
bool bmpComplete(const uchar* data, qint64 size)
{
    BmpLayout layout;
    if (!readBmpLayout(data, size, &layout))
        return false;
    return !layout.uncompressed() || layout.pixelEnd() <= size;
}

bool contentLooksComplete(const QByteArray& bytes)
{
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 size = bytes.size();
    if (size >= 3 && data[0] == 0xff && data[1] == 0xd8 && data[2] == 0xff)
        return jpegReachesEnd(data, size);
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        return bmpComplete(data, size);
    return true;
}

bool tooLargeToDecode(const QSize& size)
{
    const qint64 limit = qint64(ImageAllocationLimitMB) * 1024 * 1024;
    return qint64(size.width()) * size.height() * 4 > limit;
}

// Transparent and half-transparent pixels are shown on white, as on a fresh canvas.
QImage toRgb32OnWhite(const QImage& decoded)
{
    if (!decoded.hasAlphaChannel())
        return decoded.convertToFormat(QImage::Format_RGB32);
    QImage image = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int white = 255 - qAlpha(p); // premultiplied: colour + white * (1 - alpha)
            line[x] = qRgb(qRed(p) + white, qGreen(p) + white, qBlue(p) + white);
        }
    }
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

// One channel of a 16-bit pixel, spread over the full 0-255 range, so the
// brightest stored value is 255 and not the value shifted into the high bits.
class Channel16
{
public:
    explicit Channel16(quint32 mask) : m_mask(mask)
    {
        while (m_mask && !(m_mask >> m_shift & 1))
            ++m_shift;
        m_max = m_mask >> m_shift;
    }
    int operator()(quint32 pixel) const
    {
        return m_max ? int((((pixel & m_mask) >> m_shift) * 255 + m_max / 2) / m_max) : 0;
    }

private:
    quint32 m_mask;
    int m_shift = 0;
    quint32 m_max = 0;
};

// 16-bit bitmaps (5-5-5, 5-6-5 or any other masks) are converted here; the
// caller has checked that all rows are in `data`.
QImage decodeBmp16(const uchar* data, const BmpLayout& layout)
{
    QImage image(layout.width, layout.height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const Channel16 red(layout.redMask), green(layout.greenMask), blue(layout.blueMask);
    for (int y = 0; y < layout.height; ++y) {
        const int stored = layout.bottomUp ? layout.height - 1 - y : y;
        const uchar* row = data + layout.pixelOffset + layout.rowStride * stored;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < layout.width; ++x) {
            const quint32 pixel = quint32(row[2 * x]) | quint32(row[2 * x + 1]) << 8;
            line[x] = qRgb(red(pixel), green(pixel), blue(pixel));
        }
    }
    return image;
}

bool isPlainBmp16(const QByteArray& bytes, BmpLayout* layout)
{
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    return bytes.size() >= 2 && data[0] == 'B' && data[1] == 'M' &&
           readBmpLayout(data, bytes.size(), layout) && layout->bitsPerPixel == 16 &&
           layout->uncompressed() && layout->pixelEnd() <= bytes.size();
}

LoadedImage decode(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(ImageAllocationLimitMB);
    const QSize announced = reader.size(); // from the header only
    if (announced.isValid() && (announced.isEmpty() || tooLargeToDecode(announced)))
        return notAnImage();
    if (!contentLooksComplete(bytes))
        return notAnImage();
    BmpLayout layout;
    if (isPlainBmp16(bytes, &layout)) {
        if (tooLargeToDecode(QSize(layout.width, layout.height)))
            return notAnImage();
        const QImage image = decodeBmp16(reinterpret_cast<const uchar*>(bytes.constData()), layout);
        if (image.isNull())
            return notAnImage();
        return {image, LoadedImage::Failure::None, QString()};
    }
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return notAnImage();
    return {toRgb32OnWhite(image), LoadedImage::Failure::None, QString()};
}

} // namespace

LoadedImage loadImageFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return unreadable(QString::fromUtf8(texts::FileNotFound).arg(path));
    if (info.isDir())
        return unreadable(QString::fromUtf8(texts::PathIsFolder).arg(path));
    if (!info.isFile()) // a pipe or device could block or never end
        return unreadable(QString::fromUtf8(texts::NotAFile).arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(QString::fromUtf8(texts::FileUnreadable).arg(path, file.errorString()));
    const qint64 size = file.size();
    if (size == 0)
        return notAnImage();
    // The bytes are looked at in place: mapped when the file system allows it.
    const uchar* mapped = file.map(0, size);
    const QByteArray bytes =
        mapped ? QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), qsizetype(size))
               : file.readAll();
    if (bytes.size() != size)
        return unreadable(QString::fromUtf8(texts::FileUnreadable).arg(path, file.errorString()));
    return decode(bytes);
}

bool IsImageFileName(const QString& name)
{
    // A dot in the last place does not count as the start of an extension.
    qsizetype dot = -1;
    for (qsizetype i = name.size() - 2; i >= 0; --i) {
        if (name.at(i) == QLatin1Char('.')) {
            dot = i;
            break;
        }
    }
    const QString extension = name.mid(dot + 1).toLower();
    return extension == QLatin1String("bmp") || extension == QLatin1String("jpg") ||
           extension == QLatin1String("jpeg") || extension == QLatin1String("gif");
}

SaveKind saveKindFor(const QString& path)
{
    const QString last = path.right(3);
    if (last == QLatin1String("jpg"))
        return SaveKind::Jpg;
    if (last == QLatin1String("bmp"))
        return SaveKind::Bmp;
    return SaveKind::Refused;
}

} // namespace snaplorn
