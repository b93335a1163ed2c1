#include "capture/CaptureController.h"

#include "base/Texts.h"
#include "capture/HotKeySpec.h"
#include "capture/frmCaptureDesktop.h"
#include "document/ImageDocument.h"
#include "platform/HotKeys.h"
#include "platform/MessageService.h"
#include "platform/PlatformServices.h"
#include "settings/AppSettings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <optional>
#include <utility>

namespace snaplorn {

CaptureController::CaptureController(QWidget& window, ImageDocument& document,
                                     const AppSettings& settings, PlatformServices& services,
                                     bool viewerProcess, Host host)
    : QObject(&window), m_window(window), m_document(document), m_settings(settings),
      m_services(services), m_viewerProcess(viewerProcess), m_host(std::move(host))
{
    // No interval until the first capture command arms it.
    tmrDelay = new QTimer(this);
    tmrDelay->setObjectName(QStringLiteral("tmrDelay"));
    connect(tmrDelay, &QTimer::timeout, this, &CaptureController::tmrDelay_Timer);
    tmrAutoCapture = new QTimer(this);
    tmrAutoCapture->setObjectName(QStringLiteral("tmrAutoCapture"));
    connect(tmrAutoCapture, &QTimer::timeout, this, &CaptureController::tmrAutoCapture_Timer);
    if (m_services.hotKeys) {
        connect(m_services.hotKeys.get(), &HotKeys::activated, this,
                &CaptureController::HotKeyActions);
        connect(m_services.hotKeys.get(), &HotKeys::bindingFailed, this,
                &CaptureController::hotKeysLost);
    }
}

CaptureController::~CaptureController() = default;

frmCaptureDesktop& CaptureController::overlay()
{
    if (!m_overlay) {
        m_overlay = std::make_unique<frmCaptureDesktop>(m_window, m_services);
        frmCaptureDesktop* shown = m_overlay.get();
        connect(shown, &frmCaptureDesktop::captureLanded, this, &CaptureController::captureLanded);
        connect(shown, &frmCaptureDesktop::captureAbandoned, this,
                &CaptureController::captureAbandoned);
        connect(shown, &frmCaptureDesktop::captureFailed, this, &CaptureController::captureFailed);
        connect(shown, &frmCaptureDesktop::showAfterCapture, this,
                &CaptureController::showAfterCapture);
    }
    return *m_overlay;
}

void CaptureController::showError(const QString& text)
{
    m_services.messages->tell(&m_window, text, MsgIcon::Exclamation);
}

// ---- a single capture --------------------------------------------------------

// Hides the window, so the screen repaints without it, and arms the delay.
void CaptureController::capture(const QString& mode)
{
    const bool wasDirty = m_document.isDirty();
    if (!m_host.discardChanges())
        return;
    if (!tmrDelay->isActive()) {
        m_dirtyBeforeCapture = wasDirty;
        if (m_window.isVisible())
            m_stateBeforeCapture = m_window.windowState();
    }
    m_window.hide();
    QCoreApplication::processEvents();
    msCaptureType = mode;
    tmrDelay->setInterval(DelayTicks::IntervalMs);
    if (!tmrDelay->isActive())
        tmrDelay->start();
}

void CaptureController::tmrDelay_Timer()
{
    if (!m_delayTicks.tick())
        return;
    tmrDelay->stop();
    overlay().GetImage(msCaptureType.toLower());
}

// The capture is the new image: untitled and unsaved. Only a capture that
// put a picture on the canvas changes the document.
void CaptureController::captureLanded(const QImage& image)
{
    m_document.takeCapture(image);
}

// An abandoned capture leaves the document exactly as it was before the
// command, unsaved changes included.
void CaptureController::captureAbandoned()
{
    m_document.setDirty(m_dirtyBeforeCapture);
    showAfterCapture(true);
}

// A failure also ends a running series before the message is shown, so
// no further tick runs while the user reads it.
void CaptureController::captureFailed(const QString& message, bool documentUnchanged)
{
    if (documentUnchanged)
        m_document.setDirty(m_dirtyBeforeCapture);
    if (m_autoCaptureActive)
        endAutoCapture();
    showAfterCapture(true);
    showError(message);
}

// Brings the window back in the state it had before the command; during an
// auto-capture series a full-screen capture leaves it hidden.
void CaptureController::showAfterCapture(bool evenDuringSeries)
{
    if (m_autoCaptureActive && !evenDuringSeries)
        return;
    if (m_stateBeforeCapture & Qt::WindowMaximized)
        m_window.showMaximized();
    else if (m_stateBeforeCapture & Qt::WindowFullScreen)
        m_window.showFullScreen();
    else
        m_window.showNormal();
    if (!m_heldKeyMessage.isEmpty())
        hotKeysLost(std::exchange(m_heldKeyMessage, QString()));
}

// ---- auto capture ------------------------------------------------------------

void CaptureController::startAutoCapture()
{
    tmrAutoCapture->setInterval(autoCaptureIntervalMs(m_settings.AutoInterval));
    tmrAutoCapture->start();
    // The window stays out of the pictures for the whole series, the first
    // one included.
    if (!m_autoCaptureActive && m_window.isVisible()) {
        m_stateBeforeCapture = m_window.windowState();
        m_window.hide();
    }
}

// Each tick first saves the picture taken by the previous tick, then takes
// the next one at once, so every file holds a capture made after the file
// before it was written, at any interval.
void CaptureController::tmrAutoCapture_Timer()
{
    // A tick while the last grab is still being answered waits for the next
    // one, so no file is written twice with the same picture.
    if (m_overlay && m_overlay->grabPending())
        return;
    const int k = ++AutoCaptureTicks;
    if (!m_host.discardChanges())
        return;
    m_window.hide();
    m_autoCaptureActive = true;
    const QString folder = m_settings.AutoFolder;
    if (!autoCaptureFolderUsable(folder)) {
        endAutoCapture();
        showError(QString::fromUtf8(texts::AutoFolderMissing));
        return;
    }
    if (k > 1) {
        const Result saved = m_host.saveImage(autoCaptureFileName(folder, k - 1));
        if (!saved) {
            endAutoCapture();
            if (!saved.message.isEmpty())
                showError(saved.message);
            return;
        }
    }
    if (k > m_settings.AutoImagesNum) {
        endAutoCapture();
        showError(QString::number(m_settings.AutoImagesNum) +
                  QString::fromUtf8(texts::AutoCaptureDone) +
                  QString::fromUtf8(texts::AutoCaptureSavedIn) + folder);
        return;
    }
    m_dirtyBeforeCapture = false;
    overlay().GetImage(QStringLiteral("desktop"));
}

void CaptureController::endAutoCapture()
{
    AutoCaptureTicks = 0;
    tmrAutoCapture->stop();
    tmrDelay->stop();
    m_autoCaptureActive = false;
    showAfterCapture(true);
}

// ---- global hot keys ---------------------------------------------------------

void CaptureController::RegHotKeys()
{
    emit hotKeysRegistering();
    if (m_viewerProcess)
        return;
    registerHotKeySet();
}

bool CaptureController::registerHotKeySet()
{
    const bool all = tryRegisterHotKeys();
    // Without a hot-key service (no X11 display) there is nothing to tell.
    if (!all && m_services.hotKeys)
        m_services.messages->tell(&m_window, QString::fromUtf8(texts::HotKeysFailed),
                                  MsgIcon::Critical);
    return all;
}

// All three keys are tried, each setting its flag. A key without a modifier
// is refused: it would take that key away from every other program. A key
// already taken by an earlier row is refused too: X lets one client grab
// the same key twice, and a press would then start only one of the two
// captures.
bool CaptureController::tryRegisterHotKeys()
{
    const QString specs[3] = {m_settings.HotKeyRect, m_settings.HotKeyDesk, m_settings.HotKeyWin};
    std::optional<HotKeySpec> parsed[3];
    bool all = true;
    for (int id = 0; id < 3; ++id) {
        parsed[id] = HotKeySpec::parse(specs[id]);
        const std::optional<HotKeySpec>& spec = parsed[id];
        bool taken = false;
        for (int earlier = 0; spec && earlier < id; ++earlier)
            taken = taken || (parsed[earlier] && parsed[earlier]->modifiers == spec->modifiers &&
                              parsed[earlier]->virtualKey == spec->virtualKey);
        m_hotKeyRegistered[id] =
            spec && spec->modifiers != 0 && !taken && m_services.hotKeys &&
            m_services.hotKeys->registerHotKey(id, spec->modifiers, spec->virtualKey);
        all = all && m_hotKeyRegistered[id];
    }
    return all;
}

void CaptureController::UnRegHotKeys()
{
    if (m_viewerProcess)
        return;
    for (int id = 0; id < 3; ++id) {
        m_hotKeyRegistered[id] = true;
        if (m_services.hotKeys)
            m_services.hotKeys->unregisterHotKey(id);
    }
}

// The desktop did not bind the keys after all, or dropped them. The user is
// told once per failure; while the rectangle overlay is up the message
// waits for the capture to end, as a box would block the overlay.
void CaptureController::hotKeysLost(const QString& message)
{
    for (bool& registered : m_hotKeyRegistered)
        registered = false;
    if (m_overlay && m_overlay->isVisible()) {
        m_heldKeyMessage = message;
        return;
    }
    m_services.messages->tell(&m_window, message, MsgIcon::Critical);
}

bool CaptureController::HotKeyRegistered(int id) const
{
    return id >= 0 && id < 3 && m_hotKeyRegistered[id];
}

// A hot key runs its capture unless another window of the program is open
// (a message, a dialog). While the rectangle overlay is up a capture is
// already under way: the key is ignored without a word, since a note would
// be a modal box fighting the full-screen overlay for the top of the screen
// and for the mouse, and would leave the overlay blocked behind it.
void CaptureController::HotKeyActions(int vKeyID)
{
    if (m_overlay && m_overlay->isVisible())
        return;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        // The tray icon is a small window of its own on X11; it is not a
        // dialog that should keep the hot keys from working.
        if (window == &m_window || !window->isVisible() || window->windowType() == Qt::ToolTip ||
            window->objectName() == QLatin1String("frmViewImage") ||
            window->inherits("QSystemTrayIconSys"))
            continue;
        m_services.messages->tell(&m_window, QString::fromUtf8(texts::HotKeyNote),
                                  MsgIcon::Information);
        return;
    }
    switch (vKeyID) {
    case HotKeyRectangle:
        capture(QStringLiteral("rectangle"));
        break;
    case HotKeyDesktop:
        capture(QStringLiteral("desktop"));
        break;
    case HotKeyWindow:
        capture(QStringLiteral("window"));
        break;
    default:
        break;
    }
    emit hotKeyCaptureStarted();
}

} // namespace snaplorn
