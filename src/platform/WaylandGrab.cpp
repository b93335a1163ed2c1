#include "platform/WaylandGrab.h"

#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace snaplorn {

namespace {

using Failure = WaylandGrab::Failure;

struct Output {
    uint32_t globalName = 0;
    wl_output* output = nullptr;
    zxdg_output_v1* xdgOutput = nullptr;
    std::string name;
    int32_t x = 0, y = 0;
    int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
    int32_t modeWidth = 0, modeHeight = 0;
    int32_t scale = 1;
    bool logical = false;
    int32_t logicalX = 0, logicalY = 0, logicalWidth = 0, logicalHeight = 0;

    // the copy
    zwlr_screencopy_frame_v1* frame = nullptr;
    wl_buffer* buffer = nullptr;
    void* pixels = MAP_FAILED;
    size_t size = 0;
    uint32_t format = 0;
    int32_t width = 0, height = 0, stride = 0;
    bool yInvert = false;
    bool ready = false;
    // set while copying: where buffers come from, where a failure goes
    wl_shm* shm = nullptr;
    Failure* failure = nullptr;
    std::string* failureDetail = nullptr;

    void fail(Failure why, const std::string& detail)
    {
        if (failure && *failure == Failure::None) {
            *failure = why;
            *failureDetail = detail;
        }
    }

    // Where the output sits on the desktop, in logical pixels.
    int left() const { return logical ? logicalX : x; }
    int top() const { return logical ? logicalY : y; }
    bool rotated() const { return transform % 2 == 1; }
    int shownWidth() const
    {
        if (logical)
            return logicalWidth;
        return (rotated() ? modeHeight : modeWidth) / std::max(1, scale);
    }
    int shownHeight() const
    {
        if (logical)
            return logicalHeight;
        return (rotated() ? modeWidth : modeHeight) / std::max(1, scale);
    }

    ~Output()
    {
        if (buffer)
            wl_buffer_destroy(buffer);
        if (pixels != MAP_FAILED)
            munmap(pixels, size);
        if (frame)
            zwlr_screencopy_frame_v1_destroy(frame);
        if (xdgOutput)
            zxdg_output_v1_destroy(xdgOutput);
        if (output) {
            if (wl_output_get_version(output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
                wl_output_release(output);
            else
                wl_output_destroy(output);
        }
    }
};

class Session
{
public:
    ~Session()
    {
        m_outputs.clear();
        if (m_screencopy)
            zwlr_screencopy_manager_v1_destroy(m_screencopy);
        if (m_xdgOutputs)
            zxdg_output_manager_v1_destroy(m_xdgOutputs);
        if (m_shm)
            wl_shm_destroy(m_shm);
        if (m_registry)
            wl_registry_destroy(m_registry);
        if (m_display)
            wl_display_disconnect(m_display);
    }

    Failure open(const char* display, int timeoutMs, std::string* detail);
    Failure copyAll(std::string* detail);
    void compose(WaylandGrab& grab, bool layoutOnly);

    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version);
    static void globalRemove(void* data, wl_registry*, uint32_t name);

private:
    Failure dispatchUntil(const std::function<bool()>& done);
    Failure roundtrip();
    void addOutput(uint32_t name, uint32_t version);

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_shm* m_shm = nullptr;
    zwlr_screencopy_manager_v1* m_screencopy = nullptr;
    zxdg_output_manager_v1* m_xdgOutputs = nullptr;
    std::vector<std::unique_ptr<Output>> m_outputs;
    bool m_listed = false;   // the first list of globals is complete
    bool m_changed = false;  // an output came or went after that
    std::chrono::steady_clock::time_point m_deadline;
};

// --- listeners -------------------------------------------------------------

void outputGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                    const char*, const char*, int32_t transform)
{
    auto* o = static_cast<Output*>(data);
    o->x = x;
    o->y = y;
    o->transform = transform;
}

void outputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t)
{
    auto* o = static_cast<Output*>(data);
    if (flags & WL_OUTPUT_MODE_CURRENT) {
        o->modeWidth = width;
        o->modeHeight = height;
    }
}

