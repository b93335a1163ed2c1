#pragma once
#include "tools/CellChooser.h"

#include <QRgb>

// The mini palette PicMiniPal: sixteen colour cells of 20 x 20 pixels in a
// 4 x 4 grid, each with a sunken edge. A press reports its button and
// position; the toolbox picks the colour.
class MiniPalette : public CellChooser
{
    Q_OBJECT
public:
    explicit MiniPalette(QWidget* parent = nullptr);

    static constexpr int CellSize = 20;
    static constexpr int Columns = 4;
    // Colour number index (row x 4 + column, from the top left), or -1.
    static int indexAt(const QPoint& at);
    static QRgb colour(int index);

    QRect cellRect(int index) const override;
    QString cellName(int index) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};
