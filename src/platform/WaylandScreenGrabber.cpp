#include "platform/WaylandScreenGrabber.h"

#include "base/Texts.h"
#include "platform/WaylandGrab.h"

#include <cstdlib>

namespace snaplorn {

namespace {

QString describe(const WaylandGrab& grab)
{
    const QString detail = QString::fromStdString(grab.detail);
    using F = WaylandGrab::Failure;
    switch (grab.failure) {
    case F::NoDisplay:
        return QString::fromUtf8(texts::WaylandGrabUnreachable)
            .arg(QStringLiteral("WAYLAND_DISPLAY is not set"));
    case F::ConnectFailed:
        return QString::fromUtf8(texts::WaylandGrabUnreachable).arg(detail);
    case F::NoScreencopy:
        return QString::fromUtf8(texts::WaylandCaptureUnavailable)
            .arg(QStringLiteral("no portal was asked"));
    case F::NoOutputs:
        return QString::fromUtf8(texts::WaylandGrabNoOutputs);
    case F::ConnectionLost:
        return QString::fromUtf8(texts::WaylandGrabLost);
    case F::TimedOut:
        return QString::fromUtf8(texts::WaylandGrabTimedOut);
    case F::CopyFailed:
        return QString::fromUtf8(texts::WaylandGrabRefused).arg(detail);
    case F::OutputsChanged:
        return QString::fromUtf8(texts::WaylandGrabOutputsChanged);
    case F::FormatUnsupported:
        return QString::fromUtf8(texts::WaylandGrabFormat).arg(detail);
    case F::OutOfMemory:
        return QString::fromUtf8(texts::GrabOutOfMemory).arg(grab.width).arg(grab.height);
    case F::None:
        break;
    }
    return QString();
}

} // namespace

WaylandScreenGrabber::WaylandScreenGrabber(std::string display) : m_display(std::move(display)) {}

GrabResult WaylandScreenGrabber::grabDesktop()
{
    WaylandGrab grab = grabWaylandDesktop(m_display.empty() ? nullptr : m_display.c_str());
    if (!grab.ok()) {
        releaseWaylandGrab(grab);
        return {QImage(), describe(grab)};
    }
    m_lastDesktop = QRect(grab.x, grab.y, grab.width, grab.height);
    // The picture owns the composed memory from here on.
    QImage image(grab.data, grab.width, grab.height, qsizetype(grab.stride), QImage::Format_RGB32,
                 std::free, grab.data);
    GrabResult result(image, QString());
    result.origin = m_lastDesktop.topLeft();
    for (const WaylandGrab::Output& output : grab.outputs)
        result.screens.push_back({QString::fromStdString(output.name),
                                  QRect(output.x, output.y, output.width, output.height)});
    return result;
}

void WaylandScreenGrabber::requestDesktop(GrabAnswer answer)
{
    answer(grabDesktop());
}

// The picture's first pixel is the desktop's origin, which on Wayland need
// not be (0, 0).
void WaylandScreenGrabber::requestArea(const QRect& area, GrabAnswer answer)
{
    GrabResult result = grabDesktop();
    if (result.ok()) {
        const QRect part = area.translated(-m_lastDesktop.topLeft()).intersected(result.image.rect());
        result.image = result.image.copy(part);
        result.origin += part.topLeft();
        result.screens.clear();
    }
    answer(result);
}

QRect WaylandScreenGrabber::desktopGeometry()
{
    const WaylandGrab layout =
        grabWaylandDesktop(m_display.empty() ? nullptr : m_display.c_str(), true);
    if (layout.ok())
        m_lastDesktop = QRect(layout.x, layout.y, layout.width, layout.height);
    return m_lastDesktop;
}

} // namespace snaplorn
