// The two save paths of the document: a bitmap written by our writer, and a
// JPEG made from the scratch bitmap, both loaded back. Also the converter
// alone on a bitmap file made of the fuzzer's bytes.
//
// Input: one byte chooses the mode. Even: width, height, quality, then the
// pixels (four bytes each, repeated when short). Odd: quality, then the file.
#include "FuzzInput.h"

#include "document/BmpLayout.h"
#include "document/ImageDocument.h"
#include "document/ImageFiles.h"

#include <QDir>
#include <QFile>
#include <QSet>

using namespace snaplorn;
using namespace snaplorn::fuzz;

namespace {

constexpr int MaxSide = 160;
const QByteArray Sentinel = "the picture that was here before";

QString file(const char* name)
{
    return scratchFolder() + QLatin1Char('/') + QLatin1String(name);
}

// No save leaves a temporary file behind, whether it worked or not.
void checkOnlyFiles(QSet<QString> expected)
{
    const QStringList found = QDir(scratchFolder()).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : found)
        require(expected.remove(name), "unexpected file left behind", name);
}

QImage pictureFrom(FuzzInput& in, int width, int height)
{
    const QByteArray bytes = in.rest();
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const qsizetype at = (qsizetype(y) * width + x) * 4;
            if (bytes.size() < 4) {
                line[x] = qRgb(x * 7, y * 13, x ^ y);
                continue;
            }
            QRgb value = 0; // the fourth byte lands in the unused alpha byte
            std::memcpy(&value, bytes.constData() + at % (bytes.size() - 3), 4);
            line[x] = value;
        }
    }
    return image;
}

void checkSamePixels(const QImage& expected, const QImage& loaded, const char* what)
{
    require(loaded.size() == expected.size(), what, QStringLiteral("size differs"));
    for (int y = 0; y < expected.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(loaded.constScanLine(y));
        for (int x = 0; x < expected.width(); ++x)
            require((a[x] & 0xffffff) == (b[x] & 0xffffff), what,
                    QStringLiteral("pixel %1,%2").arg(x).arg(y));
    }
}

// The written bitmap is exactly the 24-bit bottom-up layout with nothing after it.
void checkBitmapLayout(const QString& path, const QImage& image)
{
    const QByteArray bytes = readAll(path);
    BmpLayout layout;
    require(readBmpLayout(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(), &layout),
            "written bitmap unreadable");
    require(layout.width == image.width() && layout.height == image.height() && layout.bottomUp &&
                layout.pixels == BmpLayout::Pixels::Bgr24 &&
                layout.pixelOffset == Bmp24HeaderSize && layout.pixelEnd() == bytes.size(),
            "written bitmap has the wrong layout");
}

void roundTrip(FuzzInput& in)
{
    const int width = in.inRange(1, MaxSide);
    const int height = in.inRange(1, MaxSide);
    const int quality = in.inRange(-20, 130);
    const QImage picture = pictureFrom(in, width, height);
    ImageDocument document;
    document.setCanvas(picture);
    document.setTemporaryBitmapPath(file("qvxtemp.bmp"));

    const Result bmp = document.SaveImageFile(file("saved.bmp"), quality);
    require(bool(bmp), "bitmap save failed", bmp.message);
    checkBitmapLayout(file("saved.bmp"), picture);
    const LoadedImage bmpBack = loadImageFile(file("saved.bmp"));
    require(bmpBack.ok(), "saved bitmap does not load", bmpBack.message);
    checkSamePixels(picture, bmpBack.image, "bitmap loads back different");

    const Result jpg = document.SaveImageFile(file("saved.jpg"), quality);
    require(bool(jpg), "JPEG save failed", jpg.message);
    const LoadedImage jpgBack = loadImageFile(file("saved.jpg"));
    require(jpgBack.ok(), "saved JPEG does not load", jpgBack.message);
    require(jpgBack.image.size() == picture.size(), "JPEG loads back at another size");
    checkOnlyFiles({"saved.bmp", "saved.jpg", "qvxtemp.bmp"});
}

// The converter either makes a JPEG of the bitmap's size or says why not and
// leaves the file it would have replaced as it was.
void convertRaw(FuzzInput& in)
{
    const int quality = in.inRange(-20, 130);
    const QByteArray bytes = in.rest();
    writeAll(file("raw.bmp"), bytes);
    writeAll(file("raw.jpg"), Sentinel);
    const Result converted = BmpToJpeg(file("raw.bmp"), file("raw.jpg"), quality);
    checkOnlyFiles({"raw.bmp", "raw.jpg"});
    if (!converted) {
        require(!converted.message.trimmed().isEmpty(), "conversion failed without a message");
        require(readAll(file("raw.jpg")) == Sentinel, "failed conversion changed the old file");
        return;
    }
    BmpLayout layout;
    require(readBmpLayout(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(), &layout),
            "converted a file without bitmap headers");
    require(layout.pixelEnd() <= bytes.size(), "converted a bitmap missing rows");
    const LoadedImage back = loadImageFile(file("raw.jpg"));
    require(back.ok(), "converted JPEG does not load", back.message);
    require(back.image.size() == QSize(layout.width, layout.height),
            "converted JPEG has another size");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    startApplication(true);
    for (const QString& name : QDir(scratchFolder()).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(scratchFolder() + QLatin1Char('/') + name);
    FuzzInput in(data, size);
    if (in.byte() & 1)
        convertRaw(in);
    else
        roundTrip(in);
    return 0;
}
