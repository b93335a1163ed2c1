// Keys and pointer moves for tests in a KWin session, through KWin's fake
// input protocol (the compositor must allow it):
//   kwin_fake_input key CODE...   presses the evdev key codes in order, then
//                                 releases them in reverse (56 Alt, 87 F11)
//   kwin_fake_input move X Y      moves the pointer to X,Y on the desktop
#include "fake-input-client-protocol.h"

#include <wayland-client.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static struct org_kde_kwin_fake_input* fake;
static uint32_t fakeVersion;

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version)
{
    (void)data;
    if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0) {
        fakeVersion = version < 4 ? version : 4;
        fake = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, fakeVersion);
    }
}

static void globalRemove(void* data, struct wl_registry* registry, uint32_t name)
{
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registryListener = {global, globalRemove};

int main(int argc, char** argv)
{
    if (argc < 3)
        return 64;
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "no Wayland display\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, NULL);
    wl_display_roundtrip(display);
    if (!fake) {
        fprintf(stderr, "the compositor offers no fake input\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(fake, "snaplorn tests", "system tests");
    if (strcmp(argv[1], "key") == 0) {
        if (fakeVersion < 4) {
            fprintf(stderr, "fake input version %u has no keys\n", fakeVersion);
            return 1;
        }
        for (int i = 2; i < argc; ++i) {
            org_kde_kwin_fake_input_keyboard_key(fake, (uint32_t)atoi(argv[i]), 1);
            wl_display_roundtrip(display);
        }
        for (int i = argc - 1; i >= 2; --i) {
            org_kde_kwin_fake_input_keyboard_key(fake, (uint32_t)atoi(argv[i]), 0);
            wl_display_roundtrip(display);
        }
    } else if (strcmp(argv[1], "move") == 0 && argc == 4) {
        org_kde_kwin_fake_input_pointer_motion_absolute(fake, wl_fixed_from_int(atoi(argv[2])),
                                                        wl_fixed_from_int(atoi(argv[3])));
    } else {
        return 64;
    }
    wl_display_roundtrip(display);
    org_kde_kwin_fake_input_destroy(fake);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 0;
}
