#pragma once

class QScrollBar;
class QWidget;

// Drives the two scroll bars of the canvas frame and moves the canvas when a
// bar's value changes.
class clsScroll
{
public:
    // Maxima, small and large changes of both bars; a bar whose maximum is
    // below 1 is disabled. A value outside the 16-bit range the bars hold
    // ends the set-up silently; the steps not yet done keep their old values.
    void SetUpScrollBars(QScrollBar* H_SB, QScrollBar* V_SB, long lVer_MaxLen,
                         int iVer_SmallChange, long lVer_LargeChange, long lHor_MaxLen,
                         int iHor_SmallChange, long lHor_LargeChange) const;
    // Sets the top (MoveV) or left (MoveH) of the picture to minus the value.
    void MoveV(QScrollBar* V_SB, QWidget* pic) const;
    void MoveH(QScrollBar* H_SB, QWidget* pic) const;

    // Halves for the large change: rounded to nearest, ties to even.
    static long halfToEven(long value);
};
