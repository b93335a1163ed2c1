#include "platform/standins/FakeScreenGrabber.h"

#include <QTimer>

namespace snaplorn {

FakeScreenGrabber::FakeScreenGrabber(QImage picture) : m_picture(std::move(picture)) {}

void FakeScreenGrabber::setPicture(const QImage& picture)
{
    m_picture = picture;
    m_generator = nullptr;
}

void FakeScreenGrabber::setGenerator(std::function<QImage(int)> generator)
{
    m_generator = std::move(generator);
}

GrabResult FakeScreenGrabber::grabDesktop()
{
    ++m_grabs;
    if (!m_failure.isEmpty())
        return {QImage(), m_failure};
    if (m_generator)
        m_picture = m_generator(m_grabs);
    return {m_picture.convertToFormat(QImage::Format_RGB32), QString()};
}

void FakeScreenGrabber::requestDesktop(GrabAnswer answer)
{
    const GrabResult result = grabDesktop();
    if (m_later)
        QTimer::singleShot(0, [answer = std::move(answer), result] { answer(result); });
    else
        answer(result);
}

QRect FakeScreenGrabber::desktopGeometry()
{
    return QRect(QPoint(0, 0), m_picture.size());
}

} // namespace snaplorn
