#include "platform/X11Grab.h"

#include "base/Texts.h"

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>
#include <csignal>
#include <cstring>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cstdlib>
#include <vector>

namespace snaplorn {

// One shared-memory segment, attached to the X server once and reused for
// later grabs as soon as the picture that wrapped it is gone. A picture may
// outlive the grabber: its segment is then released when the picture is.
struct ShmSegment {
    enum State { Free, Lent, Orphaned };
    unsigned char* address = nullptr;
    size_t size = 0;
    xcb_shm_seg_t xid = 0;
    std::atomic<int> state{Free};
};

class ShmSegmentPool
{
public:
    explicit ShmSegmentPool(xcb_connection_t* connection) : m_connection(connection) {}
    ~ShmSegmentPool();
    ShmSegmentPool(const ShmSegmentPool&) = delete;
    ShmSegmentPool& operator=(const ShmSegmentPool&) = delete;

    // A segment of at least `size` bytes, marked lent; nullptr when the
    // server cannot attach shared memory of ours (remote server, other IPC
    // namespace).
    ShmSegment* take(size_t size);
    // QImage clean-up function: the picture wrapping the segment is gone.
    static void giveBack(void* segment);

private:
    ShmSegment* create(size_t size);
    void release(ShmSegment* segment);

    xcb_connection_t* m_connection;
    std::vector<ShmSegment*> m_segments;
};

ShmSegmentPool::~ShmSegmentPool()
{
    for (ShmSegment* segment : m_segments) {
        xcb_shm_detach(m_connection, segment->xid);
        int expected = ShmSegment::Free;
        if (segment->state.compare_exchange_strong(expected, ShmSegment::Orphaned)) {
            shmdt(segment->address);
            delete segment;
            continue;
        }
        expected = ShmSegment::Lent;
        if (!segment->state.compare_exchange_strong(expected, ShmSegment::Orphaned)) {
            shmdt(segment->address); // given back in between
            delete segment;
        }
    }
    xcb_flush(m_connection);
}

void ShmSegmentPool::giveBack(void* info)
{
    auto* segment = static_cast<ShmSegment*>(info);
    int expected = ShmSegment::Lent;
    if (segment->state.compare_exchange_strong(expected, ShmSegment::Free))
        return;
    shmdt(segment->address); // the pool is gone
    delete segment;
}

void ShmSegmentPool::release(ShmSegment* segment)
{
    xcb_shm_detach(m_connection, segment->xid);
    shmdt(segment->address);
    delete segment;
}

ShmSegment* ShmSegmentPool::take(size_t size)
{
    for (auto it = m_segments.begin(); it != m_segments.end();) {
        ShmSegment* segment = *it;
        if (segment->state.load() != ShmSegment::Free) {
            ++it;
            continue;
        }
        if (segment->size >= size) {
            segment->state = ShmSegment::Lent;
            return segment;
        }
        it = m_segments.erase(it); // too small for this screen
        release(segment);
    }
    ShmSegment* segment = create(size);
    if (segment) {
        segment->state = ShmSegment::Lent;
        m_segments.push_back(segment);
    }
    return segment;
}

ShmSegment* ShmSegmentPool::create(size_t size)
{
    const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (id < 0)
        return nullptr;
    void* address = shmat(id, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return nullptr;
    }
#ifdef MADV_POPULATE_WRITE
    // The segment's pages are made and mapped here in one go, instead of one
    // page fault at a time when the server writes them and again when the
    // encoder reads them; a kernel without it faults them in as before.
    madvise(address, size, MADV_POPULATE_WRITE);
#endif
    const xcb_shm_seg_t xid = xcb_generate_id(m_connection);
    xcb_generic_error_t* error =
        xcb_request_check(m_connection, xcb_shm_attach_checked(m_connection, xid, id, 0));
    // Marked for removal now that both sides hold it: the kernel frees it
    // when the last of them lets go, even after a crash.
    shmctl(id, IPC_RMID, nullptr);
    if (error) {
        free(error);
        shmdt(address);
        return nullptr;
    }
    auto* segment = new ShmSegment;
    segment->address = static_cast<unsigned char*>(address);
    segment->size = size;
    segment->xid = xid;
    return segment;
}

namespace {

// Shared-memory grabs that need the opaque pass are asked for in bands of
// about this many bytes (see grabShared).
constexpr size_t BandBytes = size_t(1) << 20;

xcb_screen_t* firstScreen(xcb_connection_t* connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
}

xcb_visualtype_t* rootVisual(xcb_screen_t* screen)
{
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem;
         xcb_depth_next(&depths)) {
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
             xcb_visualtype_next(&visuals)) {
            if (visuals.data->visual_id == screen->root_visual)
                return visuals.data;
        }
    }
    return nullptr;
}

bool sharedMemoryPresent(xcb_connection_t* connection)
{
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_shm_id);
    if (!extension || !extension->present)
        return false;
    auto* reply =
        xcb_shm_query_version_reply(connection, xcb_shm_query_version(connection), nullptr);
    const bool ok = reply != nullptr;
    free(reply);
    return ok;
}

