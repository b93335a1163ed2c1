#include "tools/Toolbox.h"

#include "base/Texts.h"
#include "document/ImageDocument.h"
#include "document/pixelops.h"
#include "platform/Clipboard.h"
#include "platform/DialogService.h"
#include "platform/MessageService.h"
#include "platform/PlatformServices.h"
#include "tools/CanvasWidget.h"
#include "tools/MiniPalette.h"
#include "tools/PastePicture.h"
#include "tools/PenSizePicker.h"
#include "tools/SelectTool.h"
#include "tools/TextEntry.h"
#include "tools/ToolArt.h"

#include <QButtonGroup>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace snaplorn {

namespace {

// Top-left corners of the twelve tool buttons inside the toolbox frame.
const QPoint ToolButtonPositions[ToolCount] = {{21, 147}, {55, 147}, {21, 175}, {55, 175},
                                               {21, 203}, {55, 203}, {21, 231}, {56, 231},
                                               {21, 259}, {56, 259}, {21, 287}, {56, 287}};
const QSize ToolButtonSize(33, 27);

// Smallest text box the text tool places, in canvas pixels.
constexpr int TextBoxMinWidth = 90;
constexpr int TextBoxMinHeight = 50;
// A selection narrower or lower than this cannot be cropped.
constexpr int CropMinimum = 6;
// How often Paste asks the clipboard whether it holds a picture.
constexpr int PasteCheckMs = 500;

// Mouse buttons as the canvas handlers count them: 1 left, 2 right,
// 4 middle, a sum while moving.
int buttonCode(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

// Shows a tool's hint while the pointer is over its button, and clears the
// hint when the pointer moves over the bare toolbox frame.
class ToolboxHints : public QObject
{
public:
    ToolboxHints(Toolbox* toolbox, QWidget* frame) : QObject(frame), m_toolbox(toolbox)
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
                m_toolbox->OptTool_MouseMove(watched->property("index").toInt());
        } else if (type == QEvent::MouseMove) {
            // Moves over a button that it passes on reach the frame too.
            const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (!m_frame->childAt(at))
                emit m_toolbox->statusText(1, QString());
        }
        return false;
    }

private:
    Toolbox* m_toolbox;
    QWidget* m_frame = nullptr;
};

} // namespace

// ---- creation ---------------------------------------------------------------

Toolbox::Toolbox(ImageDocument& document, PlatformServices& services, CanvasWidget& canvas,
                 QWidget& canvasFrame, QWidget& toolboxFrame, QWidget& window)
    : QObject(&window), m_document(document), m_services(services), picSelImage(canvas),
      m_window(window)
{
    m_toolContext =
        std::make_unique<ToolContext>(ToolContext{m_document, m_drag, miPenWidth, mlCurrColor});
    for (int i = 0; i < ToolCount; ++i)
        m_tools.push_back(createTool(i, *m_toolContext));

    QWidget* frame = &toolboxFrame;
    lblCurrColor = new QLabel(frame);
    lblCurrColor->setObjectName(QStringLiteral("lblCurrColor"));
    lblCurrColor->setGeometry(14, 21, 57, 22);
    lblCurrColor->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblCurrColor->setAutoFillBackground(true);
    lblCurrColor->setToolTip(QString::fromLatin1(texts::CurrentColorTip));

    cmdColor = new QPushButton(QString::fromLatin1(texts::MoreColorsCaption), frame);
    cmdColor->setObjectName(QStringLiteral("cmdColor"));
    cmdColor->setGeometry(73, 22, 25, 20);
    QFont serif(QStringLiteral("Times New Roman"));
    serif.setStyleHint(QFont::Serif);
    serif.setBold(false);
    cmdColor->setFont(serif);
    cmdColor->setToolTip(QString::fromLatin1(texts::MoreColorsTip));
    cmdColor->setAccessibleName(QString::fromLatin1(texts::MoreColorsTip));
    connect(cmdColor, &QPushButton::clicked, this, &Toolbox::cmdColor_Click);

    PicMiniPal = new MiniPalette(frame);
    PicMiniPal->move(14, 49);
    PicMiniPal->setCursor(canvasCursor(CanvasCursor::Pipette));
    connect(PicMiniPal, &MiniPalette::pressed, this, [this](Qt::MouseButton b, const QPoint& at) {
        PicMiniPal_MouseDown(int(b), at.x(), at.y());
    });

    createToolButtons(*frame);

    Label1 = new QLabel(QString::fromLatin1(texts::PenWidthLabel), frame);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(21, 329, 64, 15);
    QFont plain = Label1->font();
    plain.setBold(false);
    Label1->setFont(plain);
    picPenSize = new PenSizePicker(frame);
    picPenSize->move(21, 343);
    connect(picPenSize, &PenSizePicker::pressed, this, [this](Qt::MouseButton b, const QPoint& at) {
        picPenSize_MouseDown(int(b), at.x(), at.y());
    });

    picPaste = new PastePicture(&picSelImage, &canvasFrame);
    connect(picPaste, &PastePicture::lostFocus, this, &Toolbox::picPaste_LostFocus);
    txtText = new TextEntry(&picSelImage);
    connect(txtText, &TextEntry::finished, this, &Toolbox::txtText_LostFocus);

    connect(&picSelImage, &CanvasWidget::mousePressed, this,
            [this](Qt::MouseButton button, Qt::MouseButtons, const QPointF& point) {
                picSelImage_MouseDown(buttonCode(button), point);
            });
    connect(&picSelImage, &CanvasWidget::mouseMoved, this,
            [this](Qt::MouseButtons buttons, const QPointF& point) {
                picSelImage_MouseMove(buttonCode(buttons), point);
            });
    connect(&picSelImage, &CanvasWidget::mouseReleased, this,
            [this](Qt::MouseButton button, Qt::MouseButtons, const QPointF& point) {
                picSelImage_MouseUp(buttonCode(button), point);
            });
    picSelImage.setOverlayPainter([this](QPainter& painter) { paintCanvasOverlay(painter); });

    // Paste is enabled exactly while the clipboard holds a picture: a timer
    // asks every 500 ms, and a change of the clipboard asks at once.
    auto* tmrActivatePaste = new QTimer(this);
    tmrActivatePaste->setObjectName(QStringLiteral("tmrActivatePaste"));
    tmrActivatePaste->setInterval(PasteCheckMs);
    connect(tmrActivatePaste, &QTimer::timeout, this, &Toolbox::checkPasteAvailable);
    tmrActivatePaste->start();
    if (m_services.clipboard)
        connect(m_services.clipboard.get(), &Clipboard::changed, this,
                &Toolbox::checkPasteAvailable);

    // Start state: width 1 with the first band highlighted, black.
    picPenSize_MouseDown(1, 25, 10);
    setCurrentColor(0);
}

