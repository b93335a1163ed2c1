#include "capture/FastCapture.h"

#include "base/Texts.h"
#include "capture/CaptureKeeper.h"
#include "document/JpegEncoder.h"
#include "platform/WaylandGrab.h"
#include "platform/X11Grab.h"

#include <xcb/xcb.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>
#include <vector>

namespace snaplorn {

namespace {

constexpr int MaxDelayMs = 600000;

struct FastOptions {
    bool desktop = false;
    int delayMs = 0;
    int quality = -1;
    std::string output;
};

bool startsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// Only plain decimal digits; anything else is left to the full parser.
bool plainNumber(const std::string& text, int low, int high, int* value)
{
    if (text.empty() || text.size() > 7)
        return false;
    int number = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    if (number < low || number > high)
        return false;
    *value = number;
    return true;
}

bool isFolder(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool applyOption(const std::string& name, const std::string& value, FastOptions& options)
{
    if (name == "--capture") {
        options.desktop = value == "desktop";
        return options.desktop;
    }
    if (name == "--delay")
        return plainNumber(value, 0, MaxDelayMs, &options.delayMs);
    if (name == "--quality")
        return plainNumber(value, 1, 100, &options.quality);
    if (name == "--output") {
        // The same rule as the save code: a name ending in "jpg".
        const bool jpeg = value.size() >= 3 && value.compare(value.size() - 3, 3, "jpg") == 0;
        options.output = value;
        return jpeg && !isFolder(value);
    }
    return false;
}

// True when the command line is a whole request this path serves alone:
// a desktop capture, a JPEG file and a quality, perhaps a delay.
bool parseFast(int argc, char** argv, FastOptions& options)
{
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        std::string value;
        if (!startsWith(name, "--"))
            return false;
        const size_t equals = name.find('=');
        if (equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        } else if (i + 1 < argc && !startsWith(argv[i + 1], "--")) {
            value = argv[++i];
        } else {
            return false;
        }
        if (!applyOption(name, value, options))
            return false;
    }
    return options.desktop && options.quality > 0 && !options.output.empty();
}

void sleepMs(int ms)
{
    timespec wait{ms / 1000, long(ms % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
    }
}

bool writeAll(int fd, const unsigned char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= size_t(written);
    }
    return true;
}

bool saveJpeg(const FastOptions& options, const JpegSource& source)
{
    const JpegBytes jpeg = encodeJpeg(source, options.quality);
    std::string why;
    return jpeg.ok() && writeFileAtomically(options.output, jpeg.data.get(), jpeg.size, &why);
}

// How much of the screen the X server has filled so far, for the encoder
// that works alongside the grab.
class RowGate : public JpegRowsArriving
{
public:
    bool waitForRows(int rows) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] { return m_rows >= rows || m_over; });
        return m_rows >= rows;
    }
    void arrived(int rows)
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_rows = rows;
        }
        m_changed.notify_all();
    }
    // No more rows will come.
    void over()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_over = true;
        }
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_rows = 0;
    bool m_over = false;
};

// The screen's JPEG, encoded strip by strip while the server still fills
// the rows below: a process that starts afresh waits a long time for the
// server to map the new shared memory, and the other cores encode meanwhile.
JpegBytes grabAndEncode(X11RootGrabber& grabber, int quality)
{
    RowGate gate;
    JpegBytes jpeg;
    std::thread encoder;
    auto arrived = [&](const RawGrab& picture, int rows) {
        if (!encoder.joinable()) {
            const JpegSource source{picture.data, picture.width, picture.height,
                                    picture.stride, JpegPixels::Bgrx32, false};
            try {
                encoder = std::thread([&jpeg, &gate, source, quality] {
                    jpeg = encodeJpeg(source, quality, &gate);
                });
            } catch (...) { // no thread: encoded after the grab
            }
        }
        gate.arrived(rows);
    };
    // The encoder ignores the fourth byte of each pixel: no opaque pass.
    RawGrab grab = grabber.grab(grabber.rootArea(), false, arrived);
    gate.over();
    if (encoder.joinable())
        encoder.join();
    else if (grab.ok())
        jpeg = encodeJpeg(JpegSource{grab.data, grab.width, grab.height, grab.stride,
                                     JpegPixels::Bgrx32, false},
                          quality);
    if (!grab.ok() && jpeg.error.empty())
        jpeg.error = "the screen could not be read";
    releaseGrab(grab);
    return jpeg;
}

