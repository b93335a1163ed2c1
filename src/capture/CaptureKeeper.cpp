#include "capture/CaptureKeeper.h"

#include "document/JpegEncoder.h"
#include "platform/X11Grab.h"

#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace snaplorn::capturekeeper {

namespace {

// Every answer starts with a header of this many bytes: "jpeg" and the
// picture's size in ten digits, or "fail" and zeros, and a line end.
constexpr size_t HeaderBytes = 16;
// Larger answers are not believed: no screen gives a JPEG of this size.
constexpr unsigned long MaxAnswerBytes = 1ul << 30;
// How long a capturing process waits for the keeper's answer before it
// captures by itself; a 4K picture takes a small part of it.
constexpr int AnswerSeconds = 5;
// How long the keeper waits for a request to arrive whole, and for its
// answer to be taken.
constexpr int RequestSeconds = 2;

void setTimeouts(int fd, int seconds)
{
    const timeval limit{seconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

// Sends or receives all `size` bytes: `step` moves some of them and returns
// how many, 0 at the end of the stream, or -1.
template <typename Step, typename Byte> bool moveAll(Step step, Byte* data, size_t size)
{
    while (size > 0) {
        const ssize_t moved = step(data, size);
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved <= 0)
            return false;
        data += moved;
        size -= size_t(moved);
    }
    return true;
}

bool sendAll(int fd, const unsigned char* data, size_t size)
{
    return moveAll(
        [fd](const unsigned char* at, size_t n) { return send(fd, at, n, MSG_NOSIGNAL); }, data,
        size);
}

bool receiveAll(int fd, unsigned char* data, size_t size)
{
    return moveAll([fd](unsigned char* at, size_t n) { return recv(fd, at, n, 0); }, data, size);
}

bool plainDigits(const char* text, size_t length, unsigned long* value)
{
    if (length == 0)
        return false;
    unsigned long number = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        number = number * 10 + unsigned(text[i] - '0');
    }
    *value = number;
    return true;
}

bool socketAddress(const std::string& path, sockaddr_un* address)
{
    if (path.empty() || path.size() >= sizeof address->sun_path)
        return false;
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool sendHeader(int fd, const char* kind, unsigned long size)
{
    char header[HeaderBytes + 1];
    std::snprintf(header, sizeof header, "%s %010lu\n", kind, size);
    return sendAll(fd, reinterpret_cast<const unsigned char*>(header), HeaderBytes);
}

// The request "capture N\n", N the JPEG quality; 0 when it is anything else.
int readRequest(int fd)
{
    char line[16];
    size_t length = 0;
    while (length < sizeof line) {
        const ssize_t got = recv(fd, line + length, 1, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return 0;
        if (line[length] == '\n')
            break;
        ++length;
    }
    static const char verb[] = "capture ";
    const size_t verbLength = sizeof verb - 1;
    unsigned long quality = 0;
    if (length >= sizeof line || length <= verbLength || std::memcmp(line, verb, verbLength) != 0 ||
        !plainDigits(line + verbLength, length - verbLength, &quality) || quality < 1 ||
        quality > 100)
        return 0;
    return int(quality);
}

// Serves one request. False when the keeper should end: the connection to
// the X server broke.
bool serve(int client, xcb_connection_t* connection, X11RootGrabber& grabber)
{
    ucred peer{};
    socklen_t peerLength = sizeof peer;
    if (getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &peerLength) != 0 ||
        peer.uid != getuid())
        return true;
    setTimeouts(client, RequestSeconds);
    const int quality = readRequest(client);
    if (quality == 0) {
        sendHeader(client, "fail", 0);
        return true;
    }
    RawGrab grab = grabber.grab(grabber.rootArea(), false);
    if (!grab.ok()) {
        sendHeader(client, "fail", 0);
        return !xcb_connection_has_error(connection);
    }
    const JpegSource source{grab.data, grab.width, grab.height, grab.stride,
                            JpegPixels::Bgrx32, false};
    const JpegBytes jpeg = encodeJpeg(source, quality);
    releaseGrab(grab);
    if (!jpeg.ok() || jpeg.size > MaxAnswerBytes) {
        sendHeader(client, "fail", 0);
        return true;
    }
    if (sendHeader(client, "jpeg", jpeg.size))
        sendAll(client, jpeg.data.get(), jpeg.size);
    return true;
}

int listenAt(const std::string& path)
{
    sockaddr_un address{};
    if (!socketAddress(path, &address))
        return -1;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    unlink(path.c_str()); // left by a keeper that was killed; the lock is ours
    const mode_t mask = umask(077);
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    umask(mask);
    if (!bound || listen(fd, 8) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::string socketPath(const std::string& display)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat folder = {};
    if (!runtime || *runtime != '/' || stat(runtime, &folder) != 0 || !S_ISDIR(folder.st_mode) ||
        folder.st_uid != getuid() || (folder.st_mode & 077) != 0)
        return {};
    std::string name = "snaplorn-capture-";
    for (char c : display)
        name +=
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ? c : '_';
    std::string path = std::string(runtime) + "/" + name;
    sockaddr_un address{};
    return socketAddress(path + ".lock", &address) ? path : std::string();
}

int idleSeconds()
{
    const char* text = std::getenv("SNAPLORN_KEEPER_IDLE");
    unsigned long seconds = 0;
    if (text && std::strlen(text) <= 6 && plainDigits(text, std::strlen(text), &seconds))
        return int(seconds);
    return DefaultIdleSeconds;
}

bool capture(const std::string& display, int quality, std::vector<unsigned char>* jpeg)
{
    jpeg->clear();
    sockaddr_un address{};
    if (idleSeconds() == 0 || !socketAddress(socketPath(display), &address))
        return false;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    setTimeouts(fd, AnswerSeconds);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (ok) {
        const std::string request = "capture " + std::to_string(quality) + "\n";
        unsigned char header[HeaderBytes];
        unsigned long size = 0;
        ok = sendAll(fd, reinterpret_cast<const unsigned char*>(request.data()), request.size()) &&
             receiveAll(fd, header, HeaderBytes) && std::memcmp(header, "jpeg", 4) == 0 &&
             header[HeaderBytes - 1] == '\n' && header[4] == ' ' &&
             plainDigits(reinterpret_cast<char*>(header) + 5, HeaderBytes - 6, &size) &&
             size >= 4 && size <= MaxAnswerBytes;
        if (ok) {
            jpeg->resize(size);
            // A whole JPEG or none: the bytes end where the header said, with
            // the JPEG's own start and end.
            ok = receiveAll(fd, jpeg->data(), size) && (*jpeg)[0] == 0xFF && (*jpeg)[1] == 0xD8 &&
                 (*jpeg)[size - 2] == 0xFF && (*jpeg)[size - 1] == 0xD9;
        }
    }
    close(fd);
    if (!ok)
        jpeg->clear();
    return ok;
}

void start(const std::string& display)
{
    if (idleSeconds() == 0 || socketPath(display).empty())
        return;
    const pid_t child = fork();
    if (child < 0)
        return;
    if (child == 0) {
        // Twice forked, so that the keeper is nobody's child here and its
        // end leaves no zombie; in a session of its own, so a terminal's
        // hang-up does not reach it.
        setsid();
        if (fork() != 0)
            _exit(0);
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0) {
            dup2(null, STDIN_FILENO);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        close_range(3, ~0u, 0);
        if (chdir("/") != 0)
            _exit(1);
        const char* arguments[] = {"snaplorn", KeeperOption, display.c_str(), nullptr};
        execv("/proc/self/exe", const_cast<char* const*>(arguments));
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

int run(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const std::string display = argv[2];
    const std::string path = socketPath(display);
    const int idle = idleSeconds();
    if (path.empty() || idle == 0)
        return 0;
    std::signal(SIGPIPE, SIG_IGN);
    // One keeper per display: the lock is held for the keeper's life, and
    // whoever holds it owns the socket's name.
    const int lock = open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock < 0 || flock(lock, LOCK_EX | LOCK_NB) != 0)
        return 0;
    xcb_connection_t* connection = connectOrGiveUp(display.c_str());
    int code = 1;
    if (!xcb_connection_has_error(connection)) {
        X11RootGrabber grabber(connection);
        // Without shared memory there is nothing a keeper keeps warm.
        const int listener = grabber.usesSharedMemory() ? listenAt(path) : -1;
        code = listener >= 0 ? 0 : 1;
        while (listener >= 0) {
            pollfd watched[2] = {{listener, POLLIN, 0},
                                 {xcb_get_file_descriptor(connection), POLLIN, 0}};
            const int ready = poll(watched, 2, idle * 1000);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0)
                break; // idle long enough
            if (watched[1].revents) {
                while (xcb_generic_event_t* event = xcb_poll_for_event(connection))
                    free(event);
                if (xcb_connection_has_error(connection))
                    break; // the X server went
            }
            if (watched[0].revents & POLLIN) {
                const int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
                if (client < 0)
                    continue;
                const bool goOn = serve(client, connection, grabber);
                close(client);
                if (!goOn)
                    break;
            }
        }
        if (listener >= 0) {
            unlink(path.c_str());
            close(listener);
        }
    }
    xcb_disconnect(connection);
    close(lock);
    return code;
}

} // namespace snaplorn::capturekeeper
