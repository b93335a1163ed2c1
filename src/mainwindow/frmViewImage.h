#pragma once
#include "base/Result.h"
#include "settings/AppSettings.h"

#include <QMainWindow>

#include <memory>
#include <optional>
#include <vector>

class QGroupBox;
class QMenu;
class QScrollBar;
class QTimer;
class QToolBar;
class BroadcastNotice;
class CanvasFrame;
class CanvasWidget;
class StatusPanel;
class TrayMode;
class clsScroll;

namespace snaplorn {
class CaptureController;
class ImageDocument;
class OutputCommands;
class Registry;
class Toolbox;
struct PlatformServices;
} // namespace snaplorn

// The program's main window: menus, toolbar, the canvas in its frame with
// the scroll bars, the toolbox and the status bar. The image is the
// ImageDocument; the captures, the toolbox and canvas, the output commands,
// tray mode and the broadcast message each have a collaborator of their
// own, and the commands of the menus forward to them.
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
    // Brings the window back when a second start asks for it.
    void restoreFromHandOver();

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
    snaplorn::CaptureController& capture() { return *m_capture; }
    snaplorn::Toolbox& toolbox() { return *m_toolbox; }
    snaplorn::OutputCommands& output() { return *m_output; }
    BroadcastNotice& broadcast() { return *m_broadcast; }
    QString statusText(int panel) const;
    void setStatusText(int panel, const QString& text);

    // Document operations shared by the commands.
    bool AskSaveChanges();
    void DiscardChanges(bool& cancelled);
    snaplorn::Result LoadImageFile(const QString& path);
    snaplorn::Result SaveImageFile(const QString& path);
    void RefreshScrollRanges();
    // Stores the record the Options dialog made and registers its hot keys;
    // false when one of them could not be registered.
    bool storeOptions(const snaplorn::AppSettings& updated);

    // The commands of the menus, the toolbar and the pop-up menus.
    void mnuNew_Click(), mnuOpen_Click(), mnuSave_Click(), mnuSaveAs_Click();
    void mnuPageSetup_Click(), mnuPrint_Click(), mnuHide_Click(), mnuSend_Click();
    void mnuWallPaperCenter_Click(), mnuWallPaperTile_Click(), mnuWallPaperStretch_Click();
    void mnuWallPaperRemove_Click(), mnuExit_Click();
    void mnuUndo_Click(), mnuRedo_Click(), mnuCut_Click(), mnuCopy_Click(), mnuPaste_Click();
    void mnuDesktop_Click(), mnuRectangle_Click(), mnuWindow_Click(), mnuAutoCapture_Click();
    void mnuZoomIn_Click(), mnuZoomOut_Click(), mnuFitToWin_Click(), mnuCrop_Click();
    void mnuGrayScale_Click(), mnuInvertColor_Click(), mnuFlipHor_Click(), mnuFlipVert_Click();
    void mnuAttribute_Click(), mnuShowToolbox_Click(), mnuCopyToClipboard_Click();
    void mnuClearClipboard_Click(), mnuCaptureOptions_Click();
    void mnuHelpContents_Click(), mnuWebsite_Click(), mnuHelpAbout_Click();
    void popDesktop_Click(), popRectangle_Click(), popWindow_Click(), popAbout_Click();
    void popShow_Click(), mnuPopCopyColor_Click(), mnuPopCopySafeColor_Click();
    void StatusBar1_PanelClick(int panel);
    // Enlarge ("in") or Shrink ("out") the image by a factor of two.
    void ZoomImage(const QString& direction);

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
    void createCollaborators();
    void layoutControls();
    void layoutStatusPanels();
    void LoadSettings();
    void tmrBroadcast_Timer();
    bool handleFileDrag(QEvent* event);
    void showError(const QString& text);
    bool runClosingSequence();
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
    snaplorn::CaptureController* m_capture = nullptr;
    snaplorn::Toolbox* m_toolbox = nullptr;
    snaplorn::OutputCommands* m_output = nullptr;
    TrayMode* m_tray = nullptr;
    BroadcastNotice* m_broadcast = nullptr;

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
    bool m_closing = false;
};
