#include "tools/raster.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace snaplorn {

namespace {

QRectF boxBetween(QPointF a, QPointF b)
{
    return QRectF(a, b).normalized();
}

// Half the pen plus a pixel for the rasteriser's rounding.
int penMargin(int width)
{
    return width / 2 + 2;
}

QRect boundsOf(const QRectF& area, int width)
{
    const int m = penMargin(width);
    return area.toAlignedRect().adjusted(-m, -m, m + 1, m + 1);
}

QRegion segmentRegion(QPointF a, QPointF b, int width)
{
    // Short pieces along the line, so a long diagonal band does not repaint
    // its whole bounding box.
    constexpr double Piece = 32.0;
    const QPointF delta = b - a;
    const double length = std::hypot(delta.x(), delta.y());
    const int pieces = std::max(1, int(std::ceil(length / Piece)));
    QRegion region;
    for (int i = 0; i < pieces; ++i) {
        const QPointF from = a + delta * (double(i) / pieces);
        const QPointF to = a + delta * (double(i + 1) / pieces);
        region += boundsOf(boxBetween(from, to), width);
    }
    return region;
}

QRegion boxEdgesRegion(const QRectF& box, int width)
{
    const QRect outer = boundsOf(box, width);
    const int m = penMargin(width);
    const QRect inner = box.toAlignedRect().adjusted(m, m, -m, -m);
    if (inner.isEmpty())
        return QRegion(outer);
    return QRegion(outer).subtracted(QRegion(inner));
}

QRegion ellipseRingRegion(const QRectF& box, int width)
{
    // The rectangle inscribed in the ellipse (half-axes / sqrt 2) never
    // meets its outline.
    const QRect outer = boundsOf(box, width);
    const double inset = 1.0 - 1.0 / std::sqrt(2.0);
    const QRectF innerF = box.adjusted(box.width() * inset / 2, box.height() * inset / 2,
                                       -box.width() * inset / 2, -box.height() * inset / 2);
    const int m = penMargin(width);
    const QRect inner = innerF.toAlignedRect().adjusted(m, m, -m, -m);
    if (inner.isEmpty())
        return QRegion(outer);
    return QRegion(outer).subtracted(QRegion(inner));
}

// Windows maps a point size to whole pixels at 96 dots per inch, rounding.
int pixelsForPoints(double points)
{
    return int(std::lround(points * 96.0 / 72.0));
}

QFont sansSerif(int pixels, bool bold)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(false);
    font.setUnderline(false);
    return font;
}

} // namespace

QPen figurePen(QColor colour, int width, Qt::PenStyle style)
{
    return QPen(QBrush(colour), width, style, Qt::RoundCap, Qt::RoundJoin);
}

void paintFigure(QPainter& painter, Figure figure, QPointF a, QPointF b)
{
    const QRectF box = boxBetween(a, b);
    const bool solid = figure == Figure::SolidBox || figure == Figure::SolidEllipse;
    painter.setBrush(solid ? painter.pen().brush() : QBrush(Qt::NoBrush));
    switch (figure) {
    case Figure::Segment:
        painter.drawLine(a, b);
        break;
    case Figure::Box:
    case Figure::SolidBox:
        painter.drawRect(box);
        break;
    case Figure::Ellipse:
    case Figure::SolidEllipse:
        painter.drawEllipse(box);
        break;
    }
}

QRect figureBounds(Figure, QPointF a, QPointF b, int width)
{
    return boundsOf(boxBetween(a, b), width);
}

QRegion figureOutlineRegion(Figure figure, QPointF a, QPointF b, int width)
{
    switch (figure) {
    case Figure::Segment:
        return segmentRegion(a, b, width);
    case Figure::Box:
        return boxEdgesRegion(boxBetween(a, b), width);
    case Figure::Ellipse:
        return ellipseRingRegion(boxBetween(a, b), width);
    case Figure::SolidBox:
    case Figure::SolidEllipse:
        break;
    }
    return QRegion(figureBounds(figure, a, b, width));
}

