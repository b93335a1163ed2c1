#include "mainwindow/StatusPanel.h"

#include <QMouseEvent>

StatusPanel::StatusPanel(int index, QWidget* parent) : QLabel(parent), m_index(index)
{
    setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(index));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setTextFormat(Qt::PlainText);
}

void StatusPanel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    emit clicked(m_index);
}