void outputDone(void*, wl_output*) {}

void outputScale(void* data, wl_output*, int32_t factor)
{
    static_cast<Output*>(data)->scale = factor;
}

void outputName(void* data, wl_output*, const char* name)
{
    static_cast<Output*>(data)->name = name;
}

void outputDescription(void*, wl_output*, const char*) {}

const wl_output_listener outputListener = {outputGeometry, outputMode,        outputDone,
                                           outputScale,    outputName,        outputDescription};

void xdgPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y)
{
    auto* o = static_cast<Output*>(data);
    o->logical = true;
    o->logicalX = x;
    o->logicalY = y;
}

void xdgSize(void* data, zxdg_output_v1*, int32_t width, int32_t height)
{
    auto* o = static_cast<Output*>(data);
    o->logical = true;
    o->logicalWidth = width;
    o->logicalHeight = height;
}

void xdgDone(void*, zxdg_output_v1*) {}

void xdgName(void* data, zxdg_output_v1*, const char* name)
{
    static_cast<Output*>(data)->name = name;
}

void xdgDescription(void*, zxdg_output_v1*, const char*) {}

const zxdg_output_v1_listener xdgOutputListener = {xdgPosition, xdgSize, xdgDone, xdgName,
                                                   xdgDescription};

void Session::global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                     uint32_t version)
{
    auto* self = static_cast<Session*>(data);
    if (std::strcmp(interface, wl_output_interface.name) == 0) {
        if (self->m_listed)
            self->m_changed = true;
        else
            self->addOutput(name, version);
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0 && !self->m_shm) {
        self->m_shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (std::strcmp(interface, zwlr_screencopy_manager_v1_interface.name) == 0 &&
               !self->m_screencopy) {
        self->m_screencopy = static_cast<zwlr_screencopy_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_screencopy_manager_v1_interface, 1));
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0 &&
               !self->m_xdgOutputs) {
        self->m_xdgOutputs = static_cast<zxdg_output_manager_v1*>(wl_registry_bind(
            registry, name, &zxdg_output_manager_v1_interface, std::min<uint32_t>(version, 3)));
    }
}

void Session::globalRemove(void* data, wl_registry*, uint32_t name)
{
    auto* self = static_cast<Session*>(data);
    for (const auto& output : self->m_outputs)
        if (output->globalName == name)
            self->m_changed = true;
}

const wl_registry_listener registryListener = {Session::global, Session::globalRemove};

void Session::addOutput(uint32_t name, uint32_t version)
{
    auto output = std::make_unique<Output>();
    output->globalName = name;
    output->name = "#" + std::to_string(name); // until the compositor names it
    output->output = static_cast<wl_output*>(
        wl_registry_bind(m_registry, name, &wl_output_interface, std::min<uint32_t>(version, 4)));
    wl_output_add_listener(output->output, &outputListener, output.get());
    m_outputs.push_back(std::move(output));
}

void frameBuffer(void* data, zwlr_screencopy_frame_v1*, uint32_t format, uint32_t width,
                 uint32_t height, uint32_t stride);
void frameFlags(void* data, zwlr_screencopy_frame_v1*, uint32_t flags)
{
    static_cast<Output*>(data)->yInvert = flags & 1; // y_invert
}
void frameReady(void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t)
{
    static_cast<Output*>(data)->ready = true;
}
void frameFailed(void* data, zwlr_screencopy_frame_v1*);

const zwlr_screencopy_frame_v1_listener frameListener = {frameBuffer, frameFlags, frameReady,
                                                         frameFailed};

bool knownFormat(uint32_t format)
{
    return format == WL_SHM_FORMAT_XRGB8888 || format == WL_SHM_FORMAT_ARGB8888 ||
           format == WL_SHM_FORMAT_XBGR8888 || format == WL_SHM_FORMAT_ABGR8888;
}

