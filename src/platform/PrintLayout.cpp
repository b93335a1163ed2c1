#include "platform/PrintLayout.h"

#include <algorithm>
#include <cmath>

namespace snaplorn {

namespace {

qreal usableDpi(qreal dpi)
{
    return std::isfinite(dpi) && dpi >= 1.0 ? dpi : 96.0;
}

} // namespace

PrintLayout printLayout(const QSize& imageSize, const QSizeF& screenDpi)
{
    const qreal dpiX = usableDpi(screenDpi.width());
    const qreal dpiY = usableDpi(screenDpi.height());
    PrintLayout layout;
    layout.windowSize = QSize(imageSize.width() + PrintWindowExtraWidth,
                              imageSize.height() + PrintWindowExtraHeight);
    layout.imageInches = QRectF(PrintImageLeft / dpiX, PrintImageTop / dpiY,
                                imageSize.width() / dpiX, imageSize.height() / dpiY);
    return layout;
}

QRectF fitOnPrintableArea(const QRectF& imageInches, const QSizeF& printable)
{
    if (printable.isEmpty() || imageInches.isEmpty())
        return imageInches;
    const qreal roomX = printable.width() - imageInches.x();
    const qreal roomY = printable.height() - imageInches.y();
    const qreal scale = std::min({1.0, roomX / imageInches.width(), roomY / imageInches.height()});
    if (scale >= 1.0 || scale <= 0.0)
        return imageInches;
    return QRectF(imageInches.topLeft(), imageInches.size() * scale);
}

} // namespace snaplorn
