#pragma once
#include <optional>

namespace snaplorn {

// The command-line actions that run without the main window: --help,
// --version and one capture (--capture desktop|window). Returns the exit
// code when the arguments asked for one of them, nothing when the program
// should start as usual. Runs before any application object exists.
std::optional<int> runCommandLineActions(int argc, char** argv);

} // namespace snaplorn