void frameFailed(void* data, zwlr_screencopy_frame_v1*)
{
    auto* o = static_cast<Output*>(data);
    o->fail(Failure::CopyFailed, o->name);
}

// The compositor says which buffer it wants; a shared-memory one is made and
// the copy asked for at once.
void frameBuffer(void* data, zwlr_screencopy_frame_v1* frame, uint32_t format, uint32_t width,
                 uint32_t height, uint32_t stride)
{
    auto* o = static_cast<Output*>(data);
    if (!knownFormat(format)) {
        o->fail(Failure::FormatUnsupported, o->name + " (" + std::to_string(format) + ")");
        return;
    }
    if (width == 0 || height == 0 || width > 32767 || height > 32767 || stride < width * 4 ||
        stride > 4 * 32767 || o->buffer) {
        o->fail(Failure::CopyFailed, o->name);
        return;
    }
    o->format = format;
    o->width = int32_t(width);
    o->height = int32_t(height);
    o->stride = int32_t(stride);
    o->size = size_t(stride) * height;
    const int fd = memfd_create("snaplorn-screencopy", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, off_t(o->size)) != 0) {
        o->fail(Failure::OutOfMemory, std::strerror(errno));
        if (fd >= 0)
            close(fd);
        return;
    }
    o->pixels = mmap(nullptr, o->size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (o->pixels == MAP_FAILED) {
        o->fail(Failure::OutOfMemory, std::strerror(errno));
        close(fd);
        return;
    }
    wl_shm_pool* pool = wl_shm_create_pool(o->shm, fd, int32_t(o->size));
    o->buffer = wl_shm_pool_create_buffer(pool, 0, o->width, o->height, o->stride, format);
    wl_shm_pool_destroy(pool);
    close(fd);
    zwlr_screencopy_frame_v1_copy(frame, o->buffer);
}

// --- the session -----------------------------------------------------------

// Reads and handles the compositor's events until `done` holds, the
// connection breaks or the deadline passes; never blocks beyond it.
Failure Session::dispatchUntil(const std::function<bool()>& done)
{
    while (!done()) {
        while (wl_display_prepare_read(m_display) != 0) {
            if (wl_display_dispatch_pending(m_display) < 0)
                return Failure::ConnectionLost;
            if (done())
                return Failure::None;
        }
        if (wl_display_flush(m_display) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(m_display);
            return Failure::ConnectionLost;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              m_deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            wl_display_cancel_read(m_display);
            return Failure::TimedOut;
        }
        pollfd watch{wl_display_get_fd(m_display), POLLIN, 0};
        const int ready = poll(&watch, 1, int(std::min<long long>(left, INT_MAX)));
        if (ready <= 0) {
            wl_display_cancel_read(m_display);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready < 0)
                return Failure::ConnectionLost;
            continue; // the deadline is looked at above
        }
        if (wl_display_read_events(m_display) < 0)
            return Failure::ConnectionLost;
        if (wl_display_dispatch_pending(m_display) < 0)
            return Failure::ConnectionLost;
    }
    return Failure::None;
}

Failure Session::roundtrip()
{
    bool answered = false;
    wl_callback* callback = wl_display_sync(m_display);
    static const wl_callback_listener listener = {
        [](void* data, wl_callback*, uint32_t) { *static_cast<bool*>(data) = true; }};
    wl_callback_add_listener(callback, &listener, &answered);
    const Failure result = dispatchUntil([&answered] { return answered; });
    wl_callback_destroy(callback);
    return result;
}

