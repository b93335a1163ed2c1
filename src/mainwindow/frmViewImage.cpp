// Creation, load step, start-up tick, layout and closing of the main window.
#include "mainwindow/frmViewImage.h"

#include "base/CommandLine.h"
#include "base/Paths.h"
#include "base/Texts.h"
#include "capture/CaptureController.h"
#include "document/ImageDocument.h"
#include "document/Resample.h"
#include "mainwindow/BroadcastNotice.h"
#include "mainwindow/CanvasFrame.h"
#include "mainwindow/Icons.h"
#include "mainwindow/StatusPanel.h"
#include "mainwindow/TrayMode.h"
#include "mainwindow/clsScroll.h"
#include "mainwindow/frmAbout.h"
#include "output/OutputCommands.h"
#include "platform/MessageService.h"
#include "platform/PlatformServices.h"
#include "platform/Shell.h"
#include "settings/Registry.h"
#include "tools/CanvasWidget.h"
#include "tools/ColorText.h"
#include "tools/Toolbox.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QMenu>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

using namespace snaplorn;

namespace {
constexpr int MinimumWidth = 586;  // 8800 twips
constexpr int MinimumHeight = 486; // 7300 twips
constexpr int ToolboxGap = 120;
constexpr int ToolboxWidth = 106;
constexpr int ToolboxHeight = 414;
} // namespace

frmViewImage::frmViewImage(PlatformServices& services, Registry& registry,
                           const QString& commandLine, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_registry(registry),
      m_document(std::make_unique<ImageDocument>()), m_commandLine(commandLine)
{
    setObjectName(QStringLiteral("frmViewImage"));
    setWindowTitle(QString::fromLatin1(texts::DesignCaption));
    setWindowIcon(applicationIcon());
    setMinimumSize(MinimumWidth, MinimumHeight);
    resize(800, 600);
    m_settings = AppSettings::defaults(paths::defaultPicturesFolder());

    createControls();
    createMenus();
    createToolbar();
    createStatusBar();

    // 1. canvas in its frame, scroll bars set up
    m_scroll = std::make_unique<clsScroll>();
    layoutControls();
    // 2. toolbox state: the pointer tool
    createCollaborators();
    m_toolbox->selectPointerTool();
    // 3. Undo, Redo and Paste start disabled, and so do the commands of a
    // selection
    for (const char* name : {"mnuUndo", "mnuRedo", "mnuPaste", "mnuCut", "mnuCopy", "mnuCrop"})
        command(QLatin1String(name))->setEnabled(false);
    connectViewSignals();
    // 4. no image yet: the canvas is 0 x 0 (the document starts empty)
    // 5. the tray menu's Show entry is disabled while the window shows
    command(QStringLiteral("popShow"))->setEnabled(false);
    // 6. the file dialogs start in the user's Pictures folder
    m_document->setLastDialogFolder(paths::defaultPicturesFolder());
    connect(m_document.get(), &ImageDocument::titleChanged, this, &QWidget::setWindowTitle);
    connect(m_document.get(), &ImageDocument::canvasChanged, this,
            &frmViewImage::RefreshScrollRanges);
    // 7. a picture named on the command line
    const QString file = m_commandLine.trimmed();
    if (!file.isEmpty()) {
        const Result loaded = LoadImageFile(unquotedCommandLine(file));
        if (!loaded)
            showError(loaded.message);
    }
}

frmViewImage::~frmViewImage() = default;

void frmViewImage::createControls()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);
    picSelImageFrame = new CanvasFrame(central);
    picSelImage = new CanvasWidget(*m_document, picSelImageFrame);
    picSelImage->installEventFilter(this);
    picSelImageFrame->installEventFilter(this);
    HScroll1 = new QScrollBar(Qt::Horizontal, central);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    VScroll1 = new QScrollBar(Qt::Vertical, central);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    for (QScrollBar* bar : {HScroll1, VScroll1}) {
        bar->setTracking(false); // the canvas moves on release, not while dragging
        bar->setFocusPolicy(Qt::NoFocus);
    }
    connect(HScroll1, &QScrollBar::valueChanged, this,
            [this] { m_scroll->MoveH(HScroll1, picSelImage); });
    connect(VScroll1, &QScrollBar::valueChanged, this,
            [this] { m_scroll->MoveV(VScroll1, picSelImage); });
    frEdit = new QGroupBox(QStringLiteral("Toolbox"), central);
    frEdit->setObjectName(QStringLiteral("frEdit"));
    frEdit->resize(ToolboxWidth, ToolboxHeight);
    QFont bold = frEdit->font();
    bold.setBold(true);
    frEdit->setFont(bold);

    tmrBroadcast = new QTimer(this);
    tmrBroadcast->setObjectName(QStringLiteral("tmrBroadcast"));
    tmrBroadcast->setSingleShot(true);
    tmrBroadcast->setInterval(1);
    connect(tmrBroadcast, &QTimer::timeout, this, &frmViewImage::tmrBroadcast_Timer);
}

