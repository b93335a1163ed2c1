#include "tools/PenSizePicker.h"

#include "base/Texts.h"

#include <QMouseEvent>
#include <QPainter>

PenSizePicker::PenSizePicker(QWidget* parent) : CellChooser(3, 1, parent)
{
    setObjectName(QStringLiteral("picPenSize"));
    setAccessibleName(QString::fromUtf8(snaplorn::texts::PenWidthLabel));
    setFixedSize(64, 64);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

// The bands of the three widths, 20 pixels high from the top.
QRect PenSizePicker::cellRect(int index) const
{
    return QRect(0, 20 * index, width(), 20);
}

QString PenSizePicker::cellName(int index) const
{
    return index >= 0 && index < 3 ? QString::fromUtf8(snaplorn::texts::PenWidthNames[index])
                                   : QString();
}

void PenSizePicker::setBand(int band)
{
    m_band = qBound(0, band, 2);
    update();
}

int PenSizePicker::widthForY(int y)
{
    if (y <= 20)
        return 1;
    if (y <= 40)
        return 4;
    return 6;
}

int PenSizePicker::bandForWidth(int width)
{
    return width >= 6 ? 2 : width >= 4 ? 1 : 0;
}

void PenSizePicker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QColor ink = isEnabled() ? palette().color(QPalette::WindowText)
                                   : palette().color(QPalette::Disabled, QPalette::WindowText);
    const int widths[] = {1, 4, 6};
    for (int i = 0; i < 3; ++i) {
        painter.setPen(QPen(ink, widths[i], Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(10, 10 + 20 * i, 50, 10 + 20 * i);
    }
    // The chosen band, 20 pixels high, inverted; the box is drawn with a
    // 6-pixel pen, so it reaches 3 pixels beyond the band on each side.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(QRect(-3, 20 * m_band - 3, 77, 27), Qt::white);
    paintFocusCell(painter);
}

void PenSizePicker::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->button(), event->position().toPoint());
}

void PenSizePicker::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}