Failure Session::open(const char* display, int timeoutMs, std::string* detail)
{
    m_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    if (!display) {
        display = std::getenv("WAYLAND_DISPLAY");
        if (!display || !*display)
            return Failure::NoDisplay;
    }
    m_display = wl_display_connect(display);
    if (!m_display) {
        *detail = std::string(display) + ": " + std::strerror(errno);
        return Failure::ConnectFailed;
    }
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &registryListener, this);
    if (const Failure f = roundtrip(); f != Failure::None)
        return f;
    m_listed = true;
    if (!m_screencopy)
        return Failure::NoScreencopy;
    if (m_outputs.empty())
        return Failure::NoOutputs;
    if (!m_shm)
        return Failure::NoScreencopy;
    if (m_xdgOutputs)
        for (const auto& output : m_outputs) {
            output->xdgOutput = zxdg_output_manager_v1_get_xdg_output(m_xdgOutputs, output->output);
            zxdg_output_v1_add_listener(output->xdgOutput, &xdgOutputListener, output.get());
        }
    // The outputs' descriptions, then those of their xdg_output objects.
    if (const Failure f = roundtrip(); f != Failure::None)
        return f;
    if (m_changed)
        return Failure::OutputsChanged;
    for (const auto& output : m_outputs)
        if (output->shownWidth() <= 0 || output->shownHeight() <= 0) {
            *detail = output->name;
            return Failure::NoOutputs;
        }
    return Failure::None;
}

Failure Session::copyAll(std::string* detail)
{
    Failure failure = Failure::None;
    for (const auto& output : m_outputs) {
        output->shm = m_shm;
        output->failure = &failure;
        output->failureDetail = detail;
        output->frame = zwlr_screencopy_manager_v1_capture_output(m_screencopy, 0, output->output);
        zwlr_screencopy_frame_v1_add_listener(output->frame, &frameListener, output.get());
    }
    const Failure waited = dispatchUntil([this, &failure] {
        return failure != Failure::None || m_changed ||
               std::all_of(m_outputs.begin(), m_outputs.end(),
                           [](const auto& output) { return output->ready; });
    });
    for (const auto& output : m_outputs)
        output->failure = nullptr;
    // An output that went away fails its copy: say what really happened.
    if (m_changed)
        return Failure::OutputsChanged;
    if (waited != Failure::None)
        return waited;
    return failure;
}

// The buffer pixel shown at (column, row) of an output turned by `transform`
// (wl_output's numbering: 1 to 3 quarter turns counter-clockwise, 4 to 7 the
// same after a mirror image). `width` and `height` are the shown size.
inline void bufferPosition(int transform, int column, int row, int width, int height, int* bx,
                           int* by)
{
    if (transform >= WL_OUTPUT_TRANSFORM_FLIPPED)
        column = width - 1 - column;
    switch (transform & 3) {
    case WL_OUTPUT_TRANSFORM_90:
        *bx = row;
        *by = width - 1 - column;
        break;
    case WL_OUTPUT_TRANSFORM_180:
        *bx = width - 1 - column;
        *by = height - 1 - row;
        break;
    case WL_OUTPUT_TRANSFORM_270:
        *bx = height - 1 - row;
        *by = column;
        break;
    default:
        *bx = column;
        *by = row;
        break;
    }
}

