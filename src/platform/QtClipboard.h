#pragma once
#include "platform/Clipboard.h"

namespace snaplorn {

// The desktop's clipboard through QClipboard. On X11 a picture put here is
// offered to other programs as image/png, image/bmp and the other image
// types Qt serves, for as long as the program runs; a picture offered by
// another program is read from whichever of those types it provides.
class QtClipboard : public Clipboard
{
    Q_OBJECT
public:
    explicit QtClipboard(QObject* parent = nullptr);

    Result setImage(const QImage& image) override;
    bool hasImage() override;
    QImage image() override;
    void setText(const QString& text) override;
    void clear() override;
};

} // namespace snaplorn
