// View commands of the main window: Enlarge, Shrink, Fit To Window, Undo
// and Redo, and the canvas frame's handles, pop-up menu and size read-out.
#include "mainwindow/frmViewImage.h"

#include "base/Texts.h"
#include "document/ImageDocument.h"
#include "document/Resample.h"
#include "mainwindow/CanvasFrame.h"
#include "mainwindow/StatusPanel.h"
#include "mainwindow/clsScroll.h"
#include "platform/MessageService.h"
#include "platform/PlatformServices.h"
#include "tools/CanvasWidget.h"
#include "tools/Toolbox.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QScrollBar>

#include <functional>

using namespace snaplorn;

namespace {

// Enlarge stops at this many pixels per side, Shrink at this many.
constexpr int LargestZoomedSide = 1500;
constexpr int SmallestShrunkSide = 10;
// Zoom leaves pictures of this side or less alone; Fit those below it.
constexpr int ZoomGuard = 6;
constexpr int FitGuard = 6;

// Calls back when the watched widget changes size. The frame's size follows
// the central area, which can change without the window itself being
// resized (a menu bar wrapping to a second line, for instance).
class ResizeRelay : public QObject
{
public:
    ResizeRelay(QWidget* watched, std::function<void()> onResize)
        : QObject(watched), m_onResize(std::move(onResize))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            m_onResize();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onResize;
};

} // namespace

void frmViewImage::connectViewSignals()
{
    connect(m_document.get(), &ImageDocument::undoStateChanged, this, &frmViewImage::showUndoState);
    showUndoState();

    picSelImageFrame->attach(m_document.get(), picSelImage);
    connect(picSelImageFrame, &CanvasFrame::resized, this, &frmViewImage::RefreshScrollRanges);
    connect(picSelImageFrame, &CanvasFrame::statusTextChanged, this,
            [this](const QString& text) { m_panels[1]->setText(text); });
    connect(picSelImageFrame, &CanvasFrame::resizeRequested, this,
            &frmViewImage::resizeCanvasFromFrame);
    connect(picSelImageFrame, &CanvasFrame::popupRequested, this, &frmViewImage::showFramePopup);
    new ResizeRelay(centralWidget(), [this] { layoutControls(); });
    connect(picSelImage, &CanvasWidget::scaleChanged, this, &frmViewImage::layoutControls);

    clsScroll::passFocus(HScroll1, picSelImage);
    clsScroll::passFocus(VScroll1, picSelImage);
}

// The document's two flags drive the Undo and Redo actions; each action is
// both the menu entry and the toolbar button, so the pairs always agree.
void frmViewImage::showUndoState()
{
    command(QStringLiteral("mnuUndo"))->setEnabled(m_document->undoEnabled());
    command(QStringLiteral("mnuRedo"))->setEnabled(m_document->redoEnabled());
}

// The frame's size in image pixels: one image pixel is one device pixel.
QSize frmViewImage::frameImageSize() const
{
    const qreal ratio = picSelImageFrame->devicePixelRatioF();
    return QSize(qRound(picSelImageFrame->width() * ratio),
                 qRound(picSelImageFrame->height() * ratio));
}

// ---- Enlarge, Shrink, Fit To Window ------------------------------------------

void frmViewImage::mnuZoomIn_Click()
{
    ZoomImage(QStringLiteral("in"));
}

void frmViewImage::mnuZoomOut_Click()
{
    ZoomImage(QStringLiteral("out"));
}

void frmViewImage::ZoomImage(const QString& direction)
{
    const int w = m_document->width();
    const int h = m_document->height();
    if (w <= ZoomGuard || h <= ZoomGuard)
        return;
    // The snapshot is taken even when the size limit then stops the command.
    std::optional<QSize> size;
    if (direction == QLatin1String("in")) {
        if (2 * w <= LargestZoomedSide && 2 * h <= LargestZoomedSide)
            size = QSize(2 * w, 2 * h);
    } else if (w / 2.0 >= SmallestShrunkSide && h / 2.0 >= SmallestShrunkSide) {
        size = QSize(int(halfToEven(w)), int(halfToEven(h)));
    }
    rescaleCanvas(size);
}

void frmViewImage::mnuFitToWin_Click()
{
    const int w = m_document->width();
    const int h = m_document->height();
    if (w < FitGuard || h < FitGuard)
        return;
    m_toolbox->selectPointerTool();
    rescaleCanvas(fitByOrientation(QSize(w, h), frameImageSize()));
}

void frmViewImage::rescaleCanvas(const std::optional<QSize>& size)
{
    const Result scaled = m_document->rescale(size);
    if (!size)
        return;
    if (!scaled) {
        showError(scaled.message);
        return;
    }
    RefreshScrollRanges();
}

// ---- Undo and Redo -------------------------------------------------------------

void frmViewImage::mnuUndo_Click()
{
    if (!m_document->undo())
        return; // nothing was ever stored
    RefreshScrollRanges();
    // The picture a shown selection was made on is gone: the selection goes
    // too (Cut, Copy and Crop disabled, the Select tool without a selection).
    m_toolbox->dropSelection();
}

void frmViewImage::mnuRedo_Click()
{
    if (!m_document->redo())
        return;
    RefreshScrollRanges();
}

// ---- canvas frame --------------------------------------------------------------

void frmViewImage::resizeCanvasFromFrame(int width, int height)
{
    const Result resized = m_document->ResizeCanvas(width, height);
    RefreshScrollRanges();
    if (!resized)
        showError(resized.message);
}

void frmViewImage::showFramePopup(const QPoint& globalPos)
{
    if (!mnuPopup)
        return;
    // While the window shows, the menu's Show entry stays disabled.
    connect(
        mnuPopup, &QMenu::aboutToHide, this,
        [this] { command(QStringLiteral("popShow"))->setEnabled(false); },
        Qt::SingleShotConnection);
    mnuPopup->popup(globalPos);
}
