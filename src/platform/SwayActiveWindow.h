#pragma once
#include "platform/ActiveWindow.h"

#include <QByteArray>
#include <QString>

namespace snaplorn {

// The focused window in sway's window tree (the JSON of get_tree): its frame
// as sway draws it, with the border and the title bar (or the row of tabs)
// above the window, in the desktop's logical coordinates. No window when
// the focus is on a workspace, or on a window of process `ownPid` (the
// program's own windows are never the one captured).
ActiveWindowInfo swayFocusedWindow(const QByteArray& tree, qint64 ownPid);

// The active window of a sway session, asked over sway's IPC socket.
class SwayActiveWindow : public ActiveWindow
{
public:
    explicit SwayActiveWindow(QString socketPath);
    ActiveWindowInfo activeWindow() override;

private:
    QString m_socketPath;
};

} // namespace snaplorn
