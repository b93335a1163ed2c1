#include "output/PrintLayout.h"

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

} // namespace snaplorn
