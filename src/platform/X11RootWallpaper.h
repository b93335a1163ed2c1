#pragma once
#include "platform/Wallpaper.h"

#include <QByteArray>

namespace snaplorn {

// The wallpaper of a bare X server (or a desktop without a setting of its
// own): the root window's background picture. The picture is a pixmap of
// the whole screen that outlives this program (its connection closes in
// RETAIN_PERMANENT mode) and is announced through the _XROOTPMAP_ID and
// ESETROOT_PMAP_ID properties, as other desktop tools expect; the pixmap
// a previous call left behind is freed. Removing shows plain black.
class X11RootWallpaper : public Wallpaper
{
public:
    // The X display to use; empty means $DISPLAY.
    explicit X11RootWallpaper(QByteArray displayName = QByteArray())
        : m_displayName(std::move(displayName))
    {
    }

    Result set(const QString& pictureFile, WallpaperStyle style) override;
    Result remove() override;

private:
    QByteArray m_displayName;
};

} // namespace snaplorn
