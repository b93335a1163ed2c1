// The command table of the main window, the menus, pop-up menus and toolbar
// built from it, and the commands that hand their work to the window's
// collaborators.
#include "mainwindow/Icons.h"
#include "mainwindow/frmViewImage.h"

#include "capture/CaptureController.h"
#include "document/ImageDocument.h"
#include "mainwindow/TrayMode.h"
#include "mainwindow/frmAbout.h"
#include "options/frmOption.h"
#include "output/OutputCommands.h"
#include "platform/PlatformServices.h"
#include "settings/Registry.h"
#include "tools/Toolbox.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <map>

using F = frmViewImage;

const std::vector<F::CommandRow>& frmViewImage::commandTable()
{
    // name, menu, caption, shortcut, separator before, submenu, handler
    static const std::vector<CommandRow> rows = {
        {"mnuFile", "", "&File", "", false, true, nullptr},
        {"mnuNew", "mnuFile", "&New", "", false, false, &F::mnuNew_Click},
        {"mnuOpen", "mnuFile", "&Open...", "Ctrl+O", false, false, &F::mnuOpen_Click},
        {"mnuSave", "mnuFile", "&Save", "Ctrl+S", false, false, &F::mnuSave_Click},
        // A is the access key: S belongs to Save.
        {"mnuSaveAs", "mnuFile", "Save &As...", "", false, false, &F::mnuSaveAs_Click},
        {"mnuPageSetup", "mnuFile", "Print Se&tup...", "", true, false, &F::mnuPageSetup_Click},
        {"mnuPrint", "mnuFile", "&Print", "Ctrl+P", false, false, &F::mnuPrint_Click},
        {"mnuHide", "mnuFile", "&Minimize App. to Tray", "F4", true, false, &F::mnuHide_Click},
        {"mnuSend", "mnuFile", "Send Image by &Email...", "Ctrl+E", true, false, &F::mnuSend_Click},
        {"mnuWallPaper", "mnuFile", "Set As &Wallpaper", "", false, true, nullptr},
        {"mnuWallPaperCenter", "mnuWallPaper", "&Centered", "", false, false,
         &F::mnuWallPaperCenter_Click},
        {"mnuWallPaperTile", "mnuWallPaper", "&Tiled", "", false, false,
         &F::mnuWallPaperTile_Click},
        {"mnuWallPaperStretch", "mnuWallPaper", "&Stretched", "", false, false,
         &F::mnuWallPaperStretch_Click},
        {"mnuWallPaperRemove", "mnuWallPaper", "&Remove Wallpaper", "", true, false,
         &F::mnuWallPaperRemove_Click},
        {"mnuExit", "mnuFile", "E&xit", "", true, false, &F::mnuExit_Click},
        {"mnuEdit", "", "&Edit", "", false, true, nullptr},
        {"mnuUndo", "mnuEdit", "U&ndo", "Ctrl+Z", false, false, &F::mnuUndo_Click},
        {"mnuRedo", "mnuEdit", "&Redo", "Ctrl+Y", false, false, &F::mnuRedo_Click},
        {"mnuCut", "mnuEdit", "C&ut", "Ctrl+X", true, false, &F::mnuCut_Click},
        {"mnuCopy", "mnuEdit", "&Copy", "Ctrl+C", false, false, &F::mnuCopy_Click},
        {"mnuPaste", "mnuEdit", "&Paste", "Ctrl+V", false, false, &F::mnuPaste_Click},
        {"mnuCapture", "", "&Capture", "", false, true, nullptr},
        {"mnuDesktop", "mnuCapture", "&Full Screen", "F12", false, false, &F::mnuDesktop_Click},
        {"mnuRectangle", "mnuCapture", "Any &Rectangular Area", "F5", false, false,
         &F::mnuRectangle_Click},
        {"mnuWindow", "mnuCapture", "Active &Window", "", false, false, &F::mnuWindow_Click},
        {"mnuAutoCapture", "mnuCapture", "Start &Auto Capture", "", true, false,
         &F::mnuAutoCapture_Click},
        {"mnuImage", "", "&Image", "", false, true, nullptr},
        {"mnuZoomIn", "mnuImage", "&Enlarge", "F2", false, false, &F::mnuZoomIn_Click},
        {"mnuZoomOut", "mnuImage", "&Shrink", "F3", false, false, &F::mnuZoomOut_Click},
        {"mnuFitToWin", "mnuImage", "&Fit To Window", "", false, false, &F::mnuFitToWin_Click},
        {"mnuCrop", "mnuImage", "&Crop Image", "", true, false, &F::mnuCrop_Click},
        {"mnuGrayScale", "mnuImage", "&Grayscale - Make Gray", "", true, false,
         &F::mnuGrayScale_Click},
        {"mnuInvertColor", "mnuImage", "&Invert Color", "Ctrl+I", false, false,
         &F::mnuInvertColor_Click},
        {"mnuFlipHor", "mnuImage", "Flip &Horizontal", "", false, false, &F::mnuFlipHor_Click},
        {"mnuFlipVert", "mnuImage", "Flip &Vertical", "", false, false, &F::mnuFlipVert_Click},
        {"mnuAttribute", "mnuImage", "Image &Attributes...", "", true, false,
         &F::mnuAttribute_Click},
        {"mnuOption", "", "&Tools", "", false, true, nullptr},
        {"mnuShowToolbox", "mnuOption", "&Show Toolbox", "", false, false,
         &F::mnuShowToolbox_Click},
        {"mnuCopyToClipboard", "mnuOption", "&Copy Image to Clipboard", "Ctrl+R", true, false,
         &F::mnuCopyToClipboard_Click},
        {"mnuClearClipboard", "mnuOption", "C&lear Clipboard", "", false, false,
         &F::mnuClearClipboard_Click},
        {"mnuCaptureOptions", "mnuOption", "&Options...", "", true, false,
         &F::mnuCaptureOptions_Click},
        {"mnuHelp", "", "&Help", "", false, true, nullptr},
        {"mnuHelpContents", "mnuHelp", "&Help Contents...", "F1", false, false,
         &F::mnuHelpContents_Click},
        {"mnuWebsite", "mnuHelp", "&Quorvex Systems Online...", "", false, false,
         &F::mnuWebsite_Click},
        {"mnuHelpAbout", "mnuHelp", "&About Snaplorn...", "", true, false, &F::mnuHelpAbout_Click},
        // Pop-up menus, never shown in the menu bar
        {"mnuPopup", "-", "mnuPopup", "", false, true, nullptr},
        {"popDesktop", "mnuPopup", "Capture &Full Screen", "", false, false, &F::popDesktop_Click},
        {"popRectangle", "mnuPopup", "Capture &Rectangular Area", "", false, false,
         &F::popRectangle_Click},
        {"popWindow", "mnuPopup", "Capture Active &Window", "", false, false, &F::popWindow_Click},
        {"popAbout", "mnuPopup", "&About Snaplorn...", "", true, false, &F::popAbout_Click},
        {"popShow", "mnuPopup", "&Show Application...", "", false, false, &F::popShow_Click},
        {"popExit", "mnuPopup", "E&xit", "", true, false, &F::mnuExit_Click},
        {"mnuPopupPicSel", "-", "mnuPopupPicSel", "", false, true, nullptr},
        {"mnuPopCopyImage", "mnuPopupPicSel", "Copy &Image to Clipboard", "", false, false,
         &F::mnuCopyToClipboard_Click},
        {"mnuCopyHexColor", "mnuPopupPicSel", "&Copy Color to Clipboard", "", false, true, nullptr},
        {"mnuPopCopyColor", "mnuCopyHexColor", "&Original Hex Color", "", false, false,
         &F::mnuPopCopyColor_Click},
        {"mnuPopCopySafeColor", "mnuCopyHexColor", "&Nearest Web-safe Color", "", false, false,
         &F::mnuPopCopySafeColor_Click},
        {"mnuPopAttrib", "mnuPopupPicSel", "Image Attributes...", "", false, false,
         &F::mnuAttribute_Click},
    };
    return rows;
}