void freeReply(void* reply)
{
    free(reply);
}

// What the alarm handler writes; prepared before the alarm is set, since a
// signal handler may not format text.
char g_giveUpMessage[1024];
size_t g_giveUpLength = 0;

void giveUp(int)
{
    const ssize_t written = write(STDERR_FILENO, g_giveUpMessage, g_giveUpLength);
    (void)written;
    _exit(1);
}

RawGrab failed(RawGrab::Failure failure, int errorCode = 0)
{
    RawGrab grab;
    grab.failure = failure;
    grab.errorCode = errorCode;
    return grab;
}

} // namespace

xcb_connection_t* connectOrGiveUp(const char* display, unsigned seconds)
{
    const char* name = display ? display : std::getenv("DISPLAY");
    std::string giveUpMessage = std::string("snaplorn: ") + texts::CliDisplaySilent + "\n";
    giveUpMessage.replace(giveUpMessage.find("%1"), 2, name ? name : "");
    g_giveUpLength = std::min(giveUpMessage.size(), sizeof g_giveUpMessage);
    std::memcpy(g_giveUpMessage, giveUpMessage.data(), g_giveUpLength);
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_handler = &giveUp;
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, &previous);
    const unsigned pending = alarm(seconds);
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    alarm(0);
    sigaction(SIGALRM, &previous, nullptr);
    if (pending > 0)
        alarm(pending);
    return connection;
}

GrabArea GrabArea::intersected(const GrabArea& other) const
{
    const int left = std::max(x, other.x);
    const int top = std::max(y, other.y);
    const int right = std::min(x + width, other.x + other.width);
    const int bottom = std::min(y + height, other.y + other.height);
    if (right <= left || bottom <= top)
        return GrabArea{};
    return GrabArea{left, top, right - left, bottom - top};
}

void releaseGrab(RawGrab& grab)
{
    if (grab.release)
        grab.release(grab.releaseInfo);
    grab.release = nullptr;
    grab.data = nullptr;
}

// The X server leaves the fourth byte of a depth-24 pixel undefined (mostly
// 0); RGB32 pictures carry 0xff there, which painting and comparing rely on.
// The pass runs over every pixel of the screen, so it goes 16 pixels at a
// time where the processor allows.
void makeOpaque(unsigned char* data, size_t bytes)
{
    auto* pixel = reinterpret_cast<uint32_t*>(data);
    const size_t count = bytes / 4;
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i alpha = _mm_set1_epi32(int(0xff000000u));
    auto* block = reinterpret_cast<__m128i*>(pixel);
    for (; i + 16 <= count; i += 16, block += 4) {
        const __m128i a = _mm_loadu_si128(block);
        const __m128i b = _mm_loadu_si128(block + 1);
        const __m128i c = _mm_loadu_si128(block + 2);
        const __m128i d = _mm_loadu_si128(block + 3);
        _mm_storeu_si128(block, _mm_or_si128(a, alpha));
        _mm_storeu_si128(block + 1, _mm_or_si128(b, alpha));
        _mm_storeu_si128(block + 2, _mm_or_si128(c, alpha));
        _mm_storeu_si128(block + 3, _mm_or_si128(d, alpha));
    }
#endif
    for (; i < count; ++i)
        pixel[i] |= 0xff000000u;
}

X11RootGrabber::X11RootGrabber(xcb_connection_t* connection, Transport transport)
    : m_connection(connection)
{
    xcb_screen_t* screen = firstScreen(connection);
    m_root = screen->root;
    m_depth = screen->root_depth;
    const xcb_setup_t* setup = xcb_get_setup(connection);
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
         xcb_format_next(&formats)) {
        if (formats.data->depth == m_depth) {
            m_bitsPerPixel = formats.data->bits_per_pixel;
            m_scanlinePad = formats.data->scanline_pad;
        }
    }
    const xcb_visualtype_t* visual = rootVisual(screen);
    m_rgbMasks = visual && visual->red_mask == 0xff0000u && visual->green_mask == 0xff00u &&
                 visual->blue_mask == 0xffu;
    m_lsbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    if (transport == Transport::Automatic && formatFailure() == RawGrab::Failure::None &&
        sharedMemoryPresent(connection))
        m_shm = std::make_shared<ShmSegmentPool>(connection);
}

X11RootGrabber::~X11RootGrabber() = default;

// As the server has it now: the connection's setup keeps the size the root
// window had when the connection was made, and RandR may have changed it.
GrabArea X11RootGrabber::rootArea() const
{
    xcb_get_geometry_reply_t* now = xcb_get_geometry_reply(
        m_connection, xcb_get_geometry(m_connection, m_root), nullptr);
    if (now) {
        const GrabArea area{0, 0, now->width, now->height};
        free(now);
        return area;
    }
    xcb_screen_t* screen = firstScreen(m_connection);
    return GrabArea{0, 0, screen->width_in_pixels, screen->height_in_pixels};
}

