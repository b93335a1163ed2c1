#pragma once
#include "settings/AppSettings.h"
#include "base/Result.h"
#include "capture/AutoCapture.h"
#include "tools/Tool.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

class QAbstractButton;
class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QMenu;
class QPainter;
class QPushButton;
class QScrollBar;
class QTimer;
class QToolBar;
class CanvasFrame;
class CanvasWidget;
class StatusPanel;
class clsScroll;
class frmCaptureDesktop;
class frmMsgBox;
class MiniPalette;
class PastePicture;
class PenSizePicker;
class TextEntry;

namespace snaplorn {
class BroadcastFetch;
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
    void setStatusText(int panel, const QString& text);

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
    void restoreFromHandOver();

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
    // file); registerHotKeySet registers the three keys of the settings
    // (also after the options change), telling the user when one fails.
    void RegHotKeys();
    void UnRegHotKeys();
    bool registerHotKeySet();
    bool tryRegisterHotKeys();
    void HotKeyActions(int vKeyID);
    bool HotKeyRegistered(int id) const;
    // True while an auto-capture series runs.
    bool AutoCaptureActive() const { return m_autoCaptureActive; }
    // Used by the capture overlay.
    void captureLanded(const QImage& image);
    void captureAbandoned();
    void captureFailed(const QString& message, bool documentUnchanged = true);
    void showAfterCapture(bool evenDuringSeries);
    QString msCaptureType;

    // --- tools ---
    // The toolbox state every canvas tool reads: the active tool (0-11, or
    // toolSelectionPresent while a selection is shown), the pen width (1, 4
    // or 6) and the drawing colour (0x00BBGGRR).
    qint16 miCurrTool = snaplorn::toolPointer;
    qint16 miPenWidth = 1;
    snaplorn::ColorRef mlCurrColor = 0;
    // The last canvas drag; the corners of the selection while one is shown.
    const snaplorn::DragFields& dragFields() const { return m_drag; }
    QAbstractButton* OptTool(int index) const;
    void OptTool_Click(int index);
    void OptTool_MouseMove(int index);
    void picPenSize_MouseDown(int button, int x, int y);
    void PicMiniPal_MouseDown(int button, int x, int y);
    void cmdColor_Click();
    void EnableSelCommands();
    void DisableSelCommands();
    // Canvas mouse events in image pixels; button 1 left, 2 right, 4 middle
    // (a sum while moving).
    void picSelImage_MouseDown(int button, const QPointF& point);
    void picSelImage_MouseMove(int button, const QPointF& point);
    void picSelImage_MouseUp(int button, const QPointF& point);
    void txtText_LostFocus();
    void picPaste_LostFocus();
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuCrop_Click();
    void mnuGrayScale_Click();
    void mnuInvertColor_Click();
    void mnuFlipHor_Click();
    void mnuFlipVert_Click();
    void mnuPopCopyColor_Click();
    void mnuPopCopySafeColor_Click();

    // --- tray, options, broadcast ---
    // Tray mode: the window hides behind its tray icon (where the desktop
    // has no tray it is minimised instead); the icon stays until the
    // program ends.
    void mnuHide_Click();
    void popDesktop_Click();
    void popRectangle_Click();
    void popWindow_Click();
    void popAbout_Click();
    void popShow_Click();
    void restoreFromTray();
    void mnuCaptureOptions_Click();
    // Stores the record the Options dialog made and registers its hot keys;
    // false when one of them could not be registered.
    bool storeOptions(const snaplorn::AppSettings& updated);
    // The broadcast message, fetched once after the start-up tick.
    void startBroadcastFetch();
    void broadcastArrived(const QByteArray& reply);
    // The box showing a broadcast message, while it is open.
    frmMsgBox* msgBox() const;

