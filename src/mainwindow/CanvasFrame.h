#pragma once
#include <QPointer>
#include <QWidget>

namespace snaplorn {
class ImageDocument;
}

// The canvas frame picSelImageFrame: the grey ground around the canvas, with
// the resize handles just past the canvas's right edge, below its bottom edge
// and at its bottom-right corner. Dragging a handle shows guide lines over
// the frame and the prospective size; releasing asks for the new size.
// Positions and sizes are image pixels measured from the canvas's top-left
// corner, so the handles stay on the canvas's edges on any screen scale.
class CanvasFrame : public QWidget
{
    Q_OBJECT
public:
    // miFrameDragMode values; they are also the resize pointers' numbers.
    enum Handle { NoHandle = 0, RightEdge = 23, BottomEdge = 24, Corner = 25 };

    explicit CanvasFrame(QWidget* parent = nullptr);

    // The document whose canvas size the handles follow, and the canvas
    // widget (a child of this frame) that shows it.
    void attach(const snaplorn::ImageDocument* document, QWidget* canvas);

    int frameDragMode() const { return miFrameDragMode; }
    // Position of the guide lines last drawn (image pixels).
    QPoint guidePosition() const { return {miGuideX, miGuideY}; }
    bool guidesShown() const { return m_guidesShown; }
    // Back to the normal pointer (the canvas does this when the pointer
    // moves onto it).
    void clearHandleCursor();

signals:
    // Left click on the free frame area: finishes a pending paste or text.
    void clicked();
    // Right button pressed: the pop-up menu belongs at this screen point.
    void popupRequested(const QPoint& globalPos);
    // "X = ..., Y = ..." while a handle is dragged.
    void statusTextChanged(const QString& text);
    // A handle was released at a size of at least 1 x 1 pixels.
    void resizeRequested(int width, int height);
    // The frame's own size changed (the scroll ranges depend on it).
    void resized();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPoint toImagePixels(const QPointF& framePosition) const;
    QPointF toFrame(int x, int y) const;
    QSize canvasSize() const;
    void decideHandle(const QPoint& at);
    void dragGuides(const QPoint& at);
    void releaseHandle(const QPoint& at);
    bool fromCanvasOrigin(const QPoint& at, QSize& size) const;

    QPointer<const snaplorn::ImageDocument> m_document;
    QPointer<QWidget> m_canvas;
    int miFrameDragMode = NoHandle;
    int miGuideX = 0;
    int miGuideY = 0;
    bool m_guidesShown = false;
};
