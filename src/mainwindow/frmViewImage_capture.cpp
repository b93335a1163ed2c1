// Capture commands of the main window: full screen, rectangle and active
// window through the delay timer and the overlay, auto capture, and the
// global hot keys.
#include "mainwindow/frmViewImage.h"

#include "base/Texts.h"
#include "capture/AutoCapture.h"
#include "capture/HotKeySpec.h"
#include "capture/frmCaptureDesktop.h"
#include "document/ImageDocument.h"
#include "platform/HotKeys.h"
#include "platform/MessageService.h"
#include "platform/PlatformServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <QToolBar>

using namespace snaplorn;

void frmViewImage::createCaptureControls()
{
    // No interval until the first capture command arms it.
    tmrDelay = new QTimer(this);
    tmrDelay->setObjectName(QStringLiteral("tmrDelay"));
    connect(tmrDelay, &QTimer::timeout, this, &frmViewImage::tmrDelay_Timer);
    tmrAutoCapture = new QTimer(this);
    tmrAutoCapture->setObjectName(QStringLiteral("tmrAutoCapture"));
    connect(tmrAutoCapture, &QTimer::timeout, this, &frmViewImage::tmrAutoCapture_Timer);
    if (m_services.hotKeys)
        connect(m_services.hotKeys.get(), &HotKeys::activated, this, &frmViewImage::HotKeyActions);
}

frmCaptureDesktop& frmViewImage::captureOverlay()
{
    if (!m_captureOverlay)
    {
        m_captureOverlay = std::make_unique<frmCaptureDesktop>(*this, m_services);
        frmCaptureDesktop* overlay = m_captureOverlay.get();
        connect(overlay, &frmCaptureDesktop::captureLanded, this, &frmViewImage::captureLanded);
        connect(overlay, &frmCaptureDesktop::captureAbandoned, this,
                &frmViewImage::captureAbandoned);
        connect(overlay, &frmCaptureDesktop::captureFailed, this, &frmViewImage::captureFailed);
        connect(overlay, &frmCaptureDesktop::showAfterCapture, this,
                &frmViewImage::showAfterCapture);
    }
    return *m_captureOverlay;
}

// ---- the three capture commands ------------------------------------------------

void frmViewImage::mnuDesktop_Click()
{
    armCapture(QStringLiteral("desktop"));
}

void frmViewImage::mnuRectangle_Click()
{
    armCapture(QStringLiteral("rectangle"));
}

void frmViewImage::mnuWindow_Click()
{
    armCapture(QStringLiteral("window"));
}

// Hides the window, so the screen repaints without it, and arms the delay.
// A second command before the delay has passed only changes the kind.
void frmViewImage::armCapture(const QString& mode)
{
    const bool wasDirty = m_document->isDirty();
    bool cancelled = false;
    DiscardChanges(cancelled);
    if (cancelled)
        return;
    if (!tmrDelay->isActive()) {
        m_dirtyBeforeCapture = wasDirty;
        if (isVisible())
            m_stateBeforeCapture = windowState();
    }
    hide();
    QCoreApplication::processEvents();
    msCaptureType = mode;
    tmrDelay->setInterval(DelayTicks::IntervalMs);
    if (!tmrDelay->isActive())
        tmrDelay->start();
}

void frmViewImage::tmrDelay_Timer()
{
    if (!m_delayTicks.tick())
        return;
    tmrDelay->stop();
    captureOverlay().GetImage(msCaptureType.toLower());
}

// ---- what a capture leaves behind ------------------------------------------------

// The capture is the new image: untitled and unsaved. Only a capture that
// put a picture on the canvas changes the document.
void frmViewImage::captureLanded(const QImage& image)
{
    m_document->takeCapture(image);
    RefreshScrollRanges();
}

// An abandoned capture leaves the document exactly as it was before the
// command, unsaved changes included.
void frmViewImage::captureAbandoned()
{
    m_document->setDirty(m_dirtyBeforeCapture);
    showAfterCapture(true);
}

// A failure also ends a running series before the message is shown, so
// no further tick runs while the user reads it.
void frmViewImage::captureFailed(const QString& message, bool documentUnchanged)
{
    if (documentUnchanged)
        m_document->setDirty(m_dirtyBeforeCapture);
    if (m_autoCaptureActive)
        endAutoCapture();
    showAfterCapture(true);
    showError(message);
}

