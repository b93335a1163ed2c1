// The canvas's mouse handling: the drawing tools' drags, the read-outs in
// the status bar, the canvas menu, and the text tool's edit box.
#include "mainwindow/frmViewImage.h"

#include "base/Texts.h"
#include "document/ImageDocument.h"
#include "mainwindow/CanvasFrame.h"
#include "mainwindow/CanvasWidget.h"
#include "platform/Clipboard.h"
#include "platform/PlatformServices.h"
#include "tools/PastePicture.h"
#include "tools/SelectTool.h"
#include "tools/TextEntry.h"

#include <QAction>
#include <QMenu>
#include <QPainter>

#include <cmath>

using namespace snaplorn;

namespace {

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

// Smallest text box the text tool places, in canvas pixels.
constexpr int TextBoxMinWidth = 90;
constexpr int TextBoxMinHeight = 50;
// A selection narrower or lower than this cannot be cropped.
constexpr int CropMinimum = 6;

} // namespace

void frmViewImage::createCanvasTools()
{
    picPaste = new PastePicture(picSelImage, picSelImageFrame);
    connect(picPaste, &PastePicture::lostFocus, this, &frmViewImage::picPaste_LostFocus);
    txtText = new TextEntry(picSelImage);
    connect(txtText, &TextEntry::finished, this, &frmViewImage::txtText_LostFocus);

    connect(picSelImage, &CanvasWidget::mousePressed, this,
            [this](Qt::MouseButton button, Qt::MouseButtons, const QPointF& point) {
                picSelImage_MouseDown(buttonCode(button), point);
            });
    connect(picSelImage, &CanvasWidget::mouseMoved, this,
            [this](Qt::MouseButtons buttons, const QPointF& point) {
                picSelImage_MouseMove(buttonCode(buttons), point);
            });
    connect(picSelImage, &CanvasWidget::mouseReleased, this,
            [this](Qt::MouseButton button, Qt::MouseButtons, const QPointF& point) {
                picSelImage_MouseUp(buttonCode(button), point);
            });
    // A click on the grey frame around the canvas ends a pending paste, then
    // a pending text entry, so text typed over a floating picture lands on it.
    connect(picSelImageFrame, &CanvasFrame::clicked, this, [this] {
        picPaste_LostFocus();
        txtText_LostFocus();
    });
    picSelImage->setOverlayPainter([this](QPainter& painter) { paintCanvasOverlay(painter); });
    if (m_services.clipboard)
        connect(m_services.clipboard.get(), &Clipboard::changed, this,
                &frmViewImage::tmrActivatePaste_Timer);
}

Tool* frmViewImage::currentTool() const
{
    if (miCurrTool < 0 || miCurrTool >= int(m_tools.size()))
        return nullptr;
    return m_tools[size_t(miCurrTool)].get();
}

// The previews over the image: the rubber band of a drag in progress and
// the outline of a shown selection.
void frmViewImage::paintCanvasOverlay(QPainter& painter)
{
    if (Tool* tool = currentTool())
        tool->paintPreview(painter);
    if (miCurrTool == toolSelectionPresent)
        paintSelectionOutline(painter, m_drag);
}

void frmViewImage::eraseSelectionOutline()
{
    // The outline is only painted over the canvas while a selection is
    // shown; repainting its strips without it removes it.
    const QRegion outline = selectionOutlineRegion(m_drag);
    miCurrTool = toolSelect;
    picSelImage->updateImageArea(outline);
}

// A shown selection goes: outline removed, Cut, Copy and Crop disabled, the
// Select tool without a selection. A new press on the canvas does this, and
// so must Undo, whose picture replaces the one the selection was made on.
void frmViewImage::dropSelection()
{
    if (miCurrTool != toolSelectionPresent)
        return;
    eraseSelectionOutline();
    DisableSelCommands();
    miCurrTool = toolSelect;
}

// ---- mouse handlers -------------------------------------------------------------

void frmViewImage::picSelImage_MouseDown(int button, const QPointF& point)
{
    if (button > 2)
        return;
    dropSelection();
    if (miCurrTool == toolPickColor && m_document->canvas().rect().contains(point.toPoint()))
        setCurrentColor(toColorRef(m_document->canvas().pixel(point.toPoint())));
    m_drag.setStart(point);
    m_drag.setLast(point);
    if (button == 2) {
        // The colour commands read the pixel at the press point recorded above.
        if (mnuPopupPicSel)
            mnuPopupPicSel->popup(picSelImage->mapToGlobal(picSelImage->toWidget(point)));
        return;
    }
    if (Tool* tool = currentTool())
        tool->press(point, Qt::LeftButton);
}

