#pragma once
#include "platform/ActiveWindow.h"

namespace snaplorn {

// The active window on a Wayland desktop that does not tell clients which
// window is active: every answer says so (`picked`), and the picture comes
// from the desktop portal's interactive screenshot, in which the user picks
// the window.
class PortalPickedWindow : public ActiveWindow
{
public:
    explicit PortalPickedWindow(int timeoutMs = 120000) : m_timeoutMs(timeoutMs) {}
    ActiveWindowInfo activeWindow() override;
    void requestPicked(GrabAnswer answer) override;

private:
    int m_timeoutMs;
};

} // namespace snaplorn
