#pragma once

namespace snaplorn {

// Picture buffers (a screen is megabytes) go straight back to the system
// when freed. Left to itself, glibc raises its mmap threshold after the first
// large buffers are freed and keeps later ones in its heap, so a program that
// captures all day would hold on to several screens' worth of memory.
void keepPictureMemoryReturnable();

// The program's entry: decides whether this process becomes the running
// Snaplorn or hands over to one that already runs, then creates and shows
// the main window and runs the event loop. Returns the exit code.
int Main(int argc, char** argv);

} // namespace snaplorn
