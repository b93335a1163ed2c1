#include "mainwindow/CanvasFrame.h"

#include "base/Texts.h"
#include "document/ImageDocument.h"
#include "document/Resample.h"
#include "mainwindow/ResizeCursors.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <cstdlib>

using snaplorn::roundHalfToEven;

namespace {

// The handles are this many pixels deep; the edges' zones stop this far
// short of the corner.
constexpr int Reach = 5;
constexpr int CornerClearance = 10;

QPoint rounded(const QPointF& point)
{
    return QPoint(int(roundHalfToEven(point.x())), int(roundHalfToEven(point.y())));
}

// Frame position -> image pixels from the canvas's top-left corner, exact.
QPointF imagePosition(const QWidget* frame, const QWidget* canvas, const QPointF& at)
{
    const QPointF origin = canvas ? QPointF(canvas->pos()) : QPointF();
    return (at - origin) * frame->devicePixelRatioF();
}

} // namespace

CanvasFrame::CanvasFrame(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picSelImageFrame"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    setPalette(pal);
    setAcceptDrops(true);
    // Hovering decides the handle, so moves arrive without a button too.
    setMouseTracking(true);
}

void CanvasFrame::attach(const snaplorn::ImageDocument* document, QWidget* canvas)
{
    m_document = document;
    if (m_canvas)
        m_canvas->removeEventFilter(this);
    m_canvas = canvas;
    if (m_canvas)
        m_canvas->installEventFilter(this);
}

void CanvasFrame::clearHandleCursor()
{
    unsetCursor();
}

QSize CanvasFrame::canvasSize() const
{
    return m_document ? QSize(m_document->width(), m_document->height()) : QSize();
}

QPoint CanvasFrame::toImagePixels(const QPointF& framePosition) const
{
    return rounded(imagePosition(this, m_canvas, framePosition));
}

QPointF CanvasFrame::toFrame(int x, int y) const
{
    const QPointF origin = m_canvas ? QPointF(m_canvas->pos()) : QPointF();
    return origin + QPointF(x, y) / devicePixelRatioF();
}

// ---- mouse -----------------------------------------------------------------

void CanvasFrame::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = toImagePixels(event->position());
    miGuideX = at.x();
    miGuideY = at.y();
    if (event->button() == Qt::RightButton)
        emit popupRequested(event->globalPosition().toPoint());
}

void CanvasFrame::mouseMoveEvent(QMouseEvent* event)
{
    const QSize size = canvasSize();
    if (size.width() < Reach || size.height() < Reach) {
        // Too small to grab: no handles, and a drag does nothing.
        miFrameDragMode = NoHandle;
        clearHandleCursor();
        return;
    }
    const QPoint at = toImagePixels(event->position());
    if (event->buttons() == Qt::NoButton)
        decideHandle(at);
    else if (event->buttons() == Qt::LeftButton)
        dragGuides(at);
}

void CanvasFrame::decideHandle(const QPoint& at)
{
    const QSize size = canvasSize();
    const int w = size.width();
    const int h = size.height();
    int handle = NoHandle;
    // Later tests override earlier ones. The right edge's X test is one-sided:
    // every point left of the edge's zone passes it (such points are on the
    // canvas unless the canvas is scrolled).
    if (at.x() - w < Reach && at.y() < h - CornerClearance)
        handle = RightEdge;
    if (std::abs(at.y() - h) < Reach && at.x() < w - CornerClearance)
        handle = BottomEdge;
    if (std::abs(at.x() - w) < Reach && std::abs(at.y() - h) < Reach)
        handle = Corner;
    miFrameDragMode = handle;
    if (handle == NoHandle)
        clearHandleCursor();
    else
        setCursor(resizeCursor(handle));
}

void CanvasFrame::dragGuides(const QPoint& at)
{
    const QSize size = canvasSize();
    int width = size.width();
    int height = size.height();
    switch (miFrameDragMode) {
    case RightEdge:
        width = at.x();
        break;
    case BottomEdge:
        height = at.y();
        break;
    case Corner:
        width = at.x();
        height = at.y();
        break;
    default:
        clearHandleCursor();
        return;
    }
    miGuideX = at.x();
    miGuideY = at.y();
    m_guidesShown = true;
    update();
    emit statusTextChanged(
        QString::fromLatin1(snaplorn::texts::FrameSizeStatus).arg(width).arg(height));
}

// The new size from a release position; false when the position lies left
// of or above the canvas origin, which is taken as a slip of the mouse
// rather than a wish for an image without pixels.
bool CanvasFrame::fromCanvasOrigin(const QPoint& at, QSize& size) const
{
    switch (miFrameDragMode) {
    case RightEdge:
        size.setWidth(at.x());
        break;
    case BottomEdge:
        size.setHeight(at.y());
        break;
    case Corner:
        size = QSize(at.x(), at.y());
        break;
    default:
        return false;
    }
    return size.width() > 0 && size.height() > 0;
}

void CanvasFrame::releaseHandle(const QPoint& at)
{
    QSize size = canvasSize();
    if (fromCanvasOrigin(at, size))
        emit resizeRequested(size.width(), size.height());
}

void CanvasFrame::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF exact = imagePosition(this, m_canvas, event->position());
    // A position just right of or below the origin (less than half a pixel
    // on a scaled screen) still gives a 1-pixel side.
    const QPoint at(exact.x() > 0 ? std::max(1, int(roundHalfToEven(exact.x()))) : 0,
                    exact.y() > 0 ? std::max(1, int(roundHalfToEven(exact.y()))) : 0);
    m_guidesShown = false;
    update();
    // The right button's release belongs to the pop-up menu it opened.
    if (event->button() != Qt::RightButton)
        releaseHandle(at);
    clearHandleCursor();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

bool CanvasFrame::eventFilter(QObject* watched, QEvent* event)
{
    // Over the canvas the frame's resize pointer must not show through.
    if (watched == m_canvas && event->type() == QEvent::Enter)
        clearHandleCursor();
    return QWidget::eventFilter(watched, event);
}

// ---- painting ----------------------------------------------------------------

void CanvasFrame::paintEvent(QPaintEvent*)
{
    if (!m_guidesShown)
        return;
    const QSize size = canvasSize();
    const int w = size.width();
    const int h = size.height();
    const int x = miGuideX;
    const int y = miGuideY;
    // The guides are drawn on the frame only; the canvas, lying on top,
    // hides the parts over the image, so the image itself is never touched.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(palette().color(QPalette::ButtonText), 0));
    auto line = [&](int x1, int y1, int x2, int y2) {
        painter.drawLine(toFrame(x1, y1), toFrame(x2, y2));
    };
    switch (miFrameDragMode) {
    case RightEdge:
        line(0, h, x, h);
        line(x, 0, x, h);
        break;
    case BottomEdge:
        line(w, 0, w, y);
        line(0, y, w, y);
        break;
    case Corner:
        line(0, y, x, y);
        line(x, 0, x, y);
        break;
    default:
        break;
    }
}

void CanvasFrame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    emit resized();
}
