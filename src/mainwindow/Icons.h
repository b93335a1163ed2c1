#pragma once
#include <QIcon>
#include <QString>

namespace snaplorn {

// The icon of a command (by its name, e.g. "mnuOpen"): the desktop theme's
// icon where the theme has one, else the program's own bundled picture.
QIcon commandIcon(const QString& commandName);
// The program's own icon (window, tray, About box).
QIcon applicationIcon();

} // namespace snaplorn