// The collaborators that own the captures, the toolbox and canvas, the
// output commands, tray mode and the broadcast message; what they report
// shows in this window's commands and status bar.
void frmViewImage::createCollaborators()
{
    const bool viewerProcess = !m_commandLine.trimmed().isEmpty();
    m_capture =
        new CaptureController(*this, *m_document, m_settings, m_services, viewerProcess,
                              {[this] {
                                   bool cancelled = false;
                                   DiscardChanges(cancelled);
                                   return !cancelled;
                               },
                               [this](const QString& path) { return SaveImageFile(path); }});
    connect(m_capture, &CaptureController::hotKeysRegistering, this,
            &frmViewImage::hotKeysRegistering);
    connect(m_capture, &CaptureController::hotKeyCaptureStarted, this,
            [this] { Toolbar1->setEnabled(true); });

    m_toolbox =
        new Toolbox(*m_document, m_services, *picSelImage, *picSelImageFrame, *frEdit, *this);
    connect(m_toolbox, &Toolbox::statusText, this, &frmViewImage::setStatusText);
    connect(m_toolbox, &Toolbox::selectionCommandsEnabled, this, [this](bool cutCopy, bool crop) {
        command(QStringLiteral("mnuCut"))->setEnabled(cutCopy);
        command(QStringLiteral("mnuCopy"))->setEnabled(cutCopy);
        command(QStringLiteral("mnuCrop"))->setEnabled(crop);
    });
    // The menu entry and the toolbar button "paste" are one action.
    QAction* paste = command(QStringLiteral("mnuPaste"));
    connect(m_toolbox, &Toolbox::pasteEnabled, paste, &QAction::setEnabled);
    connect(m_toolbox, &Toolbox::canvasMenuRequested, this, [this](const QPoint& at) {
        if (mnuPopupPicSel)
            mnuPopupPicSel->popup(at);
    });
    connect(picSelImageFrame, &CanvasFrame::clicked, m_toolbox, &Toolbox::frameClicked);

    m_output = new OutputCommands(*this, *m_document, m_registry, m_settings, m_services);
    connect(m_output, &OutputCommands::imageCopyWritten, m_toolbox, &Toolbox::selectPointerTool);
    connect(m_output, &OutputCommands::pasteCleared, paste, [paste] { paste->setEnabled(false); });
    connect(m_output, &OutputCommands::sendEnabled, command(QStringLiteral("mnuSend")),
            &QAction::setEnabled);
    connect(m_output, &OutputCommands::mailSent, this,
            [this](const QString& text) { setStatusText(1, text); });

    m_tray =
        new TrayMode(*this, m_services, *command(QStringLiteral("popShow")), *Toolbar1, *mnuPopup);
    m_broadcast = new BroadcastNotice(*this, m_registry, m_settings, m_services);
}

