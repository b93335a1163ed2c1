#include "tools/CanvasWidget.h"

#include "base/Texts.h"

#include "document/ImageDocument.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

CanvasWidget::CanvasWidget(snaplorn::ImageDocument& document, QWidget* parent)
    : QWidget(parent), m_document(document)
{
    setObjectName(QStringLiteral("picSelImage"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setAccessibleName(QString::fromUtf8(snaplorn::texts::CanvasName));
    setAcceptDrops(true);
    setMouseTracking(true);
    connect(&m_document, &snaplorn::ImageDocument::canvasChanged, this, [this] {
        followDocumentSize();
        update();
    });
    connect(&m_document, &snaplorn::ImageDocument::canvasAreaChanged, this,
            [this](const QRect& area) { updateImageArea(area); });
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
    m_ratio = ratio;
    const QSize size(qRound(m_document.width() / ratio), qRound(m_document.height() / ratio));
    if (size != this->size())
        resize(size);
}

// Moved with its window to a screen of another scale, the canvas keeps one
// image pixel per device pixel: the same picture now covers another number
// of device-independent pixels.
bool CanvasWidget::event(QEvent* event)
{
    if (event->type() == QEvent::ScreenChangeInternal &&
        !qFuzzyCompare(devicePixelRatioF(), m_ratio)) {
        followDocumentSize();
        update();
        emit scaleChanged();
    }
    return QWidget::event(event);
}

void CanvasWidget::updateImageArea(const QRegion& imageArea)
{
    const qreal ratio = devicePixelRatioF();
    if (qFuzzyCompare(ratio, 1.0)) {
        update(imageArea);
        return;
    }
    QRegion area;
    for (const QRect& r : imageArea)
        area += QRectF(r.x() / ratio, r.y() / ratio, r.width() / ratio, r.height() / ratio)
                    .toAlignedRect();
    update(area);
}

QPointF CanvasWidget::toImage(const QPointF& widgetPosition) const
{
    const qreal ratio = devicePixelRatioF();
    return {std::floor(widgetPosition.x() * ratio), std::floor(widgetPosition.y() * ratio)};
}

QPoint CanvasWidget::toWidget(const QPointF& imagePoint) const
{
    const qreal ratio = devicePixelRatioF();
    return QPointF(imagePoint.x() / ratio, imagePoint.y() / ratio).toPoint();
}

void CanvasWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QImage& image = m_document.canvas();
    if (!image.isNull()) {
        const qreal ratio = devicePixelRatioF();
        if (qFuzzyCompare(ratio, 1.0)) {
            // Only the parts asked for: a moving rubber band repaints a few
            // strips, not the whole picture. A plain rectangle clip per part
            // spares the painter the slow test against the whole region.
            for (const QRect& r : event->region()) {
                painter.setClipRect(r);
                painter.drawImage(r.topLeft(), image, r);
            }
            painter.setClipping(false);
        } else {
            QImage view = image;
            view.setDevicePixelRatio(ratio);
            painter.drawImage(QPointF(0, 0), view);
        }
    }
    if (m_overlay) {
        // Previews are drawn in image pixels.
        const qreal ratio = devicePixelRatioF();
        painter.scale(1 / ratio, 1 / ratio);
        m_overlay(painter);
    }
}

void CanvasWidget::mousePressEvent(QMouseEvent* event)
{
    emit mousePressed(event->button(), event->buttons(), toImage(event->position()));
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved(event->buttons(), toImage(event->position()));
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseReleased(event->button(), event->buttons(), toImage(event->position()));
}