Toolbox::~Toolbox() = default;

void Toolbox::createToolButtons(QWidget& frame)
{
    m_toolButtons = new QButtonGroup(this);
    m_toolButtons->setExclusive(true);
    auto* hints = new ToolboxHints(this, &frame);
    for (int i = 0; i < ToolCount; ++i) {
        auto* button = new QToolButton(&frame);
        button->setObjectName(QStringLiteral("OptTool"));
        button->setCheckable(true);
        button->setAutoRaise(false);
        button->setGeometry(QRect(ToolButtonPositions[i], ToolButtonSize));
        button->setIcon(toolButtonIcon(i));
        button->setIconSize(QSize(20, 20));
        button->setToolTip(QString::fromLatin1(texts::ToolTips[i]));
        button->setAccessibleName(QString::fromLatin1(texts::ToolTips[i]));
        if (texts::ToolHints[i])
            button->setAccessibleDescription(QString::fromLatin1(texts::ToolHints[i]));
        // Tab reaches the tools and Space chooses one; taking the focus on a
        // click ends a pending text entry or paste first.
        button->setFocusPolicy(Qt::StrongFocus);
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

QAbstractButton* Toolbox::OptTool(int index) const
{
    return m_toolButtons ? m_toolButtons->button(index) : nullptr;
}

void Toolbox::showError(const QString& text)
{
    m_services.messages->tell(&m_window, text, MsgIcon::Exclamation);
}

// ---- tool selection ------------------------------------------------------------

void Toolbox::selectPointerTool()
{
    if (QAbstractButton* pointer = OptTool(toolPointer)) {
        if (pointer->isChecked())
            OptTool_Click(toolPointer);
        else
            pointer->setChecked(true);
    }
}

void Toolbox::OptTool_Click(int index)
{
    if (m_selectionShown) {
        eraseSelectionOutline();
        emit selectionCommandsEnabled(false, false);
    }
    picPenSize->setEnabled(true);
    switch (index) {
    case toolPencil:
        picSelImage.setCursor(canvasCursor(CanvasCursor::Pencil));
        break;
    case toolEraser:
        picSelImage.setCursor(canvasCursor(CanvasCursor::Eraser));
        break;
    case toolPickColor:
        picSelImage.setCursor(canvasCursor(CanvasCursor::Pipette));
        break;
    case toolPointer:
        picSelImage.unsetCursor();
        break;
    case toolSelect:
        // Selections are outlined one pixel wide: width 1 is chosen and the
        // picker stays greyed until another tool is chosen.
        picSelImage.setCursor(canvasCursor(CanvasCursor::CrossHair));
        picPenSize_MouseDown(1, 25, 10);
        picPenSize->setEnabled(false);
        break;
    default:
        if (index >= toolRectangle && index <= toolText)
            picSelImage.setCursor(canvasCursor(CanvasCursor::CrossHair));
        break;
    }
    miCurrTool = qint16(index);
}

void Toolbox::OptTool_MouseMove(int index)
{
    if (index < 0 || index >= ToolCount || !texts::ToolHints[index])
        return;
    emit statusText(1, QString::fromLatin1(texts::ToolHints[index]));
}

void Toolbox::picPenSize_MouseDown(int, int, int y)
{
    miPenWidth = qint16(PenSizePicker::widthForY(y));
    picPenSize->setBand(PenSizePicker::bandForWidth(miPenWidth));
}

Tool* Toolbox::currentTool() const
{
    if (miCurrTool < 0 || miCurrTool >= int(m_tools.size()))
        return nullptr;
    return m_tools[size_t(miCurrTool)].get();
}

// ---- colours ------------------------------------------------------------------

void Toolbox::PicMiniPal_MouseDown(int button, int x, int y)
{
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    const int index = MiniPalette::indexAt(QPoint(x, y));
    if (index < 0 || index > 15)
        return;
    setCurrentColor(toColorRef(MiniPalette::colour(index)));
}

void Toolbox::cmdColor_Click()
{
    const std::optional<QColor> chosen =
        m_services.dialogs->color(&m_window, QColor(fromColorRef(mlCurrColor)));
    if (chosen && chosen->isValid())
        setCurrentColor(toColorRef(chosen->rgb()));
}

void Toolbox::setCurrentColor(ColorRef colour)
{
    mlCurrColor = colour;
    QPalette swatch = lblCurrColor->palette();
    swatch.setColor(QPalette::Window, QColor(fromColorRef(colour)));
    lblCurrColor->setPalette(swatch);
}

// The colour of the pixel where the right button was pressed, as text.
void Toolbox::copyColorText(bool webSafe)
{
    const QImage& canvas = m_document.canvas();
    const QPoint at = m_drag.start().toPoint();
    if (!canvas.rect().contains(at) || !m_services.clipboard)
        return;
    const ColorRef colour = toColorRef(canvas.pixel(at));
    m_services.clipboard->clear();
    m_services.clipboard->setText(webSafe ? safeHexColorText(colour) : hexColorText(colour));
}

// ---- whole-image pixel commands --------------------------------------------------

// The flips and the inversion work on the canvas as one block and drop a
// selection (the pointer tool is chosen).
void Toolbox::applyWholeImage(void (ImageDocument::*operation)())
{
    if (!largeEnoughForOperation(m_document.canvas()))
        return;
    selectPointerTool();
    (m_document.*operation)();
}

// Grayscale keeps the tool (and a selection), takes an undo snapshot first,
// marks the image unsaved and converts the whole picture in one step, so no
// other command can see it half converted.
void Toolbox::grayscale()
{
    if (!largeEnoughForOperation(m_document.canvas()))
        return;
    m_document.grayscale();
}

// ---- the canvas: previews and the selection --------------------------------------

// The previews over the image: the rubber band of a drag in progress and
// the outline of a shown selection.
void Toolbox::paintCanvasOverlay(QPainter& painter)
{
    if (m_selectionShown) {
        paintSelectionOutline(painter, m_drag);
        return;
    }
    if (Tool* tool = currentTool())
        tool->paintPreview(painter);
}

void Toolbox::eraseSelectionOutline()
{
    // The outline is only painted over the canvas while a selection is
    // shown; repainting its strips without it removes it.
    const QRegion outline = selectionOutlineRegion(m_drag);
    m_selectionShown = false;
    picSelImage.updateImageArea(outline);
}

// A shown selection goes: outline removed, Cut, Copy and Crop disabled, the
// Select tool without a selection. A new press on the canvas does this, and
// so must Undo, whose picture replaces the one the selection was made on.
void Toolbox::dropSelection()
{
    if (!m_selectionShown)
        return;
    eraseSelectionOutline();
    emit selectionCommandsEnabled(false, false);
}

// ---- mouse handlers -------------------------------------------------------------

void Toolbox::picSelImage_MouseDown(int button, const QPointF& point)
{
    if (button > 2)
        return;
    dropSelection();
    if (miCurrTool == toolPickColor && m_document.canvas().rect().contains(point.toPoint()))
        setCurrentColor(toColorRef(m_document.canvas().pixel(point.toPoint())));
    m_drag.setStart(point);
    m_drag.setLast(point);
    if (button == 2) {
        // The colour commands read the pixel at the press point recorded above.
        emit canvasMenuRequested(picSelImage.mapToGlobal(picSelImage.toWidget(point)));
        return;
    }
    if (Tool* tool = currentTool())
        tool->press(point, Qt::LeftButton);
}

void Toolbox::picSelImage_MouseMove(int button, const QPointF& point)
{
    showReadouts(point);
    if (button != 1)
        return;
    // Panel 3: the figure's size while one is dragged, else empty.
    Tool* tool = currentTool();
    QString size;
    if (tool && tool->dragging()) {
        picSelImage.updateImageArea(tool->move(point, Qt::LeftButton));
        size = tool->sizeText(point);
    }
    emit statusText(3, size);
    if (miCurrTool < toolPointer)
        m_document.markUnsaved();
}

// Panel 1: the colour under the pointer; panel 2: its position. Outside the
// canvas (a drag that left it) panel 1 keeps the last colour read.
void Toolbox::showReadouts(const QPointF& point)
{
    const QImage& canvas = m_document.canvas();
    const QPoint pixel(int(std::floor(point.x())), int(std::floor(point.y())));
    if (canvas.rect().contains(pixel))
        emit statusText(1, colorReadout(toColorRef(canvas.pixel(pixel))));
    emit statusText(2, positionText(point));
}

void Toolbox::picSelImage_MouseUp(int button, const QPointF& point)
{
    if (button > 2)
        return;
    if (picPaste->isVisible())
        picPaste_LostFocus();
    Tool* tool = currentTool();
    if (button != 1 || !tool || !tool->dragging())
        return;
    // A click without movement draws nothing and takes no snapshot.
    if (point == m_drag.start() && !tool->changedImage()) {
        picSelImage.updateImageArea(tool->cancel());
        return;
    }
    picSelImage.updateImageArea(tool->release(point, Qt::LeftButton));
    if (miCurrTool == toolText)
        placeTextBox(point);
    else if (miCurrTool == toolSelect)
        finishSelection(point);
    // Every finished edit can be undone; the committed copy still holds the
    // picture from before it.
    if (miCurrTool != toolPointer && miCurrTool != toolPickColor && !m_selectionShown)
        m_document.finishDrawing();
}

// A Select drag released away from its press row and column leaves the
// selection shown; Crop needs at least 6 x 6 pixels.
void Toolbox::finishSelection(const QPointF& release)
{
    const float dx = std::abs(float(release.x()) - m_drag.msngStartX);
    const float dy = std::abs(float(release.y()) - m_drag.msngStartY);
    if (dx == 0 || dy == 0)
        return;
    m_selectionShown = true;
    picSelImage.updateImageArea(selectionOutlineRegion(m_drag));
    emit selectionCommandsEnabled(true, dx >= CropMinimum && dy >= CropMinimum);
}

void Toolbox::frameClicked()
{
    // A pending paste ends first, then a pending text entry, so text typed
    // over a floating picture lands on it.
    picPaste_LostFocus();
    txtText_LostFocus();
}

// ---- text tool ----------------------------------------------------------------

void Toolbox::placeTextBox(const QPointF& release)
{
    const QPointF start = m_drag.start();
    const qreal left = std::min(release.x(), start.x());
    const qreal top = std::min(release.y(), start.y());
    const qreal width = std::max<qreal>(std::abs(start.x() - release.x()), TextBoxMinWidth);
    const qreal height = std::max<qreal>(std::abs(start.y() - release.y()), TextBoxMinHeight);
    const QPoint topLeft = picSelImage.toWidget(QPointF(left, top));
    const QPoint size = picSelImage.toWidget(QPointF(width, height));
    txtText->setGeometry(QRect(topLeft, QSize(size.x(), size.y())));
    txtText->setProperty("imageLeft", left);
    txtText->setProperty("imageTop", top);
    txtText->show();
    txtText->raise();
    txtText->setFocus(Qt::OtherFocusReason);
    txtText->setPlainText(QString::fromLatin1(texts::TextPrompt));
    txtText->selectAll();
    picSelImage.unsetCursor();
}

void Toolbox::txtText_LostFocus()
{
    if (!txtText->isVisible())
        return;
    const QPoint at(txtText->property("imageLeft").toInt(), txtText->property("imageTop").toInt());
    const QString text = txtText->toPlainText();
    txtText->hide();
    const auto colour = fromColorRef(mlCurrColor);
    const int width = miPenWidth;
    m_document.drawText(
        [&](QImage& canvas) { return drawTextBlock(canvas, at, text, colour, width); }, at);
    selectPointerTool();
}

// ---- Cut, Copy, Crop ------------------------------------------------------------

// The selection's corners are the drag fields: left and top the smaller of
// each pair, width and height their distances.
QRect Toolbox::selectionRect() const
{
    const int left = int(std::min(m_drag.msngStartX, m_drag.msngLastX));
    const int top = int(std::min(m_drag.msngStartY, m_drag.msngLastY));
    const int width = int(std::abs(m_drag.msngStartX - m_drag.msngLastX));
    const int height = int(std::abs(m_drag.msngStartY - m_drag.msngLastY));
    return QRect(left, top, width, height);
}

bool Toolbox::putOnClipboard(const QImage& picture)
{
    if (!m_services.clipboard)
        return false;
    m_services.clipboard->clear();
    const Result put = m_services.clipboard->setImage(picture);
    if (!put) {
        showError(put.message);
        return false;
    }
    emit pasteEnabled(true);
    return true;
}

void Toolbox::cut()
{
    if (m_drag.msngStartX == m_drag.msngLastX)
        return;
    const QRect area = selectionRect();
    selectPointerTool();
    putOnClipboard(m_document.cut(area));
}

void Toolbox::copy()
{
    if (m_drag.msngStartX == m_drag.msngLastX)
        return;
    const QRect area = selectionRect();
    selectPointerTool();
    putOnClipboard(m_document.canvas().copy(area));
}

// Crop keeps the undo buffer as it is; unlike a plain canvas change it marks
// the image unsaved, so a cropped picture is never closed without the
// question.
void Toolbox::crop()
{
    if (std::abs(m_drag.msngStartX - m_drag.msngLastX) < CropMinimum ||
        std::abs(m_drag.msngStartY - m_drag.msngLastY) < CropMinimum)
        return;
    const QRect area = selectionRect();
    selectPointerTool();
    m_document.crop(area);
}

// ---- Paste ---------------------------------------------------------------------

void Toolbox::paste()
{
    if (!m_services.clipboard || !m_services.clipboard->hasImage())
        return;
    picPaste_LostFocus();
    const QImage picture = m_services.clipboard->image();
    if (picture.isNull()) {
        showError(QString::fromLatin1(texts::ClipboardPictureUnreadable));
        return;
    }
    picPaste->move(0, 0);
    picPaste->setPicture(picture);
    const QSize canvas = m_document.canvas().size();
    if (picture.width() > canvas.width() || picture.height() > canvas.height()) {
        const MsgAnswer answer = m_services.messages->ask(
            &m_window, {QString::fromLatin1(texts::PasteLargerThanImage), MsgIcon::Question,
                        MsgButtons::YesNoCancel, QString()});
        if (answer == MsgAnswer::Cancel) {
            picPaste->clearPicture();
            return;
        }
        if (answer == MsgAnswer::Yes)
            enlargeCanvasFor(picture.size());
    }
    showPastedPicture();
}

// The canvas grows to hold the picture; the added area is white.
void Toolbox::enlargeCanvasFor(const QSize& picture)
{
    const Result enlarged = m_document.enlargeFor(picture);
    if (!enlarged)
        showError(enlarged.message);
}

void Toolbox::showPastedPicture()
{
    picPaste->show();
    picPaste->raise();
    m_document.markUnsaved();
    selectPointerTool();
    picPaste->setFocus(Qt::OtherFocusReason);
}

// Stamps the floating picture into the image where it lies (what falls
// outside the canvas is dropped), with an undo snapshot of the image
// without it. The frame is only painted over the picture, so it never
// reaches the image.
void Toolbox::picPaste_LostFocus()
{
    if (!picPaste || !picPaste->isVisible())
        return;
    if (m_document.canvas().isNull()) { // nothing to stamp it into
        hidePendingPaste();
        return;
    }
    const QPoint at = (QPointF(picPaste->pos()) * picPaste->devicePixelRatioF()).toPoint();
    m_document.stampPicture(picPaste->picture(), at);
    picPaste->move(0, 0);
    picPaste->hide();
}

void Toolbox::hidePendingPaste()
{
    if (!picPaste)
        return;
    picPaste->hide();
    picPaste->move(0, 0);
}

void Toolbox::checkPasteAvailable()
{
    emit pasteEnabled(m_services.clipboard && m_services.clipboard->hasImage());
}

} // namespace snaplorn
