#pragma once
#include <QRect>
#include <QString>

namespace snaplorn {

// The window the user is working in, as the window manager sees it.
struct ActiveWindowInfo {
    QRect frame;   // outer frame incl. decorations, desktop coordinates
    QString error; // set when there is no active window
    bool ok() const { return error.isEmpty() && frame.isValid(); }
};

class ActiveWindow
{
public:
    virtual ~ActiveWindow() = default;
    virtual ActiveWindowInfo activeWindow() = 0;
};

} // namespace snaplorn
