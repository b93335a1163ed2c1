#pragma once
#include "platform/ScreenGrabber.h"

#include <memory>
#include <vector>

struct xcb_connection_t;

namespace snaplorn {

class X11RootGrabber;

// Copies the X11 root window, which spans every monitor. With the MIT-SHM
// extension the server writes the pixels straight into shared memory that
// the returned QImage wraps, so no copy is made on our side; without it the
// pixels come in the reply of a plain GetImage, which the QImage wraps too.
// Screens of depth 24 and 32 (32 bits per pixel, 8 bits per colour) are
// read; any other depth is refused with a message.
class X11ScreenGrabber : public ScreenGrabber
{
public:
    enum class Transport { Automatic, PlainOnly };
    // The connection belongs to the caller and must outlive the grabber.
    explicit X11ScreenGrabber(xcb_connection_t* connection,
                              Transport transport = Transport::Automatic);
    ~X11ScreenGrabber() override;

    // Answered at once.
    void requestDesktop(GrabAnswer answer) override;
    void requestArea(const QRect& area, GrabAnswer answer) override;
    QRect desktopGeometry() override;

    std::optional<PointerState> pointerState() override;

    // The whole root window, with each monitor's part of it.
    GrabResult grabDesktop();
    GrabResult grabArea(const QRect& area);
    // The monitors the server shows, in root-window pixels; none where the
    // server cannot list them.
    std::vector<ScreenArea> monitors();
    // True while grabs go through shared memory.
    bool usesSharedMemory() const;

private:
    xcb_connection_t* m_connection;
    std::unique_ptr<X11RootGrabber> m_root;
    bool m_monitorsListed = false;
};

} // namespace snaplorn