    // --- output ---
    // The whole image on the clipboard; Clear Clipboard also disables Paste.
    void mnuCopyToClipboard_Click();
    void mnuClearClipboard_Click();
    // A copy of the image written as the wallpaper file and shown centred,
    // tiled or stretched; Remove shows no wallpaper.
    void mnuWallPaperCenter_Click();
    void mnuWallPaperTile_Click();
    void mnuWallPaperStretch_Click();
    void mnuWallPaperRemove_Click();
    // Stores the style values of DisplayType ("center", "tile", "stretch",
    // any case; other types store nothing) in the desktop section of the
    // settings file, then shows pFileName (empty: no picture) in the stored
    // style. The desktop's refusal comes back as a failure.
    snaplorn::Result SetWallpaper(const QString& pFileName, const QString& DisplayType);
    // Print at screen scale on the default printer; Print Setup chooses the
    // printer first.
    void mnuPrint_Click();
    void mnuPageSetup_Click();
    // A copy of the image as "screen.jpg", handed to the mail program or,
    // where there is none, to the e-mail window; a message sent from there
    // is reported in the status bar.
    void mnuSend_Click();
    void OpenEmailWindow();

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
    void layoutControls();
    void layoutStatusPanels();
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
    void rescaleCanvas(const std::optional<QSize>& size);
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
    QWidget* m_statusRow = nullptr;
    std::vector<int> m_panelWidths; // by panel; panel 1's is computed
    int m_firstPanelNeeds = 0;      // the width of panel 1's longest text
    QMenu* mnuPopup = nullptr;
    QMenu* mnuPopupPicSel = nullptr;
    QTimer* tmrBroadcast = nullptr;
    QTimer* tmrActivatePaste = nullptr;
    bool m_closing = false;

    // --- capture ---
    void createCaptureControls();
    frmCaptureDesktop& captureOverlay();
    void armCapture(const QString& mode);
    void tmrDelay_Timer();
    void tmrAutoCapture_Timer();
    void endAutoCapture();
    QTimer* tmrDelay = nullptr;
    QTimer* tmrAutoCapture = nullptr;
    snaplorn::DelayTicks m_delayTicks;
    int AutoCaptureTicks = 0;
    bool m_autoCaptureActive = false;
    bool m_hotKeyRegistered[3] = {true, true, true};
    bool m_dirtyBeforeCapture = false;
    Qt::WindowStates m_stateBeforeCapture = Qt::WindowNoState;
    std::unique_ptr<frmCaptureDesktop> m_captureOverlay;

    // --- tools ---
    void createToolbox();
    void createToolButtons();
    void createCanvasTools();
    snaplorn::Tool* currentTool() const;
    void setCurrentColor(snaplorn::ColorRef colour);
    void paintCanvasOverlay(QPainter& painter);
    void eraseSelectionOutline();
    void dropSelection();
    void showReadouts(const QPointF& point);
    void finishSelection(const QPointF& release);
    void placeTextBox(const QPointF& release);
    void applyWholeImage(void (snaplorn::ImageDocument::*operation)());
    void copyColorText(bool webSafe);
    QRect selectionRect() const;
    bool putOnClipboard(const QImage& picture);
    void enlargeCanvasFor(const QSize& picture);
    void showPastedPicture();
    void hidePendingPaste();
    snaplorn::DragFields m_drag;
    std::unique_ptr<snaplorn::ToolContext> m_toolContext;
    std::vector<std::unique_ptr<snaplorn::Tool>> m_tools;
    QButtonGroup* m_toolButtons = nullptr;
    QLabel* lblCurrColor = nullptr;
    QPushButton* cmdColor = nullptr;
    MiniPalette* PicMiniPal = nullptr;
    QLabel* Label1 = nullptr;
    PenSizePicker* picPenSize = nullptr;
    PastePicture* picPaste = nullptr;
    TextEntry* txtText = nullptr;

    // --- tray, options, broadcast ---
    void createTrayControls();
    void trayContextMenu(const QPoint& globalPos);
    void windowShownOrHidden(bool shown);
    bool registerHotKeysFromOptions();
    void cancelBroadcast();
    void removeTrayIcon();
    snaplorn::BroadcastFetch* Inet1 = nullptr;
    QPointer<frmMsgBox> m_msgBox;

    // --- output ---
    snaplorn::Result writeImageCopy(const QString& path);
    void setWallpaperFromImage(const QString& displayType);
    snaplorn::Result printCanvas();
};
