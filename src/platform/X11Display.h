#pragma once
#include "app/Result.h"

struct xcb_connection_t;

namespace snaplorn {

// Qt's own connection to the X server, or nullptr when the application
// does not run on the xcb platform.
xcb_connection_t* qtX11Connection();

// Whether an X display can be reached, tried before any application object
// exists (Qt ends the process when its platform cannot start).
Result probeX11Display();

} // namespace snaplorn
