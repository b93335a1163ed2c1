#pragma once
#include "platform/Tray.h"

#include <memory>

class QSystemTrayIcon;

namespace snaplorn {

// The icon through the desktop's system tray (XEmbed tray or a status
// notifier host), created when it is first shown.
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

private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
};

} // namespace snaplorn
