#include "tools/PastePicture.h"

#include "tools/Tool.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>

PastePicture::PastePicture(QWidget* canvas, QWidget* dropArea)
    : QWidget(canvas), m_dropArea(dropArea)
{
    setObjectName(QStringLiteral("picPaste"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::SizeAllCursor);
    hide();
}

void PastePicture::setPicture(const QImage& picture)
{
    m_picture = picture.convertToFormat(QImage::Format_RGB32);
    const qreal ratio = devicePixelRatioF();
    resize(qRound(m_picture.width() / ratio), qRound(m_picture.height() / ratio));
    update();
}

void PastePicture::clearPicture()
{
    m_picture = QImage();
    resize(0, 0);
}

void PastePicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QImage shown = m_picture;
    shown.setDevicePixelRatio(devicePixelRatioF());
    painter.drawImage(QPointF(0, 0), shown);
    // The marking frame: a 6-pixel inverted box on the picture's edges.
    const QSizeF size = m_picture.deviceIndependentSize();
    snaplorn::paintInvertedFigure(painter, snaplorn::Figure::Box, QPointF(0, 0),
                                  QPointF(size.width(), size.height()), 6);
}

void PastePicture::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_dragOrigin = pos();
    const qreal ratio = devicePixelRatioF();
    msngDragX = float(event->position().x() * ratio);
    msngDragY = float(event->position().y() * ratio);
}

void PastePicture::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging || event->buttons() != Qt::LeftButton)
        return;
    // The grab point stays under the pointer.
    const qreal ratio = devicePixelRatioF();
    const QPointF grab(msngDragX / ratio, msngDragY / ratio);
    move(mapToParent(event->position() - grab).toPoint());
}

void PastePicture::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    // Dropped outside the canvas frame (toolbox, status bar, another
    // window): the picture stays where it was.
    const QPoint global = event->globalPosition().toPoint();
    if (m_dropArea && !m_dropArea->rect().contains(m_dropArea->mapFromGlobal(global)))
        move(m_dragOrigin);
}

void PastePicture::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    // Switching to another program or opening a menu is no focus loss
    // inside the window.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    emit lostFocus();
}
