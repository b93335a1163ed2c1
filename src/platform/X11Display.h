#pragma once
#include "base/Result.h"

#include <memory>

struct xcb_connection_t;

namespace snaplorn {

// Qt's own connection to the X server, or nullptr when the application
// does not run on the xcb platform.
xcb_connection_t* qtX11Connection();

// A connection of our own to the display named by DISPLAY, for work done
// without an application object (and before one exists: Qt ends the
// process when its platform cannot start, so the display is tried first).
class X11Connection
{
public:
    // Nothing, with the reason in `why`, when DISPLAY is unset or the
    // server cannot be reached.
    static std::unique_ptr<X11Connection> open(QString* why);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    xcb_connection_t* get() const { return m_connection; }

private:
    explicit X11Connection(xcb_connection_t* connection) : m_connection(connection) {}
    xcb_connection_t* m_connection;
};

} // namespace snaplorn
