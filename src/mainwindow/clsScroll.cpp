#include "mainwindow/clsScroll.h"

#include <QScrollBar>
#include <QWidget>

namespace {

bool fitsInt16(long value)
{
    return value >= -32768 && value <= 32767;
}

// One bar's settings; false when a value does not fit the bar.
bool setUpBar(QScrollBar* bar, long maxLen, int smallChange, long largeChange)
{
    if (!fitsInt16(maxLen))
        return false;
    bar->setMaximum(int(std::max(0L, maxLen)));
    if (!fitsInt16(smallChange))
        return false;
    bar->setSingleStep(smallChange);
    if (!fitsInt16(largeChange))
        return false;
    bar->setPageStep(int(std::max(1L, largeChange)));
    return true;
}

} // namespace

long clsScroll::halfToEven(long value)
{
    const long half = value / 2;
    if (value % 2 == 0)
        return half;
    // x.5: pick the even neighbour
    const long up = value > 0 ? half + 1 : half - 1;
    return (half % 2 == 0) ? half : up;
}

void clsScroll::SetUpScrollBars(QScrollBar* H_SB, QScrollBar* V_SB, long lVer_MaxLen,
                                int iVer_SmallChange, long lVer_LargeChange, long lHor_MaxLen,
                                int iHor_SmallChange, long lHor_LargeChange) const
{
    if (!setUpBar(V_SB, lVer_MaxLen, iVer_SmallChange, lVer_LargeChange))
        return;
    if (!setUpBar(H_SB, lHor_MaxLen, iHor_SmallChange, lHor_LargeChange))
        return;
    V_SB->setEnabled(lVer_MaxLen >= 1);
    H_SB->setEnabled(lHor_MaxLen >= 1);
}

void clsScroll::MoveV(QScrollBar* V_SB, QWidget* pic) const
{
    pic->move(pic->x(), -V_SB->value());
}

void clsScroll::MoveH(QScrollBar* H_SB, QWidget* pic) const
{
    pic->move(-H_SB->value(), pic->y());
}
