#pragma once
#include "tools/Tool.h"

namespace snaplorn {

// The Select tool's drag: a dotted inverted band from the press point to
// the pointer, kept inside the canvas (a pointer beyond an edge stops the
// band at the last column or row, while the size text still shows the full
// pointer distance). The release itself changes nothing; the window turns
// the band into the shown selection.
class SelectTool : public Tool
{
public:
    using Tool::Tool;

    QRegion move(QPointF point, Qt::MouseButtons buttons) override;
    QRegion cancel() override;
    void paintPreview(QPainter& painter) const override;
    QString sizeText(QPointF point) const override;
};

// The selection outline: the dotted inverted box between the drag fields.
void paintSelectionOutline(QPainter& painter, const DragFields& drag);
QRegion selectionOutlineRegion(const DragFields& drag);
// The point kept inside a canvas of the given size.
QPointF clampToCanvas(QPointF point, QSize canvas);

} // namespace snaplorn
