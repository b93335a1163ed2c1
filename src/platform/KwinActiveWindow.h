#pragma once
#include "platform/ActiveWindow.h"

namespace snaplorn {

// The active window in a KDE Plasma Wayland session, as KWin knows it:
// KWin's screenshot interface (org.kde.KWin.ScreenShot2) names the active
// window, and KWin's window information gives its frame. KWin answers the
// screenshot interface only to programs whose desktop entry lists it
// (X-KDE-DBUS-Restricted-Interfaces), as the program's entry does.
class KwinActiveWindow : public ActiveWindow
{
public:
    explicit KwinActiveWindow(int timeoutMs = 5000);
    ActiveWindowInfo activeWindow() override;

private:
    QString activeWindowId(QString* error);

    int m_timeoutMs;
};

} // namespace snaplorn
