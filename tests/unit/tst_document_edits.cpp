// The undo and unsaved rules of the document's named edits, without a
// window: which picture each edit keeps for Undo, whether it marks the
// document unsaved, and that it leaves the canvas committed.
#include "document/ImageDocument.h"

#include <QtTest>

using namespace snaplorn;

namespace {

QImage filled(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A document whose committed copy (red) differs from its canvas (red with a
// blue pixel, as a tool leaves it before the edit is finished), clean, with
// a green picture in the undo buffer.
struct Fixture {
    ImageDocument doc;
    QImage committed = filled(8, 6, qRgb(255, 0, 0));
    QImage canvas = committed.copy();
    QImage undo = filled(8, 6, qRgb(0, 255, 0));
    Fixture()
    {
        canvas.setPixel(1, 1, qRgb(0, 0, 255));
        doc.setCanvas(undo);
        doc.TakeUndoSnapshot(ImageDocument::SnapshotSource::Canvas);
        doc.setCanvas(committed);
        doc.CommitCanvas();
        doc.setCanvas(canvas);
        doc.setDirty(false);
    }
    void checkCommitted() const { QCOMPARE(doc.committed(), doc.canvas()); }
};

} // namespace

class TstDocumentEdits : public QObject
{
    Q_OBJECT
private slots:
    void flipsAndInversionKeepTheUndoBuffer();
    void grayscaleKeepsTheCanvasForUndo();
    void rescaleSnapshotsEvenWhenStopped();
    void cutKeepsTheCommittedCopyForUndo();
    void cropKeepsTheUndoBuffer();
    void pasteEnlargesThenStamps();
    void drawingAndTextRules();
    void captureIsUntitledAndUnsaved();
    void undoAndRedoSwap();
};

void TstDocumentEdits::flipsAndInversionKeepTheUndoBuffer()
{
    for (void (ImageDocument::*edit)() : {&ImageDocument::flipHorizontal,
                                          &ImageDocument::flipVertical,
                                          &ImageDocument::invertColors}) {
        Fixture f;
        (f.doc.*edit)();
        QCOMPARE(f.doc.undoBuffer(), f.undo);
        QVERIFY(f.doc.isDirty());
        QVERIFY(f.doc.canvas() != f.canvas);
        f.checkCommitted();
    }
    Fixture f;
    f.doc.flipHorizontal();
    QCOMPARE(f.doc.canvas().pixel(6, 1), qRgb(0, 0, 255));
}

void TstDocumentEdits::grayscaleKeepsTheCanvasForUndo()
{
    Fixture f;
    f.doc.grayscale();
    QCOMPARE(f.doc.undoBuffer(), f.canvas);
    QVERIFY(f.doc.undoEnabled());
    QVERIFY(f.doc.isDirty());
    QCOMPARE(qRed(f.doc.canvas().pixel(0, 0)), 76);
    f.checkCommitted();
}

void TstDocumentEdits::rescaleSnapshotsEvenWhenStopped()
{
    Fixture stopped;
    QVERIFY(stopped.doc.rescale(std::nullopt));
    QCOMPARE(stopped.doc.undoBuffer(), stopped.canvas);
    QCOMPARE(stopped.doc.canvas(), stopped.canvas);
    QVERIFY(!stopped.doc.isDirty());

    // The committed copy is what is stretched: the tool's unfinished pixel
    // is not part of it.
    Fixture f;
    QVERIFY(f.doc.rescale(QSize(16, 12)));
    QCOMPARE(f.doc.canvas(), filled(16, 12, qRgb(255, 0, 0)));
    QCOMPARE(f.doc.undoBuffer(), f.canvas);
    QVERIFY(f.doc.isDirty());
    f.checkCommitted();
}

void TstDocumentEdits::cutKeepsTheCommittedCopyForUndo()
{
    Fixture f;
    const QImage piece = f.doc.cut(QRect(0, 0, 2, 2));
    QCOMPARE(piece, f.canvas.copy(0, 0, 2, 2));
    QCOMPARE(f.doc.undoBuffer(), f.committed);
    QCOMPARE(f.doc.canvas().pixel(1, 1), qRgb(255, 255, 255));
    QCOMPARE(f.doc.canvas().pixel(2, 2), qRgb(255, 0, 0));
    QVERIFY(f.doc.isDirty());
    f.checkCommitted();
}

void TstDocumentEdits::cropKeepsTheUndoBuffer()
{
    Fixture f;
    f.doc.crop(QRect(1, 1, 3, 2));
    QCOMPARE(f.doc.canvas(), f.canvas.copy(1, 1, 3, 2));
    QCOMPARE(f.doc.undoBuffer(), f.undo);
    QVERIFY(f.doc.isDirty());
    f.checkCommitted();
}

void TstDocumentEdits::pasteEnlargesThenStamps()
{
    Fixture f;
    QVERIFY(f.doc.enlargeFor(QSize(10, 4)));
    QCOMPARE(f.doc.canvas().size(), QSize(10, 6));
    QCOMPARE(f.doc.canvas().pixel(9, 5), qRgb(255, 255, 255));
    QCOMPARE(f.doc.committed(), f.committed); // committed by the stamp
    QVERIFY(!f.doc.isDirty());

    const QImage before = f.doc.canvas();
    f.doc.stampPicture(filled(4, 4, qRgb(0, 0, 0)), QPoint(8, 4));
    QCOMPARE(f.doc.undoBuffer(), before);
    QCOMPARE(f.doc.canvas().pixel(9, 5), qRgb(0, 0, 0));
    QCOMPARE(f.doc.canvas().pixel(7, 5), qRgb(255, 0, 0));
    QVERIFY(!f.doc.isDirty());
    f.checkCommitted();
}

void TstDocumentEdits::drawingAndTextRules()
{
    Fixture drawing;
    drawing.doc.finishDrawing();
    QCOMPARE(drawing.doc.undoBuffer(), drawing.committed);
    QCOMPARE(drawing.doc.canvas(), drawing.canvas);
    drawing.checkCommitted();

    Fixture text;
    text.doc.drawText(
        [](QImage& canvas) {
            canvas.setPixel(5, 4, qRgb(1, 2, 3));
            return QRect(5, 4, 1, 1);
        },
        QPoint(5, 4));
    QCOMPARE(text.doc.undoBuffer(), text.undo);
    QCOMPARE(text.doc.canvas().pixel(5, 4), qRgb(1, 2, 3));
    QVERIFY(!text.doc.isDirty());
    text.checkCommitted();
}

void TstDocumentEdits::captureIsUntitledAndUnsaved()
{
    Fixture f;
    f.doc.takeCapture(filled(3, 3, qRgb(9, 9, 9)));
    QCOMPARE(f.doc.canvas(), filled(3, 3, qRgb(9, 9, 9)));
    QCOMPARE(f.doc.undoBuffer(), f.undo);
    QVERIFY(f.doc.isDirty());
    QVERIFY(f.doc.filePath().isEmpty());
    f.checkCommitted();
}

void TstDocumentEdits::undoAndRedoSwap()
{
    ImageDocument empty;
    QVERIFY(!empty.undo());
    QVERIFY(!empty.redo());

    Fixture f;
    f.doc.grayscale();
    const QImage gray = f.doc.canvas();
    QVERIFY(f.doc.undo());
    QCOMPARE(f.doc.canvas(), f.canvas);
    QVERIFY(!f.doc.undoEnabled());
    QVERIFY(f.doc.redoEnabled());
    QVERIFY(f.doc.redo());
    QCOMPARE(f.doc.canvas(), gray);
    QVERIFY(f.doc.undoEnabled());
    QVERIFY(!f.doc.redoEnabled());
}

QTEST_GUILESS_MAIN(TstDocumentEdits)
#include "tst_document_edits.moc"
