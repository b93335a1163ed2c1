// The picture loader on a file made of the fuzzer's bytes, through the same
// call the Open command and a drop make.
#include "FuzzInput.h"

#include "document/BmpLayout.h"
#include "document/ImageFiles.h"

#include <QFile>

using namespace snaplorn;
using namespace snaplorn::fuzz;

namespace {

void writeFile(const QString& path, const uint8_t* data, size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        fail("cannot write the picture file", file.errorString());
}

void checkLoaded(const LoadedImage& loaded)
{
    const QImage& image = loaded.image;
    require(!image.isNull() && image.width() > 0 && image.height() > 0, "empty image loaded");
    require(image.format() == QImage::Format_RGB32, "loaded image not RGB32");
    const qint64 bytes = qint64(image.width()) * image.height() * 4;
    require(bytes <= qint64(ImageAllocationLimitMB) * 1024 * 1024,
            "image above the allocation limit",
            QStringLiteral("%1x%2").arg(image.width()).arg(image.height()));
    require(loaded.message.isEmpty(), "message with a loaded image");
}

void checkRefused(const LoadedImage& loaded)
{
    require(loaded.image.isNull(), "image with a failure");
    require(!loaded.message.trimmed().isEmpty(), "failure without a message");
    // The file exists and is readable: anything wrong is in its content.
    require(loaded.failure == LoadedImage::Failure::NotAnImage, "readable file called unreadable",
            loaded.message);
}

// A bitmap whose rows are stored plainly is only accepted with all of them.
void checkBitmapComplete(const uint8_t* data, size_t size)
{
    BmpLayout layout;
    if (size < 2 || data[0] != 'B' || data[1] != 'M')
        return;
    require(readBmpLayout(data, qint64(size), &layout), "bitmap with unreadable headers loaded");
    if (layout.uncompressed())
        require(layout.pixelEnd() <= qint64(size), "bitmap missing rows loaded");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    startApplication(true);
    static const QString path = scratchFolder() + QStringLiteral("/picture");
    writeFile(path, data, size);
    const LoadedImage loaded = loadImageFile(path);
    if (loaded.ok()) {
        require(size > 0, "empty file loaded");
        checkLoaded(loaded);
        checkBitmapComplete(data, size);
    } else {
        checkRefused(loaded);
    }
    return 0;
}
