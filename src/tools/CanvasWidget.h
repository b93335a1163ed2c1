#pragma once
#include <QRegion>
#include <QWidget>

#include <functional>

namespace snaplorn {
class ImageDocument;
}

// The canvas picSelImage: shows the document's canvas picture one image
// pixel to one device pixel, and paints the interactive previews (rubber
// bands, selection outline) over it without touching the image. Mouse
// presses, moves and releases are reported in image pixels; moves are
// reported with no button held too, for the read-outs.
class CanvasWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CanvasWidget(snaplorn::ImageDocument& document, QWidget* parent = nullptr);

    // Painter for previews drawn over the image; called after the image,
    // clipped to the area being repainted.
    void setOverlayPainter(std::function<void(QPainter&)> painter);
    // Takes the document canvas's size (in device-independent pixels).
    void followDocumentSize();

    // Repaints only the given image pixels.
    void updateImageArea(const QRegion& imageArea);
    // Image pixels <-> this widget's coordinates.
    QPointF toImage(const QPointF& widgetPosition) const;
    QPoint toWidget(const QPointF& imagePoint) const;

signals:
    // button: the one pressed or released; buttons: those held afterwards.
    void mousePressed(Qt::MouseButton button, Qt::MouseButtons buttons, const QPointF& point);
    void mouseMoved(Qt::MouseButtons buttons, const QPointF& point);
    void mouseReleased(Qt::MouseButton button, Qt::MouseButtons buttons, const QPointF& point);
    // The window went to a screen of another scale: the canvas took its new
    // size, and whatever is counted in image pixels around it (scroll
    // ranges) must be counted again.
    void scaleChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    snaplorn::ImageDocument& m_document;
    std::function<void(QPainter&)> m_overlay;
    qreal m_ratio = 1.0; // the device pixel ratio the size was taken at
};
