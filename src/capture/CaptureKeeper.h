#pragma once
// A small background process that keeps the command-line capture warm.
//
// A process that starts, grabs the screen once and ends pays for fresh
// memory on every run: the X server maps the new shared-memory segment page
// by page as it fills it, and on a virtual machine each of those page faults
// costs more than copying the page. The keeper holds one segment attached to
// the X server, its encoder's memory and its connection, and serves desktop
// captures as JPEG bytes over a Unix socket in the user's private runtime
// folder. The capturing process still writes the file itself, with its own
// folder, permissions and error messages.
//
// The first `snaplorn --capture desktop --output F.jpg` captures by itself
// and then starts a keeper for its display; later ones ask the keeper and
// capture by themselves whenever it does not answer with a picture. The
// keeper ends after a while without requests (two minutes, or
// SNAPLORN_KEEPER_IDLE seconds; 0 starts none) or when its X server goes.
// At most one runs per display.
#include <string>
#include <vector>

namespace snaplorn::capturekeeper {

inline constexpr char KeeperOption[] = "--keep-capture";
inline constexpr int DefaultIdleSeconds = 120;

// The keeper's socket for `display`, in XDG_RUNTIME_DIR when that is a
// folder only this user can enter; empty otherwise (no keeper then).
std::string socketPath(const std::string& display);

// How long a keeper waits for requests: SNAPLORN_KEEPER_IDLE seconds when
// set to a plain number, otherwise DefaultIdleSeconds. 0: no keeper.
int idleSeconds();

// Asks the keeper of `display` for the whole screen as JPEG at `quality`.
// False, with `jpeg` empty, when no keeper answers with a whole picture in
// time; the caller then captures by itself.
bool capture(const std::string& display, int quality, std::vector<unsigned char>* jpeg);

// Starts a keeper for `display` in the background, detached from this
// process, its terminal and its standard streams. Does nothing when a keeper
// is not wanted or cannot listen.
void start(const std::string& display);

// The keeper process (argv: program, KeeperOption, display). Returns the
// exit code.
int run(int argc, char** argv);

} // namespace snaplorn::capturekeeper
