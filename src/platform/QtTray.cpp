#include "platform/QtTray.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QMenu>
#include <QSystemTrayIcon>

namespace snaplorn {

namespace {

// Whether a status notifier host shows the icons of the session, as the
// watcher on the session bus says: Qt then offers the icon over D-Bus.
bool statusNotifierHostRegistered()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusInterface watcher(QStringLiteral("org.kde.StatusNotifierWatcher"),
                           QStringLiteral("/StatusNotifierWatcher"),
                           QStringLiteral("org.kde.StatusNotifierWatcher"), bus);
    return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

} // namespace

QtTray::QtTray(QObject* parent) : Tray(parent) {}

QtTray::~QtTray() = default;

bool QtTray::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTray::showIcon(const QIcon& icon, const QString& toolTip)
{
    if (!m_icon) {
        m_notifierHost = statusNotifierHostRegistered();
        m_icon = std::make_unique<QSystemTrayIcon>();
        if (m_notifierHost && m_menu)
            m_icon->setContextMenu(m_menu);
        connect(m_icon.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::DoubleClick ||
                        (m_notifierHost && reason == QSystemTrayIcon::Trigger))
                        emit doubleClicked();
                    else if (reason == QSystemTrayIcon::Context && !(m_notifierHost && m_menu))
                        emit contextRequested(QCursor::pos());
                });
    }
    m_icon->setIcon(icon);
    m_icon->setToolTip(toolTip);
    m_icon->show();
}

bool QtTray::isShown() const
{
    return m_icon && m_icon->isVisible();
}

void QtTray::remove()
{
    if (m_icon)
        m_icon->hide();
    m_icon.reset();
}

void QtTray::setMenu(QMenu* menu)
{
    m_menu = menu;
    if (m_icon && m_notifierHost)
        m_icon->setContextMenu(menu);
}

QRect QtTray::geometry() const
{
    return m_icon ? m_icon->geometry() : QRect();
}

} // namespace snaplorn
