#pragma once
#include <QImage>
#include <QString>

#include <functional>

class QObject;

namespace snaplorn {

// Keeps a picture on the X11 clipboard after the program that copied it ends.
// An X11 clipboard lives in the program that owns it, so its contents vanish
// with that program. When a clipboard manager runs, the application object
// hands everything to it as it is destroyed (the SAVE_TARGETS convention of
// X11 clipboard managers). Without one, a keeper process (the executable
// started with KeeperOption) takes the clipboard over and serves the picture
// until another program takes the clipboard, then ends; a newer keeper takes
// it from an older one, so at most one keeper runs.
namespace clipboardkeeper {

inline constexpr char KeeperOption[] = "--keep-clipboard";

// True when a clipboard manager owns CLIPBOARD_MANAGER on Qt's X display.
bool managerRunning();

// Starts `program` as a keeper of `picture` and waits, at most `timeoutMs`,
// until it owns the clipboard. Needs a GUI application object on X11. False
// when the keeper could not be started or did not take over in time.
bool handOver(const QImage& picture, const QString& program, int timeoutMs);

// Calls `taken` once, when another program owns the clipboard that this
// process owns now; `context` ends the watch when destroyed. Asks the X server
// rather than Qt, which keeps believing it owns the clipboard when another
// program clears it before copying (Snaplorn itself does).
void whenClipboardTaken(QObject* context, const std::function<void()>& taken);

// The keeper process (argv: program, KeeperOption, picture file). Reads and
// removes the picture file, takes the clipboard and serves the picture until
// another program takes it. Creates its own application object; returns the
// exit code.
int runKeeper(int argc, char** argv);

} // namespace clipboardkeeper
} // namespace snaplorn
