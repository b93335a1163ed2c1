// The toolbox of the main window (tool buttons, pen width, colours), the
// selection commands' enabled state, the whole-image pixel commands and the
// canvas menu's colour copy.
#include "mainwindow/frmViewImage.h"

#include "base/Texts.h"
#include "document/ImageDocument.h"
#include "mainwindow/CanvasWidget.h"
#include "platform/Clipboard.h"
#include "platform/DialogService.h"
#include "platform/PlatformServices.h"
#include "tools/MiniPalette.h"
#include "tools/PastePicture.h"
#include "tools/PenSizePicker.h"
#include "tools/TextEntry.h"
#include "tools/ToolArt.h"
#include "document/pixelops.h"

#include <QAction>
#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>

using namespace snaplorn;

namespace {

// Top-left corners of the twelve tool buttons inside the toolbox frame.
const QPoint ToolButtonPositions[ToolCount] = {{21, 147}, {55, 147}, {21, 175}, {55, 175},
                                               {21, 203}, {55, 203}, {21, 231}, {56, 231},
                                               {21, 259}, {56, 259}, {21, 287}, {56, 287}};
const QSize ToolButtonSize(33, 27);

// Shows a tool's hint while the pointer is over its button, and clears the
// hint when the pointer moves over the bare toolbox frame.
class ToolboxHints : public QObject
{
public:
    ToolboxHints(frmViewImage* window, QWidget* frame) : QObject(frame), m_window(window)
    {
        frame->setMouseTracking(true);
        frame->installEventFilter(this);
        m_frame = frame;
    }
    void watch(QAbstractButton* button, int index)
    {
        button->setProperty("index", index);
        button->setMouseTracking(true);
        button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (watched != m_frame) {
            if (type == QEvent::MouseMove || type == QEvent::Enter)
                m_window->OptTool_MouseMove(watched->property("index").toInt());
        } else if (type == QEvent::MouseMove) {
            // Moves over a button that it passes on reach the frame too.
            const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (!m_frame->childAt(at))
                m_window->setStatusText(1, QString());
        }
        return false;
    }

private:
    frmViewImage* m_window;
    QWidget* m_frame = nullptr;
};

} // namespace

// ---- creation ---------------------------------------------------------------

void frmViewImage::createToolbox()
{
    m_toolContext =
        std::make_unique<ToolContext>(ToolContext{*m_document, m_drag, miPenWidth, mlCurrColor});
    for (int i = 0; i < ToolCount; ++i)
        m_tools.push_back(createTool(i, *m_toolContext));

    lblCurrColor = new QLabel(frEdit);
    lblCurrColor->setObjectName(QStringLiteral("lblCurrColor"));
    lblCurrColor->setGeometry(14, 21, 57, 22);
    lblCurrColor->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblCurrColor->setAutoFillBackground(true);
    lblCurrColor->setToolTip(QString::fromLatin1(texts::CurrentColorTip));

    cmdColor = new QPushButton(QString::fromLatin1(texts::MoreColorsCaption), frEdit);
    cmdColor->setObjectName(QStringLiteral("cmdColor"));
    cmdColor->setGeometry(73, 22, 25, 20);
    QFont serif(QStringLiteral("Times New Roman"));
    serif.setStyleHint(QFont::Serif);
    serif.setBold(false);
    cmdColor->setFont(serif);
    cmdColor->setToolTip(QString::fromLatin1(texts::MoreColorsTip));
    connect(cmdColor, &QPushButton::clicked, this, &frmViewImage::cmdColor_Click);

    PicMiniPal = new MiniPalette(frEdit);
    PicMiniPal->move(14, 49);
    PicMiniPal->setCursor(canvasCursor(CanvasCursor::Pipette));
    connect(PicMiniPal, &MiniPalette::pressed, this, [this](Qt::MouseButton b, const QPoint& at) {
        PicMiniPal_MouseDown(int(b), at.x(), at.y());
    });

    createToolButtons();

    Label1 = new QLabel(QString::fromLatin1(texts::PenWidthLabel), frEdit);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(21, 329, 64, 15);
    QFont plain = Label1->font();
    plain.setBold(false);
    Label1->setFont(plain);
    picPenSize = new PenSizePicker(frEdit);
    picPenSize->move(21, 343);
    connect(picPenSize, &PenSizePicker::pressed, this, [this](Qt::MouseButton b, const QPoint& at) {
        picPenSize_MouseDown(int(b), at.x(), at.y());
    });

    createCanvasTools();
    // Start state: width 1 with the first band highlighted, black, the
    // selection commands disabled (the pointer tool is chosen afterwards).
    picPenSize_MouseDown(1, 25, 10);
    setCurrentColor(0);
    DisableSelCommands();
}

void frmViewImage::createToolButtons()
{
    m_toolButtons = new QButtonGroup(this);
    m_toolButtons->setExclusive(true);
    auto* hints = new ToolboxHints(this, frEdit);
    for (int i = 0; i < ToolCount; ++i) {
        auto* button = new QToolButton(frEdit);
        button->setObjectName(QStringLiteral("OptTool"));
        button->setCheckable(true);
        button->setAutoRaise(false);
        button->setGeometry(QRect(ToolButtonPositions[i], ToolButtonSize));
        button->setIcon(toolButtonIcon(i));
        button->setIconSize(QSize(20, 20));
        button->setToolTip(QString::fromLatin1(texts::ToolTips[i]));
        // Taking the focus on a click ends a pending text entry or paste first.
        button->setFocusPolicy(Qt::ClickFocus);
        m_toolButtons->addButton(button, i);
        hints->watch(button, i);
        // Pressing a button always selects its tool, also when it is already
        // down; becoming down by any other way selects it too.
        connect(button, &QAbstractButton::pressed, this, [this, i] { OptTool_Click(i); });
        connect(button, &QAbstractButton::toggled, this, [this, i](bool down) {
            if (down)
                OptTool_Click(i);
        });
    }
}

