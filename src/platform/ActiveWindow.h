#pragma once
#include "base/Texts.h"
#include "platform/ScreenGrabber.h"

#include <QRect>
#include <QString>

namespace snaplorn {

// The window the user is working in, as the window manager sees it.
struct ActiveWindowInfo {
    QRect frame;   // outer frame incl. decorations, desktop coordinates
    QString error; // set when there is no active window
    // Set where the desktop does not say which window is active and lets the
    // user pick the window in its own screenshot dialog instead: the picture
    // then comes from ActiveWindow::requestPicked(), and `error` holds the
    // notice that tells the user so (what a caller that cannot ask for the
    // picture shows as the reason).
    bool picked = false;
    bool ok() const { return error.isEmpty() && frame.isValid(); }
};

class ActiveWindow
{
public:
    virtual ~ActiveWindow() = default;
    virtual ActiveWindowInfo activeWindow() = 0;
    // The picture of the window the user picks, for an answer with `picked`
    // set. Answered exactly once, like a grab.
    virtual void requestPicked(GrabAnswer answer)
    {
        answer({QImage(), QString::fromUtf8(texts::CaptureUnavailable)});
    }
};

} // namespace snaplorn
