// Selection commands (Cut, Copy, Crop), Paste with its floating picture,
// and the timer that keeps Paste enabled while the clipboard holds a picture.
#include "mainwindow/frmViewImage.h"

#include "base/Texts.h"
#include "document/ImageDocument.h"
#include "mainwindow/CanvasWidget.h"
#include "platform/Clipboard.h"
#include "platform/MessageService.h"
#include "platform/PlatformServices.h"
#include "tools/PastePicture.h"

#include <QAction>
#include <QPainter>

#include <cmath>

using namespace snaplorn;

namespace {
constexpr int CropMinimum = 6;
} // namespace

// The selection's corners are the drag fields: left and top the smaller of
// each pair, width and height their distances.
QRect frmViewImage::selectionRect() const
{
    const int left = int(std::min(m_drag.msngStartX, m_drag.msngLastX));
    const int top = int(std::min(m_drag.msngStartY, m_drag.msngLastY));
    const int width = int(std::abs(m_drag.msngStartX - m_drag.msngLastX));
    const int height = int(std::abs(m_drag.msngStartY - m_drag.msngLastY));
    return QRect(left, top, width, height);
}

bool frmViewImage::putOnClipboard(const QImage& picture)
{
    if (!m_services.clipboard)
        return false;
    m_services.clipboard->clear();
    const Result put = m_services.clipboard->setImage(picture);
    if (!put) {
        showError(put.message);
        return false;
    }
    command(QStringLiteral("mnuPaste"))->setEnabled(true);
    return true;
}

// ---- Cut, Copy, Crop ------------------------------------------------------------

void frmViewImage::mnuCut_Click()
{
    if (m_drag.msngStartX == m_drag.msngLastX)
        return;
    const QRect area = selectionRect();
    selectPointerTool();
    putOnClipboard(m_document->cut(area));
}

void frmViewImage::mnuCopy_Click()
{
    if (m_drag.msngStartX == m_drag.msngLastX)
        return;
    const QRect area = selectionRect();
    selectPointerTool();
    putOnClipboard(m_document->canvas().copy(area));
}

// Crop keeps the undo buffer as it is; unlike a plain canvas change it marks
// the image unsaved, so a cropped picture is never closed without the
// question.
void frmViewImage::mnuCrop_Click()
{
    if (std::abs(m_drag.msngStartX - m_drag.msngLastX) < CropMinimum ||
        std::abs(m_drag.msngStartY - m_drag.msngLastY) < CropMinimum)
        return;
    const QRect area = selectionRect();
    selectPointerTool();
    m_document->crop(area);
    RefreshScrollRanges();
}

// ---- Paste ---------------------------------------------------------------------

void frmViewImage::mnuPaste_Click()
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
    const QSize canvas = m_document->canvas().size();
    if (picture.width() > canvas.width() || picture.height() > canvas.height()) {
        const MsgAnswer answer =
            m_services.messages->ask(this, {QString::fromLatin1(texts::PasteLargerThanImage),
                                            MsgIcon::Question, MsgButtons::YesNoCancel, QString()});
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
void frmViewImage::enlargeCanvasFor(const QSize& picture)
{
    const Result enlarged = m_document->enlargeFor(picture);
    if (!enlarged) {
        showError(enlarged.message);
        return;
    }
    RefreshScrollRanges();
}

void frmViewImage::showPastedPicture()
{
    picPaste->show();
    picPaste->raise();
    m_document->markUnsaved();
    selectPointerTool();
    picPaste->setFocus(Qt::OtherFocusReason);
}

// Stamps the floating picture into the image where it lies (what falls
// outside the canvas is dropped), with an undo snapshot of the image
// without it. The frame is only painted over the picture, so it never
// reaches the image.
void frmViewImage::picPaste_LostFocus()
{
    if (!picPaste || !picPaste->isVisible())
        return;
    if (m_document->canvas().isNull()) { // nothing to stamp it into
        hidePendingPaste();
        return;
    }
    const QPoint at = (QPointF(picPaste->pos()) * picPaste->devicePixelRatioF()).toPoint();
    m_document->stampPicture(picPaste->picture(), at);
    picPaste->move(0, 0);
    picPaste->hide();
}

void frmViewImage::hidePendingPaste()
{
    if (!picPaste)
        return;
    picPaste->hide();
    picPaste->move(0, 0);
}

// Paste is enabled exactly while the clipboard holds a picture; the timer
// asks every 500 ms, and a change of the clipboard asks at once.
void frmViewImage::tmrActivatePaste_Timer()
{
    const bool picture = m_services.clipboard && m_services.clipboard->hasImage();
    command(QStringLiteral("mnuPaste"))->setEnabled(picture);
}
