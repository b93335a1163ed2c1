#pragma once
#include <QImage>
#include <QRect>
#include <QString>

#include <optional>

namespace snaplorn {

// A picture of the screen, or why there is none.
struct GrabResult {
    QImage image; // Format_RGB32, one image pixel per screen pixel
    QString error;
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

// Copies the whole virtual desktop (all monitors) from the screen.
class ScreenGrabber
{
public:
    virtual ~ScreenGrabber() = default;
    // The whole desktop, in desktop coordinates from (0, 0).
    virtual GrabResult grabDesktop() = 0;
    // The desktop's size and origin.
    virtual QRect desktopGeometry() = 0;
    // One area of the desktop, clipped to it (a window's frame).
    virtual GrabResult grabArea(const QRect& area)
    {
        GrabResult whole = grabDesktop();
        if (whole.ok())
            whole.image = whole.image.copy(area.intersected(whole.image.rect()));
        return whole;
    }
    // Nothing where the pointer cannot be asked about.
    virtual std::optional<PointerState> pointerState() { return std::nullopt; }
};

} // namespace snaplorn
