// The broadcast message: fetched once after the start-up tick and shown in
// the suppressible message box unless the user blocked it.
#include "mainwindow/frmViewImage.h"

#include "broadcast/Broadcast.h"
#include "broadcast/BroadcastFetch.h"
#include "mainwindow/frmMsgBox.h"
#include "platform/PlatformServices.h"

#include <QCoreApplication>

using namespace snaplorn;

void frmViewImage::startBroadcastFetch()
{
    const QUrl url = broadcastFileUrl(broadcastBaseUrl());
    if (!url.isEmpty())
        Inet1->start(url);
}

// Anything but a message for this installation that the user has not
// blocked ends here without a word.
void frmViewImage::broadcastArrived(const QByteArray& reply)
{
    const std::optional<BroadcastMessage> message = parseBroadcast(reply);
    if (!message || !broadcastWanted(*message, m_settings.HideMsgID))
        return;
    if (!m_msgBox)
        m_msgBox = new frmMsgBox(m_registry, *m_services.messages, *m_services.shell, this);
    m_msgBox->ShowMsg(message->id, message->text, message->url, message->buttons,
                      message->title + QLatin1Char(' '));
    Inet1->sendTracking(broadcastTrackingUrl(broadcastBaseUrl(),
                                             QLatin1String(broadcast::AnonymousUser),
                                             QLatin1String(broadcast::AudienceCode)));
}

frmMsgBox* frmViewImage::msgBox() const
{
    return m_msgBox;
}

void frmViewImage::cancelBroadcast()
{
    const bool running = Inet1->isRunning();
    Inet1->abort();
    if (running)
        QCoreApplication::processEvents();
}
