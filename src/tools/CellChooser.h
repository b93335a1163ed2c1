#pragma once
#include <QWidget>

class QPainter;

// A control made of cells it paints itself (the palette's colours, the pen
// widths), each a choice. From the keyboard the arrow keys move between the
// cells and Space or Enter chooses one; assistive tools see a list of named
// items that can be pressed. Choosing a cell reports a left press in its
// middle, exactly as a click there does.
class CellChooser : public QWidget
{
    Q_OBJECT
public:
    int cellCount() const { return m_count; }
    virtual QRect cellRect(int index) const = 0;
    virtual QString cellName(int index) const = 0;
    // The cell shown as chosen, or -1.
    virtual int chosenCell() const { return -1; }
    // The cell the arrow keys are on.
    int focusedCell() const { return m_focused; }
    void chooseCell(int index);

signals:
    void pressed(Qt::MouseButton button, const QPoint& at);

protected:
    CellChooser(int count, int columns, QWidget* parent);
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // The focus frame around the focused cell, while the control has focus.
    void paintFocusCell(QPainter& painter) const;

private:
    void moveFocus(int index);

    int m_count;
    int m_columns;
    int m_focused = 0;
};
