#include "document/ImageDocument.h"

#include "base/Paths.h"
#include "base/Texts.h"
#include "document/ImageFiles.h"
#include "document/SpareCopy.h"

#include <QFileInfo>
#include <QPainter>

#include <utility>

namespace snaplorn {

namespace {

QImage asRgb32(const QImage& image)
{
    if (image.isNull() || image.format() == QImage::Format_RGB32)
        return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

ImageDocument::ImageDocument(QObject* parent)
    : QObject(parent), m_spare(std::make_unique<SpareCopy>())
{
}

ImageDocument::~ImageDocument() = default;

void ImageDocument::replace(QImage& slot, QImage value)
{
    m_spare->recycle(std::exchange(slot, std::move(value)));
}

void ImageDocument::prepareSpare()
{
    // A canvas nobody else holds is written in place and needs no copy.
    if (!m_canvas.isDetached())
        m_spare->prepare(m_canvas);
}

bool ImageDocument::spareReadyForCanvas() const
{
    return m_spare->preparedFor(m_canvas);
}

void ImageDocument::setCanvas(const QImage& image)
{
    replace(m_canvas, asRgb32(image));
    emit canvasChanged();
}

QImage& ImageDocument::canvasForEdit()
{
    if (!m_canvas.isDetached()) {
        QImage own = m_spare->take(m_canvas);
        if (!own.isNull())
            replace(m_canvas, std::move(own));
    }
    return m_canvas;
}

void ImageDocument::canvasEdited(const QRect& area)
{
    if (area.isValid())
        emit canvasAreaChanged(area);
    else
        emit canvasChanged();
}

void ImageDocument::setDirty(bool dirty)
{
    if (m_dirty == dirty)
        return;
    m_dirty = dirty;
    emit dirtyChanged(dirty);
}

QString ImageDocument::title() const
{
    if (m_filePath.isEmpty())
        return QString::fromLatin1(texts::UntitledCaption);
    return QString::fromLatin1(texts::TitledCaptionPrefix) + m_filePath;
}

void ImageDocument::setFilePath(const QString& path)
{
    m_filePath = path;
    emit titleChanged(title());
}

void ImageDocument::setUntitled()
{
    setFilePath(QString());
}

void ImageDocument::TakeUndoSnapshot(SnapshotSource source)
{
    replace(m_undo, source == SnapshotSource::Canvas ? m_canvas : m_committed);
    prepareSpare();
    setUndoEnabled(true);
}

void ImageDocument::CommitCanvas()
{
    replace(m_committed, m_canvas);
    prepareSpare();
}

void ImageDocument::UndoRedoSwap()
{
    // canvas <- undo buffer; undo buffer <- committed copy; committed <- canvas
    QImage previousCommitted = m_committed;
    replace(m_canvas, m_undo);
    m_undo = previousCommitted;
    m_committed = m_canvas;
    prepareSpare();
    emit canvasChanged();
}

void ImageDocument::setUndoEnabled(bool enabled)
{
    if (m_undoEnabled == enabled)
        return;
    m_undoEnabled = enabled;
    emit undoStateChanged();
}

void ImageDocument::setRedoEnabled(bool enabled)
{
    if (m_redoEnabled == enabled)
        return;
    m_redoEnabled = enabled;
    emit undoStateChanged();
}

void ImageDocument::newBlank()
{
    setFilePath(QString());
    QImage blank(300, 300, QImage::Format_RGB32);
    blank.fill(Qt::white);
    replace(m_canvas, blank);
    replace(m_committed, m_canvas);
    prepareSpare();
    emit canvasChanged();
}

Result ImageDocument::LoadImageFile(const QString& path)
{
    LoadedImage loaded = loadImageFile(path);
    if (!loaded.ok())
        return Result::failure(loaded.message);
    replace(m_canvas, asRgb32(loaded.image));
    replace(m_committed, m_canvas);
    prepareSpare();
    setFilePath(path);
    emit canvasChanged();
    return Result::success();
}

QString ImageDocument::temporaryBitmapPath()
{
    return paths::join(paths::cacheFolder(), QStringLiteral("qvxtemp.bmp"));
}

Result ImageDocument::SaveImageFile(const QString& path, int jpgQuality, bool* refused)
{
    m_lastDialogFolder = QFileInfo(path).absolutePath();
    const Result written = WriteImageCopy(path, jpgQuality, refused);
    if (!written)
        return written;
    setFilePath(path);
    setDirty(false);
    return Result::success();
}

Result ImageDocument::WriteImageCopy(const QString& path, int jpgQuality, bool* refused) const
{
    if (refused)
        *refused = false;
    Result written;
    switch (saveKindFor(path)) {
    case SaveKind::Jpg: {
        const QString temporary =
            m_temporaryBitmap.isEmpty() ? temporaryBitmapPath() : m_temporaryBitmap;
        written = writeTemporaryBmp24(m_canvas, temporary);
        if (written)
            written = BmpToJpeg(temporary, path, jpgQuality);
        else // the scratch bitmap is ours; the user asked for the picture
            written.message.replace(QLatin1Char('"') + temporary + QLatin1Char('"'),
                                    QLatin1Char('"') + path + QLatin1Char('"'));
        break;
    }
    case SaveKind::Bmp:
        written = writeBmp24(m_canvas, path);
        break;
    case SaveKind::Refused:
        if (refused)
            *refused = true;
        return Result::failure(QString::fromLatin1(texts::OnlyBmpOrJpg));
    }
    return written;
}

Result ImageDocument::ResizeCanvas(int width, int height)
{
    width = std::max(1, width);
    height = std::max(1, height);
    QImage resized(width, height, QImage::Format_RGB32);
    if (resized.isNull())
        return Result::failure(
            QStringLiteral("Out of memory: a %1 x %2 image cannot be made.").arg(width).arg(height));
    resized.fill(Qt::white);
    {
        QPainter painter(&resized);
        painter.drawImage(0, 0, m_committed);
    }
    replace(m_canvas, std::move(resized));
    CommitCanvas();
    setDirty(true);
    emit canvasChanged();
    return Result::success();
}

} // namespace snaplorn
