#pragma once
#include <QLabel>

// One panel of the status bar; any click on it is reported.
class StatusPanel : public QLabel
{
    Q_OBJECT
public:
    StatusPanel(int index, QWidget* parent = nullptr);
    int index() const { return m_index; }

signals:
    void clicked(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    int m_index;
};
