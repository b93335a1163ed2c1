// A pointer for the Wayland system tests: the headless compositor has none.
//   wayland_pointer WIDTH HEIGHT   (the desktop's size in logical pixels)
// then one command a line on standard input, each carried out at once:
//   move X Y | down | up | wait MS | size WIDTH HEIGHT   (the left button;
//   size: the desktop's size changed)
// Prints "ready" once the pointer exists. It stays while standard input is
// open, so that the compositor keeps the device (and the button state).
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

namespace {

constexpr uint32_t LeftButton = 0x110; // BTN_LEFT

zwlr_virtual_pointer_manager_v1* manager = nullptr;

void global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}
void globalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener registryListener{global, globalRemove};

uint32_t now()
{
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 64;
    uint32_t width = uint32_t(std::stoul(argv[1]));
    uint32_t height = uint32_t(std::stoul(argv[2]));
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "no Wayland compositor\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (!manager) {
        std::fprintf(stderr, "the compositor offers no virtual pointer\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, nullptr);
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        if (command == "move") {
            uint32_t x = 0, y = 0;
            words >> x >> y;
            zwlr_virtual_pointer_v1_motion_absolute(pointer, now(), x, y, width, height);
        } else if (command == "down" || command == "up") {
            zwlr_virtual_pointer_v1_button(pointer, now(), LeftButton, command == "down" ? 1 : 0);
        } else if (command == "size") {
            words >> width >> height;
            continue;
        } else if (command == "wait") {
            int ms = 0;
            words >> ms;
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
            continue;
        } else {
            continue;
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        if (wl_display_roundtrip(display) < 0) {
            std::fprintf(stderr, "the compositor went away\n");
            return 1;
        }
    }
    wl_display_disconnect(display);
    return 0;
}
