#pragma once
#include "platform/QtClipboard.h"

namespace snaplorn {

// The clipboard of a Wayland desktop. What is copied goes to wl-copy
// (package wl-clipboard), which serves it from a process of its own until
// another program copies something: a picture copied here outlives the
// program, and a copy works even when none of the program's windows has
// had input (Wayland lets only such a client set the clipboard itself), as
// for the window capture or the command line. Reading is Qt's.
class WlCopyClipboard : public QtClipboard
{
    Q_OBJECT
public:
    explicit WlCopyClipboard(QObject* parent = nullptr) : QtClipboard(parent) {}

    Result setImage(const QImage& image) override;
    void setText(const QString& text) override;
    void clear() override;
    void persistOnExit() override {} // wl-copy keeps it already
};

} // namespace snaplorn
