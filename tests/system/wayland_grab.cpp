// Drives the Wayland screen grabbers for the system tests:
//   wayland_grab screencopy|portal|session OUT.png
// `session` takes the grabber the program itself would choose (a GUI
// application on Qt's Wayland platform). Prints the desktop's geometry; a
// failed grab prints its message and exits with 2.
//   wayland_grab window PICTURE       a window showing the picture, until killed
//   wayland_grab wallpaper PICTURE center|tile|stretch|none
// The wallpaper goes through the service the program would choose; a
// failure prints its message and exits with 2.
#include "platform/PlatformServices.h"
#include "platform/PortalScreenGrabber.h"
#include "platform/ScreenGrabber.h"
#include "platform/Wallpaper.h"
#include "platform/WaylandScreenGrabber.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>

#include <cstdio>
#include <cstring>
#include <memory>

using namespace snaplorn;

namespace {

// A window of exactly the picture's size that shows the picture.
class PictureWindow : public QRasterWindow
{
public:
    explicit PictureWindow(QImage picture) : m_picture(std::move(picture))
    {
        setMinimumSize(m_picture.size());
        setMaximumSize(m_picture.size());
        resize(m_picture.size());
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, m_picture); }

private:
    QImage m_picture;
};

int showWindow(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("snaplorn-testwindow"));
    PictureWindow window(QImage(QString::fromLocal8Bit(argv[2])));
    window.show();
    return app.exec();
}

int setWallpaper(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    PlatformServices services = createPlatformServices();
    if (!services.wallpaper) {
        std::fprintf(stderr, "no wallpaper service\n");
        return 2;
    }
    const QString name = QString::fromLocal8Bit(argv[3]);
    const WallpaperStyle style =
        name == QLatin1String("tile")
            ? WallpaperStyle::Tile
            : (name == QLatin1String("stretch") ? WallpaperStyle::Stretch : WallpaperStyle::Center);
    const Result set = name == QLatin1String("none")
                           ? services.wallpaper->remove()
                           : services.wallpaper->set(QString::fromLocal8Bit(argv[2]), style);
    if (!set) {
        std::fprintf(stderr, "%s\n", set.message.toUtf8().constData());
        return 2;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "window") == 0)
        return showWindow(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "wallpaper") == 0)
        return setWallpaper(argc, argv);
    if (argc != 3)
        return 64;
    const QString kind = QString::fromLocal8Bit(argv[1]);
    std::unique_ptr<QCoreApplication> app;
    PlatformServices services;
    std::unique_ptr<ScreenGrabber> grabber;
    if (kind == QLatin1String("session")) {
        app = std::make_unique<QGuiApplication>(argc, argv);
        services = createPlatformServices();
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
        if (kind == QLatin1String("screencopy"))
            grabber = std::make_unique<WaylandScreenGrabber>();
        else
            grabber = std::make_unique<PortalScreenGrabber>();
    }
    ScreenGrabber* used = grabber ? grabber.get() : services.grabber.get();
    if (!used) {
        std::fprintf(stderr, "no grabber\n");
        return 2;
    }
    const GrabResult grab = grabDesktopAndWait(*used);
    if (!grab.ok()) {
        std::fprintf(stderr, "%s\n", grab.error.toUtf8().constData());
        return 2;
    }
    const QRect desktop = used->desktopGeometry();
    std::printf("%dx%d+%d+%d\n", desktop.width(), desktop.height(), desktop.x(), desktop.y());
    return grab.image.save(QString::fromLocal8Bit(argv[2])) ? 0 : 3;
}
