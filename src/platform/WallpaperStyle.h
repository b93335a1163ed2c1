#pragma once
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace snaplorn {

// How the wallpaper picture covers the desktop.
enum class WallpaperStyle { Center, Tile, Stretch };

// The two desktop values the wallpaper commands store in the settings
// file's "Control Panel\Desktop" section.
struct WallpaperValues {
    QString tileWallpaper;  // "TileWallpaper"
    QString wallpaperStyle; // "WallpaperStyle"
};

inline constexpr char TileWallpaperValue[] = "TileWallpaper";
inline constexpr char WallpaperStyleValue[] = "WallpaperStyle";

// The values of a display type ("center", "tile" or "stretch", any letter
// case); nothing for any other type.
std::optional<WallpaperValues> wallpaperValuesFor(const QString& displayType);

// The style the desktop shows for stored values: tiled when TileWallpaper is
// "1", stretched when WallpaperStyle is "2", centred otherwise (also when a
// value is missing).
WallpaperStyle wallpaperStyleFrom(const std::optional<QString>& tileWallpaper,
                                  const std::optional<QString>& wallpaperStyle);

// The whole desktop picture of a screen of the given size: the picture
// centred on black (cut to the screen when larger), repeated from the
// top-left corner, or stretched to the screen. Format_RGB32.
QImage composeDesktopImage(const QImage& picture, const QSize& screen, WallpaperStyle style);

} // namespace snaplorn
