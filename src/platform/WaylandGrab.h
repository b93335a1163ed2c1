#pragma once
// Copying the whole desktop of a Wayland compositor that offers the wlroots
// screencopy protocol, without Qt: used by the program's screen grabber and
// by the command-line capture, which starts without Qt. Every call opens a
// connection of its own, so outputs added or removed since the last call
// are simply part of the next picture.
//
// Layout: every output is placed at its logical position and size (from
// xdg_output, else from wl_output's position and its mode divided by its
// scale), one picture pixel per logical pixel, which is the coordinate space
// windows and pointer positions use. An output whose buffer is larger than
// its logical size (a scale above 1, fractional or not) is reduced to its
// logical size by nearest-pixel sampling; a rotated or mirrored output is
// turned the way it is shown. Parts of the bounding box that no output
// covers are black.
#include <cstddef>
#include <string>
#include <vector>

namespace snaplorn {

struct WaylandGrab {
    enum class Failure {
        None,
        NoDisplay,         // WAYLAND_DISPLAY is not set
        ConnectFailed,     // the compositor cannot be reached
        NoScreencopy,      // the compositor does not offer screencopy
        NoOutputs,         // the compositor has no output
        ConnectionLost,    // the compositor went away during the capture
        CopyFailed,        // the compositor refused to copy an output
        OutputsChanged,    // an output came or went during the capture
        FormatUnsupported, // the compositor offers an unknown pixel format
        OutOfMemory,
        TimedOut           // the compositor stopped answering
    };
    Failure failure = Failure::None;
    std::string detail; // the output concerned, or the system's reason
    // The desktop's bounding box in logical coordinates.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // Where each output lies in the picture (the bounding box's top left
    // corner is 0, 0), in logical pixels, with the compositor's name for it.
    struct Output {
        std::string name;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };
    std::vector<Output> outputs;
    // 32 bits per pixel, blue-green-red-0xff bytes, top row first; from
    // malloc, the caller frees it (releaseWaylandGrab or free()).
    unsigned char* data = nullptr;
    size_t stride = 0;
    bool ok() const { return failure == Failure::None; }
};

void releaseWaylandGrab(WaylandGrab& grab);

// `display`: a socket name or path (nullptr: WAYLAND_DISPLAY). With
// `layoutOnly` nothing is copied: only the bounding box is filled in.
WaylandGrab grabWaylandDesktop(const char* display = nullptr, bool layoutOnly = false,
                               int timeoutMs = 5000);

// Whether the compositor offers screencopy, without copying anything.
WaylandGrab::Failure probeWaylandScreencopy(const char* display = nullptr);

// True when a program started with this environment runs on Qt's Wayland
// platform: QT_QPA_PLATFORM names wayland first, or does not name a platform
// while WAYLAND_DISPLAY is set and XDG_SESSION_TYPE is not "x11".
bool waylandSessionChosen();

} // namespace snaplorn
