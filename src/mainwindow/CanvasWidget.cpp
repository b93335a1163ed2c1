#include "mainwindow/CanvasWidget.h"

#include "document/ImageDocument.h"

#include <QPaintEvent>
#include <QPainter>

CanvasWidget::CanvasWidget(snaplorn::ImageDocument& document, QWidget* parent)
    : QWidget(parent), m_document(document)
{
    setObjectName(QStringLiteral("picSelImage"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setAcceptDrops(true);
    connect(&m_document, &snaplorn::ImageDocument::canvasChanged, this, [this] {
        followDocumentSize();
        update();
    });
    followDocumentSize();
}

void CanvasWidget::setOverlayPainter(std::function<void(QPainter&)> painter)
{
    m_overlay = std::move(painter);
    update();
}

void CanvasWidget::followDocumentSize()
{
    // One image pixel is one device pixel, whatever the screen's scale.
    const qreal ratio = devicePixelRatioF();
    const QSize size(qRound(m_document.width() / ratio), qRound(m_document.height() / ratio));
    if (size != this->size())
        resize(size);
}

void CanvasWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QImage& image = m_document.canvas();
    if (!image.isNull()) {
        const qreal ratio = devicePixelRatioF();
        if (qFuzzyCompare(ratio, 1.0)) {
            painter.drawImage(event->rect().topLeft(), image, event->rect());
        } else {
            QImage view = image;
            view.setDevicePixelRatio(ratio);
            painter.drawImage(QPointF(0, 0), view);
        }
    }
    if (m_overlay)
        m_overlay(painter);
}
