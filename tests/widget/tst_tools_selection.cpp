#include "ToolsFixture.h"

#include "document/pixelops.h"
#include "tools/PastePicture.h"

#include <QMenu>

using namespace snaplorn;
using test::differingPixels;
using test::whiteImage;

class TestToolsSelection : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ToolsFixture> f;

    void select(QPoint from, QPoint to)
    {
        f->chooseTool(toolSelect);
        f->drag(from, to);
        QVERIFY(f->w().toolbox().selectionShown());
    }
    PastePicture* floating() { return f->w().findChild<PastePicture*>("picPaste"); }
    // A picture offered by another program, seen by the paste timer.
    void offer(const QImage& picture)
    {
        f->clipboard->offerImage(picture);
        QTRY_VERIFY(f->enabled("mnuPaste"));
    }

private slots:
    void init() { f = std::make_unique<test::ToolsFixture>(); }
    void cleanup() { f.reset(); }

    // ---- Cut, Copy, Crop -------------------------------------------------------

    void cutWhitensTheAreaAndCanBeUndone()
    {
        const QImage before = f->setImage(test::patternImage(120, 80));
        select(QPoint(10, 20), QPoint(60, 50));
        f->action("mnuCut")->trigger();
        QCOMPARE(f->clipboard->image(), before.copy(10, 20, 50, 30));
        QCOMPARE(f->clipboard->clears, 1);
        QImage expected = before;
        for (int y = 20; y < 50; ++y)
            for (int x = 10; x < 60; ++x)
                expected.setPixel(x, y, qRgb(255, 255, 255));
        QCOMPARE(f->doc().canvas(), expected);
        QCOMPARE(f->doc().committed(), expected);
        QVERIFY(f->doc().isDirty());
        QVERIFY(f->enabled("mnuPaste"));
        // the selection is gone and the pointer tool is back
        QCOMPARE(f->w().toolbox().tool(), qint16(toolPointer));
        for (const char* name : {"mnuCut", "mnuCopy", "mnuCrop"})
            QVERIFY2(!f->enabled(name), name);
        QCOMPARE(f->onScreen(), expected);
        f->action("mnuUndo")->trigger();
        QCOMPARE(f->doc().canvas(), before);
    }

    void copyLeavesImageFlagAndUndoAlone()
    {
        const QImage before = f->setImage(test::patternImage(120, 80));
        select(QPoint(60, 50), QPoint(10, 20)); // dragged up and left
        f->action("mnuCopy")->trigger();
        QCOMPARE(f->clipboard->image(), before.copy(10, 20, 50, 30));
        QCOMPARE(f->doc().canvas(), before);
        QVERIFY(!f->doc().isDirty());
        QVERIFY(!f->enabled("mnuUndo"));
        QVERIFY(f->doc().undoBuffer().isNull());
        QVERIFY(f->enabled("mnuPaste"));
        QCOMPARE(f->w().toolbox().tool(), qint16(toolPointer));
    }

    void cropKeepsTheAreaAndMarksUnsaved()
    {
        const QImage before = f->setImage(test::patternImage(120, 80));
        select(QPoint(30, 40), QPoint(36, 46));
        QVERIFY(f->enabled("mnuCrop"));
        f->action("mnuCrop")->trigger();
        QCOMPARE(f->doc().canvas(), before.copy(30, 40, 6, 6));
        QCOMPARE(f->doc().committed(), f->doc().canvas());
        QVERIFY(f->doc().isDirty()); // a cropped picture is not closed unasked
        QVERIFY(!f->enabled("mnuUndo"));
        QCOMPARE(f->canvas()->size(), QSize(6, 6));
    }

    void tooNarrowSelectionCannotBeCropped()
    {
        const QImage before = f->setImage(test::patternImage(120, 100));
        select(QPoint(30, 10), QPoint(35, 90));
        QVERIFY(!f->enabled("mnuCrop"));
        f->w().mnuCrop_Click();
        QCOMPARE(f->doc().canvas(), before);
        QVERIFY(!f->doc().isDirty());
    }

    void selectionOffTheLastColumnCutsNothing()
    {
        const QImage before = f->setImage(test::patternImage(80, 60));
        select(QPoint(79, 10), QPoint(120, 40));
        f->action("mnuCut")->trigger();
        f->action("mnuCopy")->trigger();
        QCOMPARE(f->doc().canvas(), before);
        QCOMPARE(f->clipboard->imagesSet, 0);
    }

    // ---- Paste -------------------------------------------------------------------

    void pasteFloatsAtTheTopLeftWithAFrame()
    {
        const QImage before = f->setImage(test::patternImage(120, 80));
        const QImage picture = test::patternImage(30, 20, 7);
        offer(picture);
        f->action("mnuPaste")->trigger();
        PastePicture* paste = floating();
        QVERIFY(paste->isVisible());
        QCOMPARE(paste->geometry(), QRect(0, 0, 30, 20));
        QVERIFY(f->doc().isDirty());
        QCOMPARE(f->w().toolbox().tool(), qint16(toolPointer));
        QCOMPARE(f->doc().canvas(), before); // not stamped yet
        // The frame is inverted on screen, three pixels deep inside the edges.
        const QImage shown = paste->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb edge = picture.pixel(1, 10);
        QCOMPARE(shown.pixel(1, 10), qRgb(255 - qRed(edge), 255 - qGreen(edge), 255 - qBlue(edge)));
        QCOMPARE(shown.pixel(15, 10), picture.pixel(15, 10));

        // A release on the canvas stamps it, without the frame.
        QTest::mouseClick(f->canvas(), Qt::LeftButton, {}, QPoint(100, 70));
        QVERIFY(!paste->isVisible());
        QCOMPARE(f->doc().canvas().copy(0, 0, 30, 20), picture);
        QCOMPARE(f->doc().canvas().copy(30, 0, 90, 80), before.copy(30, 0, 90, 80));
        QCOMPARE(f->doc().committed(), f->doc().canvas());
        f->action("mnuUndo")->trigger();
        QCOMPARE(f->doc().canvas(), before);
    }

    void losingTheFocusStampsThePicture()
    {
        f->setWhite(100, 80);
        const QImage picture = test::patternImage(12, 9, 6);
        offer(picture);
        f->action("mnuPaste")->trigger();
        QVERIFY(floating()->hasFocus());
        floating()->move(30, 20);
        f->canvas()->setFocus(Qt::MouseFocusReason);
        QVERIFY(!floating()->isVisible());
        QCOMPARE(f->doc().canvas().copy(30, 20, 12, 9), picture);
    }

    void aNewPasteCommitsThePendingOne()
    {
        f->setWhite(100, 80);
        const QImage first = test::patternImage(10, 10, 3);
        offer(first);
        f->action("mnuPaste")->trigger();
        floating()->move(40, 30);
        const QImage second = test::patternImage(8, 8, 4);
        offer(second);
        f->action("mnuPaste")->trigger();
        QCOMPARE(f->doc().canvas().copy(40, 30, 10, 10), first);
        QVERIFY(floating()->isVisible());
        QCOMPARE(floating()->pos(), QPoint(0, 0));
        QCOMPARE(floating()->picture(), second);
    }

    void largerPictureAsksToEnlarge_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QSize>("canvas");
        QTest::addColumn<bool>("shown");
        QTest::newRow("yes: the canvas grows, white")
            << int(MsgAnswer::Yes) << QSize(100, 200) << true;
        QTest::newRow("no: cut off when stamped") << int(MsgAnswer::No) << QSize(60, 200) << true;
        QTest::newRow("cancel: nothing pasted")
            << int(MsgAnswer::Cancel) << QSize(60, 200) << false;
    }
    void largerPictureAsksToEnlarge()
    {
        QFETCH(int, answer);
        QFETCH(QSize, canvas);
        QFETCH(bool, shown);
        const QImage before = f->setImage(test::patternImage(60, 200));
        const QImage picture = test::patternImage(100, 100, 9);
        offer(picture);
        f->standIns.messages->queueAnswer(MsgAnswer(answer));
        f->action("mnuPaste")->trigger();
        const Message asked = f->standIns.messages->last();
        QCOMPARE(asked.text,
                 QString("The image in the clipboard is larger than your image area.\r\n"
                         "Do you like your image enlarged?"));
        QCOMPARE(asked.icon, MsgIcon::Question);
        QCOMPARE(asked.buttons, MsgButtons::YesNoCancel);
        QCOMPARE(f->doc().canvas().size(), canvas);
        QCOMPARE(floating()->isVisible(), shown);
        QCOMPARE(f->doc().isDirty(), shown);
        if (MsgAnswer(answer) == MsgAnswer::Yes) {
            QCOMPARE(f->doc().canvas().pixel(99, 199), qRgb(255, 255, 255));
            QCOMPARE(f->doc().canvas().copy(0, 0, 60, 200), before);
        }
        f->w().toolbox().picPaste_LostFocus();
        if (shown)
            QCOMPARE(f->doc().canvas().copy(0, 0, canvas.width(), 100),
                     picture.copy(0, 0, canvas.width(), 100));
        else
            QCOMPARE(f->doc().canvas(), before);
    }

    void floatingPictureIsDraggedByItsGrabPoint()
    {
        f->setWhite(200, 150);
        const QImage picture = test::patternImage(40, 30, 5);
        offer(picture);
        f->action("mnuPaste")->trigger();
        PastePicture* paste = floating();
        // The pointer goes to canvas points; the picture moves under it.
        auto at = [&](QPoint canvasPoint) { return paste->mapFromParent(canvasPoint); };
        QTest::mousePress(paste, Qt::LeftButton, {}, QPoint(20, 15));
        QTest::mouseMove(paste, at(QPoint(60, 40)));
        QCOMPARE(paste->pos(), QPoint(40, 25));
        QTest::mouseMove(paste, at(QPoint(100, 95)));
        QTest::mouseRelease(paste, Qt::LeftButton, {}, at(QPoint(100, 95)));
        QCOMPARE(paste->msngDragX, 20.0f);
        QCOMPARE(paste->msngDragY, 15.0f);
        QCOMPARE(paste->pos(), QPoint(80, 80));
        QVERIFY(paste->isVisible());
        f->w().toolbox().picPaste_LostFocus();
        QCOMPARE(f->doc().canvas().copy(80, 80, 40, 30), picture);
        QCOMPARE(paste->pos(), QPoint(0, 0));
    }

    void dropOutsideTheCanvasFrameLeavesItInPlace()
    {
        f->setWhite(200, 150);
        offer(test::patternImage(40, 30, 5));
        f->action("mnuPaste")->trigger();
        PastePicture* paste = floating();
        paste->move(10, 10);
        QWidget* toolbox = f->w().findChild<QWidget*>("frEdit");
        const QPoint overToolbox = paste->mapFromGlobal(toolbox->mapToGlobal(QPoint(50, 50)));
        QTest::mousePress(paste, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseMove(paste, overToolbox);
        QTest::mouseRelease(paste, Qt::LeftButton, {}, overToolbox);
        QCOMPARE(paste->pos(), QPoint(10, 10));
    }

    void frameClickStampsThePasteBeforeTheText()
    {
        f->setWhite(200, 120);
        f->chooseTool(toolText);
        f->drag(QPoint(2, 2), QPoint(100, 60));
        // With the window inactive the floating picture takes no focus from
        // the text box, so both are pending when the frame is clicked.
        QWidget elsewhere;
        elsewhere.show();
        elsewhere.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        QImage red(100, 60, QImage::Format_RGB32);
        red.fill(qRgb(255, 0, 0));
        offer(red);
        f->action("mnuPaste")->trigger();
        QWidget* text = f->w().findChild<QWidget*>("txtText");
        QVERIFY(text->isVisible() && floating()->isVisible());
        QWidget* frame = f->w().findChild<QWidget*>("picSelImageFrame");
        QTest::mouseClick(frame, Qt::LeftButton, {},
                          QPoint(frame->width() - 4, frame->height() - 4));
        QVERIFY(!text->isVisible() && !floating()->isVisible());
        // The prompt is written in black over the stamped red picture.
        const QImage area = f->doc().canvas().copy(0, 0, 100, 60);
        QVERIFY(differingPixels(area, red) > 20);
        QCOMPARE(area.pixel(99, 59), qRgb(255, 0, 0));
    }

    void newHidesAPendingPaste()
    {
        f->setWhite(100, 80);
        offer(test::patternImage(20, 20, 2));
        f->action("mnuPaste")->trigger();
        f->standIns.messages->queueAnswer(MsgAnswer::No); // discard the unsaved image
        f->action("mnuNew")->trigger();
        QVERIFY(!floating()->isVisible());
        QCOMPARE(f->doc().canvas(), whiteImage(300, 300));
    }

    void pasteFollowsTheClipboard()
    {
        QVERIFY(!f->enabled("mnuPaste"));
        f->clipboard->offerImage(test::patternImage(5, 5));
        QTRY_VERIFY_WITH_TIMEOUT(f->enabled("mnuPaste"), 1000);
        QVERIFY(f->w().toolbarButton("paste")->isEnabled());
        f->clipboard->offerText("some text");
        QTRY_VERIFY_WITH_TIMEOUT(!f->enabled("mnuPaste"), 1000);
        // Paste with no picture there does nothing.
        const QImage before = f->setImage(test::patternImage(30, 30));
        f->w().mnuPaste_Click();
        QVERIFY(!floating()->isVisible());
        QCOMPARE(f->doc().canvas(), before);
    }

    void damagedClipboardPictureIsReported()
    {
        const QImage before = f->setImage(test::patternImage(30, 30));
        offer(test::patternImage(10, 10));
        f->clipboard->damagedImage = true;
        f->action("mnuPaste")->trigger();
        QCOMPARE(f->standIns.messages->last().text,
                 QString("The picture on the clipboard cannot be read (it is damaged or too "
                         "large)."));
        QVERIFY(!floating()->isVisible());
        QCOMPARE(f->doc().canvas(), before);
        QVERIFY(!f->doc().isDirty());
    }

    // ---- colour copy ---------------------------------------------------------------

    void colourCopyUsesThePressedPixel()
    {
        QImage image = whiteImage(60, 40);
        image.setPixel(20, 10, qRgb(200, 30, 100));
        f->setImage(image);
        QTest::mousePress(f->canvas(), Qt::RightButton, {}, QPoint(20, 10));
        auto* menu = f->w().findChild<QMenu*>("mnuPopupPicSel");
        QVERIFY(menu->isVisible());
        menu->hide();
        QTest::mouseRelease(f->canvas(), Qt::RightButton, {}, QPoint(20, 10));
        f->hover(QPoint(40, 30)); // the pointer moves on before the command
        f->action("mnuPopCopyColor")->trigger();
        QCOMPARE(f->clipboard->text(), QString("#C81E64"));
        f->action("mnuPopCopySafeColor")->trigger();
        QCOMPARE(f->clipboard->text(), QString("#CC3366"));
        QCOMPARE(f->clipboard->clears, 2);
    }

    // ---- whole-image commands --------------------------------------------------------

    void smallPicturesAreLeftAlone()
    {
        const QImage before = f->setImage(test::patternImage(5, 100));
        for (const char* name : {"mnuFlipHor", "mnuFlipVert", "mnuInvertColor", "mnuGrayScale"})
            f->action(name)->trigger();
        QCOMPARE(f->doc().canvas(), before);
        QVERIFY(!f->doc().isDirty());
        QVERIFY(!f->enabled("mnuUndo"));
    }

    void flipsAndInversionRestoreWhenRepeated()
    {
        const QImage before = f->setImage(test::patternImage(9, 7));
        f->action("mnuFlipHor")->trigger();
        QImage mirrored = before;
        flipHorizontal(mirrored);
        QCOMPARE(f->doc().canvas(), mirrored);
        QCOMPARE(f->doc().committed(), mirrored);
        QVERIFY(f->doc().isDirty());
        QVERIFY(!f->enabled("mnuUndo")); // no snapshot
        f->action("mnuFlipHor")->trigger();
        QCOMPARE(f->doc().canvas(), before);
        f->action("mnuFlipVert")->trigger();
        QCOMPARE(f->doc().canvas().pixel(0, 0), before.pixel(0, 6));
        f->action("mnuFlipVert")->trigger();
        f->action("mnuInvertColor")->trigger();
        QCOMPARE(f->doc().canvas().pixel(3, 3), before.pixel(3, 3) ^ 0x00ffffffu);
        f->action("mnuInvertColor")->trigger();
        QCOMPARE(f->doc().canvas(), before);
        QCOMPARE(f->onScreen(), before);
    }

    void flipDropsTheSelectionWithoutBakingItIn()
    {
        const QImage before = f->setImage(test::patternImage(80, 60));
        select(QPoint(10, 10), QPoint(50, 40));
        f->action("mnuFlipVert")->trigger();
        QImage expected = before;
        flipVertical(expected);
        QCOMPARE(f->doc().canvas(), expected);
        QCOMPARE(f->w().toolbox().tool(), qint16(toolPointer));
        QVERIFY(!f->enabled("mnuCut"));
    }

    void grayscaleIsUndoableAndMarksUnsaved()
    {
        QImage image = whiteImage(8, 6);
        image.setPixel(0, 0, qRgb(255, 0, 0));
        image.setPixel(1, 0, qRgb(0, 255, 0));
        image.setPixel(2, 0, qRgb(0, 0, 255));
        const QImage before = f->setImage(image);
        select(QPoint(1, 1), QPoint(7, 5));
        f->action("mnuGrayScale")->trigger();
        const QImage& gray = f->doc().canvas();
        QCOMPARE(gray.pixel(0, 0), qRgb(76, 76, 76));
        QCOMPARE(gray.pixel(1, 0), qRgb(150, 150, 150));
        QCOMPARE(gray.pixel(2, 0), qRgb(28, 28, 28));
        QCOMPARE(gray.pixel(5, 5), qRgb(255, 255, 255));
        QCOMPARE(f->doc().committed(), gray);
        QVERIFY(f->doc().isDirty());
        QVERIFY(f->w().toolbox().selectionShown()); // the tool stays
        f->action("mnuUndo")->trigger();
        QCOMPARE(f->doc().canvas(), before);
    }
};

SNAPLORN_TEST_MAIN(TestToolsSelection)
#include "tst_tools_selection.moc"
