#pragma once
#include "platform/ActiveWindow.h"

#include <QByteArray>
#include <QString>

namespace snaplorn {

// The active window in Hyprland's answer to "j/activewindow" (JSON; an
// empty object when no window has the focus): its frame with the border
// Hyprland draws around it (`borderSize` pixels on each side, none for a
// full-screen window), in the desktop's logical coordinates. No window when
// it belongs to process `ownPid` (the program's own windows are never the
// one captured).
ActiveWindowInfo hyprlandActiveWindow(const QByteArray& answer, int borderSize, qint64 ownPid);

// The border width in Hyprland's answer to "j/getoption general:border_size";
// 0 when the answer does not say.
int hyprlandBorderSize(const QByteArray& answer);

// The active window of a Hyprland session, asked over its request socket
// (one request per connection, answered until the socket closes).
class HyprlandActiveWindow : public ActiveWindow
{
public:
    explicit HyprlandActiveWindow(QString socketPath);
    ActiveWindowInfo activeWindow() override;

    // The request socket of the session named by the environment
    // (HYPRLAND_INSTANCE_SIGNATURE); empty outside a Hyprland session.
    static QString sessionSocket();

private:
    QString m_socketPath;
};

} // namespace snaplorn
