#include "mainwindow/ResizeCursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

namespace {

constexpr int CursorSize = 32;
constexpr int HotSpot = 15;

// A left-right double arrow around the hot spot, in pixel-centre
// coordinates: heads 5 pixels deep, a shaft 3 pixels thick.
QPolygonF horizontalArrow()
{
    const QPointF points[] = {{4, 15},  {9, 10},  {9, 14},  {21, 14}, {21, 10},
                              {26, 15}, {21, 20}, {21, 16}, {9, 16},  {9, 20}};
    return QPolygonF(QList<QPointF>(std::begin(points), std::end(points)));
}

QTransform turnAroundHotSpot(qreal degrees)
{
    return QTransform()
        .translate(HotSpot + 0.5, HotSpot + 0.5)
        .rotate(degrees)
        .translate(-HotSpot - 0.5, -HotSpot - 0.5);
}

qreal turnFor(int handle)
{
    switch (handle) {
    case 24:
        return 90;
    case 25:
        return 45;
    default:
        return 0;
    }
}

} // namespace

QImage resizeCursorImage(int handle)
{
    QImage image(CursorSize, CursorSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    if (handle < 23 || handle > 25)
        return image;
    QPainterPath arrow;
    arrow.addPolygon(
        turnAroundHotSpot(turnFor(handle)).map(horizontalArrow().translated(0.5, 0.5)));
    arrow.closeSubpath();
    QPainter painter(&image);
    // Monochrome look: no antialiasing; the white outline is the arrow's
    // outline stroked 3 pixels wide under the black fill.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::white);
    painter.drawPath(arrow);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPath(arrow);
    return image;
}

QCursor resizeCursor(int handle)
{
    if (handle < 23 || handle > 25)
        return QCursor(Qt::ArrowCursor);
    return QCursor(QPixmap::fromImage(resizeCursorImage(handle)), HotSpot, HotSpot);
}
