#include "platform/PortalPickedWindow.h"

#include "base/Texts.h"
#include "platform/PortalScreenGrabber.h"

namespace snaplorn {

ActiveWindowInfo PortalPickedWindow::activeWindow()
{
    ActiveWindowInfo info{QRect(), QString::fromUtf8(texts::PickWindowNotice)};
    info.picked = true;
    return info;
}

void PortalPickedWindow::requestPicked(GrabAnswer answer)
{
    auto* request = new PortalRequest(nullptr, std::move(answer), m_timeoutMs, true);
    request->start();
}

} // namespace snaplorn
