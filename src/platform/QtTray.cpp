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

QtTray::~QtTray()
{
    remove();
}

bool QtTray::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTray::showIcon(const QIcon& icon, const QString& toolTip)
{
    if (!m_icon) {
        m_notifierHost = statusNotifierHostRegistered();
        m_icon = std::make_unique<QSystemTrayIcon>();
        if (m_notifierHost && m_menu) {
            m_icon->setContextMenu(m_menu);
            m_menuHandedOver = true;
        }
        connect(m_icon.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::DoubleClick ||
                        (m_notifierHost && reason == QSystemTrayIcon::Trigger))
                        emit doubleClicked();
                    else if (reason == QSystemTrayIcon::Context && !m_menuHandedOver)
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
    releaseMenu();
}

// For the host, Qt mirrors the menu entry by entry and keeps the mirror
// until the entries leave the menu: taking them out and putting them back
// without the mirror frees it, and the menu is the window's plain one again.
void QtTray::releaseMenu()
{
    if (!m_menuHandedOver)
        return;
    m_menuHandedOver = false;
    if (!m_menu)
        return;
    const QList<QAction*> actions = m_menu->actions();
    for (QAction* action : actions)
        m_menu->removeAction(action);
    m_menu->setPlatformMenu(nullptr);
    m_menu->addActions(actions);
}

void QtTray::setMenu(QMenu* menu)
{
    releaseMenu();
    m_menu = menu;
    if (m_icon && m_notifierHost && menu) {
        m_icon->setContextMenu(menu);
        m_menuHandedOver = true;
    }
}

QRect QtTray::geometry() const
{
    return m_icon ? m_icon->geometry() : QRect();
}

} // namespace snaplorn
