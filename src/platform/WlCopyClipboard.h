#pragma once
#include "platform/Clipboard.h"

namespace snaplorn {

// A Wayland clipboard kept by wl-copy (package wl-clipboard): the picture is
// handed to it as PNG, and it serves the picture from a process of its own
// until another program copies something. So a picture copied here outlives
// the program that copied it, and a process without windows (the command
// line) can copy at all: Wayland lets only a client that received input set
// the clipboard itself. Reading is left to the program's own clipboard.
class WlCopyClipboard : public Clipboard
{
    Q_OBJECT
public:
    using Clipboard::Clipboard;

    Result setImage(const QImage& image) override;
    bool hasImage() override { return false; }
    QImage image() override { return QImage(); }
    void setText(const QString& text) override;
    void clear() override;
};

} // namespace snaplorn
