#pragma once

namespace snaplorn {

// The program's entry: decides whether this process becomes the running
// Snaplorn or hands over to one that already runs, then creates and shows
// the main window and runs the event loop. Returns the exit code.
int Main(int argc, char** argv);

} // namespace snaplorn
