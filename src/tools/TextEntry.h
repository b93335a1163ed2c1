#pragma once
#include <QPlainTextEdit>

// The text tool's edit box txtText: several lines of typing in a box placed
// on the canvas. Leaving it, or pressing Esc, hands the text over to be
// drawn.
class TextEntry : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TextEntry(QWidget* canvas);

signals:
    // Esc, or the focus went to another control of this window.
    void finished();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
