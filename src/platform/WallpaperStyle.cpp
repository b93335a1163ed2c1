#include "platform/WallpaperStyle.h"

#include <QPainter>

namespace snaplorn {

std::optional<WallpaperValues> wallpaperValuesFor(const QString& displayType)
{
    const QString type = displayType.toLower();
    if (type == QLatin1String("center"))
        return WallpaperValues{QStringLiteral("0"), QStringLiteral("0")};
    if (type == QLatin1String("tile"))
        return WallpaperValues{QStringLiteral("1"), QStringLiteral("0")};
    if (type == QLatin1String("stretch"))
        return WallpaperValues{QStringLiteral("0"), QStringLiteral("2")};
    return std::nullopt;
}

WallpaperStyle wallpaperStyleFrom(const std::optional<QString>& tileWallpaper,
                                  const std::optional<QString>& wallpaperStyle)
{
    if (tileWallpaper && tileWallpaper->trimmed() == QLatin1String("1"))
        return WallpaperStyle::Tile;
    if (wallpaperStyle && wallpaperStyle->trimmed() == QLatin1String("2"))
        return WallpaperStyle::Stretch;
    return WallpaperStyle::Center;
}

QImage composeDesktopImage(const QImage& picture, const QSize& screen, WallpaperStyle style)
{
    QImage desktop(screen, QImage::Format_RGB32);
    if (desktop.isNull())
        return desktop;
    desktop.fill(Qt::black);
    if (picture.isNull())
        return desktop;
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&desktop);
    switch (style) {
    case WallpaperStyle::Center:
        painter.drawImage((screen.width() - source.width()) / 2,
                          (screen.height() - source.height()) / 2, source);
        break;
    case WallpaperStyle::Tile:
        for (int y = 0; y < screen.height(); y += source.height())
            for (int x = 0; x < screen.width(); x += source.width())
                painter.drawImage(x, y, source);
        break;
    case WallpaperStyle::Stretch:
        painter.drawImage(0, 0,
                          source.scaled(screen, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        break;
    }
    return desktop;
}

} // namespace snaplorn
