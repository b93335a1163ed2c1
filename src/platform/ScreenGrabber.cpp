#include "platform/ScreenGrabber.h"

#include <QEventLoop>

#include <memory>
#include <optional>

namespace snaplorn {

void ScreenGrabber::requestArea(const QRect& area, GrabAnswer answer)
{
    requestDesktop([area, answer = std::move(answer)](const GrabResult& whole) {
        GrabResult part = whole;
        if (part.ok())
            part.image = part.image.copy(area.intersected(part.image.rect()));
        answer(part);
    });
}

GrabResult waitForGrab(const std::function<void(GrabAnswer)>& request)
{
    // Shared, so that an answer arriving after the wait was given up cannot
    // write into a finished frame.
    auto answered = std::make_shared<std::optional<GrabResult>>();
    auto loop = std::make_shared<QEventLoop>();
    request([answered, loop](const GrabResult& result) {
        *answered = result;
        loop->quit();
    });
    if (!*answered)
        loop->exec();
    return answered->value_or(GrabResult{});
}

GrabResult grabDesktopAndWait(ScreenGrabber& grabber)
{
    return waitForGrab(
        [&grabber](GrabAnswer answer) { grabber.requestDesktop(std::move(answer)); });
}

GrabResult grabAreaAndWait(ScreenGrabber& grabber, const QRect& area)
{
    return waitForGrab(
        [&grabber, &area](GrabAnswer answer) { grabber.requestArea(area, std::move(answer)); });
}

} // namespace snaplorn
