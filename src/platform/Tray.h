#pragma once
#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

class QMenu;

namespace snaplorn {

// The program's icon in the desktop's notification area. There is at most
// one icon: showing it again only updates its picture and tool tip. It
// reports a double click (restore the window) and a request for its menu
// with the pointer position; the window decides what to do with them.
class Tray : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // False when the desktop has no notification area: an icon would be
    // invisible, so the window must not hide behind it.
    virtual bool isAvailable() const = 0;
    virtual void showIcon(const QIcon& icon, const QString& toolTip) = 0;
    virtual bool isShown() const = 0;
    // Removes the icon; nothing happens when there is none.
    virtual void remove() = 0;
    // Where the icon sits on the screen (empty when unknown).
    virtual QRect geometry() const = 0;
    // The icon's menu, for desktops that open it themselves (a status
    // notifier host shows it where the user clicked). Elsewhere the icon
    // reports contextRequested and the window opens the menu.
    virtual void setMenu(QMenu* menu) { Q_UNUSED(menu); }

signals:
    void doubleClicked();
    void contextRequested(const QPoint& globalPos);
};

} // namespace snaplorn