const std::vector<F::ToolbarRow>& frmViewImage::toolbarTable()
{
    static const std::vector<ToolbarRow> rows = {
        {1, "", "New image", "mnuNew"},
        {2, "", "Open an image file", "mnuOpen"},
        {3, "", "Save image", "mnuSave"},
        {5, "", "Print image to default printer", "mnuPrint"},
        {6, "", "Send image by email", "mnuSend"},
        {8, "", "Capture Full Screen", "mnuDesktop"},
        {9, "", "Capture a rectangular area", "mnuRectangle"},
        {10, "", "Capture active window", "mnuWindow"},
        {12, "undo", "Undo last edit", "mnuUndo"},
        {13, "redo", "Redo edit", "mnuRedo"},
        {15, "", "Show/Hide Toolbox", "mnuShowToolbox"},
        {17, "cut", "Cut a portion of image", "mnuCut"},
        {18, "copy", "Copy a portion of image to clipboard", "mnuCopy"},
        {19, "paste", "Paste image from clipboard", "mnuPaste"},
        {21, "", "Enlarge image", "mnuZoomIn"},
        {22, "", "Shrink image", "mnuZoomOut"},
        {23, "", "Fit image to window", "mnuFitToWin"},
        {25, "", "Flip image horizontally", "mnuFlipHor"},
        {26, "", "Flip image vertically", "mnuFlipVert"},
        {27, "", "Invert image color", "mnuInvertColor"},
        {29, "", "Open Help file", "mnuHelpContents"},
    };
    return rows;
}

