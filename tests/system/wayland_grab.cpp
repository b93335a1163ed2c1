// Drives the Wayland screen grabbers for the system tests:
//   wayland_grab screencopy|portal|session OUT.png
// `session` takes the grabber the program itself would choose (a GUI
// application on Qt's Wayland platform). Prints the desktop's geometry; a
// failed grab prints its message and exits with 2.
#include "platform/PlatformServices.h"
#include "platform/PortalScreenGrabber.h"
#include "platform/ScreenGrabber.h"
#include "platform/WaylandScreenGrabber.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#include <memory>

using namespace snaplorn;

int main(int argc, char** argv)
{
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