void Session::compose(WaylandGrab& grab, bool layoutOnly)
{
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (const auto& o : m_outputs) {
        left = std::min(left, o->left());
        top = std::min(top, o->top());
        right = std::max(right, o->left() + o->shownWidth());
        bottom = std::max(bottom, o->top() + o->shownHeight());
    }
    grab.x = left;
    grab.y = top;
    grab.width = right - left;
    grab.height = bottom - top;
    grab.outputs.clear();
    for (const auto& o : m_outputs)
        grab.outputs.push_back(
            {o->name, o->left() - left, o->top() - top, o->shownWidth(), o->shownHeight()});
    if (layoutOnly)
        return;
    if (grab.width > 32767 || grab.height > 32767) {
        grab.failure = Failure::OutOfMemory;
        return;
    }
    grab.stride = size_t(grab.width) * 4;
    const size_t bytes = grab.stride * size_t(grab.height);
    grab.data = static_cast<unsigned char*>(std::malloc(bytes));
    if (!grab.data) {
        grab.failure = Failure::OutOfMemory;
        return;
    }
    // Black where no output is, unless the outputs cover the whole box.
    long long covered = 0;
    for (const auto& o : m_outputs)
        covered += (long long)o->shownWidth() * o->shownHeight();
    if (covered != (long long)grab.width * grab.height)
        for (size_t i = 0; i < bytes; i += 4)
            *reinterpret_cast<uint32_t*>(grab.data + i) = 0xff000000u;

    for (const auto& o : m_outputs) {
        const bool swapRB =
            o->format == WL_SHM_FORMAT_XBGR8888 || o->format == WL_SHM_FORMAT_ABGR8888;
        const int shownW = o->shownWidth();
        const int shownH = o->shownHeight();
        const bool turned = o->transform != WL_OUTPUT_TRANSFORM_NORMAL;
        // The buffer as shown, before any scaling.
        const int turnedW = o->rotated() ? o->height : o->width;
        const int turnedH = o->rotated() ? o->width : o->height;
        const auto* src = static_cast<const unsigned char*>(o->pixels);
        for (int row = 0; row < shownH; ++row) {
            auto* out = reinterpret_cast<uint32_t*>(grab.data + size_t(o->top() - top + row) *
                                                                   grab.stride) +
                        (o->left() - left);
            const int turnedRow = int((long long)row * turnedH / shownH);
            if (!turned && turnedW == shownW) {
                const int line = o->yInvert ? o->height - 1 - turnedRow : turnedRow;
                const auto* in =
                    reinterpret_cast<const uint32_t*>(src + size_t(line) * size_t(o->stride));
                if (swapRB)
                    for (int column = 0; column < shownW; ++column) {
                        const uint32_t p = in[column];
                        out[column] = 0xff000000u | (p & 0x0000ff00u) | ((p & 0xffu) << 16) |
                                      ((p >> 16) & 0xffu);
                    }
                else
                    for (int column = 0; column < shownW; ++column)
                        out[column] = in[column] | 0xff000000u;
                continue;
            }
            for (int column = 0; column < shownW; ++column) {
                const int turnedColumn = int((long long)column * turnedW / shownW);
                int bx = 0, by = 0;
                bufferPosition(o->transform, turnedColumn, turnedRow, turnedW, turnedH, &bx, &by);
                if (o->yInvert)
                    by = o->height - 1 - by;
                const uint32_t p = *reinterpret_cast<const uint32_t*>(
                    src + size_t(by) * size_t(o->stride) + size_t(bx) * 4);
                out[column] = swapRB ? 0xff000000u | (p & 0x0000ff00u) | ((p & 0xffu) << 16) |
                                           ((p >> 16) & 0xffu)
                                     : p | 0xff000000u;
            }
        }
    }
}

} // namespace

void releaseWaylandGrab(WaylandGrab& grab)
{
    std::free(grab.data);
    grab.data = nullptr;
}

WaylandGrab grabWaylandDesktop(const char* display, bool layoutOnly, int timeoutMs)
{
    WaylandGrab grab;
    Session session;
    grab.failure = session.open(display, timeoutMs, &grab.detail);
    if (grab.failure == Failure::None && !layoutOnly)
        grab.failure = session.copyAll(&grab.detail);
    if (grab.failure == Failure::None)
        session.compose(grab, layoutOnly);
    return grab;
}

WaylandGrab::Failure probeWaylandScreencopy(const char* display)
{
    std::string detail;
    Session session;
    return session.open(display, 2000, &detail);
}

bool waylandSessionChosen()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform)
        return std::strncmp(platform, "wayland", 7) == 0;
    // Qt's own order: Wayland first where a compositor is named, unless the
    // login says the session is an X11 one.
    const char* session = std::getenv("XDG_SESSION_TYPE");
    if (session && std::strcmp(session, "x11") == 0)
        return false;
    const char* display = std::getenv("WAYLAND_DISPLAY");
    return display && *display;
}

} // namespace snaplorn
