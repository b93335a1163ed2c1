#pragma once
#include <QCursor>
#include <QImage>

// The frame's three resize pointers: 32 x 32, hot spot at (15, 15), a black
// double-headed arrow with a white outline on a transparent ground. The
// handle numbers of the frame choose them: 23 left-right, 24 up-down,
// 25 top-left to bottom-right.
QImage resizeCursorImage(int handle);
// The pointer for a handle; the normal arrow for any other number.
QCursor resizeCursor(int handle);
