#pragma once
#include "app/AppSettings.h"
#include "app/Result.h"
#include "capture/AutoCapture.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <vector>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QScrollBar;
class QTimer;
class QToolBar;
class CanvasFrame;
class CanvasWidget;
class StatusPanel;
class clsScroll;
class frmCaptureDesktop;

namespace snaplorn {
class ImageDocument;
class Registry;
struct PlatformServices;
} // namespace snaplorn

// The program's main window: menus, toolbar, the canvas in its frame with
// the scroll bars, the toolbox and the status bar. The image itself is the
// ImageDocument; this window routes commands to it and shows it.
class frmViewImage : public QMainWindow
{
    Q_OBJECT
public:
    // Runs the creation step: controls, disabled Undo/Redo/Paste, the empty
    // canvas, and the picture named on the command line, if any.
    frmViewImage(snaplorn::PlatformServices& services, snaplorn::Registry& registry,
                 const QString& commandLine, QWidget* parent = nullptr);
    ~frmViewImage() override;

    // The load step: settings, show, hot keys, maximise, start-up tick.
    void Load();

    using Handler = void (frmViewImage::*)();
    struct CommandRow {
        const char* name;     // objectName of the menu entry / action
        const char* menu;     // objectName of the menu holding it; "" = menu bar
        const char* caption;  // with its "&"
        const char* shortcut; // key sequence text, "" = none
        bool separatorBefore;
        bool submenu;
        Handler handler; // nullptr: present but disabled
    };
    struct ToolbarRow {
        int position; // 1-based, separators counted
        const char* key;
        const char* toolTip;
        const char* command;
    };
    static const std::vector<CommandRow>& commandTable();
    static const std::vector<ToolbarRow>& toolbarTable();
    static constexpr int ToolbarPositions = 29;

    QAction* command(const QString& name) const;
    // The toolbar button with the given key ("undo", "redo", "cut", ...).
    QAction* toolbarButton(const QString& key) const;

    snaplorn::ImageDocument& document() { return *m_document; }
    snaplorn::AppSettings& settings() { return m_settings; }
    snaplorn::PlatformServices& services() { return m_services; }
    QString statusText(int panel) const;

    // Document operations shared by the commands.
    bool AskSaveChanges();
    void DiscardChanges(bool& cancelled);
    snaplorn::Result LoadImageFile(const QString& path);
    snaplorn::Result SaveImageFile(const QString& path);
    void RefreshScrollRanges();

    // Commands
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuAttribute_Click();
    void mnuExit_Click();
    void mnuShowToolbox_Click();
    void mnuHelpContents_Click();
    void mnuWebsite_Click();
    void mnuHelpAbout_Click();
    void StatusBar1_PanelClick(int panel);

    // Brings the window back when a second start asks for it.
    void RestoreFromHandOver();

    // --- view ---
    void mnuZoomIn_Click();
    void mnuZoomOut_Click();
    void mnuFitToWin_Click();
    void mnuUndo_Click();
    void mnuRedo_Click();
    // Enlarge ("in") or Shrink ("out") the image by a factor of two.
    void ZoomImage(const QString& direction);
    // Undo drops a selection shown on the canvas; the toolbox code fills it in.
    void dropSelectionForUndo();

    // --- capture ---
    void mnuDesktop_Click();
    void mnuRectangle_Click();
    void mnuWindow_Click();
    void mnuAutoCapture_Click();
    // Global hot keys: RegHotKeys at start (not in a process started with a
    // file); RegisterHotKeySet registers the three keys of the settings
    // (also after the options change), telling the user when one fails.
    void RegHotKeys();
    void UnRegHotKeys();
    bool RegisterHotKeySet();
    void HotKeyActions(int vKeyID);
    bool HotKeyRegistered(int id) const;
    // True while an auto-capture series runs.
    bool AutoCaptureActive() const { return m_autoCaptureActive; }
    // Used by the capture overlay.
    void CaptureLanded(const QImage& image);
    void CaptureAbandoned();
    void CaptureFailed(const QString& message);
    void ShowAfterCapture(bool evenDuringSeries);
    QString msCaptureType;

signals:
    // Observable start-up steps, in the order they run.
    void settingsLoaded();
    void hotKeysRegistering();
    void startupTickRan(bool windowWasVisible);
    // The closing sequence has run: the program ends.
    void programEnding();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    void createToolbar();
    void createStatusBar();
    void LayoutControls();
    void LoadSettings();
    void tmrBroadcast_Timer();
    void tmrActivatePaste_Timer();
    void selectPointerTool();
    bool handleFileDrag(QEvent* event);
    void showError(const QString& text);
    bool runClosingSequence();

    // --- view ---
    void connectViewSignals();
    void showUndoState();
    QSize frameImageSize() const;
    snaplorn::Result scaleCanvasTo(const QSize& size);
    void resizeCanvasFromFrame(int width, int height);
    void showFramePopup(const QPoint& globalPos);

    snaplorn::PlatformServices& m_services;
    snaplorn::Registry& m_registry;
    std::unique_ptr<snaplorn::ImageDocument> m_document;
    snaplorn::AppSettings m_settings;
    QString m_commandLine;
    std::unique_ptr<clsScroll> m_scroll;

    QToolBar* Toolbar1 = nullptr;
    CanvasFrame* picSelImageFrame = nullptr;
    CanvasWidget* picSelImage = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QGroupBox* frEdit = nullptr;
    std::vector<StatusPanel*> m_panels;
    QMenu* mnuPopup = nullptr;
    QMenu* mnuPopupPicSel = nullptr;
    QTimer* tmrBroadcast = nullptr;
    QTimer* tmrActivatePaste = nullptr;
    bool m_closing = false;

    // --- capture ---
    void createCaptureControls();
    frmCaptureDesktop& captureOverlay();
    void ArmCapture(const QString& mode);
    void tmrDelay_Timer();
    void tmrAutoCapture_Timer();
    void EndAutoCapture();
    QTimer* tmrDelay = nullptr;
    QTimer* tmrAutoCapture = nullptr;
    snaplorn::DelayTicks m_delayTicks;
    int AutoCaptureTicks = 0;
    bool m_autoCaptureActive = false;
    bool m_hotKeyRegistered[3] = {true, true, true};
    bool m_dirtyBeforeCapture = false;
    Qt::WindowStates m_stateBeforeCapture = Qt::WindowNoState;
    std::unique_ptr<frmCaptureDesktop> m_captureOverlay;
};
