#pragma once
#include "platform/ActiveWindow.h"

#include <cstdint>

struct xcb_connection_t;

namespace snaplorn {

// The active window as the window manager announces it (_NET_ACTIVE_WINDOW),
// else the window holding the input focus. Its rectangle is the whole frame
// the window manager draws around it (_NET_FRAME_EXTENTS, or the frame
// window it was put into), clipped to the screen.
class X11ActiveWindow : public ActiveWindow
{
public:
    // The connection belongs to the caller and must outlive this object.
    explicit X11ActiveWindow(xcb_connection_t* connection);
    ActiveWindowInfo activeWindow() override;

private:
    uint32_t announcedWindow();
    uint32_t focusWindow();
    uint32_t topLevelAncestor(uint32_t window);
    bool viewable(uint32_t window);
    ActiveWindowInfo frameOf(uint32_t window);

    xcb_connection_t* m_connection;
    uint32_t m_root = 0;
    uint32_t m_activeAtom = 0;
    uint32_t m_extentsAtom = 0;
};

} // namespace snaplorn
