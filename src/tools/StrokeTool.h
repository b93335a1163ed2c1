#pragma once
#include "tools/Tool.h"

namespace snaplorn {

// Freehand strokes drawn straight into the image: each move draws the
// segment from the last position to the pointer. The pencil uses the
// current colour and width; the eraser paints white 10 pixels wide whatever
// width is chosen, and leaves the chosen width as it was.
class StrokeTool : public Tool
{
public:
    enum Kind { Pencil, Eraser };
    StrokeTool(ToolContext& context, Kind kind) : Tool(context), m_kind(kind) {}

    QRegion move(QPointF point, Qt::MouseButtons buttons) override;

    static constexpr int EraserWidth = 10;

private:
    Kind m_kind;
};

} // namespace snaplorn
