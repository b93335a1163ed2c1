#pragma once
#include "platform/Clipboard.h"

namespace snaplorn {

// The desktop's clipboard through QClipboard. On X11 a picture put here is
// offered to other programs as image/png, image/bmp and the other image
// types Qt serves; a picture offered by another program is read from
// whichever of those types it provides. When the program ends, a picture it
// still owns passes to the clipboard manager or to a keeper process (see
// ClipboardKeeper.h), which `keeperProgram` (this executable by default)
// runs as.
class QtClipboard : public Clipboard
{
    Q_OBJECT
public:
    explicit QtClipboard(QObject* parent = nullptr, const QString& keeperProgram = QString());

    Result setImage(const QImage& image) override;
    bool hasImage() override;
    QImage image() override;
    void setText(const QString& text) override;
    void clear() override;
    void persistOnExit() override;

private:
    QString m_keeperProgram;
};

} // namespace snaplorn
