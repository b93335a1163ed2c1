// The writers of picture files: our own 24-bit bitmap writer, for saved and
// for scratch bitmaps, and the bitmap-to-JPEG conversion the JPEG save runs on
// the scratch bitmap.
#include "document/ImageFiles.h"

#include "base/Texts.h"
#include "document/BmpLayout.h"
#include "document/JpegEncoder.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

namespace snaplorn {

namespace {

constexpr qint64 WriteChunkBytes = 1 << 20;

Result saveFailed(const QString& path, const QString& why)
{
    return Result::failure(QString::fromUtf8(texts::SaveFailed).arg(path, why));
}

Result convertFailed(const QString& bmpPath, const QString& why)
{
    return Result::failure(QString::fromUtf8(texts::ConvertFailed).arg(bmpPath, why));
}

bool put(QIODevice& file, const void* data, qint64 size)
{
    return file.write(static_cast<const char*>(data), size) == size;
}

// An unfinished save file is discarded by its destructor, so a failure on
// the way leaves the existing file as it was and no temporary file behind.
Result finish(QSaveFile& file, bool written, const QString& path)
{
    if (written && file.commit())
        return Result::success();
    return saveFailed(path, file.errorString());
}

void packBgr(const QRgb* in, int width, uchar* out)
{
    for (int x = 0; x < width; ++x, out += 3) {
        const QRgb p = in[x];
        out[0] = uchar(qBlue(p));
        out[1] = uchar(qGreen(p));
        out[2] = uchar(qRed(p));
    }
}

// Rows go out bottom row first, gathered into chunks of about a megabyte.
bool writeBottomUpRows(QIODevice& file, const QImage& image)
{
    const qint64 stride = bmp24RowStride(image.width());
    const int rowsPerChunk = int(std::max<qint64>(1, WriteChunkBytes / stride));
    std::vector<uchar> chunk(size_t(stride * rowsPerChunk), 0);
    for (int y = image.height() - 1; y >= 0;) {
        uchar* out = chunk.data();
        int rows = 0;
        for (; rows < rowsPerChunk && y >= 0; ++rows, --y, out += stride)
            packBgr(reinterpret_cast<const QRgb*>(image.constScanLine(y)), image.width(), out);
        if (!put(file, chunk.data(), stride * rows))
            return false;
    }
    return true;
}

Result checkSavable(const QImage& image)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return Result::failure(QString::fromUtf8(texts::NothingToSave));
    const qint64 fileSize = Bmp24HeaderSize + bmp24RowStride(image.width()) * image.height();
    if (fileSize > qint64(0xffffffffu)) // the header holds the size in 32 bits
        return Result::failure(QString::fromUtf8(texts::ImageTooLargeToSave));
    return Result::success();
}

bool writeBmpContent(QIODevice& file, const QImage& image)
{
    const bool direct =
        image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
    const QImage rgb = direct ? image : image.convertToFormat(QImage::Format_RGB32);
    uchar header[Bmp24HeaderSize];
    makeBmp24Header(rgb.width(), rgb.height(), header);
    return put(file, header, Bmp24HeaderSize) && writeBottomUpRows(file, rgb);
}

JpegPixels encoderPixels(BmpLayout::Pixels pixels)
{
    switch (pixels) {
    case BmpLayout::Pixels::Bgr24:
        return JpegPixels::Bgr24;
    case BmpLayout::Pixels::Rgbx32:
        return JpegPixels::Rgbx32;
    case BmpLayout::Pixels::Bgrx32:
    case BmpLayout::Pixels::Other: // refused before it gets here
        break;
    }
    return JpegPixels::Bgrx32;
}

// Why the bitmap cannot be converted, or an empty text when it can.
QString refusal(const uchar* data, qint64 size, BmpLayout* layout)
{
    if (!readBmpLayout(data, size, layout))
        return QString::fromUtf8(texts::BmpNotBitmap);
    if (layout->pixels == BmpLayout::Pixels::Other)
        return QString::fromUtf8(texts::BmpUnsupported);
    if (layout->width > JpegMaxSide || layout->height > JpegMaxSide)
        return QString::fromUtf8(texts::BmpTooLargeForJpeg);
    if (layout->pixelEnd() > size)
        return QString::fromUtf8(texts::BmpTruncated);
    return QString();
}

JpegBytes compress(const uchar* data, const BmpLayout& layout, int quality)
{
    JpegSource source;
    source.data = data + layout.pixelOffset;
    source.width = layout.width;
    source.height = layout.height;
    source.rowStride = size_t(layout.rowStride);
    source.pixels = encoderPixels(layout.pixels);
    source.bottomUp = layout.bottomUp;
    return encodeJpeg(source, quality);
}

} // namespace

Result writeBmp24(const QImage& image, const QString& path)
{
    Result savable = checkSavable(image);
    if (!savable)
        return savable;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return saveFailed(path, file.errorString());
    return finish(file, writeBmpContent(file, image), path);
}

Result writeTemporaryBmp24(const QImage& image, const QString& path)
{
    Result savable = checkSavable(image);
    if (!savable)
        return savable;
    // Written beside its final name, so the rename stays on one file system.
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open())
        return saveFailed(path, file.errorString());
    const bool written = writeBmpContent(file, image) && file.flush();
    const QString why = file.errorString();
    file.close();
    if (!written)
        return saveFailed(path, why);
    // Renaming over an existing file makes ext4 push the new data to the disk
    // at once; the old scratch file goes first, now that the new one is complete.
    QFile::remove(path);
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0)
        return saveFailed(path, qt_error_string(errno));
    file.setAutoRemove(false); // it is the file at `path` now
    return Result::success();
}

Result BmpToJpeg(const QString& bmpPath, const QString& jpgPath, int quality)
{
    if (QFileInfo(bmpPath).isDir())
        return Result::failure(QString::fromUtf8(texts::PathIsFolder).arg(bmpPath));
    QFile in(bmpPath);
    if (!in.open(QIODevice::ReadOnly))
        return convertFailed(bmpPath, in.errorString());
    // The encoder reads the pixels straight from the file's bytes, mapped
    // when possible, bottom-up rows included.
    const qint64 size = in.size();
    const uchar* mapped = size > 0 ? in.map(0, size) : nullptr;
    const QByteArray copy = mapped ? QByteArray() : in.readAll();
    const uchar* data = mapped ? mapped : reinterpret_cast<const uchar*>(copy.constData());
    BmpLayout layout;
    const QString why = refusal(data, mapped ? size : copy.size(), &layout);
    if (!why.isEmpty())
        return convertFailed(bmpPath, why);
    const JpegBytes jpeg = compress(data, layout, quality);
    if (!jpeg.ok())
        return convertFailed(bmpPath, QString::fromStdString(jpeg.error));
    QSaveFile out(jpgPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return saveFailed(jpgPath, out.errorString());
    return finish(out, put(out, jpeg.data.get(), qint64(jpeg.size)), jpgPath);
}

} // namespace snaplorn
