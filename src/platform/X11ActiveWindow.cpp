#include "platform/X11ActiveWindow.h"

#include "base/Texts.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace snaplorn {

namespace {

struct FreeDeleter {
    void operator()(void* p) const { free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

uint32_t internAtom(xcb_connection_t* c, const char* name)
{
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr));
    return reply ? reply->atom : uint32_t(XCB_ATOM_NONE);
}

// The 32-bit values of a property, at most `count` of them.
bool readCardinals(xcb_connection_t* c, uint32_t window, uint32_t atom, uint32_t type,
                   uint32_t* values, int count)
{
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, atom, type, 0, uint32_t(count)), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4 * count)
        return false;
    memcpy(values, xcb_get_property_value(reply.get()), size_t(4 * count));
    return true;
}

} // namespace

X11ActiveWindow::X11ActiveWindow(xcb_connection_t* connection) : m_connection(connection)
{
    m_root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    m_activeAtom = internAtom(connection, "_NET_ACTIVE_WINDOW");
    m_extentsAtom = internAtom(connection, "_NET_FRAME_EXTENTS");
}

uint32_t X11ActiveWindow::announcedWindow()
{
    uint32_t window = XCB_WINDOW_NONE;
    if (!readCardinals(m_connection, m_root, m_activeAtom, XCB_ATOM_WINDOW, &window, 1))
        return XCB_WINDOW_NONE;
    return window;
}

uint32_t X11ActiveWindow::focusWindow()
{
    Reply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    if (!reply || reply->focus == XCB_INPUT_FOCUS_POINTER_ROOT || reply->focus == m_root)
        return XCB_WINDOW_NONE;
    return reply->focus;
}

// The child of the root that contains `window`: the frame a reparenting
// window manager put the window in, or the window itself.
uint32_t X11ActiveWindow::topLevelAncestor(uint32_t window)
{
    for (int depth = 0; depth < 64; ++depth) {
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
        if (!tree)
            return XCB_WINDOW_NONE;
        if (tree->parent == m_root || tree->parent == XCB_WINDOW_NONE)
            return window;
        window = tree->parent;
    }
    return window;
}

ActiveWindowInfo X11ActiveWindow::frameOf(uint32_t window)
{
    Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, window), nullptr));
    if (!attributes)
        return {QRect(), QString::fromUtf8(texts::ActiveWindowGone)};
    if (attributes->map_state != XCB_MAP_STATE_VIEWABLE)
        return {QRect(), QString::fromUtf8(texts::NoActiveWindow)};
    uint32_t extents[4] = {0, 0, 0, 0}; // left, right, top, bottom
    const bool announced =
        readCardinals(m_connection, window, m_extentsAtom, XCB_ATOM_CARDINAL, extents, 4);
    const uint32_t measured = announced ? window : topLevelAncestor(window);
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, measured), nullptr));
    Reply<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        m_connection, xcb_translate_coordinates(m_connection, measured, m_root, 0, 0), nullptr));
    if (!geometry || !origin)
        return {QRect(), QString::fromUtf8(texts::ActiveWindowGone)};
    const int border = geometry->border_width;
    QRect frame(origin->dst_x - border, origin->dst_y - border, geometry->width + 2 * border,
                geometry->height + 2 * border);
    frame.adjust(-int(extents[0]), -int(extents[2]), int(extents[1]), int(extents[3]));
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    frame &= QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels);
    if (frame.isEmpty()) // the window manager's own hidden focus window
        return {QRect(), QString::fromUtf8(texts::NoActiveWindow)};
    return {frame, QString()};
}

bool X11ActiveWindow::viewable(uint32_t window)
{
    Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

ActiveWindowInfo X11ActiveWindow::activeWindow()
{
    uint32_t window = announcedWindow();
    // The announcement can name a window that has just gone away.
    if (window == XCB_WINDOW_NONE || !viewable(window))
        window = focusWindow();
    if (window == XCB_WINDOW_NONE)
        return {QRect(), QString::fromUtf8(texts::NoActiveWindow)};
    return frameOf(window);
}

} // namespace snaplorn
