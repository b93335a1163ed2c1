#pragma once
#include "base/Result.h"
#include "platform/WallpaperStyle.h"

#include <QString>

namespace snaplorn {

// The desktop's wallpaper. Each call reports whether the desktop took the
// change; a missing or failing desktop tool comes back as a message.
class Wallpaper
{
public:
    virtual ~Wallpaper() = default;
    // Shows the picture file (which must outlive the program) as the
    // desktop's wallpaper.
    virtual Result set(const QString& pictureFile, WallpaperStyle style) = 0;
    // Shows no picture.
    virtual Result remove() = 0;
};

} // namespace snaplorn
