#include "mainwindow/BroadcastNotice.h"

#include "broadcast/Broadcast.h"
#include "broadcast/BroadcastFetch.h"
#include "mainwindow/frmMsgBox.h"
#include "platform/PlatformServices.h"
#include "settings/AppSettings.h"

#include <QCoreApplication>
#include <QWidget>

using namespace snaplorn;

BroadcastNotice::BroadcastNotice(QWidget& window, Registry& registry, const AppSettings& settings,
                                 PlatformServices& services)
    : QObject(&window), m_window(window), m_registry(registry), m_settings(settings),
      m_services(services)
{
    Inet1 = new BroadcastFetch(this);
    Inet1->setObjectName(QStringLiteral("Inet1"));
    connect(Inet1, &BroadcastFetch::arrived, this, &BroadcastNotice::arrived);
}

void BroadcastNotice::start()
{
    const QUrl url = broadcastFileUrl(broadcastBaseUrl());
    if (!url.isEmpty())
        Inet1->start(url);
}

// Anything but a message for this installation that the user has not
// blocked ends here without a word.
void BroadcastNotice::arrived(const QByteArray& reply)
{
    const std::optional<BroadcastMessage> message = parseBroadcast(reply);
    if (!message || !broadcastWanted(*message, m_settings.HideMsgID))
        return;
    if (!m_msgBox)
        m_msgBox = new frmMsgBox(m_registry, *m_services.messages, *m_services.shell, &m_window);
    m_msgBox->ShowMsg(message->id, message->text, message->url, message->buttons,
                      message->title + QLatin1Char(' '));
    Inet1->sendTracking(broadcastTrackingUrl(broadcastBaseUrl(),
                                             QLatin1String(broadcast::AnonymousUser),
                                             QLatin1String(broadcast::AudienceCode)));
}

frmMsgBox* BroadcastNotice::msgBox() const
{
    return m_msgBox;
}

void BroadcastNotice::cancel()
{
    const bool running = Inet1->isRunning();
    Inet1->abort();
    if (running)
        QCoreApplication::processEvents();
}
