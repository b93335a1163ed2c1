#pragma once
#include "platform/WallpaperStyle.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace snaplorn {

// Desktops that keep the wallpaper in a setting of their own (sway: in its
// outputs' configuration). On any other desktop, and on a bare X server, the
// wallpaper is the root window's background picture.
enum class DesktopKind { Gnome, Cinnamon, Mate, Xfce, Plasma, Sway, Other };

// The desktop named by XDG_CURRENT_DESKTOP (a colon-separated list, most
// specific first; names in any letter case).
DesktopKind detectDesktop(const QString& xdgCurrentDesktop);

// One run of a desktop tool, without a shell: the arguments reach the
// program exactly as given.
struct ToolCommand {
    QString program;
    QStringList arguments;
    // A failure is ignored: the setting is missing on older desktops.
    bool optional = false;

    bool operator==(const ToolCommand& other) const
    {
        return program == other.program && arguments == other.arguments &&
               optional == other.optional;
    }
};

// The commands that show the picture at `path` in the given style, or,
// with an empty path, show no picture. Xfce needs its property list first:
// see xfceListCommand and xfceWallpaperCommands.
QList<ToolCommand> wallpaperCommands(DesktopKind desktop, const QString& path,
                                     WallpaperStyle style);

// Xfce keeps one picture per monitor and workspace: the list of the
// desktop's properties tells which ones exist.
ToolCommand xfceListCommand();
QList<ToolCommand> xfceWallpaperCommands(const QString& propertyList, const QString& path,
                                         WallpaperStyle style);

// The Plasma shell script that sets (or, with an empty path, removes) the
// picture on every desktop.
QString plasmaScript(const QString& path, WallpaperStyle style);

// A file name as one word of a sway command: sway splits the command at
// blanks and then expands the name like a shell word.
QString swayFileWord(const QString& path);

// Text as a GVariant string literal, as gsettings parses its value.
QString gvariantString(const QString& text);
// Text as a JavaScript string literal.
QString javaScriptString(const QString& text);

} // namespace snaplorn