QAbstractButton* frmViewImage::OptTool(int index) const
{
    return m_toolButtons ? m_toolButtons->button(index) : nullptr;
}

// ---- tool selection ------------------------------------------------------------

void frmViewImage::selectPointerTool()
{
    if (QAbstractButton* pointer = OptTool(toolPointer)) {
        if (pointer->isChecked())
            OptTool_Click(toolPointer);
        else
            pointer->setChecked(true);
    }
}

void frmViewImage::OptTool_Click(int index)
{
    if (miCurrTool == toolSelectionPresent) {
        eraseSelectionOutline();
        DisableSelCommands();
    }
    picPenSize->setEnabled(true);
    switch (index) {
    case toolPencil:
        picSelImage->setCursor(canvasCursor(CanvasCursor::Pencil));
        break;
    case toolEraser:
        picSelImage->setCursor(canvasCursor(CanvasCursor::Eraser));
        break;
    case toolPickColor:
        picSelImage->setCursor(canvasCursor(CanvasCursor::Pipette));
        break;
    case toolPointer:
        picSelImage->unsetCursor();
        break;
    case toolSelect:
        // Selections are outlined one pixel wide: width 1 is chosen and the
        // picker stays greyed until another tool is chosen.
        picSelImage->setCursor(canvasCursor(CanvasCursor::CrossHair));
        picPenSize_MouseDown(1, 25, 10);
        picPenSize->setEnabled(false);
        break;
    default:
        if (index >= toolRectangle && index <= toolText)
            picSelImage->setCursor(canvasCursor(CanvasCursor::CrossHair));
        break;
    }
    miCurrTool = qint16(index);
}

void frmViewImage::OptTool_MouseMove(int index)
{
    if (index < 0 || index >= ToolCount || !texts::ToolHints[index])
        return;
    setStatusText(1, QString::fromLatin1(texts::ToolHints[index]));
}

void frmViewImage::picPenSize_MouseDown(int, int, int y)
{
    miPenWidth = qint16(PenSizePicker::widthForY(y));
    picPenSize->setBand(PenSizePicker::bandForWidth(miPenWidth));
}

// ---- colours ------------------------------------------------------------------

void frmViewImage::PicMiniPal_MouseDown(int button, int x, int y)
{
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    const int index = MiniPalette::indexAt(QPoint(x, y));
    if (index < 0 || index > 15)
        return;
    setCurrentColor(toColorRef(MiniPalette::colour(index)));
}

void frmViewImage::cmdColor_Click()
{
    const std::optional<QColor> chosen =
        m_services.dialogs->color(this, QColor(fromColorRef(mlCurrColor)));
    if (chosen && chosen->isValid())
        setCurrentColor(toColorRef(chosen->rgb()));
}

void frmViewImage::setCurrentColor(ColorRef colour)
{
    mlCurrColor = colour;
    QPalette swatch = lblCurrColor->palette();
    swatch.setColor(QPalette::Window, QColor(fromColorRef(colour)));
    lblCurrColor->setPalette(swatch);
}

// ---- selection commands ---------------------------------------------------------

void frmViewImage::EnableSelCommands()
{
    for (const char* name : {"mnuCut", "mnuCopy", "mnuCrop"})
        command(QLatin1String(name))->setEnabled(true);
}

void frmViewImage::DisableSelCommands()
{
    for (const char* name : {"mnuCut", "mnuCopy", "mnuCrop"})
        command(QLatin1String(name))->setEnabled(false);
}

// ---- whole-image pixel commands --------------------------------------------------

// The flips and the inversion work on the canvas as one block and drop a
// selection (the pointer tool is chosen).
void frmViewImage::applyWholeImage(void (ImageDocument::*operation)())
{
    if (!largeEnoughForOperation(m_document->canvas()))
        return;
    selectPointerTool();
    (m_document.get()->*operation)();
}

void frmViewImage::mnuFlipHor_Click()
{
    applyWholeImage(&ImageDocument::flipHorizontal);
}

void frmViewImage::mnuFlipVert_Click()
{
    applyWholeImage(&ImageDocument::flipVertical);
}

void frmViewImage::mnuInvertColor_Click()
{
    applyWholeImage(&ImageDocument::invertColors);
}

// Grayscale keeps the tool (and a selection), takes an undo snapshot first,
// marks the image unsaved and converts the whole picture in one step, so no
// other command can see it half converted.
void frmViewImage::mnuGrayScale_Click()
{
    if (!largeEnoughForOperation(m_document->canvas()))
        return;
    m_document->grayscale();
}

// ---- colour copy (canvas menu) ----------------------------------------------------

void frmViewImage::mnuPopCopyColor_Click()
{
    copyColorText(false);
}

void frmViewImage::mnuPopCopySafeColor_Click()
{
    copyColorText(true);
}

// The colour of the pixel where the right button was pressed, as text.
void frmViewImage::copyColorText(bool webSafe)
{
    const QImage& canvas = m_document->canvas();
    const QPoint at = m_drag.start().toPoint();
    if (!canvas.rect().contains(at) || !m_services.clipboard)
        return;
    const ColorRef colour = toColorRef(canvas.pixel(at));
    m_services.clipboard->clear();
    m_services.clipboard->setText(webSafe ? safeHexColorText(colour) : hexColorText(colour));
}
