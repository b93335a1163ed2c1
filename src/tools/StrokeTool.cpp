#include "tools/StrokeTool.h"

#include "document/ImageDocument.h"

namespace snaplorn {

QRegion StrokeTool::move(QPointF point, Qt::MouseButtons)
{
    if (!m_dragging)
        return {};
    const bool eraser = m_kind == Eraser;
    const QRgb colour = eraser ? qRgb(255, 255, 255) : fromColorRef(m_context.mlCurrColor);
    const int width = eraser ? EraserWidth : m_context.miPenWidth;
    ImageDocument& document = m_context.document;
    const QRect touched = drawFigure(document.canvasForEdit(), Figure::Segment,
                                     m_context.drag.last(), point, colour, width);
    m_context.drag.setLast(point);
    m_changedImage = true;
    document.canvasEdited(touched);
    return QRegion(touched);
}

} // namespace snaplorn
