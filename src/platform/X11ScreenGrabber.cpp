#include "platform/X11ScreenGrabber.h"

#include "base/Texts.h"
#include "platform/X11Grab.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace snaplorn {

namespace {

QString describe(const RawGrab& grab, int depth, int bitsPerPixel, const QRect& area)
{
    switch (grab.failure) {
    case RawGrab::Failure::DepthUnsupported:
        return QString::fromUtf8(texts::GrabDepthUnsupported).arg(depth).arg(bitsPerPixel);
    case RawGrab::Failure::ByteOrderUnsupported:
        return QString::fromUtf8(texts::GrabByteOrderUnsupported);
    case RawGrab::Failure::OutOfMemory:
        return QString::fromUtf8(texts::GrabOutOfMemory).arg(area.width()).arg(area.height());
    case RawGrab::Failure::EmptyArea:
    case RawGrab::Failure::ServerError:
    case RawGrab::Failure::None:
        break;
    }
    return QString::fromUtf8(texts::GrabFailed).arg(grab.errorCode);
}

} // namespace

X11ScreenGrabber::X11ScreenGrabber(xcb_connection_t* connection, Transport transport)
    : m_connection(connection),
      m_root(std::make_unique<X11RootGrabber>(
          connection, transport == Transport::PlainOnly ? X11RootGrabber::Transport::PlainOnly
                                                        : X11RootGrabber::Transport::Automatic))
{
}

X11ScreenGrabber::~X11ScreenGrabber() = default;

std::optional<PointerState> X11ScreenGrabber::pointerState()
{
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    if (!screen)
        return std::nullopt;
    xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(
        m_connection, xcb_query_pointer(m_connection, screen->root), nullptr);
    if (!reply)
        return std::nullopt;
    PointerState state;
    state.position = QPoint(reply->root_x, reply->root_y);
    state.leftButton = reply->mask & XCB_KEY_BUT_MASK_BUTTON_1;
    const uint16_t keys =
        reply->mask & (XCB_KEY_BUT_MASK_SHIFT | XCB_KEY_BUT_MASK_CONTROL | XCB_KEY_BUT_MASK_MOD_1);
    state.shiftAlone = keys == XCB_KEY_BUT_MASK_SHIFT;
    std::free(reply);
    return state;
}

bool X11ScreenGrabber::usesSharedMemory() const
{
    return m_root->usesSharedMemory();
}

QRect X11ScreenGrabber::desktopGeometry()
{
    const GrabArea root = m_root->rootArea();
    return QRect(root.x, root.y, root.width, root.height);
}

void X11ScreenGrabber::requestDesktop(GrabAnswer answer)
{
    answer(grabDesktop());
}

void X11ScreenGrabber::requestArea(const QRect& area, GrabAnswer answer)
{
    answer(grabArea(area));
}

GrabResult X11ScreenGrabber::grabDesktop()
{
    return grabArea(desktopGeometry());
}

// The picture wraps the grabbed memory without a copy; the memory goes back
// (shared segment) or is freed (GetImage reply) when the last copy of the
// picture is gone.
GrabResult X11ScreenGrabber::grabArea(const QRect& wanted)
{
    RawGrab grab =
        m_root->grab(GrabArea{wanted.x(), wanted.y(), wanted.width(), wanted.height()}, true);
    if (!grab.ok())
        return {QImage(), describe(grab, m_root->depth(), m_root->bitsPerPixel(), wanted)};
    QImage image(grab.data, grab.width, grab.height, qsizetype(grab.stride), QImage::Format_RGB32,
                 grab.release, grab.releaseInfo);
    return {image, QString()};
}

} // namespace snaplorn
