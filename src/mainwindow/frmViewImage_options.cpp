// The Options command of the main window and the hot keys it registers.
#include "mainwindow/frmViewImage.h"

#include "capture/HotKeySpec.h"
#include "options/frmOption.h"
#include "platform/HotKeys.h"
#include "platform/PlatformServices.h"

#include <QCoreApplication>

using namespace snaplorn;

void frmViewImage::mnuCaptureOptions_Click()
{
    AppSettings current = m_settings;
    reloadHideMsgID(m_registry, current);
    frmOption dialog(
        current, *m_services.messages, *m_services.dialogs,
        [this](const AppSettings& updated, bool showMessagesAgain) {
            writeSettingsRecord(m_registry, updated, showMessagesAgain);
            QCoreApplication::processEvents();
            return storeOptions(updated);
        },
        this);
    dialog.exec();
}

bool frmViewImage::storeOptions(const AppSettings& updated)
{
    m_settings = updated;
    QCoreApplication::processEvents();
    UnRegHotKeys();
    QCoreApplication::processEvents();
    if (m_settings.HotKeyPresent != 1)
        return true;
    return registerHotKeysFromOptions();
}

// The Options dialog tells the user itself when a key cannot be had.
bool frmViewImage::registerHotKeysFromOptions()
{
    // Without a hot-key service (no X11 display) no key can be registered,
    // and choosing other keys would not help.
    return tryRegisterHotKeys() || !m_services.hotKeys;
}
