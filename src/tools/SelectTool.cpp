#include "tools/SelectTool.h"

#include "document/ImageDocument.h"

#include <algorithm>

namespace snaplorn {

QPointF clampToCanvas(QPointF point, QSize canvas)
{
    // The band stops at the last column and row, and at the first ones too,
    // so a selection never reaches outside the image.
    const double x = std::clamp(point.x(), 0.0, double(std::max(0, canvas.width() - 1)));
    const double y = std::clamp(point.y(), 0.0, double(std::max(0, canvas.height() - 1)));
    return {x, y};
}

void paintSelectionOutline(QPainter& painter, const DragFields& drag)
{
    paintInvertedFigure(painter, Figure::Box, drag.start(), drag.last(), 1, Qt::DotLine);
}

QRegion selectionOutlineRegion(const DragFields& drag)
{
    return figureOutlineRegion(Figure::Box, drag.start(), drag.last(), 1);
}

QRegion SelectTool::move(QPointF point, Qt::MouseButtons)
{
    if (!m_dragging)
        return {};
    DragFields& drag = m_context.drag;
    const QRegion before = selectionOutlineRegion(drag);
    drag.setLast(clampToCanvas(point, m_context.document.canvas().size()));
    return before + selectionOutlineRegion(drag);
}

QRegion SelectTool::cancel()
{
    const QRegion band = m_dragging ? selectionOutlineRegion(m_context.drag) : QRegion();
    m_dragging = false;
    return band;
}

void SelectTool::paintPreview(QPainter& painter) const
{
    if (m_dragging)
        paintSelectionOutline(painter, m_context.drag);
}

QString SelectTool::sizeText(QPointF point) const
{
    return dragSizeText(m_context.drag.start(), point);
}

} // namespace snaplorn
