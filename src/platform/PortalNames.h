#pragma once
#include <QDBusConnection>
#include <QString>

namespace snaplorn {

// The desktop portal's frontend on the session bus.
inline constexpr char PortalService[] = "org.freedesktop.portal.Desktop";
inline constexpr char PortalPath[] = "/org/freedesktop/portal/desktop";

// The request object on which the portal answers a call made with this
// handle token: its path follows from our name on the bus, so it can be
// listened to before the call, and no answer comes before we listen.
inline QString portalRequestPath(const QString& token)
{
    QString sender = QDBusConnection::sessionBus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("%1/request/%2/%3").arg(QString::fromLatin1(PortalPath), sender, token);
}

} // namespace snaplorn