// Brings the window back in the state it had before the command; during an
// auto-capture series a full-screen capture leaves it hidden.
void frmViewImage::showAfterCapture(bool evenDuringSeries)
{
    if (m_autoCaptureActive && !evenDuringSeries)
        return;
    if (m_stateBeforeCapture & Qt::WindowMaximized)
        showMaximized();
    else if (m_stateBeforeCapture & Qt::WindowFullScreen)
        showFullScreen();
    else
        showNormal();
}

// ---- auto capture ------------------------------------------------------------------

void frmViewImage::mnuAutoCapture_Click()
{
    tmrAutoCapture->setInterval(autoCaptureIntervalMs(m_settings.AutoInterval));
    tmrAutoCapture->start();
    // The window stays out of the pictures for the whole series, the first
    // one included.
    if (!m_autoCaptureActive && isVisible()) {
        m_stateBeforeCapture = windowState();
        hide();
    }
}

// Each tick first saves the picture taken by the previous tick, then takes
// the next one at once, so every file holds a capture made after the file
// before it was written, at any interval.
void frmViewImage::tmrAutoCapture_Timer()
{
    const int k = ++AutoCaptureTicks;
    bool cancelled = false;
    DiscardChanges(cancelled);
    if (cancelled)
        return;
    hide();
    m_autoCaptureActive = true;
    const QString folder = m_settings.AutoFolder;
    if (!autoCaptureFolderUsable(folder)) {
        endAutoCapture();
        showError(QString::fromUtf8(texts::AutoFolderMissing));
        return;
    }
    if (k > 1) {
        const Result saved = SaveImageFile(autoCaptureFileName(folder, k - 1));
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
    captureOverlay().GetImage(QStringLiteral("desktop"));
}

void frmViewImage::endAutoCapture()
{
    AutoCaptureTicks = 0;
    tmrAutoCapture->stop();
    tmrDelay->stop();
    m_autoCaptureActive = false;
    showAfterCapture(true);
}

// ---- global hot keys -------------------------------------------------------------

void frmViewImage::RegHotKeys()
{
    emit hotKeysRegistering();
    // A process started to view a file leaves the keys to the other one.
    if (!m_commandLine.trimmed().isEmpty())
        return;
    registerHotKeySet();
}

bool frmViewImage::registerHotKeySet()
{
    const bool all = tryRegisterHotKeys();
    // Without a hot-key service (no X11 display) there is nothing to tell.
    if (!all && m_services.hotKeys)
        m_services.messages->tell(this, QString::fromUtf8(texts::HotKeysFailed), MsgIcon::Critical);
    return all;
}

// All three keys are tried, each setting its flag. A key without a modifier
// is refused: it would take that key away from every other program. A key
// already taken by an earlier row is refused too: X lets one client grab
// the same key twice, and a press would then start only one of the two
// captures.
bool frmViewImage::tryRegisterHotKeys()
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

void frmViewImage::UnRegHotKeys()
{
    if (!m_commandLine.trimmed().isEmpty())
        return;
    for (int id = 0; id < 3; ++id) {
        m_hotKeyRegistered[id] = true;
        if (m_services.hotKeys)
            m_services.hotKeys->unregisterHotKey(id);
    }
}

bool frmViewImage::HotKeyRegistered(int id) const
{
    return id >= 0 && id < 3 && m_hotKeyRegistered[id];
}

// A hot key runs its capture unless another window of the program is open
// (a message, a dialog). While the rectangle overlay is up a capture is
// already under way: the key is ignored without a word, since a note would
// be a modal box fighting the full-screen overlay for the top of the screen
// and for the mouse, and would leave the overlay blocked behind it.
void frmViewImage::HotKeyActions(int vKeyID)
{
    if (m_captureOverlay && m_captureOverlay->isVisible())
        return;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        // The tray icon is a small window of its own on X11; it is not a
        // dialog that should keep the hot keys from working.
        if (window == this || !window->isVisible() || window->windowType() == Qt::ToolTip ||
            window->objectName() == QLatin1String("frmViewImage") ||
            window->inherits("QSystemTrayIconSys"))
            continue;
        m_services.messages->tell(this, QString::fromUtf8(texts::HotKeyNote), MsgIcon::Information);
        return;
    }
    switch (vKeyID) {
    case HotKeyRectangle:
        mnuRectangle_Click();
        break;
    case HotKeyDesktop:
        mnuDesktop_Click();
        break;
    case HotKeyWindow:
        mnuWindow_Click();
        break;
    default:
        break;
    }
    Toolbar1->setEnabled(true);
}
