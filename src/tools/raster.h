#pragma once
#include <QFont>
#include <QImage>
#include <QPen>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QString>

class QPainter;

namespace snaplorn {

// The figures of the drawing tools. Points are canvas pixels; a figure drawn
// between two points has them as its ends or as opposite corners, in any
// drag direction. Everything is drawn with antialiasing off and a round pen
// of the given width, so figures have hard pixel edges: a width-1 figure
// covers the pixel at each of its points, a wider one the pixels whose
// centres lie within half the width of its outline.
enum class Figure {
    Segment,      // straight line (pencil, eraser, line tool)
    Box,          // rectangle outline
    SolidBox,     // rectangle outline and inside
    Ellipse,      // ellipse in the box, outline only
    SolidEllipse, // ellipse in the box, outline and inside
};

// The pen every figure is drawn with.
QPen figurePen(QColor colour, int width, Qt::PenStyle style = Qt::SolidLine);
// Paints a figure with the painter's pen (and, for the solid ones, a brush of
// the pen's colour). Used both for the image and for the previews, so a
// rubber band covers exactly the pixels the final figure will.
void paintFigure(QPainter& painter, Figure figure, QPointF a, QPointF b);
// The pixels a figure of that width can touch.
QRect figureBounds(Figure figure, QPointF a, QPointF b, int width);
// The pixels an outline preview touches: for boxes only the four edges, so a
// moving rubber band repaints strips, not the whole inside.
QRegion figureOutlineRegion(Figure figure, QPointF a, QPointF b, int width);

// The exact pixels of a box outline of width 1, 4 or 6 between two whole
// pixel points, as non-overlapping rectangles (the four bands, less the
// corner pixel each round join leaves out): what drawFigure paints, found
// without rasterising the outline. Empty for other widths, fractional
// points or a box of a single point.
QRegion boxOutlinePixels(QPointF a, QPointF b, int width);

// Draws a figure into the image in the colour; returns the pixels touched.
QRect drawFigure(QImage& image, Figure figure, QPointF a, QPointF b, QRgb colour, int width);

// The two head strokes of an arrow ending at (x, y), where (dx, dy) is the
// start minus the end. The strokes are 10 pixels long, 0.5 radian either
// side of the shaft, pointing back toward the start; a vertical shaft uses
// the slope 20. The ends keep their fractions.
struct ArrowHead {
    QPointF first;
    QPointF second;
};
ArrowHead arrowHeadEnds(float x, float y, float dx, float dy);
// Draws the two head strokes; returns the pixels touched.
QRect DrawArrowHead(QImage& image, float x, float y, float dx, float dy, QRgb colour, int width);

// The text tool's font for a pen width: the desktop's default sans-serif
// face at 10 points (width 1), 14 points bold (4) or 20 points bold (6), as
// whole pixels at 96 dots per inch, without antialiasing so only the
// colour's own pixels are written.
QFont textToolFont(int penWidth);
// The typing font of the text box: the same face at 9.75 points.
QFont textEntryFont();
// Draws the text with its first line at topLeft and every later line at the
// same x, one line height lower. Only the glyphs change pixels. Returns the
// pixels touched.
QRect drawTextBlock(QImage& image, QPoint topLeft, const QString& text, QRgb colour, int penWidth);

} // namespace snaplorn
