#pragma once
#include "base/Result.h"

#include <QString>

namespace snaplorn {

// The file of image number `number` of an auto-capture series:
// "Screen<number>.jpg" in the folder, joined with one '/'.
QString autoCaptureFileName(const QString& folder, int number);

// Whether the auto-capture folder can receive the images: it must exist,
// be a folder (a trailing '/' is fine) and take a new file. The check
// creates and removes a small probe file, since only that answers for
// read-only mounts and access lists as well as for permissions.
bool autoCaptureFolderUsable(const QString& folder);

// The first "Screen<k>.jpg" (k from 1) that does not exist yet in the folder.
QString nextFreeScreenFileName(const QString& folder);

// The timer interval of a series: the seconds of the setting in
// milliseconds, rounded to the nearest integer with halves to even, at
// least 1.
int autoCaptureIntervalMs(float seconds);

// The delay before a capture: the counter starts at 0 and keeps its value
// between captures; a capture runs on the tick that takes it past 3, which
// sets it back to 1. So the first capture after start waits four 100 ms
// ticks and every later one three.
class DelayTicks
{
public:
    // Counts one tick; true when the capture is due.
    bool tick();
    int value() const { return m_ticks; }

    static constexpr int IntervalMs = 100;

private:
    int m_ticks = 0;
};

} // namespace snaplorn
