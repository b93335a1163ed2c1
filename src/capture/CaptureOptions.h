#pragma once
#include <QString>
#include <QStringList>

namespace snaplorn {

// The command line read as options. Without any option the arguments keep
// their old meaning (a picture to open) and the program starts normally.
struct CaptureOptions {
    enum class Action { StartProgram, Help, Version, Capture, Error };
    Action action = Action::StartProgram;
    QString mode; // "desktop" or "window"
    int delayMs = 0;
    bool toFile = false;  // --output given
    QString output;       // the file; empty: the next ScreenN.jpg in outputFolder
    QString outputFolder; // empty: the auto-capture folder of the settings
    int quality = -1;     // -1: the JPEG quality of the settings
    QString error;        // Action::Error: what is wrong
};

// Options are recognised when the first argument starts with "--" (or is
// "-h"); "--name value" and "--name=value" are both accepted.
// `isFolder` tells whether an --output value names an existing folder.
CaptureOptions parseCaptureOptions(const QStringList& arguments,
                                   bool (*isFolder)(const QString&) = nullptr);

} // namespace snaplorn
