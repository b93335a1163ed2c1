#pragma once
#include <memory>

struct xcb_connection_t;

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

// The services of this desktop: X11 and the freedesktop tools.
PlatformServices createPlatformServices();
// The screen grabber and the active window over the given X connection,
// which must outlive them (also usable without an application object).
void addScreenServices(PlatformServices& services, xcb_connection_t* connection);

} // namespace snaplorn
