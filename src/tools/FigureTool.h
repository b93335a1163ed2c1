#pragma once
#include "tools/Tool.h"

namespace snaplorn {

// Tools that drag out a figure between the press point and the pointer:
// while dragging, an inverted rubber band of the figure's outline follows
// the pointer; the release draws the final figure into the image in the
// current colour (rectangles, ellipses, their solid forms, lines and arrows),
// or only removes the band (the text tool, whose release places the text
// box).
class FigureTool : public Tool
{
public:
    enum Finish { Plain, Arrowed, BandOnly };
    FigureTool(ToolContext& context, Figure band, Figure final, Finish finish)
        : Tool(context), m_band(band), m_final(final), m_finish(finish)
    {
    }

    QRegion move(QPointF point, Qt::MouseButtons buttons) override;
    QRegion release(QPointF point, Qt::MouseButtons buttons) override;
    QRegion cancel() override;
    void paintPreview(QPainter& painter) const override;
    QString sizeText(QPointF point) const override;

private:
    QRegion bandRegion() const;

    Figure m_band;
    Figure m_final;
    Finish m_finish;
};

} // namespace snaplorn