QRegion boxOutlinePixels(QPointF a, QPointF b, int width)
{
    const bool whole = a.x() == std::floor(a.x()) && a.y() == std::floor(a.y()) &&
                       b.x() == std::floor(b.x()) && b.y() == std::floor(b.y());
    if (!whole || (width != 1 && width != 4 && width != 6))
        return QRegion();
    const int left = int(std::min(a.x(), b.x()));
    const int top = int(std::min(a.y(), b.y()));
    const int spanX = int(std::abs(a.x() - b.x())); // distance between the lines
    const int spanY = int(std::abs(a.y() - b.y()));
    if (spanX == 0 && spanY == 0)
        return QRegion(); // left to the painter, which draws a point's box its own way
    // A pen of width w centred on the line x covers the columns whose
    // centres lie in [x - w/2, x + w/2): from x - w/2 for w columns.
    const int half = width / 2;
    const QRect outer(left - half, top - half, spanX + width, spanY + width);
    const QRect inner(left - half + width, top - half + width, spanX - width, spanY - width);
    QRegion pixels(outer);
    if (inner.isValid())
        pixels -= QRegion(inner);
    if (width > 1) {
        // Round joins of radius 2 or 3 leave out just the outermost corner
        // pixel: its centre lies 2.12 or 3.54 pixels from the corner point.
        for (const QPoint& corner :
             {outer.topLeft(), outer.topRight(), outer.bottomLeft(), outer.bottomRight()})
            pixels -= QRegion(QRect(corner, QSize(1, 1)));
    }
    return pixels;
}

QRect drawFigure(QImage& image, Figure figure, QPointF a, QPointF b, QRgb colour, int width)
{
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(figurePen(QColor(colour), width));
    paintFigure(painter, figure, a, b);
    return figureBounds(figure, a, b, width).intersected(image.rect());
}

ArrowHead arrowHeadEnds(float x, float y, float dx, float dy)
{
    const double slope = dx != 0 ? double(dy) / double(dx) : 20.0;
    const double theta = std::atan(slope);
    const double a1 = theta + 0.5;
    const double a2 = theta - 0.5;
    const double c1 = 10.0 * std::cos(a1);
    const double s1 = 10.0 * std::sin(a1);
    const double c2 = 10.0 * std::cos(a2);
    const double s2 = 10.0 * std::sin(a2);
    // Toward the start: backwards when the start lies to the left, or
    // straight above a vertical shaft.
    const bool backwards = dx < 0 || (dx == 0 && dy < 0);
    const double sign = backwards ? -1.0 : 1.0;
    return {QPointF(float(x + sign * c1), float(y + sign * s1)),
            QPointF(float(x + sign * c2), float(y + sign * s2))};
}

QRect DrawArrowHead(QImage& image, float x, float y, float dx, float dy, QRgb colour, int width)
{
    const ArrowHead head = arrowHeadEnds(x, y, dx, dy);
    const QPointF tip(x, y);
    const QRect first = drawFigure(image, Figure::Segment, tip, head.first, colour, width);
    const QRect second = drawFigure(image, Figure::Segment, tip, head.second, colour, width);
    return first.united(second);
}

QFont textToolFont(int penWidth)
{
    QFont font;
    if (penWidth >= 6)
        font = sansSerif(pixelsForPoints(20), true);
    else if (penWidth >= 4)
        font = sansSerif(pixelsForPoints(14), true);
    else
        font = sansSerif(pixelsForPoints(10), false);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QFont textEntryFont()
{
    return sansSerif(pixelsForPoints(9.75), false);
}

QRect drawTextBlock(QImage& image, QPoint topLeft, const QString& text, QRgb colour, int penWidth)
{
    const QFont font = textToolFont(penWidth);
    const QFontMetrics metrics(font);
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = normalised.split(QLatin1Char('\n'));

    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font);
    painter.setPen(QColor(colour));
    QRect touched;
    for (int i = 0; i < lines.size(); ++i) {
        const QPoint origin(topLeft.x(), topLeft.y() + i * metrics.lineSpacing());
        painter.drawText(QPointF(origin.x(), origin.y() + metrics.ascent()), lines[i]);
        touched |=
            metrics.boundingRect(lines[i]).translated(origin.x(), origin.y() + metrics.ascent());
    }
    return touched.adjusted(-2, -2, 2, 2).intersected(image.rect());
}

} // namespace snaplorn