void frmViewImage::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    // The four panels sit in one row whose widths this window sets itself
    // (layoutStatusPanels), so the read-out panel keeps its room however
    // narrow the window gets.
    m_statusRow = new QWidget(bar);
    m_statusRow->setObjectName(QStringLiteral("StatusBar1_Panels"));
    m_statusRow->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_statusRow->installEventFilter(this);
    bar->addWidget(m_statusRow, 1);
    for (int i = 1; i <= 4; ++i) {
        auto* panel = new StatusPanel(i, m_statusRow);
        // A fixed height keeps the status bar from laying itself out again
        // on every read-out while the mouse moves over the canvas.
        panel->setFixedHeight(panel->fontMetrics().height() + 6);
        connect(panel, &StatusPanel::clicked, this, &frmViewImage::StatusBar1_PanelClick);
        m_panels.push_back(panel);
    }
    m_statusRow->setFixedHeight(m_panels[0]->height());
    m_panels[3]->setText(QString::fromLatin1(texts::WebAddress));
    const QFontMetrics metrics = m_panels[0]->fontMetrics();
    const int padding = 2 * m_panels[0]->frameWidth() + 2 * m_panels[0]->margin() + 8;
    m_panelWidths = {0, 130, 80,
                     metrics.horizontalAdvance(QString::fromLatin1(texts::WebAddress)) + 16};
    // Panel 1 shows the colour read-out (widest with three-digit values and
    // the broad hex letters), the tool hints and the web address.
    QStringList longest = {colorReadout(toColorRef(qRgb(255, 255, 255))),
                           colorReadout(toColorRef(qRgb(221, 221, 221))),
                           QString::fromLatin1(texts::WebAddress)};
    for (const char* hint : texts::ToolHints)
        if (hint)
            longest << QString::fromLatin1(hint);
    for (const QString& text : longest)
        m_firstPanelNeeds = std::max(m_firstPanelNeeds, metrics.horizontalAdvance(text) + padding);
    m_panels[3]->setCursor(Qt::PointingHandCursor);
    m_panels[3]->setStyleSheet(QStringLiteral("color: #0000ff; text-decoration: underline;"));
}

// Panel 1 takes the inner width less the other panels and a 320-pixel gap,
// but never less than its longest text; panels 2 to 4 keep their widths at
// the right end where there is room and share what is left where not.
void frmViewImage::layoutStatusPanels()
{
    if (m_panels.size() != 4)
        return;
    constexpr int Gap = 2;
    const int available = m_statusRow->width();
    const int innerWidth = centralWidget()->width();
    const int others = m_panelWidths[1] + m_panelWidths[2] + m_panelWidths[3];
    const int first = std::min(available, std::max(m_firstPanelNeeds, innerWidth - others - 320));
    const int room = std::max(0, available - first - 3 * Gap);
    const int height = m_statusRow->height();
    m_panels[0]->setGeometry(0, 0, first, height);
    int right = available;
    for (int i = 3; i >= 1; --i) {
        const int width =
            others <= room ? m_panelWidths[size_t(i)] : m_panelWidths[size_t(i)] * room / others;
        m_panels[size_t(i)]->setGeometry(right - width, 0, width, height);
        right -= width + Gap;
    }
}

QString frmViewImage::statusText(int panel) const
{
    if (panel < 1 || panel > int(m_panels.size()))
        return QString();
    return m_panels[size_t(panel - 1)]->text();
}

void frmViewImage::setStatusText(int panel, const QString& text)
{
    // Canvas moves write the panels many times a second; an unchanged text
    // costs no relayout of the status bar.
    if (panel >= 1 && panel <= int(m_panels.size()) && m_panels[size_t(panel - 1)]->text() != text)
        m_panels[size_t(panel - 1)]->setText(text);
}

void frmViewImage::showError(const QString& text)
{
    m_services.messages->tell(this, text, MsgIcon::Exclamation);
}

// ---- load step and start-up tick -----------------------------------------

void frmViewImage::Load()
{
    LoadSettings();
    show();
    if (m_settings.HotKeyPresent == 1)
        m_capture->RegHotKeys();
    showMaximized();
    QCoreApplication::processEvents();
    tmrBroadcast->start();
}

void frmViewImage::LoadSettings()
{
    const LoadSettingsOutcome outcome =
        snaplorn::LoadSettings(m_registry, paths::defaultPicturesFolder(), m_settings);
    // A value that cannot be read keeps its default; the user hears about it
    // once, and the start goes on.
    if (!outcome.errors.isEmpty())
        showError(outcome.errors.join(QLatin1String(texts::CRLF)));
    emit settingsLoaded();
}

