// Tray mode of the main window: the tray icon, its menu, hiding into the
// tray and coming back.
#include "mainwindow/frmViewImage.h"

#include "base/Texts.h"
#include "broadcast/BroadcastFetch.h"
#include "mainwindow/frmAbout.h"
#include "platform/PlatformServices.h"
#include "platform/Tray.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QToolBar>

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

void frmViewImage::createTrayControls()
{
    Inet1 = new BroadcastFetch(this);
    Inet1->setObjectName(QStringLiteral("Inet1"));
    connect(Inet1, &BroadcastFetch::arrived, this, &frmViewImage::broadcastArrived);
    if (Tray* tray = m_services.tray.get()) {
        connect(tray, &Tray::doubleClicked, this, &frmViewImage::restoreFromTray);
        connect(tray, &Tray::contextRequested, this, &frmViewImage::trayContextMenu);
    }
    installEventFilter(
        new VisibilityWatcher([this](bool shown) { windowShownOrHidden(shown); }, this));
}

void frmViewImage::mnuHide_Click()
{
    Tray* tray = m_services.tray.get();
    if (!tray || !tray->isAvailable()) {
        // Without a notification area there would be no icon to come back
        // through, so the window only goes to the task bar.
        showMinimized();
        return;
    }
    Toolbar1->setEnabled(false);
    // Showing the icon again while it is there keeps the one icon.
    tray->showIcon(windowIcon(), QString::fromUtf8(texts::TrayToolTip));
    hide();
    command(QStringLiteral("popShow"))->setEnabled(true);
}

void frmViewImage::restoreFromTray()
{
    showNormal();
    raise();
    activateWindow();
    command(QStringLiteral("popShow"))->setEnabled(false);
    Toolbar1->setEnabled(true);
}

void frmViewImage::popShow_Click()
{
    restoreFromTray();
}

// The tray menu opens at the pointer, also while the window shows.
void frmViewImage::trayContextMenu(const QPoint& globalPos)
{
    if (isVisible()) {
        raise();
        activateWindow();
    }
    mnuPopup->popup(globalPos);
}

// A shown window has its toolbar and needs no "Show Application"; a
// hidden one with its icon in the tray can be shown from the tray menu.
void frmViewImage::windowShownOrHidden(bool shown)
{
    if (shown) {
        command(QStringLiteral("popShow"))->setEnabled(false);
        Toolbar1->setEnabled(true);
        return;
    }
    const Tray* tray = m_services.tray.get();
    if (tray && tray->isShown())
        command(QStringLiteral("popShow"))->setEnabled(true);
}

void frmViewImage::popDesktop_Click()
{
    mnuDesktop_Click();
    Toolbar1->setEnabled(true);
}

void frmViewImage::popRectangle_Click()
{
    mnuRectangle_Click();
    Toolbar1->setEnabled(true);
}

// The window comes back at once, so the capture a moment later takes
// whichever window is active then.
void frmViewImage::popWindow_Click()
{
    mnuWindow_Click();
    show();
    Toolbar1->setEnabled(true);
}

void frmViewImage::popAbout_Click()
{
    frmAbout::showModeless(*m_services.shell, *m_services.messages);
}

void frmViewImage::removeTrayIcon()
{
    if (Tray* tray = m_services.tray.get())
        tray->remove();
}
