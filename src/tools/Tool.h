#pragma once
#include "tools/ColorText.h"
#include "tools/raster.h"

#include <QPointF>
#include <QRegion>
#include <QString>

#include <memory>

class QPainter;

namespace snaplorn {

class ImageDocument;

// The tools of the toolbox, by the number of their button.
enum ToolKind : qint16 {
    toolPencil = 0,
    toolEraser = 1,
    toolRectangle = 2,
    toolEllipse = 3,
    toolSolidRect = 4,
    toolSolidEllipse = 5,
    toolLine = 6,
    toolArrow = 7,
    toolText = 8,
    toolPointer = 9,
    toolSelect = 10,
    toolPickColor = 11,
};
constexpr int ToolCount = 12;

// The press point of the last canvas drag and the end of its last rubber
// band, in canvas pixels. While a selection is shown they are its corners.
struct DragFields {
    float msngStartX = 0;
    float msngStartY = 0;
    float msngLastX = 0;
    float msngLastY = 0;

    QPointF start() const { return {msngStartX, msngStartY}; }
    QPointF last() const { return {msngLastX, msngLastY}; }
    void setStart(QPointF p);
    void setLast(QPointF p);
};

// What every tool reads: the document it draws into, the drag fields and
// the toolbox's current pen width and colour.
struct ToolContext {
    ImageDocument& document;
    DragFields& drag;
    const qint16& miPenWidth;
    const ColorRef& mlCurrColor;
};

// A canvas tool. The toolbox runs the steps every tool shares (read-outs,
// unsaved flag, undo snapshot, selection commands) and hands the drag to the
// tool: a left press, moves with the left button alone, the release. Each
// step returns the canvas area whose look changed, so only that is
// repainted. Rubber bands are previews painted over the canvas, never
// written into the image. The base class is the tool that does nothing on
// the canvas (mouse pointer, pick colour).
class Tool
{
public:
    explicit Tool(ToolContext& context) : m_context(context) {}
    virtual ~Tool();

    virtual void press(QPointF point, Qt::MouseButtons buttons);
    virtual QRegion move(QPointF point, Qt::MouseButtons buttons);
    virtual QRegion release(QPointF point, Qt::MouseButtons buttons);
    // Ends a drag without finishing it (a release where it began): removes
    // the preview, returns its area.
    virtual QRegion cancel();
    virtual void paintPreview(QPainter& painter) const;
    // Panel 3 during a move: the drag's size ("120x45"), or empty.
    virtual QString sizeText(QPointF point) const;

    bool dragging() const { return m_dragging; }
    // The drag has already changed pixels before its release (pencil, eraser).
    bool changedImage() const { return m_changedImage; }

protected:
    ToolContext& m_context;
    bool m_dragging = false;
    bool m_changedImage = false;
};

// Builds the tool of a toolbox button (0 to 11).
std::unique_ptr<Tool> createTool(int toolNumber, ToolContext& context);

// Status-bar texts of the canvas: numbers are the shortest decimal text of
// the value, whole numbers without a decimal point.
QString statusNumber(double value);
QString positionText(QPointF point);
QString dragSizeText(QPointF start, QPointF point);

// Paints a figure over the canvas in the inverted look of a rubber band:
// every pixel the pen covers shows its colour inverted.
void paintInvertedFigure(QPainter& painter, Figure figure, QPointF a, QPointF b, int width,
                         Qt::PenStyle style = Qt::SolidLine);

} // namespace snaplorn
