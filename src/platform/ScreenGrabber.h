#pragma once
#include <QImage>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace snaplorn {

// One screen's part of a desktop picture: the screen's name as the desktop
// gives it (the name QScreen reports) and the area it shows, in picture
// pixels.
struct ScreenArea {
    QString name;
    QRect area;
};

// A picture of the screen, or why there is none.
struct GrabResult {
    GrabResult() = default;
    GrabResult(QImage picture, QString why) : image(std::move(picture)), error(std::move(why)) {}

    QImage image; // Format_RGB32, one image pixel per screen pixel
    QString error;
    // Where the picture's first pixel lies on the desktop.
    QPoint origin;
    // Each screen's part of a whole-desktop picture, where the grabber knows
    // the layout it copied; empty otherwise.
    std::vector<ScreenArea> screens;
    bool ok() const { return !image.isNull() && error.isEmpty(); }
};

// Where the pointer is (desktop coordinates) and which of the keys that
// matter to a drag are held, as the display sees it at this moment,
// whichever window receives the pointer's events.
struct PointerState {
    QPoint position;
    bool leftButton = false;
    bool shiftAlone = false; // Shift held, Control and Alt not
};

using GrabAnswer = std::function<void(const GrabResult&)>;

// Copies the whole virtual desktop (all monitors) from the screen. A grab is
// a request answered exactly once: at once by grabbers that read the screen
// themselves, later from the event loop by those that ask the desktop for
// the picture. Callers continue in the answer and never wait for it.
class ScreenGrabber
{
public:
    virtual ~ScreenGrabber() = default;
    // The whole desktop, in desktop coordinates from (0, 0).
    virtual void requestDesktop(GrabAnswer answer) = 0;
    // One area of the desktop, clipped to it (a window's frame).
    virtual void requestArea(const QRect& area, GrabAnswer answer);
    // The desktop's size and origin.
    virtual QRect desktopGeometry() = 0;
    // Nothing where the pointer cannot be asked about.
    virtual std::optional<PointerState> pointerState() { return std::nullopt; }
};

// The answer of a grab, for a caller that has nothing else to do meanwhile
// (the command-line capture): an answer that comes later is awaited in an
// event loop of its own.
GrabResult grabDesktopAndWait(ScreenGrabber& grabber);
GrabResult grabAreaAndWait(ScreenGrabber& grabber, const QRect& area);

} // namespace snaplorn
