// Another X client that holds Alt+<key> (default F12) as a passive grab on
// the root window, so a program that wants the same key is refused.
// Prints "held" once the grab is in place and keeps it until killed.
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv)
{
    const unsigned keysym = argc > 1 ? unsigned(strtoul(argv[1], nullptr, 0)) : 0xffc9u; // F12
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        fprintf(stderr, "hotkey_holder: no X display\n");
        return 1;
    }
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c);
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
    if (!codes || *codes == XCB_NO_SYMBOL) {
        fprintf(stderr, "hotkey_holder: no key for keysym 0x%x\n", keysym);
        return 1;
    }
    xcb_generic_error_t* error =
        xcb_request_check(c, xcb_grab_key_checked(c, 0, root, XCB_MOD_MASK_1, codes[0],
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    if (error) {
        fprintf(stderr, "hotkey_holder: the key is taken already\n");
        return 1;
    }
    printf("held\n");
    fflush(stdout);
    for (;;)
        pause();
}
