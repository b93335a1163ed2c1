#include "document/Resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace snaplorn {

namespace {

bool is32Bit(const QImage& image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return true;
    default:
        return false;
    }
}

// Source index of every destination index: the source cell holding the
// destination cell's centre. Integer arithmetic, so the map is exact.
std::vector<int> centreMap(int sourceLength, int targetLength)
{
    std::vector<int> map(static_cast<size_t>(targetLength));
    const qint64 denominator = 2 * qint64(targetLength);
    for (int i = 0; i < targetLength; ++i)
        map[size_t(i)] = int((2 * qint64(i) + 1) * sourceLength / denominator);
    return map;
}

void gatherRow(const quint32* source, quint32* target, const int* columns, int width)
{
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        const quint32 a = source[columns[x]];
        const quint32 b = source[columns[x + 1]];
        const quint32 c = source[columns[x + 2]];
        const quint32 d = source[columns[x + 3]];
        target[x] = a;
        target[x + 1] = b;
        target[x + 2] = c;
        target[x + 3] = d;
    }
    for (; x < width; ++x)
        target[x] = source[columns[x]];
}

} // namespace

qint64 roundHalfToEven(double value)
{
    // nearbyint rounds in the current mode, which is to-nearest-even unless
    // someone changed it; do it by hand so the rule does not depend on that.
    const double floorValue = std::floor(value);
    const double fraction = value - floorValue;
    qint64 result = qint64(floorValue);
    if (fraction > 0.5 || (fraction == 0.5 && (result % 2 != 0)))
        ++result;
    return result;
}

qint64 halfToEven(qint64 length)
{
    return roundHalfToEven(double(length) / 2.0);
}

QSize fitByOrientation(QSize image, QSize frame)
{
    if (image.isEmpty())
        return QSize(1, 1);
    qint64 width = 0;
    qint64 height = 0;
    if (image.width() > image.height()) {
        const double ratio = double(frame.width()) / image.width();
        width = frame.width();
        height = roundHalfToEven(image.height() * ratio);
    } else {
        const double ratio = double(frame.height()) / image.height();
        width = roundHalfToEven(image.width() * ratio);
        height = frame.height();
    }
    return QSize(int(std::max<qint64>(1, width)), int(std::max<qint64>(1, height)));
}

bool resampleNearestInto(const QImage& source, QImage& target)
{
    if (!is32Bit(source) || !is32Bit(target) || source.isNull() || target.isNull())
        return false;
    const int width = target.width();
    const int height = target.height();
    const std::vector<int> columns = centreMap(source.width(), width);
    const std::vector<int> rows = centreMap(source.height(), height);
    const size_t rowBytes = size_t(width) * sizeof(quint32);
    int previousRow = -1;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<quint32*>(target.scanLine(y));
        const int sourceRow = rows[size_t(y)];
        if (sourceRow == previousRow) {
            // Enlarging repeats source rows: copy the row just made.
            std::memcpy(line, target.constScanLine(y - 1), rowBytes);
            continue;
        }
        gatherRow(reinterpret_cast<const quint32*>(source.constScanLine(sourceRow)), line,
                  columns.data(), width);
        previousRow = sourceRow;
    }
    return true;
}

QImage resampleNearest(const QImage& source, QSize size)
{
    if (source.isNull() || size.isEmpty())
        return QImage();
    const QImage input = source.format() == QImage::Format_RGB32
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    QImage target(size, QImage::Format_RGB32);
    if (target.isNull())
        return QImage();
    resampleNearestInto(input, target);
    return target;
}

} // namespace snaplorn
