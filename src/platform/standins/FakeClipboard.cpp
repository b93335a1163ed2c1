#include "platform/standins/FakeClipboard.h"

namespace snaplorn {

Result FakeClipboard::setImage(const QImage& image)
{
    if (!failure.isEmpty())
        return Result::failure(failure);
    m_image = image;
    m_text.clear();
    ++imagesSet;
    emit changed();
    return Result::success();
}

void FakeClipboard::setText(const QString& text)
{
    m_text = text;
    m_image = QImage();
    ++textsSet;
    emit changed();
}

void FakeClipboard::clear()
{
    m_text.clear();
    m_image = QImage();
    ++clears;
    emit changed();
}

} // namespace snaplorn
