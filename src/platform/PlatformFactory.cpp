// The one place that decides which implementation of each service runs.
#include "platform/PlatformServices.h"

#include "base/Paths.h"
#include "platform/DesktopWallpaperCommands.h"
#include "platform/ActiveWindow.h"
#include "platform/Clipboard.h"
#include "platform/DesktopMailer.h"
#include "platform/DesktopToolWallpaper.h"
#include "platform/DialogService.h"
#include "platform/HotKeys.h"
#include "platform/LoggingMessageService.h"
#include "platform/Mailer.h"
#include "platform/PortalScreenGrabber.h"
#include "platform/Printer.h"
#include "platform/QtClipboard.h"
#include "platform/QtDialogService.h"
#include "platform/QtMessageService.h"
#include "platform/QtPrinter.h"
#include "platform/QtTray.h"
#include "platform/ScreenGrabber.h"
#include "platform/Shell.h"
#include "platform/Tray.h"
#include "platform/Wallpaper.h"
#include "platform/WaylandGrab.h"
#include "platform/WaylandScreenGrabber.h"
#include "platform/WlCopyClipboard.h"
#include "platform/X11ActiveWindow.h"
#include "platform/X11Display.h"
#include "platform/X11HotKeys.h"
#include "platform/X11RootWallpaper.h"
#include "platform/X11ScreenGrabber.h"

#include <QGuiApplication>

namespace snaplorn {

namespace {

// On Wayland the screen is copied by the grabber itself where the
// compositor allows it (screencopy), else the desktop portal is asked; when
// neither works the portal's grabber says so, naming what is missing.
std::unique_ptr<ScreenGrabber> waylandGrabber()
{
    if (probeWaylandScreencopy() == WaylandGrab::Failure::None)
        return std::make_unique<WaylandScreenGrabber>();
    return std::make_unique<PortalScreenGrabber>();
}

} // namespace

PlatformServices::PlatformServices() = default;
PlatformServices::PlatformServices(PlatformServices&&) noexcept = default;
PlatformServices& PlatformServices::operator=(PlatformServices&&) noexcept = default;
PlatformServices::~PlatformServices() = default;

PlatformServices createPlatformServices()
{
    PlatformServices services;
    const QString messageLog = qEnvironmentVariable("SNAPLORN_MESSAGE_LOG");
    if (!messageLog.isEmpty())
        services.messages = std::make_unique<LoggingMessageService>(
            messageLog, qEnvironmentVariable("SNAPLORN_MESSAGE_ANSWERS"));
    else
        services.messages = std::make_unique<QtMessageService>();
    services.dialogs = std::make_unique<QtDialogService>();
    services.shell = std::make_unique<DesktopShell>(paths::helpFile());
    services.clipboard = std::make_unique<QtClipboard>();
    services.tray = std::make_unique<QtTray>();
    services.mailer = std::make_unique<DesktopMailer>();
    services.printer = std::make_unique<QtPrinter>();
    // A desktop that keeps the wallpaper in its own setting is changed with
    // its own tool; otherwise the X server's root window shows the picture.
    const DesktopKind desktop = detectDesktop(qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
    if (desktop != DesktopKind::Other)
        services.wallpaper = std::make_unique<DesktopToolWallpaper>(desktop);
    else if (qtX11Connection())
        services.wallpaper = std::make_unique<X11RootWallpaper>();
    // Screen grabs, the active window and hot keys need X11 or Wayland;
    // elsewhere the capture commands say that capture is not available.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
        QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        services.grabber = waylandGrabber();
    } else if (xcb_connection_t* x11 = qtX11Connection()) {
        addScreenServices(services, x11);
        services.hotKeys = std::make_unique<X11HotKeys>(x11);
    }
    return services;
}

bool addSessionScreenServices(PlatformServices& services, std::unique_ptr<X11Connection>& x11,
                              QString* why)
{
    if (waylandSessionChosen()) {
        services.grabber = waylandGrabber();
        return true;
    }
    x11 = X11Connection::open(why);
    if (!x11)
        return false;
    addScreenServices(services, x11->get());
    return true;
}

std::unique_ptr<Clipboard> detachedSessionClipboard()
{
    if (waylandSessionChosen())
        return std::make_unique<WlCopyClipboard>();
    return nullptr;
}

void addScreenServices(PlatformServices& services, xcb_connection_t* connection)
{
    services.grabber = std::make_unique<X11ScreenGrabber>(connection);
    services.activeWindow = std::make_unique<X11ActiveWindow>(connection);
}

} // namespace snaplorn
