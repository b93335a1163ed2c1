#include "tools/Tool.h"

#include "base/Texts.h"
#include "tools/FigureTool.h"
#include "tools/SelectTool.h"
#include "tools/StrokeTool.h"

#include <QPainter>

#include <cmath>

namespace snaplorn {

void DragFields::setStart(QPointF p)
{
    msngStartX = float(p.x());
    msngStartY = float(p.y());
}

void DragFields::setLast(QPointF p)
{
    msngLastX = float(p.x());
    msngLastY = float(p.y());
}

Tool::~Tool() = default;

void Tool::press(QPointF, Qt::MouseButtons)
{
    m_dragging = true;
    m_changedImage = false;
}

QRegion Tool::move(QPointF, Qt::MouseButtons)
{
    return {};
}

QRegion Tool::release(QPointF, Qt::MouseButtons)
{
    return cancel();
}

QRegion Tool::cancel()
{
    m_dragging = false;
    return {};
}

void Tool::paintPreview(QPainter&) const {}

QString Tool::sizeText(QPointF) const
{
    return QString();
}

namespace {

using Factory = std::unique_ptr<Tool> (*)(ToolContext&);

template <typename T, auto... Args> std::unique_ptr<Tool> make(ToolContext& context)
{
    return std::make_unique<T>(context, Args...);
}

// The tools by button number.
constexpr Factory ToolTable[ToolCount] = {
    &make<StrokeTool, StrokeTool::Pencil>,
    &make<StrokeTool, StrokeTool::Eraser>,
    &make<FigureTool, Figure::Box, Figure::Box, FigureTool::Plain>,
    &make<FigureTool, Figure::Ellipse, Figure::Ellipse, FigureTool::Plain>,
    &make<FigureTool, Figure::Box, Figure::SolidBox, FigureTool::Plain>,
    &make<FigureTool, Figure::Ellipse, Figure::SolidEllipse, FigureTool::Plain>,
    &make<FigureTool, Figure::Segment, Figure::Segment, FigureTool::Plain>,
    &make<FigureTool, Figure::Segment, Figure::Segment, FigureTool::Arrowed>,
    &make<FigureTool, Figure::Box, Figure::Box, FigureTool::BandOnly>,
    &make<Tool>,
    &make<SelectTool>,
    &make<Tool>,
};

} // namespace

std::unique_ptr<Tool> createTool(int toolNumber, ToolContext& context)
{
    if (toolNumber < 0 || toolNumber >= ToolCount)
        return nullptr;
    return ToolTable[toolNumber](context);
}

QString statusNumber(double value)
{
    if (value == std::floor(value) && std::abs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 7);
}

QString positionText(QPointF point)
{
    return QLatin1String(texts::PositionX) + statusNumber(point.x()) +
           QLatin1String(texts::PositionY) + statusNumber(point.y());
}

QString dragSizeText(QPointF start, QPointF point)
{
    return statusNumber(std::abs(start.x() - point.x())) + QLatin1Char('x') +
           statusNumber(std::abs(start.y() - point.y()));
}

void paintInvertedFigure(QPainter& painter, Figure figure, QPointF a, QPointF b, int width,
                         Qt::PenStyle style)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    // A solid box band is filled as its few rectangles, much cheaper than
    // rasterising a large outline on every move.
    const QRegion box =
        figure == Figure::Box && style == Qt::SolidLine ? boxOutlinePixels(a, b, width) : QRegion();
    if (!box.isEmpty()) {
        for (const QRect& part : box)
            painter.fillRect(part, Qt::white);
    } else {
        painter.setPen(figurePen(Qt::white, width, style));
        paintFigure(painter, figure, a, b);
    }
    painter.restore();
}

} // namespace snaplorn