void frmViewImage::createMenus()
{
    std::map<QString, QMenu*> menus;
    for (const CommandRow& row : commandTable()) {
        const QString name = QLatin1String(row.name);
        const QString parentName = QLatin1String(row.menu);
        QMenu* parentMenu = menus.count(parentName) ? menus[parentName] : nullptr;
        if (row.separatorBefore && parentMenu)
            parentMenu->addSeparator();
        if (row.submenu) {
            auto* menu = new QMenu(QString::fromUtf8(row.caption), this);
            menu->setObjectName(name);
            menus[name] = menu;
            if (parentName.isEmpty())
                menuBar()->addMenu(menu);
            else if (parentMenu)
                parentMenu->addMenu(menu)->setObjectName(name);
            continue;
        }
        auto* action = new QAction(QString::fromUtf8(row.caption), this);
        action->setObjectName(name);
        if (*row.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
        action->setIcon(snaplorn::commandIcon(name));
        action->setIconVisibleInMenu(false);
        if (row.handler) {
            const Handler handler = row.handler;
            connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        } else {
            action->setEnabled(false);
        }
        addAction(action); // shortcuts work while the menu bar is closed
        if (parentMenu)
            parentMenu->addAction(action);
    }
    mnuPopup = menus[QStringLiteral("mnuPopup")];
    mnuPopupPicSel = menus[QStringLiteral("mnuPopupPicSel")];
    QAction* toolbox = command(QStringLiteral("mnuShowToolbox"));
    toolbox->setCheckable(true);
    toolbox->setChecked(true);
}

void frmViewImage::createToolbar()
{
    Toolbar1 = addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setIconSize(QSize(24, 24));
    int position = 1;
    for (const ToolbarRow& row : toolbarTable()) {
        for (; position < row.position; ++position)
            Toolbar1->addSeparator();
        QAction* action = command(QLatin1String(row.command));
        action->setToolTip(QString::fromUtf8(row.toolTip));
        Toolbar1->addAction(action);
        if (QWidget* button = Toolbar1->widgetForAction(action)) {
            button->setObjectName(QStringLiteral("Toolbar1_%1").arg(row.position));
            button->setProperty("key", QString::fromLatin1(row.key));
        }
        ++position;
    }
}

QAction* frmViewImage::command(const QString& name) const
{
    return findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

QAction* frmViewImage::toolbarButton(const QString& key) const
{
    for (const ToolbarRow& row : toolbarTable())
        if (!key.isEmpty() && key == QLatin1String(row.key))
            return command(QLatin1String(row.command));
    return nullptr;
}

// ---- capture -------------------------------------------------------------------

void frmViewImage::mnuDesktop_Click()
{
    m_capture->capture(QStringLiteral("desktop"));
}

void frmViewImage::mnuRectangle_Click()
{
    m_capture->capture(QStringLiteral("rectangle"));
}

void frmViewImage::mnuWindow_Click()
{
    m_capture->capture(QStringLiteral("window"));
}

void frmViewImage::mnuAutoCapture_Click()
{
    m_capture->startAutoCapture();
}

// ---- toolbox and canvas ----------------------------------------------------------

void frmViewImage::mnuCut_Click()
{
    m_toolbox->cut();
}

void frmViewImage::mnuCopy_Click()
{
    m_toolbox->copy();
}

void frmViewImage::mnuPaste_Click()
{
    m_toolbox->paste();
}

void frmViewImage::mnuCrop_Click()
{
    m_toolbox->crop();
}

void frmViewImage::mnuGrayScale_Click()
{
    m_toolbox->grayscale();
}

void frmViewImage::mnuInvertColor_Click()
{
    m_toolbox->applyWholeImage(&snaplorn::ImageDocument::invertColors);
}

void frmViewImage::mnuFlipHor_Click()
{
    m_toolbox->applyWholeImage(&snaplorn::ImageDocument::flipHorizontal);
}

void frmViewImage::mnuFlipVert_Click()
{
    m_toolbox->applyWholeImage(&snaplorn::ImageDocument::flipVertical);
}

void frmViewImage::mnuPopCopyColor_Click()
{
    m_toolbox->copyColorText(false);
}

void frmViewImage::mnuPopCopySafeColor_Click()
{
    m_toolbox->copyColorText(true);
}

// ---- output ----------------------------------------------------------------------

void frmViewImage::mnuCopyToClipboard_Click()
{
    m_output->copyToClipboard();
}

void frmViewImage::mnuClearClipboard_Click()
{
    m_output->clearClipboard();
}

void frmViewImage::mnuWallPaperCenter_Click()
{
    m_output->setWallpaperFromImage(QStringLiteral("center"));
}

void frmViewImage::mnuWallPaperTile_Click()
{
    m_output->setWallpaperFromImage(QStringLiteral("tile"));
}

void frmViewImage::mnuWallPaperStretch_Click()
{
    m_output->setWallpaperFromImage(QStringLiteral("stretch"));
}

void frmViewImage::mnuWallPaperRemove_Click()
{
    m_output->removeWallpaper();
}

void frmViewImage::mnuPrint_Click()
{
    m_toolbox->selectPointerTool();
    m_output->print();
}

void frmViewImage::mnuPageSetup_Click()
{
    m_toolbox->selectPointerTool();
    m_output->pageSetup();
}

void frmViewImage::mnuSend_Click()
{
    m_output->send();
}

// ---- tray ------------------------------------------------------------------------

void frmViewImage::mnuHide_Click()
{
    m_tray->hideToTray();
}

void frmViewImage::popShow_Click()
{
    m_tray->restoreFromTray();
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

// ---- options ---------------------------------------------------------------------

void frmViewImage::mnuCaptureOptions_Click()
{
    snaplorn::AppSettings current = m_settings;
    reloadHideMsgID(m_registry, current);
    frmOption dialog(
        current, *m_services.messages, *m_services.dialogs,
        [this](const snaplorn::AppSettings& updated, bool showMessagesAgain) {
            writeSettingsRecord(m_registry, updated, showMessagesAgain);
            QCoreApplication::processEvents();
            return storeOptions(updated);
        },
        this);
    if (m_services.hotKeys)
        dialog.showBoundKeys(*m_services.hotKeys);
    dialog.exec();
}

// The Options dialog tells the user itself when a key cannot be had.
bool frmViewImage::storeOptions(const snaplorn::AppSettings& updated)
{
    m_settings = updated;
    QCoreApplication::processEvents();
    m_capture->UnRegHotKeys();
    QCoreApplication::processEvents();
    if (m_settings.HotKeyPresent != 1)
        return true;
    // Without a hot-key service (no X11 display) no key can be registered,
    // and choosing other keys would not help.
    return m_capture->tryRegisterHotKeys() || !m_services.hotKeys;
}
