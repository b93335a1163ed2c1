#pragma once
#include <QWidget>

#include <functional>

namespace snaplorn {
class ImageDocument;
}

// The canvas picSelImage: shows the document's canvas picture one image
// pixel to one device pixel, and paints the interactive previews (rubber
// bands, selection outline, paste frame) over it without touching the image.
class CanvasWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CanvasWidget(snaplorn::ImageDocument& document, QWidget* parent = nullptr);

    // Painter for previews drawn over the image; called after the image.
    void setOverlayPainter(std::function<void(QPainter&)> painter);
    // Takes the document canvas's size (in device-independent pixels).
    void followDocumentSize();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    snaplorn::ImageDocument& m_document;
    std::function<void(QPainter&)> m_overlay;
};
