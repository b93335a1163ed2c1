#pragma once
#include "platform/DesktopWallpaperCommands.h"
#include "platform/Wallpaper.h"

namespace snaplorn {

// The wallpaper of a desktop that keeps it in a setting of its own, changed
// through the desktop's tool: gsettings (GNOME, Cinnamon, MATE),
// xfconf-query (Xfce) or the Plasma shell's script call over D-Bus.
class DesktopToolWallpaper : public Wallpaper
{
public:
    explicit DesktopToolWallpaper(DesktopKind desktop) : m_desktop(desktop) {}

    Result set(const QString& pictureFile, WallpaperStyle style) override;
    Result remove() override;

    static constexpr int ToolTimeoutMs = 15000;

private:
    Result apply(const QString& pictureFile, WallpaperStyle style);
    Result xfceCommands(const QString& pictureFile, WallpaperStyle style,
                        QList<ToolCommand>& commands);
    static Result runAll(const QList<ToolCommand>& commands);

    DesktopKind m_desktop;
};

} // namespace snaplorn
