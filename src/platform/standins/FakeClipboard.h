#pragma once
#include "platform/Clipboard.h"

namespace snaplorn {

// Stand-in for tests: a clipboard of this process only, holding either a
// picture or a text, with a record of the calls made.
class FakeClipboard : public Clipboard
{
    Q_OBJECT
public:
    using Clipboard::Clipboard;

    Result setImage(const QImage& image) override;
    bool hasImage() override { return !m_image.isNull(); }
    QImage image() override { return damagedImage ? QImage() : m_image; }
    void setText(const QString& text) override;
    void clear() override;

    QString text() const { return m_text; }
    // What another program would do: put a picture or a text there.
    void offerImage(const QImage& image) { setImage(image); }
    void offerText(const QString& text) { setText(text); }

    int clears = 0;
    int imagesSet = 0;
    int textsSet = 0;
    // When set, setImage fails with this message.
    QString failure;
    // When set, a picture is announced but cannot be read.
    bool damagedImage = false;

private:
    QImage m_image;
    QString m_text;
};

} // namespace snaplorn
