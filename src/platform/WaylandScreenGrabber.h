#pragma once
#include "platform/ScreenGrabber.h"

#include <string>

namespace snaplorn {

// Copies every output of a Wayland compositor that offers the wlroots
// screencopy protocol, through shared memory on a connection of its own, and
// composes them into one picture of the desktop in its logical layout (see
// WaylandGrab.h for how outputs of different scales are placed). Answered at
// once. The pointer cannot be asked about on Wayland.
class WaylandScreenGrabber : public ScreenGrabber
{
public:
    // `display`: a socket name or path; empty: WAYLAND_DISPLAY.
    explicit WaylandScreenGrabber(std::string display = {});

    void requestDesktop(GrabAnswer answer) override;
    void requestArea(const QRect& area, GrabAnswer answer) override;
    QRect desktopGeometry() override;

    GrabResult grabDesktop();

private:
    std::string m_display;
    QRect m_lastDesktop;
};

} // namespace snaplorn
