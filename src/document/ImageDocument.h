#pragma once
#include "base/Result.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <memory>

namespace snaplorn {

class SpareCopy;

// The one image of the main window, kept apart from its display. It holds
// the canvas (what the user sees and edits), the committed copy (the canvas
// after the last completed operation), the single undo buffer, the file
// path, the unsaved flag and the folder the file dialogs start in. All
// pictures are Format_RGB32; equal pictures share their pixels.
class ImageDocument : public QObject
{
    Q_OBJECT
public:
    explicit ImageDocument(QObject* parent = nullptr);
    ~ImageDocument() override;

    // picSelImage, picTemp, picUndo
    const QImage& canvas() const { return m_canvas; }
    const QImage& committed() const { return m_committed; }
    const QImage& undoBuffer() const { return m_undo; }
    int width() const { return m_canvas.width(); }
    int height() const { return m_canvas.height(); }
    // An image counts as present when the canvas is wider than 2 pixels.
    bool hasImage() const { return m_canvas.width() > 2; }

    // Replaces the canvas picture (converted to RGB32); the committed copy is
    // left alone until CommitCanvas.
    void setCanvas(const QImage& image);
    // Lets an operation draw into the canvas; call canvasEdited afterwards
    // with the area drawn on (none: the whole canvas may have changed). A
    // canvas sharing its pixels gets its own copy first: the spare prepared
    // in the background when there is one, so a large picture is not copied
    // while the user waits.
    QImage& canvasForEdit();
    void canvasEdited(const QRect& area = QRect());

    // mbDIRTY
    bool isDirty() const { return m_dirty; }
    void setDirty(bool dirty);
    // msFilePath; empty while untitled
    const QString& filePath() const { return m_filePath; }
    // "Quorvex Snaplorn Screen Capture 3.0", or with " - " and the path
    QString title() const;
    // Makes the document untitled (capture, New).
    void setUntitled();
    // LastDialogFolder
    const QString& lastDialogFolder() const { return m_lastDialogFolder; }
    void setLastDialogFolder(const QString& folder) { m_lastDialogFolder = folder; }

    // Undo model: one earlier state, and the enabled flags of the two pairs
    // of Undo and Redo commands.
    enum class SnapshotSource { Canvas, Committed };
    void TakeUndoSnapshot(SnapshotSource source);
    void CommitCanvas();
    void UndoRedoSwap();
    bool undoEnabled() const { return m_undoEnabled; }
    bool redoEnabled() const { return m_redoEnabled; }
    void setUndoEnabled(bool enabled);
    void setRedoEnabled(bool enabled);

    // New: a white 300 x 300 canvas, untitled; undo state untouched.
    void newBlank();
    // Loads a picture file as the document; on failure nothing changes.
    Result LoadImageFile(const QString& path);
    // Writes the canvas as BMP or JPEG, chosen by the path's last three
    // characters. On success the path becomes the document's file and the
    // document is clean. `refused` is set when the extension is neither.
    Result SaveImageFile(const QString& path, int jpgQuality, bool* refused = nullptr);
    // Writes the canvas the same way without making the file the document's:
    // path, title, unsaved flag and dialog folder stay as they are.
    Result WriteImageCopy(const QString& path, int jpgQuality, bool* refused = nullptr) const;
    // New canvas size with the committed copy at the top-left on white;
    // marks the document unsaved, takes no snapshot. Sizes below 1 are
    // clamped to 1.
    Result ResizeCanvas(int width, int height);

    // Path of the temporary bitmap a JPEG save goes through: "qvxtemp.bmp"
    // in the cache folder, unless a caller that may run beside the program
    // (the command-line capture) gives its own.
    static QString temporaryBitmapPath();
    void setTemporaryBitmapPath(const QString& path) { m_temporaryBitmap = path; }

    // ---- edits ---------------------------------------------------------------
    // Each edit states its own undo and unsaved rules once (they differ from
    // one edit to the next); unless said otherwise it ends with the canvas
    // committed.

    // The flips and the inversion: the whole canvas, unsaved, no undo snapshot.
    void flipHorizontal();
    void flipVertical();
    void invertColors();
    // Grayscale: an undo snapshot of the canvas first, then unsaved.
    void grayscale();
    // Enlarge, Shrink and Fit: an undo snapshot of the canvas, then the
    // committed copy stretched to `size` (nearest pixel), unsaved. Without a
    // size the command stopped at its size limit after the snapshot. A
    // picture too large for memory comes back as a failure, with only the
    // snapshot taken.
    Result rescale(const std::optional<QSize>& size);
    // Cut: an undo snapshot of the committed copy, then the area white,
    // unsaved. Returns the piece cut out.
    QImage cut(const QRect& area);
    // Crop: the area becomes the canvas, unsaved; the undo buffer stays.
    void crop(const QRect& area);
    // Paste of a picture larger than the canvas: the canvas grows to hold it
    // (the added area white), not yet committed; nothing else changes.
    Result enlargeFor(const QSize& picture);
    // A floating picture stamped where it lies (what falls outside the
    // canvas is dropped), with an undo snapshot of the canvas without it.
    // The unsaved flag was set when the picture was pasted.
    void stampPicture(const QImage& picture, const QPoint& at);
    // A drawing tool's finished stroke or figure, already drawn into the
    // canvas: an undo snapshot of the committed copy (the picture from
    // before it), then committed.
    void finishDrawing();
    // Text drawn into the canvas by `draw`, which returns the area it
    // touched; committed, with no undo snapshot.
    void drawText(const std::function<QRect(QImage&)>& draw, const QPoint& at);
    // A drawing tool moving over the canvas, or a picture pasted and not yet
    // stamped, marks it unsaved.
    void markUnsaved() { setDirty(true); }
    // A capture: the picture becomes the canvas, committed, untitled and
    // unsaved; the undo buffer stays.
    void takeCapture(const QImage& image);
    // Undo and Redo swap the canvas with the undo buffer and flip which of
    // the two commands is enabled; false (nothing done) while the undo
    // buffer was never filled.
    bool undo();
    bool redo();
    // For tests: whether a copy of the canvas is ready or being made.
    bool spareReadyForCanvas() const;

signals:
    // The canvas picture changed (size or pixels).
    void canvasChanged();
    // Only the pixels inside the area changed (canvasEdited with an area);
    // the size stayed, so views repaint just that area.
    void canvasAreaChanged(const QRect& area);
    void titleChanged(const QString& title);
    void dirtyChanged(bool dirty);
    void undoStateChanged();

private:
    void setFilePath(const QString& path);
    bool swapWithUndoBuffer(bool undoAfterwards);
    // Puts the value into one of the three pictures; the picture it held
    // goes back to the spare copier, which reuses or releases its memory.
    void replace(QImage& slot, QImage value);
    // After an operation: a spare copy of the canvas for the next one.
    void prepareSpare();

    QImage m_canvas;
    QImage m_committed;
    QImage m_undo;
    bool m_dirty = false;
    QString m_filePath;
    QString m_lastDialogFolder;
    bool m_undoEnabled = false;
    bool m_redoEnabled = false;
    QString m_temporaryBitmap;
    std::unique_ptr<SpareCopy> m_spare;
};

} // namespace snaplorn
