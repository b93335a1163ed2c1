#pragma once
#include "platform/Wallpaper.h"

#include <QList>

namespace snaplorn {

// Stand-in for tests: records what the desktop was asked to show, and
// fails with `failure` when it is set.
class FakeWallpaper : public Wallpaper
{
public:
    struct Call {
        QString pictureFile; // empty: removed
        WallpaperStyle style = WallpaperStyle::Center;
        QImage picture; // the file's picture at the time of the call
    };

    Result set(const QString& pictureFile, WallpaperStyle style) override
    {
        calls.append({pictureFile, style, QImage(pictureFile)});
        return failure.isEmpty() ? Result::success() : Result::failure(failure);
    }
    Result remove() override
    {
        calls.append({QString(), WallpaperStyle::Center, QImage()});
        return failure.isEmpty() ? Result::success() : Result::failure(failure);
    }

    QList<Call> calls;
    QString failure;
};

} // namespace snaplorn
