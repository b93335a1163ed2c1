#pragma once
#include <memory>

struct xcb_connection_t;
class QString;

namespace snaplorn {

class MessageService;
class DialogService;
class Shell;
class ScreenGrabber;
class ActiveWindow;
class HotKeys;
class Clipboard;
class Tray;
class Wallpaper;
class Mailer;
class Printer;
class X11Connection;

// The operating-system services the program uses, each behind its own small
// interface. The real program gets them from createPlatformServices(); tests
// fill the bundle with stand-ins.
struct PlatformServices {
    std::unique_ptr<MessageService> messages;
    std::unique_ptr<DialogService> dialogs;
    std::unique_ptr<Shell> shell;
    std::unique_ptr<ScreenGrabber> grabber;
    std::unique_ptr<ActiveWindow> activeWindow;
    std::unique_ptr<HotKeys> hotKeys;
    std::unique_ptr<Clipboard> clipboard;
    std::unique_ptr<Tray> tray;
    std::unique_ptr<Wallpaper> wallpaper;
    std::unique_ptr<Mailer> mailer;
    std::unique_ptr<Printer> printer;

    PlatformServices();
    PlatformServices(PlatformServices&&) noexcept;
    PlatformServices& operator=(PlatformServices&&) noexcept;
    ~PlatformServices();
};

// The services of this desktop: X11 or Wayland, and the freedesktop tools.
PlatformServices createPlatformServices();
// The screen grabber (and on X11 the active window) for work without a GUI
// application object, in the session the program would run in: Wayland's
// grabber when Qt would choose its Wayland platform, else the X11 services
// over a connection of their own, kept in `x11`. False with the reason in
// `why` when the X display cannot be reached. A grabber that answers later
// needs an event loop (a QCoreApplication).
bool addSessionScreenServices(PlatformServices& services, std::unique_ptr<X11Connection>& x11,
                              QString* why);
// The clipboard of a session where another process keeps what is copied
// (Wayland: wl-copy), for work without a GUI application object; null where
// the process that copies has to serve the clipboard itself (X11).
std::unique_ptr<Clipboard> detachedSessionClipboard();
// The screen grabber and the active window over the given X connection,
// which must outlive them (also usable without an application object).
void addScreenServices(PlatformServices& services, xcb_connection_t* connection);

} // namespace snaplorn
