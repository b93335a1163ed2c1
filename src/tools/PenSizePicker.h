#pragma once
#include "tools/CellChooser.h"

// The pen width picker picPenSize: three sample strokes (1, 4 and 6 pixels
// wide) with the chosen one's band shown inverted. A press anywhere reports
// its position; the toolbox decides the width from it.
class PenSizePicker : public CellChooser
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

    QRect cellRect(int index) const override;
    QString cellName(int index) const override;
    int chosenCell() const override { return m_band; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int m_band = 0;
};
