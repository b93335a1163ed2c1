// A minimal X11 clipboard manager: owns CLIPBOARD_MANAGER, and when a program
// that ends asks it to SAVE_TARGETS, fetches the clipboard's image/png,
// takes the clipboard over and serves that picture from then on. Prints
// "ready" once it owns CLIPBOARD_MANAGER, "saved N" after a hand-over.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

xcb_connection_t* c;
xcb_window_t window;

xcb_atom_t atom(const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

void notify(const xcb_selection_request_event_t* request, xcb_atom_t property)
{
    xcb_selection_notify_event_t event{};
    event.response_type = XCB_SELECTION_NOTIFY;
    event.time = request->time;
    event.requestor = request->requestor;
    event.selection = request->selection;
    event.target = request->target;
    event.property = property;
    xcb_send_event(c, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

xcb_generic_event_t* waitFor(uint8_t type)
{
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        if ((event->response_type & 0x7f) == type)
            return event;
        free(event);
    }
    return nullptr;
}

} // namespace

int main()
{
    c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    window = xcb_generate_id(c);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, 0, window, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t manager = atom("CLIPBOARD_MANAGER"), clipboard = atom("CLIPBOARD"),
                     saveTargets = atom("SAVE_TARGETS"), targets = atom("TARGETS"),
                     png = atom("image/png"), saved = atom("SAVED_PICTURE");
    xcb_set_selection_owner(c, window, manager, XCB_CURRENT_TIME);
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, manager), nullptr);
    if (!owner || owner->owner != window)
        return 1;
    free(owner);
    printf("ready\n");
    fflush(stdout);

    std::string picture;
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        if ((event->response_type & 0x7f) != XCB_SELECTION_REQUEST) {
            free(event);
            continue;
        }
        auto* request = reinterpret_cast<xcb_selection_request_event_t*>(event);
        xcb_atom_t answered = XCB_ATOM_NONE;
        if (request->selection == manager && request->target == saveTargets) {
            // Fetch the picture from the program that is ending, then own it.
            xcb_convert_selection(c, window, clipboard, png, saved, request->time);
            xcb_flush(c);
            free(waitFor(XCB_SELECTION_NOTIFY));
            xcb_get_property_reply_t* data = xcb_get_property_reply(
                c, xcb_get_property(c, 1, window, saved, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 24),
                nullptr);
            if (data && data->type == png) {
                picture.assign(static_cast<const char*>(xcb_get_property_value(data)),
                               size_t(xcb_get_property_value_length(data)));
                xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
                printf("saved %zu\n", picture.size());
                fflush(stdout);
                answered = request->property;
            }
            free(data);
        } else if (request->selection == clipboard && request->target == targets) {
            const xcb_atom_t offered[] = {targets, png};
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, request->property,
                                XCB_ATOM_ATOM, 32, 2, offered);
            answered = request->property;
        } else if (request->selection == clipboard && request->target == png && !picture.empty()) {
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, request->property,
                                png, 8, uint32_t(picture.size()), picture.data());
            answered = request->property;
        }
        notify(request, answered);
        free(event);
    }
    return 0;
}