void frmViewImage::tmrBroadcast_Timer()
{
    const bool wasVisible = isVisible();
    if (m_settings.RunInTray == 1)
        mnuHide_Click();
    else
        show();
    m_broadcast->start();
    emit startupTickRan(wasVisible);
    tmrBroadcast->stop();
}

void frmViewImage::restoreFromHandOver()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

// ---- layout --------------------------------------------------------------

void frmViewImage::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (isMinimized())
        return;
    layoutControls();
}

void frmViewImage::layoutControls()
{
    QWidget* inner = centralWidget();
    const int innerWidth = inner->width();
    const int innerHeight = inner->height();
    const int vWidth = VScroll1->sizeHint().width();
    const int hHeight = HScroll1->sizeHint().height();
    const int frameWidth =
        std::max(0, innerWidth - vWidth - (frEdit->isVisibleTo(this) ? ToolboxGap : 0));
    const int frameHeight = std::max(0, innerHeight - hHeight);
    picSelImageFrame->setGeometry(0, 0, frameWidth, frameHeight);
    VScroll1->setGeometry(frameWidth, 0, vWidth, frameHeight);
    HScroll1->setGeometry(0, frameHeight, frameWidth, hHeight);
    frEdit->move(frameWidth + vWidth + 10, 0);
    layoutStatusPanels();
    RefreshScrollRanges();
}

void frmViewImage::RefreshScrollRanges()
{
    const long w = m_document->width();
    const long h = m_document->height();
    const long fw = frameImageSize().width();
    const long fh = frameImageSize().height();
    m_scroll->SetUpScrollBars(HScroll1, VScroll1, h - fh, 8, halfToEven(h), w - fw, 4,
                              halfToEven(w));
    // A smaller maximum lowers a bar's value; the canvas follows, so no gap
    // opens left of or above the image.
    m_scroll->MoveH(HScroll1, picSelImage);
    m_scroll->MoveV(VScroll1, picSelImage);
}

void frmViewImage::mnuShowToolbox_Click()
{
    // The check mark (shared with the toolbar button) has already flipped.
    const bool show = command(QStringLiteral("mnuShowToolbox"))->isChecked();
    frEdit->setVisible(show);
    layoutControls();
    m_toolbox->selectPointerTool();
}

// ---- status bar, help and web site ----------------------------------------

void frmViewImage::StatusBar1_PanelClick(int panel)
{
    m_panels[0]->setText(QString::fromLatin1(texts::WebAddress));
    if (panel == 4)
        mnuWebsite_Click();
}

void frmViewImage::mnuHelpContents_Click()
{
    const QString path = paths::helpFile();
    const Result opened = m_services.shell->openUrl(QUrl::fromLocalFile(path));
    if (!opened)
        showError(QLatin1String(texts::HelpOpenErrorPrefix) + path +
                  QLatin1String(texts::HelpOpenErrorSuffix));
}

void frmViewImage::mnuWebsite_Click()
{
    const Result opened = m_services.shell->openUrl(QUrl(QString::fromLatin1(texts::WebAddress)));
    if (!opened)
        showError(opened.message);
}

void frmViewImage::mnuHelpAbout_Click()
{
    frmAbout::showModal(*m_services.shell, *m_services.messages, this);
}

// ---- closing ---------------------------------------------------------------

void frmViewImage::mnuExit_Click()
{
    close();
}

void frmViewImage::closeEvent(QCloseEvent* event)
{
    if (m_closing || runClosingSequence()) {
        event->accept();
        return;
    }
    event->ignore();
}

bool frmViewImage::runClosingSequence()
{
    if (!AskSaveChanges())
        return false;
    m_closing = true;
    m_broadcast->cancel();
    if (m_settings.HotKeyPresent == 1)
        m_capture->UnRegHotKeys();
    m_tray->removeTrayIcon();
    QCoreApplication::processEvents();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible())
            window->close();
    emit programEnding();
    return true;
}
