#pragma once
// Reading the X11 root window into memory, without Qt: used by the program's
// screen grabber and by the command-line capture, which starts without Qt.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct xcb_connection_t;

namespace snaplorn {

class ShmSegmentPool;

struct GrabArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    GrabArea intersected(const GrabArea& other) const;
};

// Pixels of one grab: 32 bits per pixel, blue-green-red-x bytes, top row
// first. The memory belongs to the grab until `release(releaseInfo)` is
// called, which hands it back (a shared-memory segment) or frees it (a
// GetImage reply).
struct RawGrab {
    enum class Failure { None, DepthUnsupported, ByteOrderUnsupported, EmptyArea, OutOfMemory,
                         ServerError };
    Failure failure = Failure::None;
    int errorCode = 0; // X error code for ServerError
    unsigned char* data = nullptr;
    int width = 0;
    int height = 0;
    size_t stride = 0;
    void (*release)(void*) = nullptr;
    void* releaseInfo = nullptr;
    bool ok() const { return failure == Failure::None && data; }
};

// Frees the pixels of a grab that is not handed on.
void releaseGrab(RawGrab& grab);

class X11RootGrabber
{
public:
    enum class Transport { Automatic, PlainOnly };
    // The connection belongs to the caller and must outlive the grabber.
    explicit X11RootGrabber(xcb_connection_t* connection,
                            Transport transport = Transport::Automatic);
    ~X11RootGrabber();
    X11RootGrabber(const X11RootGrabber&) = delete;
    X11RootGrabber& operator=(const X11RootGrabber&) = delete;

    GrabArea rootArea() const;
    int depth() const { return m_depth; }
    int bitsPerPixel() const { return m_bitsPerPixel; }
    bool usesSharedMemory() const { return m_shm != nullptr; }

    // Called while a shared-memory grab goes on, each time more of the
    // picture is there: the picture as it will be (memory, size, stride;
    // not yet owned) and the number of its top rows that hold their pixels.
    using RowsArrived = std::function<void(const RawGrab& picture, int rows)>;

    // `area` clipped to the root window. With `opaque` the fourth byte of
    // every pixel is set to 0xff (the X server leaves it undefined at depth
    // 24); consumers that ignore that byte ask without. With `arrived` the
    // picture may be read row by row while the server still fills it; the
    // memory stays readable until the grabber is destroyed, even when the
    // grab fails (which it then does without trying plain requests).
    RawGrab grab(const GrabArea& area, bool opaque, const RowsArrived& arrived = {});

private:
    RawGrab grabShared(const GrabArea& area, bool opaque, const RowsArrived& arrived);
    RawGrab grabPlain(const GrabArea& area, bool opaque);
    RawGrab::Failure formatFailure() const;

    xcb_connection_t* m_connection;
    uint32_t m_root = 0;
    int m_depth = 0;
    int m_bitsPerPixel = 0;
    int m_scanlinePad = 32;
    bool m_rgbMasks = false;
    bool m_lsbFirst = false;
    std::shared_ptr<ShmSegmentPool> m_shm;
};

// Connects to `display` (nullptr: DISPLAY). A server that takes the
// connection but never answers (hung or stopped) would keep xcb_connect
// waiting for ever: after `seconds` the process ends with exit code 1 and a
// message naming the display on standard error. Only for the start of the
// program, before anything is open that would need closing. Returns a
// connection that may be in error (xcb_connection_has_error).
xcb_connection_t* connectOrGiveUp(const char* display, unsigned seconds = 10);

// Sets the fourth byte of every 32-bit pixel to 0xff.
void makeOpaque(unsigned char* data, size_t bytes);

} // namespace snaplorn
