#pragma once

class QScrollBar;
class QWidget;

// Drives the two scroll bars of the canvas frame and moves the canvas when a
// bar's value changes. Bar values are image pixels; on a scaled screen the
// canvas moves by the matching number of device-independent pixels.
class clsScroll
{
public:
    // Maxima, small and large changes of both bars; a bar whose maximum is
    // below 1 is disabled (and its maximum kept at 0, so the canvas never
    // moves right of or below the frame origin). A value outside the 16-bit
    // range the bars hold ends the set-up silently; the steps not yet done
    // keep their old values.
    void SetUpScrollBars(QScrollBar* H_SB, QScrollBar* V_SB, long lVer_MaxLen, int iVer_SmallChange,
                         long lVer_LargeChange, long lHor_MaxLen, int iHor_SmallChange,
                         long lHor_LargeChange) const;
    // Sets the top (MoveV) or left (MoveH) of the picture to minus the value.
    void MoveV(QScrollBar* V_SB, QWidget* pic) const;
    void MoveH(QScrollBar* H_SB, QWidget* pic) const;

    // Whenever the bar gets the keyboard focus or is worked with the mouse,
    // the focus goes on to `target` at once, so keys keep reaching it.
    static void passFocus(QScrollBar* bar, QWidget* target);
};
