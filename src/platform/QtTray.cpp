#include "platform/QtTray.h"

#include <QCursor>
#include <QSystemTrayIcon>

namespace snaplorn {

QtTray::QtTray(QObject* parent) : Tray(parent) {}

QtTray::~QtTray() = default;

bool QtTray::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTray::showIcon(const QIcon& icon, const QString& toolTip)
{
    if (!m_icon) {
        m_icon = std::make_unique<QSystemTrayIcon>();
        connect(m_icon.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::DoubleClick)
                        emit doubleClicked();
                    else if (reason == QSystemTrayIcon::Context)
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

QRect QtTray::geometry() const
{
    return m_icon ? m_icon->geometry() : QRect();
}

} // namespace snaplorn
