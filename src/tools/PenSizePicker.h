#pragma once
#include <QWidget>

// The pen width picker picPenSize: three sample strokes (1, 4 and 6 pixels
// wide) with the chosen one's band shown inverted. A press anywhere reports
// its position; the window decides the width from it.
class PenSizePicker : public QWidget
{
    Q_OBJECT
public:
    explicit PenSizePicker(QWidget* parent = nullptr);

    // The highlighted band: 0 (width 1), 1 (width 4) or 2 (width 6).
    void setBand(int band);
    int band() const { return m_band; }

    // The width the band of a press's Y stands for: Y <= 20 gives 1,
    // Y <= 40 gives 4, anything lower 6.
    static int widthForY(int y);
    static int bandForWidth(int width);

signals:
    void pressed(Qt::MouseButton button, const QPoint& at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int m_band = 0;
};
