#pragma once
// The program proper (windows, settings, the command-line options) lives in
// a module loaded at run time, so that the quick command-line capture starts
// without loading Qt at all.
#include <string>
#include <vector>

namespace snaplorn {

// Loads the module that sits beside the executable (or in the library folder
// of the installation) and runs the program with `arguments` (argv[0] first).
// Its exit code, or 1 with a message when the module cannot be loaded.
int runProgramModule(const std::vector<std::string>& arguments);

} // namespace snaplorn
