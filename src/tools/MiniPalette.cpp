#include "tools/MiniPalette.h"

#include "base/Texts.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

const QRgb PaletteColours[16] = {
    qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(0, 128, 128),
    qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),   qRgb(0, 255, 255),
    qRgb(255, 0, 0),     qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255)};

// A sunken edge two pixels deep: shadow and dark shadow on the top and left,
// highlight and light on the bottom and right.
void sunkenEdge(QPainter& painter, const QRect& cell)
{
    const QRect outer = cell.adjusted(0, 0, -1, -1);
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    auto edge = [&](const QRect& r, QColor topLeft, QColor bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    };
    edge(outer, QColor(128, 128, 128), QColor(255, 255, 255));
    edge(inner, QColor(0, 0, 0), QColor(212, 208, 200));
}

} // namespace

MiniPalette::MiniPalette(QWidget* parent) : CellChooser(16, Columns, parent)
{
    setObjectName(QStringLiteral("PicMiniPal"));
    setAccessibleName(QString::fromUtf8(snaplorn::texts::PaletteName));
    setFixedSize(CellSize * Columns, CellSize * Columns);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect MiniPalette::cellRect(int index) const
{
    return QRect((index % Columns) * CellSize, (index / Columns) * CellSize, CellSize, CellSize);
}

QString MiniPalette::cellName(int index) const
{
    return index >= 0 && index < 16 ? QString::fromUtf8(snaplorn::texts::PaletteColourNames[index])
                                    : QString();
}

int MiniPalette::indexAt(const QPoint& at)
{
    const int column = at.x() / CellSize;
    const int row = at.y() / CellSize;
    if (at.x() < 0 || at.y() < 0 || column >= Columns || row >= Columns)
        return -1;
    return row * Columns + column;
}

QRgb MiniPalette::colour(int index)
{
    return index >= 0 && index < 16 ? PaletteColours[index] : qRgb(0, 0, 0);
}

// DrawMiniPalette: every cell filled with its colour, then its edge.
void MiniPalette::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int n = 0; n < 16; ++n) {
        const QRect cell = cellRect(n);
        painter.fillRect(cell, QColor(PaletteColours[n]));
        sunkenEdge(painter, cell);
    }
    paintFocusCell(painter);
}

void MiniPalette::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->button(), event->position().toPoint());
}
