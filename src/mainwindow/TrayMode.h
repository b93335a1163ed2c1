#pragma once
#include <QObject>

class QAction;
class QMainWindow;
class QMenu;
class QPoint;
class QWidget;

namespace snaplorn {
struct PlatformServices;
}

// Tray mode: the window hides behind its tray icon (where the desktop has
// no tray it is minimised instead); the icon stays until the program ends.
// The tray menu's Show entry is enabled exactly while the window is hidden
// with its icon in the tray; the toolbar is disabled while it is hidden.
class TrayMode : public QObject
{
    Q_OBJECT
public:
    TrayMode(QMainWindow& window, snaplorn::PlatformServices& services, QAction& popShow,
             QWidget& toolbar, QMenu& trayMenu);

    void hideToTray();
    void restoreFromTray();
    void removeTrayIcon();

private:
    void trayContextMenu(const QPoint& globalPos);
    void windowShownOrHidden(bool shown);

    QMainWindow& m_window;
    snaplorn::PlatformServices& m_services;
    QAction& popShow;
    QWidget& Toolbar1;
    QMenu& mnuPopup;
};
