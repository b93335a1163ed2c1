// The named edits of the image document: each takes its undo snapshot,
// marks the document unsaved and commits the canvas as that edit always has.
#include "document/ImageDocument.h"

#include "base/Texts.h"
#include "document/Resample.h"
#include "document/pixelops.h"

#include <QPainter>

namespace snaplorn {

namespace {

QString outOfMemory(const QSize& size)
{
    return QString::fromLatin1(texts::ImageOutOfMemory).arg(size.width()).arg(size.height());
}

} // namespace

void ImageDocument::flipHorizontal()
{
    snaplorn::flipHorizontal(canvasForEdit());
    canvasEdited();
    CommitCanvas();
    setDirty(true);
}

void ImageDocument::flipVertical()
{
    snaplorn::flipVertical(canvasForEdit());
    canvasEdited();
    CommitCanvas();
    setDirty(true);
}

void ImageDocument::invertColors()
{
    snaplorn::invertColors(canvasForEdit());
    canvasEdited();
    CommitCanvas();
    setDirty(true);
}

void ImageDocument::grayscale()
{
    TakeUndoSnapshot(SnapshotSource::Canvas);
    snaplorn::grayscale(canvasForEdit());
    canvasEdited();
    CommitCanvas();
    setDirty(true);
}

Result ImageDocument::rescale(const std::optional<QSize>& size)
{
    TakeUndoSnapshot(SnapshotSource::Canvas);
    if (!size)
        return Result::success();
    const QImage& source = m_committed.isNull() ? m_canvas : m_committed;
    const QImage scaled = resampleNearest(source, *size);
    if (scaled.isNull())
        return Result::failure(outOfMemory(*size));
    setCanvas(scaled);
    setDirty(true);
    CommitCanvas();
    return Result::success();
}

QImage ImageDocument::cut(const QRect& area)
{
    TakeUndoSnapshot(SnapshotSource::Committed);
    CommitCanvas();
    const QImage piece = m_canvas.copy(area);
    {
        QPainter painter(&canvasForEdit());
        painter.fillRect(area, Qt::white);
    }
    canvasEdited(area);
    setDirty(true);
    CommitCanvas();
    return piece;
}

void ImageDocument::crop(const QRect& area)
{
    setCanvas(m_canvas.copy(area));
    CommitCanvas();
    setDirty(true);
}

Result ImageDocument::enlargeFor(const QSize& picture)
{
    const QSize size(std::max(m_canvas.width(), picture.width()),
                     std::max(m_canvas.height(), picture.height()));
    QImage larger(size, QImage::Format_RGB32);
    if (larger.isNull())
        return Result::failure(outOfMemory(size));
    larger.fill(Qt::white);
    {
        QPainter painter(&larger);
        painter.drawImage(0, 0, m_canvas);
    }
    setCanvas(larger);
    return Result::success();
}

void ImageDocument::stampPicture(const QImage& picture, const QPoint& at)
{
    TakeUndoSnapshot(SnapshotSource::Canvas);
    {
        QPainter painter(&canvasForEdit());
        painter.drawImage(at, picture);
    }
    const QRect stamped = QRect(at, picture.size()).intersected(m_canvas.rect());
    canvasEdited(stamped.isValid() ? stamped : QRect());
    CommitCanvas();
}

void ImageDocument::finishDrawing()
{
    TakeUndoSnapshot(SnapshotSource::Committed);
    CommitCanvas();
}

void ImageDocument::drawText(const std::function<QRect(QImage&)>& draw, const QPoint& at)
{
    const QRect touched = draw(canvasForEdit());
    canvasEdited(touched.isValid() ? touched : QRect(at, QSize(1, 1)));
    CommitCanvas();
}

void ImageDocument::takeCapture(const QImage& image)
{
    setCanvas(image);
    CommitCanvas();
    setUntitled();
    setDirty(true);
}

bool ImageDocument::undo()
{
    return swapWithUndoBuffer(false);
}

bool ImageDocument::redo()
{
    return swapWithUndoBuffer(true);
}

// After Undo only Redo is offered, after Redo only Undo.
bool ImageDocument::swapWithUndoBuffer(bool undoAfterwards)
{
    if (m_undo.isNull())
        return false;
    UndoRedoSwap();
    setUndoEnabled(undoAfterwards);
    setRedoEnabled(!undoAfterwards);
    return true;
}

} // namespace snaplorn
