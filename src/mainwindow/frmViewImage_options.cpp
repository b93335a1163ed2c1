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
    frmOption dialog(
        m_settings, m_registry, *m_services.messages, *m_services.dialogs,
        [this](const AppSettings& updated) { return ApplyOptions(updated); }, this);
    dialog.exec();
}

bool frmViewImage::ApplyOptions(const AppSettings& updated)
{
    m_settings = updated;
    QCoreApplication::processEvents();
    UnRegHotKeys();
    QCoreApplication::processEvents();
    if (m_settings.HotKeyPresent != 1)
        return true;
    return registerHotKeysFromOptions();
}

// All three keys are tried, each setting its flag. A key without a modifier
// (an empty modifier box) is refused: it would take that key away from
// every other program.
bool frmViewImage::registerHotKeysFromOptions()
{
    const QString specs[3] = {m_settings.HotKeyRect, m_settings.HotKeyDesk, m_settings.HotKeyWin};
    bool all = true;
    for (int id = 0; id < 3; ++id) {
        const std::optional<HotKeySpec> spec = HotKeySpec::parse(specs[id]);
        m_hotKeyRegistered[id] =
            spec && spec->modifiers != 0 && m_services.hotKeys &&
            m_services.hotKeys->registerHotKey(id, spec->modifiers, spec->virtualKey);
        all = all && m_hotKeyRegistered[id];
    }
    // Without a hot-key service (no X11 display) no key can be registered,
    // and choosing other keys would not help.
    return all || !m_services.hotKeys;
}
