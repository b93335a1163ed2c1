#include "tools/FigureTool.h"

#include "document/ImageDocument.h"

namespace snaplorn {

QRegion FigureTool::bandRegion() const
{
    const DragFields& drag = m_context.drag;
    return figureOutlineRegion(m_band, drag.start(), drag.last(), m_context.miPenWidth);
}

QRegion FigureTool::move(QPointF point, Qt::MouseButtons)
{
    if (!m_dragging)
        return {};
    const QRegion before = bandRegion();
    m_context.drag.setLast(point);
    return before + bandRegion();
}

QRegion FigureTool::cancel()
{
    const QRegion band = m_dragging ? bandRegion() : QRegion();
    m_dragging = false;
    return band;
}

QRegion FigureTool::release(QPointF point, Qt::MouseButtons)
{
    const QRegion band = cancel();
    if (m_finish == BandOnly)
        return band;
    ImageDocument& document = m_context.document;
    const QPointF start = m_context.drag.start();
    const QRgb colour = fromColorRef(m_context.mlCurrColor);
    const int width = m_context.miPenWidth;
    QImage& image = document.canvasForEdit();
    QRect touched = drawFigure(image, m_final, start, point, colour, width);
    if (m_finish == Arrowed)
        touched |=
            DrawArrowHead(image, float(point.x()), float(point.y()), float(start.x() - point.x()),
                          float(start.y() - point.y()), colour, width);
    document.canvasEdited(touched);
    return band + touched;
}

void FigureTool::paintPreview(QPainter& painter) const
{
    if (!m_dragging)
        return;
    const DragFields& drag = m_context.drag;
    paintInvertedFigure(painter, m_band, drag.start(), drag.last(), m_context.miPenWidth);
}

QString FigureTool::sizeText(QPointF point) const
{
    return dragSizeText(m_context.drag.start(), point);
}

} // namespace snaplorn
