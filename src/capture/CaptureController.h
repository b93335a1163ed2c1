#pragma once
#include "base/Result.h"
#include "capture/AutoCapture.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QTimer;
class QWidget;
class frmCaptureDesktop;

namespace snaplorn {

class ImageDocument;
struct AppSettings;
struct PlatformServices;

// Runs the captures of the main window: the delay before a capture, the
// overlay, auto-capture series and the global hot keys. The window is
// hidden while a capture is under way and comes back in the state it had;
// what the capture leaves behind goes into the document.
class CaptureController : public QObject
{
    Q_OBJECT
public:
    // What the controller asks of the window that owns it.
    struct Host {
        // Offers to save unsaved changes; false when the user cancelled.
        std::function<bool()> discardChanges;
        // Saves the document as the given file (an auto-capture image); a
        // failure with an empty message has already been told.
        std::function<Result(const QString&)> saveImage;
    };

    // `viewerProcess`: a process started to view a file, which leaves the
    // hot keys to the other one.
    CaptureController(QWidget& window, ImageDocument& document, const AppSettings& settings,
                      PlatformServices& services, bool viewerProcess, Host host);
    ~CaptureController() override;

    // Hides the window and arms the delay for a capture of the given kind
    // ("desktop", "rectangle", "window"). A second command before the delay
    // has passed only changes the kind.
    void capture(const QString& mode);
    // Starts (or restarts) an auto-capture series at the settings' interval.
    void startAutoCapture();
    // True while an auto-capture series runs.
    bool AutoCaptureActive() const { return m_autoCaptureActive; }
    QString msCaptureType;

    // Global hot keys: RegHotKeys at start; registerHotKeySet registers the
    // three keys of the settings, telling the user when one fails;
    // tryRegisterHotKeys does it silently (the Options dialog tells).
    void RegHotKeys();
    void UnRegHotKeys();
    bool registerHotKeySet();
    bool tryRegisterHotKeys();
    bool HotKeyRegistered(int id) const;
    void HotKeyActions(int vKeyID);

signals:
    // The hot keys are about to be registered at start.
    void hotKeysRegistering();
    // A hot key started its capture.
    void hotKeyCaptureStarted();

private:
    frmCaptureDesktop& overlay();
    void tmrDelay_Timer();
    void tmrAutoCapture_Timer();
    void endAutoCapture();
    void captureLanded(const QImage& image);
    void captureAbandoned();
    void captureFailed(const QString& message, bool documentUnchanged);
    void showAfterCapture(bool evenDuringSeries);
    void showError(const QString& text);
    void hotKeysLost(const QString& message);

    QWidget& m_window;
    ImageDocument& m_document;
    const AppSettings& m_settings;
    PlatformServices& m_services;
    bool m_viewerProcess;
    Host m_host;
    QTimer* tmrDelay = nullptr;
    QTimer* tmrAutoCapture = nullptr;
    DelayTicks m_delayTicks;
    int AutoCaptureTicks = 0;
    bool m_autoCaptureActive = false;
    bool m_hotKeyRegistered[3] = {true, true, true};
    QString m_heldKeyMessage;
    bool m_dirtyBeforeCapture = false;
    Qt::WindowStates m_stateBeforeCapture = Qt::WindowNoState;
    std::unique_ptr<frmCaptureDesktop> m_overlay;
};

} // namespace snaplorn
