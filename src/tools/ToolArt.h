#pragma once
#include <QCursor>
#include <QIcon>

namespace snaplorn {

// The program's own pictures for the toolbox: the face of each tool button
// (by tool number) and the canvas cursors.
QIcon toolButtonIcon(int toolNumber);

enum class CanvasCursor { Pencil, Eraser, Pipette, CrossHair };
QCursor canvasCursor(CanvasCursor kind);

} // namespace snaplorn
