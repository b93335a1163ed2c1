#include "mainwindow/TrayMode.h"

#include "base/Texts.h"
#include "mainwindow/frmViewImage.h"
#include "platform/PlatformServices.h"
#include "platform/Tray.h"

#include <QAction>
#include <QEvent>
#include <QMenu>

#include <functional>

using namespace snaplorn;

namespace {

// Reports every time the window is shown or hidden, whoever does it: the
// tray commands, a capture, or the hand-over from a second start.
class VisibilityWatcher : public QObject
{
public:
    VisibilityWatcher(std::function<void(bool)> changed, QObject* parent)
        : QObject(parent), m_changed(std::move(changed))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A window being destroyed is hidden by its QWidget part, when it is
        // an frmViewImage no longer: that last hide is nobody's business.
        if (!qobject_cast<frmViewImage*>(watched))
            return false;
        if (event->type() == QEvent::Show)
            m_changed(true);
        else if (event->type() == QEvent::Hide)
            m_changed(false);
        return false;
    }

private:
    std::function<void(bool)> m_changed;
};

} // namespace

TrayMode::TrayMode(QMainWindow& window, PlatformServices& services, QAction& popShow,
                   QWidget& toolbar, QMenu& trayMenu)
    : QObject(&window), m_window(window), m_services(services), popShow(popShow), Toolbar1(toolbar),
      mnuPopup(trayMenu)
{
    if (Tray* tray = m_services.tray.get()) {
        connect(tray, &Tray::doubleClicked, this, &TrayMode::restoreFromTray);
        connect(tray, &Tray::contextRequested, this, &TrayMode::trayContextMenu);
        tray->setMenu(&mnuPopup);
    }
    window.installEventFilter(
        new VisibilityWatcher([this](bool shown) { windowShownOrHidden(shown); }, this));
}

void TrayMode::hideToTray()
{
    Tray* tray = m_services.tray.get();
    if (!tray || !tray->isAvailable()) {
        // Without a notification area there would be no icon to come back
        // through, so the window only goes to the task bar.
        m_window.showMinimized();
        return;
    }
    Toolbar1.setEnabled(false);
    // Showing the icon again while it is there keeps the one icon.
    tray->showIcon(m_window.windowIcon(), QString::fromUtf8(texts::TrayToolTip));
    m_window.hide();
    popShow.setEnabled(true);
}

void TrayMode::restoreFromTray()
{
    m_window.showNormal();
    m_window.raise();
    m_window.activateWindow();
    popShow.setEnabled(false);
    Toolbar1.setEnabled(true);
}

// The tray menu opens at the pointer, also while the window shows.
void TrayMode::trayContextMenu(const QPoint& globalPos)
{
    if (m_window.isVisible()) {
        m_window.raise();
        m_window.activateWindow();
    }
    mnuPopup.popup(globalPos);
}

// A shown window has its toolbar and needs no "Show Application"; a
// hidden one with its icon in the tray can be shown from the tray menu.
void TrayMode::windowShownOrHidden(bool shown)
{
    if (shown) {
        popShow.setEnabled(false);
        Toolbar1.setEnabled(true);
        return;
    }
    const Tray* tray = m_services.tray.get();
    if (tray && tray->isShown())
        popShow.setEnabled(true);
}

void TrayMode::removeTrayIcon()
{
    if (Tray* tray = m_services.tray.get())
        tray->remove();
}
