#pragma once
// The quick way of `snaplorn --capture desktop --output FILE.jpg --quality N`:
// a screen picture encoded straight from the grab, in a process that never
// loads Qt. Used before anything else starts; every other command line, and
// any failure, goes to the program proper, which gives the messages.
#include <string>
#include <vector>

namespace snaplorn {

struct FastCaptureOutcome {
    bool done = false; // the picture was saved and its path printed
    // The arguments the program proper should run with when not done: the
    // original ones, plus "--delay=0" when the delay has already been waited.
    std::vector<std::string> fallbackArguments;
};

FastCaptureOutcome runFastCapture(int argc, char** argv);

// Writes `size` bytes to `path` through a temporary file in the same folder
// renamed over it, so the path never holds a half-written file. A file that
// is replaced keeps its permissions, and the new bytes are on the disk before
// the old ones go. False with the reason in `why` when anything fails; the
// file at `path` is then as it was.
bool writeFileAtomically(const std::string& path, const unsigned char* data, size_t size,
                         std::string* why);

} // namespace snaplorn
