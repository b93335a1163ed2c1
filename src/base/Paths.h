#pragma once
#include <QString>

namespace snaplorn::paths {

// The program's own folder (where the executable lives); read-only.
QString appPath();
// The help page: next to the binary in the build tree, or share/snaplorn.
QString helpFile();
// $XDG_CONFIG_HOME/Quorvex/Snaplorn21.conf
QString settingsFile();
// $XDG_CACHE_HOME/Quorvex/Snaplorn21 (created on demand): qvxtemp.bmp, screen.jpg
QString cacheFolder();
// $XDG_DATA_HOME/Quorvex/Snaplorn21 (created on demand): Snaplorn.bmp
QString dataFolder();
// The user's Pictures folder, else the home folder: the default auto-capture
// folder and the first folder of the file dialogs.
QString defaultPicturesFolder();
// Joins a folder and a file name with exactly one '/', cleaned.
QString join(const QString& folder, const QString& name);

} // namespace snaplorn::paths