RawGrab::Failure X11RootGrabber::formatFailure() const
{
    if ((m_depth != 24 && m_depth != 32) || m_bitsPerPixel != 32)
        return RawGrab::Failure::DepthUnsupported;
    if (!m_rgbMasks || !m_lsbFirst)
        return RawGrab::Failure::ByteOrderUnsupported;
    return RawGrab::Failure::None;
}

RawGrab X11RootGrabber::grab(const GrabArea& wanted, bool opaque, const RowsArrived& arrived)
{
    const RawGrab::Failure problem = formatFailure();
    if (problem != RawGrab::Failure::None)
        return failed(problem);
    const GrabArea area = wanted.intersected(rootArea());
    if (area.empty())
        return failed(RawGrab::Failure::EmptyArea);
    if (m_shm) {
        RawGrab shared = grabShared(area, opaque, arrived);
        // A caller that has read some rows may still be reading: the
        // segments stay mapped for it.
        if (shared.ok() || arrived)
            return shared;
        m_shm.reset(); // the server refused our memory: plain requests from now on
    }
    return grabPlain(area, opaque);
}

// With the opaque pass, or for a caller that uses the rows as they come,
// the picture is asked for in bands, every request sent at once: while the
// server fills one band, the band before it, still in the processor's cache,
// gets its fourth byte set or is used. The whole grab then costs little more
// than the server's copy.
RawGrab X11RootGrabber::grabShared(const GrabArea& area, bool opaque, const RowsArrived& arrived)
{
    const size_t stride = size_t(area.width) * 4; // 32 bits per pixel, padded to 32
    ShmSegment* segment = m_shm->take(stride * size_t(area.height));
    if (!segment)
        return failed(RawGrab::Failure::ServerError);
    const int bandRows =
        opaque || arrived ? int(std::max<size_t>(1, BandBytes / stride)) : area.height;
    std::vector<xcb_shm_get_image_cookie_t> cookies;
    for (int top = 0; top < area.height; top += bandRows) {
        const int rows = std::min(bandRows, area.height - top);
        cookies.push_back(xcb_shm_get_image(
            m_connection, m_root, int16_t(area.x), int16_t(area.y + top), uint16_t(area.width),
            uint16_t(rows), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, segment->xid,
            uint32_t(size_t(top) * stride)));
    }
    bool complete = true;
    for (size_t band = 0; band < cookies.size(); ++band) {
        xcb_generic_error_t* error = nullptr;
        xcb_shm_get_image_reply_t* reply =
            xcb_shm_get_image_reply(m_connection, cookies[band], &error);
        complete = complete && reply && !error;
        free(reply);
        free(error);
        if (!complete)
            continue;
        const size_t top = band * size_t(bandRows);
        const size_t rows = std::min(size_t(bandRows), size_t(area.height) - top);
        if (opaque)
            makeOpaque(segment->address + top * stride, rows * stride);
        if (arrived) {
            RawGrab picture;
            picture.data = segment->address;
            picture.width = area.width;
            picture.height = area.height;
            picture.stride = stride;
            arrived(picture, int(top + rows));
        }
    }
    if (!complete) {
        ShmSegmentPool::giveBack(segment);
        return failed(RawGrab::Failure::ServerError);
    }
    RawGrab grab;
    grab.data = segment->address;
    grab.width = area.width;
    grab.height = area.height;
    grab.stride = stride;
    grab.release = &ShmSegmentPool::giveBack;
    grab.releaseInfo = segment;
    return grab;
}

RawGrab X11RootGrabber::grabPlain(const GrabArea& area, bool opaque)
{
    auto cookie =
        xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, int16_t(area.x),
                      int16_t(area.y), uint16_t(area.width), uint16_t(area.height), ~0u);
    xcb_generic_error_t* error = nullptr;
    xcb_get_image_reply_t* reply = xcb_get_image_reply(m_connection, cookie, &error);
    if (!reply) {
        const int code = error ? error->error_code : 0;
        free(error);
        return code == 0 ? failed(RawGrab::Failure::OutOfMemory)
                         : failed(RawGrab::Failure::ServerError, code);
    }
    const size_t pad = size_t(m_scanlinePad) / 8;
    const size_t stride = (size_t(area.width) * 4 + pad - 1) / pad * pad;
    unsigned char* data = xcb_get_image_data(reply);
    const size_t length = size_t(xcb_get_image_data_length(reply));
    if (length < stride * size_t(area.height)) {
        free(reply);
        return failed(RawGrab::Failure::ServerError);
    }
    if (opaque)
        makeOpaque(data, stride * size_t(area.height));
    RawGrab grab;
    grab.data = data;
    grab.width = area.width;
    grab.height = area.height;
    grab.stride = stride;
    grab.release = &freeReply;
    grab.releaseInfo = reply;
    return grab;
}

} // namespace snaplorn
