#pragma once
#include "platform/Tray.h"

#include <QMenu>
#include <QPointer>

#include <memory>

class QSystemTrayIcon;

namespace snaplorn {

// The icon through the desktop's system tray (XEmbed tray or a status
// notifier host), created when it is first shown. A status notifier host
// (the trays of Wayland desktops) activates the icon with a single click
// and opens its menu itself: the click restores the window like a double
// click in an XEmbed tray, and the host gets the menu.
class QtTray : public Tray
{
    Q_OBJECT
public:
    explicit QtTray(QObject* parent = nullptr);
    ~QtTray() override;

    bool isAvailable() const override;
    void showIcon(const QIcon& icon, const QString& toolTip) override;
    bool isShown() const override;
    void remove() override;
    QRect geometry() const override;
    void setMenu(QMenu* menu) override;

private:
    void releaseMenu();

    std::unique_ptr<QSystemTrayIcon> m_icon;
    QPointer<QMenu> m_menu;
    bool m_notifierHost = false;
    bool m_menuHandedOver = false;
};

} // namespace snaplorn