void frmViewImage::picSelImage_MouseMove(int button, const QPointF& point)
{
    showReadouts(point);
    if (button != 1)
        return;
    // Panel 3: the figure's size while one is dragged, else empty.
    Tool* tool = currentTool();
    QString size;
    if (tool && tool->dragging()) {
        picSelImage->updateImageArea(tool->move(point, Qt::LeftButton));
        size = tool->sizeText(point);
    }
    setStatusText(3, size);
    if (miCurrTool < toolPointer)
        m_document->markUnsaved();
}

// Panel 1: the colour under the pointer; panel 2: its position. Outside the
// canvas (a drag that left it) panel 1 keeps the last colour read.
void frmViewImage::showReadouts(const QPointF& point)
{
    const QImage& canvas = m_document->canvas();
    const QPoint pixel(int(std::floor(point.x())), int(std::floor(point.y())));
    if (canvas.rect().contains(pixel))
        setStatusText(1, colorReadout(toColorRef(canvas.pixel(pixel))));
    setStatusText(2, positionText(point));
}

void frmViewImage::picSelImage_MouseUp(int button, const QPointF& point)
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
        picSelImage->updateImageArea(tool->cancel());
        return;
    }
    picSelImage->updateImageArea(tool->release(point, Qt::LeftButton));
    if (miCurrTool == toolText)
        placeTextBox(point);
    else if (miCurrTool == toolSelect)
        finishSelection(point);
    // Every finished edit can be undone; the committed copy still holds the
    // picture from before it.
    if (miCurrTool != toolPointer && miCurrTool != toolPickColor &&
        miCurrTool != toolSelectionPresent) {
        m_document->finishDrawing();
    }
}

// A Select drag released away from its press row and column leaves the
// selection shown; Crop needs at least 6 x 6 pixels.
void frmViewImage::finishSelection(const QPointF& release)
{
    const float dx = std::abs(float(release.x()) - m_drag.msngStartX);
    const float dy = std::abs(float(release.y()) - m_drag.msngStartY);
    if (dx == 0 || dy == 0)
        return;
    miCurrTool = toolSelectionPresent;
    picSelImage->updateImageArea(selectionOutlineRegion(m_drag));
    EnableSelCommands();
    if (dx < CropMinimum || dy < CropMinimum)
        command(QStringLiteral("mnuCrop"))->setEnabled(false);
}

// ---- text tool ----------------------------------------------------------------

void frmViewImage::placeTextBox(const QPointF& release)
{
    const QPointF start = m_drag.start();
    const qreal left = std::min(release.x(), start.x());
    const qreal top = std::min(release.y(), start.y());
    const qreal width = std::max<qreal>(std::abs(start.x() - release.x()), TextBoxMinWidth);
    const qreal height = std::max<qreal>(std::abs(start.y() - release.y()), TextBoxMinHeight);
    const QPoint topLeft = picSelImage->toWidget(QPointF(left, top));
    const QPoint size = picSelImage->toWidget(QPointF(width, height));
    txtText->setGeometry(QRect(topLeft, QSize(size.x(), size.y())));
    txtText->setProperty("imageLeft", left);
    txtText->setProperty("imageTop", top);
    txtText->show();
    txtText->raise();
    txtText->setFocus(Qt::OtherFocusReason);
    txtText->setPlainText(QString::fromLatin1(texts::TextPrompt));
    txtText->selectAll();
    picSelImage->unsetCursor();
}

void frmViewImage::txtText_LostFocus()
{
    if (!txtText->isVisible())
        return;
    const QPoint at(txtText->property("imageLeft").toInt(), txtText->property("imageTop").toInt());
    const QString text = txtText->toPlainText();
    txtText->hide();
    const auto colour = fromColorRef(mlCurrColor);
    const int width = miPenWidth;
    m_document->drawText(
        [&](QImage& canvas) { return drawTextBlock(canvas, at, text, colour, width); }, at);
    selectPointerTool();
}