// Screencopy only: a compositor without it is left to the program proper,
// which asks the desktop portal.
bool captureWaylandDesktop(const FastOptions& options)
{
    WaylandGrab grab = grabWaylandDesktop();
    bool saved = false;
    if (grab.ok())
        saved = saveJpeg(options, JpegSource{grab.data, grab.width, grab.height, grab.stride,
                                             JpegPixels::Bgrx32, false});
    releaseWaylandGrab(grab);
    return saved;
}

bool captureDesktop(const FastOptions& options)
{
    if (waylandSessionChosen())
        return captureWaylandDesktop(options);
    const std::string display = std::getenv("DISPLAY");
    std::vector<unsigned char> kept;
    if (capturekeeper::capture(display, options.quality, &kept)) {
        std::string why;
        return writeFileAtomically(options.output, kept.data(), kept.size(), &why);
    }
    xcb_connection_t* connection = connectOrGiveUp(nullptr);
    bool saved = false;
    bool keep = false;
    if (!xcb_connection_has_error(connection)) {
        X11RootGrabber grabber(connection);
        keep = grabber.usesSharedMemory();
        const JpegBytes jpeg = grabAndEncode(grabber, options.quality);
        std::string why;
        saved = jpeg.ok() && writeFileAtomically(options.output, jpeg.data.get(), jpeg.size, &why);
    }
    xcb_disconnect(connection);
    // Only after the file is there, so this capture waits for nothing.
    if (saved && keep)
        capturekeeper::start(display);
    return saved;
}

} // namespace

bool writeFileAtomically(const std::string& path, const unsigned char* data, size_t size,
                         std::string* why)
{
    struct stat existing {};
    const bool replacing = stat(path.c_str(), &existing) == 0;
    if (replacing && !S_ISREG(existing.st_mode)) {
        *why = "not a regular file";
        return false;
    }
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        *why = strerror(errno);
        return false;
    }
    mode_t mode = existing.st_mode & 07777;
    if (!replacing) {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    // A replaced file is forced to the disk first, so a crash cannot leave
    // the name pointing at data that never got there; a new file has nothing
    // to lose and reaches the disk with the system's next write-back.
    bool ok = fchmod(fd, mode) == 0 && writeAll(fd, data, size) && (!replacing || fsync(fd) == 0);
    if (!ok)
        *why = strerror(errno);
    if (close(fd) != 0 && ok) {
        ok = false;
        *why = strerror(errno);
    }
    if (ok && rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        *why = strerror(errno);
    }
    if (!ok)
        unlink(temporary.c_str());
    return ok;
}

FastCaptureOutcome runFastCapture(int argc, char** argv)
{
    FastCaptureOutcome outcome;
    outcome.fallbackArguments.assign(argv, argv + argc);
    FastOptions options;
    const char* display = std::getenv("DISPLAY");
    const bool screen = waylandSessionChosen() || (display && *display);
    if (argc < 2 || !screen || !parseFast(argc, argv, options))
        return outcome;
    if (options.delayMs > 0) {
        sleepMs(options.delayMs);
        outcome.fallbackArguments.emplace_back("--delay=0");
    }
    if (!captureDesktop(options))
        return outcome;
    std::string line = texts::CliSaved;
    line.replace(line.find("%1"), 2, options.output);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    outcome.done = true;
    return outcome;
}

} // namespace snaplorn
