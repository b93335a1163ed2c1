#pragma once
#include <memory>

namespace snaplorn {

class MessageService;
class DialogService;
class Shell;

// The operating-system services the program uses, each behind its own small
// interface. The real program gets them from createPlatformServices(); tests
// fill the bundle with stand-ins.
struct PlatformServices {
    std::unique_ptr<MessageService> messages;
    std::unique_ptr<DialogService> dialogs;
    std::unique_ptr<Shell> shell;

    PlatformServices();
    PlatformServices(PlatformServices&&) noexcept;
    PlatformServices& operator=(PlatformServices&&) noexcept;
    ~PlatformServices();
};

// The services of this desktop: X11 and the freedesktop tools.
PlatformServices createPlatformServices();

} // namespace snaplorn
