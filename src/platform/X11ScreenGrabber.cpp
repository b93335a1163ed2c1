#include "platform/X11ScreenGrabber.h"

#include "base/Texts.h"
#include "platform/X11Grab.h"

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

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

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

// RandR 1.5 lists monitors, which are Qt's screens on X11.
bool monitorsListed(xcb_connection_t* c)
{
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_randr_id);
    if (!extension || !extension->present)
        return false;
    Reply<xcb_randr_query_version_reply_t> version(
        xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 5), nullptr));
    return version && (version->major_version > 1 || version->minor_version >= 5);
}

QString atomName(xcb_connection_t* c, xcb_atom_t atom)
{
    Reply<xcb_get_atom_name_reply_t> reply(
        xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr));
    if (!reply)
        return QString();
    return QString::fromLatin1(xcb_get_atom_name_name(reply.get()),
                               xcb_get_atom_name_name_length(reply.get()));
}

} // namespace

X11ScreenGrabber::X11ScreenGrabber(xcb_connection_t* connection, Transport transport)
    : m_connection(connection),
      m_root(std::make_unique<X11RootGrabber>(
          connection, transport == Transport::PlainOnly ? X11RootGrabber::Transport::PlainOnly
                                                        : X11RootGrabber::Transport::Automatic)),
      m_monitorsListed(monitorsListed(connection))
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

// The root window spans every monitor; the picture of it tells each
// monitor's part, so that every screen can show its own part at its own
// scale.
GrabResult X11ScreenGrabber::grabDesktop()
{
    GrabResult result = grabArea(desktopGeometry());
    if (result.ok())
        result.screens = monitors();
    return result;
}

std::vector<ScreenArea> X11ScreenGrabber::monitors()
{
    std::vector<ScreenArea> found;
    if (!m_monitorsListed)
        return found;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    Reply<xcb_randr_get_monitors_reply_t> reply(xcb_randr_get_monitors_reply(
        m_connection, xcb_randr_get_monitors(m_connection, root, 1), nullptr));
    if (!reply)
        return found;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem;
         xcb_randr_monitor_info_next(&it)) {
        const xcb_randr_monitor_info_t* monitor = it.data;
        found.push_back({atomName(m_connection, monitor->name),
                         QRect(monitor->x, monitor->y, monitor->width, monitor->height)});
    }
    return found;
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
