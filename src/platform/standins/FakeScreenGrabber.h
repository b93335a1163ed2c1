#pragma once
#include "platform/ScreenGrabber.h"

#include <functional>

namespace snaplorn {

// Stand-in for tests: hands out pictures from a generator (grab number from
// 1 upwards), or a fixed failure message.
class FakeScreenGrabber : public ScreenGrabber
{
public:
    explicit FakeScreenGrabber(QImage picture = QImage());
    // Answered at once, or from the event loop after setAnswersLater(true).
    void requestDesktop(GrabAnswer answer) override;
    QRect desktopGeometry() override;
    GrabResult grabDesktop();
    void setAnswersLater(bool later) { m_later = later; }

    void setPicture(const QImage& picture);
    // Each grab asks the generator for a new picture, so a series of grabs
    // can be told apart.
    void setGenerator(std::function<QImage(int grabNumber)> generator);
    void setFailure(const QString& message) { m_failure = message; }
    int grabCount() const { return m_grabs; }
    // What pointerState() answers; nothing until set.
    void setPointer(std::optional<PointerState> pointer) { m_pointer = pointer; }
    std::optional<PointerState> pointerState() override { return m_pointer; }

private:
    QImage m_picture;
    std::function<QImage(int)> m_generator;
    QString m_failure;
    int m_grabs = 0;
    bool m_later = false;
    std::optional<PointerState> m_pointer;
};

} // namespace snaplorn
