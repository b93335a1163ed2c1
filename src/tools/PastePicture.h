#pragma once
#include <QImage>
#include <QPointer>
#include <QWidget>

// The floating picture picPaste: a pasted picture above the canvas (a child
// of it, positioned in canvas pixels) that the user drags into place before
// it is stamped into the image. It shows its own picture with an inverted
// 6-pixel frame, which is only painted over it and never part of the
// picture. The user drags it by the point where it was grabbed; released
// outside the canvas frame it goes back to where the drag began.
class PastePicture : public QWidget
{
    Q_OBJECT
public:
    PastePicture(QWidget* canvas, QWidget* dropArea);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    void clearPicture();

    // The grab point of the last drag, in the picture's pixels.
    float msngDragX = 0;
    float msngDragY = 0;

signals:
    // The picture lost the focus to another control of this window.
    void lostFocus();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QImage m_picture;
    QPointer<QWidget> m_dropArea;
    QPoint m_dragOrigin;
    bool m_dragging = false;
};
