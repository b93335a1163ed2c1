#include "ToolsFixture.h"

#include "document/SpareCopy.h"
#include "document/pixelops.h"
#include "tools/PenSizePicker.h"
#include "tools/raster.h"

#include <QLabel>
#include <QPlainTextEdit>

using namespace snaplorn;
using test::differingPixels;
using test::whiteImage;

namespace {
const QRgb Ink = qRgb(200, 30, 100);
}

class TestToolsDrawing : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ToolsFixture> f;

private slots:
    void init() { f = std::make_unique<test::ToolsFixture>(); }
    void cleanup() { f.reset(); }

    // ---- toolbox --------------------------------------------------------------

    void startState()
    {
        frmViewImage& w = f->w();
        QVERIFY(w.toolbox().OptTool(toolPointer)->isChecked());
        QCOMPARE(w.toolbox().tool(), qint16(toolPointer));
        QVERIFY(!f->canvas()->testAttribute(Qt::WA_SetCursor)); // the standard arrow
        QCOMPARE(w.toolbox().colour(), ColorRef(0));
        QCOMPARE(w.toolbox().penWidth(), qint16(1));
        auto* picker = w.findChild<PenSizePicker*>("picPenSize");
        QCOMPARE(picker->band(), 0);
        QVERIFY(picker->isEnabled());
        QCOMPARE(w.findChild<QLabel*>("lblCurrColor")->palette().color(QPalette::Window),
                 QColor(Qt::black));
        for (const char* name : {"mnuCut", "mnuCopy", "mnuCrop", "mnuPaste"})
            QVERIFY2(!f->enabled(name), name);
    }

    void toolboxLayout()
    {
        frmViewImage& w = f->w();
        auto geometry = [&](const char* name) { return w.findChild<QWidget*>(name)->geometry(); };
        QCOMPARE(geometry("lblCurrColor"), QRect(14, 21, 57, 22));
        QCOMPARE(geometry("cmdColor"), QRect(73, 22, 25, 20));
        QCOMPARE(geometry("PicMiniPal"), QRect(14, 49, 80, 80));
        QCOMPARE(geometry("Label1"), QRect(21, 329, 64, 15));
        QCOMPARE(geometry("picPenSize"), QRect(21, 343, 64, 64));
        QCOMPARE(w.findChild<QWidget*>("cmdColor")->toolTip(), QString("More colors"));
        QCOMPARE(w.findChild<QLabel*>("Label1")->text(), QString("Pen Width"));
        const QStringList tips = {"Pencil",        "Eraser",          "Rectangle",
                                  "Ellipse",       "Solid Rectangle", "Solid Ellipse",
                                  "Straight Line", "Arrow",           "Text",
                                  "Mouse pointer", "Select area",     "Pick Color"};
        for (int i = 0; i < ToolCount; ++i) {
            QAbstractButton* button = w.toolbox().OptTool(i);
            QCOMPARE(button->toolTip(), tips[i]);
            QCOMPARE(button->size(), QSize(33, 27));
            QCOMPARE(button->y(), 147 + 28 * (i / 2));
            const int right = (i == 7 || i == 9 || i == 11) ? 56 : 55;
            QCOMPARE(button->x(), i % 2 == 0 ? 21 : right);
            QVERIFY(!button->icon().isNull());
        }
    }

    void toolHintsInPanelOne()
    {
        frmViewImage& w = f->w();
        w.toolbox().OptTool_MouseMove(toolSelect);
        QCOMPARE(w.statusText(1), QString("Cut/copy/crop an area"));
        w.toolbox().OptTool_MouseMove(toolPickColor); // no hint: the panel stays
        QCOMPARE(w.statusText(1), QString("Cut/copy/crop an area"));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(w.toolbox().OptTool(toolArrow), &enter);
        QCOMPARE(w.statusText(1), QString("Draw an arrowed line"));
    }

    void penWidthFromThePressRow_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("width");
        QTest::newRow("Y = 20 gives 1") << 20 << 1;
        QTest::newRow("Y = 40 gives 4") << 40 << 4;
        QTest::newRow("Y = 41 gives 6") << 41 << 6;
    }
    void penWidthFromThePressRow()
    {
        QFETCH(int, y);
        QFETCH(int, width);
        auto* picker = f->w().findChild<PenSizePicker*>("picPenSize");
        QTest::mouseClick(picker, Qt::RightButton, {}, QPoint(5, y)); // any button
        QCOMPARE(f->w().toolbox().penWidth(), qint16(width));
        QCOMPARE(picker->band(), PenSizePicker::bandForWidth(width));
    }

    void selectForcesWidthOneAndGreysThePicker()
    {
        auto* picker = f->w().findChild<PenSizePicker*>("picPenSize");
        f->chooseWidth(6);
        f->chooseTool(toolSelect);
        QCOMPARE(f->w().toolbox().penWidth(), qint16(1));
        QCOMPARE(picker->band(), 0);
        QVERIFY(!picker->isEnabled());
        f->chooseTool(toolPencil);
        QVERIFY(picker->isEnabled());
        QCOMPARE(f->w().toolbox().penWidth(), qint16(1));
    }

    // Tab reaches the tools, the palette and the pen widths; arrows move and
    // Space or Enter chooses, as a click would.
    void toolboxIsOperatedFromTheKeyboard()
    {
        frmViewImage& w = f->w();
        QWidget* pencil = w.toolbox().OptTool(toolPencil);
        pencil->setFocus();
        QTest::keyClick(pencil, Qt::Key_Space);
        QCOMPARE(w.toolbox().tool(), qint16(toolPencil));
        QWidget* palette = w.findChild<QWidget*>("PicMiniPal");
        palette->setFocus();
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Space})
            QTest::keyClick(palette, key);
        QCOMPARE(fromColorRef(w.toolbox().colour()), qRgb(128, 128, 0)); // cell 6
        QTest::keyClick(palette, Qt::Key_Right); // past the last column: stays
        QTest::keyClick(palette, Qt::Key_Return);
        QCOMPARE(fromColorRef(w.toolbox().colour()), qRgb(192, 192, 192)); // cell 7
        QWidget* picker = w.findChild<QWidget*>("picPenSize");
        picker->setFocus();
        QTest::keyClick(picker, Qt::Key_Down);
        QTest::keyClick(picker, Qt::Key_Space);
        QCOMPARE(w.toolbox().penWidth(), qint16(4));
        QCOMPARE(w.toolbox().tool(), qint16(toolPencil));
    }

    void canvasCursorPerTool()
    {
        for (int tool :
             {toolPencil, toolEraser, toolRectangle, toolText, toolSelect, toolPickColor}) {
            f->chooseTool(tool);
            QVERIFY2(f->canvas()->testAttribute(Qt::WA_SetCursor),
                     qPrintable(QString::number(tool)));
        }
        f->chooseTool(toolPointer);
        QVERIFY(!f->canvas()->testAttribute(Qt::WA_SetCursor));
    }

    void paletteAndColourDialog()
    {
        frmViewImage& w = f->w();
        QWidget* palette = w.findChild<QWidget*>("PicMiniPal");
        QTest::mouseClick(palette, Qt::MiddleButton, {}, QPoint(59, 25));
        QCOMPARE(w.toolbox().colour(), ColorRef(0));
        QTest::mouseClick(palette, Qt::RightButton, {}, QPoint(59, 25)); // cell 6
        QCOMPARE(fromColorRef(w.toolbox().colour()), qRgb(128, 128, 0));
        QCOMPARE(w.toolbox().colour(), ColorRef(0x008080));
        QCOMPARE(w.findChild<QLabel*>("lblCurrColor")->palette().color(QPalette::Window),
                 QColor(128, 128, 0));
        QTest::mouseClick(palette, Qt::LeftButton, {}, QPoint(79, 79)); // cell 15
        QCOMPARE(fromColorRef(w.toolbox().colour()), qRgb(255, 255, 255));
        QCOMPARE(w.toolbox().tool(), qint16(toolPointer)); // the tool stays

        f->chooseColour(Ink);
        QCOMPARE(fromColorRef(w.toolbox().colour()), Ink);
        QCOMPARE(f->standIns.dialogs->requests.last().kind, QString("color"));
        // Cancel (no answer queued) changes nothing.
        QTest::mouseClick(w.findChild<QWidget*>("cmdColor"), Qt::LeftButton);
        QCOMPARE(fromColorRef(w.toolbox().colour()), Ink);
    }

    // ---- figures ----------------------------------------------------------------

    void figureToolsDrawTheirFigure_data()
    {
        QTest::addColumn<int>("tool");
        QTest::addColumn<int>("width");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("release");
        for (int width : {1, 4, 6}) {
            QTest::addRow("rectangle, width %d", width)
                << int(toolRectangle) << width << QPoint(20, 15) << QPoint(70, 50);
            QTest::addRow("solid rectangle, width %d", width)
                << int(toolSolidRect) << width << QPoint(70, 50) << QPoint(20, 15);
            QTest::addRow("line, width %d", width)
                << int(toolLine) << width << QPoint(10, 60) << QPoint(90, 20);
        }
        QTest::newRow("ellipse") << int(toolEllipse) << 1 << QPoint(20, 15) << QPoint(90, 60);
        QTest::newRow("solid ellipse dragged up")
            << int(toolSolidEllipse) << 4 << QPoint(90, 60) << QPoint(20, 15);
        QTest::newRow("arrow") << int(toolArrow) << 1 << QPoint(10, 40) << QPoint(90, 40);
        QTest::newRow("arrow, width 6, upward")
            << int(toolArrow) << 6 << QPoint(50, 70) << QPoint(50, 20);
    }
    void figureToolsDrawTheirFigure()
    {
        QFETCH(int, tool);
        QFETCH(int, width);
        QFETCH(QPoint, press);
        QFETCH(QPoint, release);
        const QImage before = f->setImage(test::patternImage(120, 90));
        f->chooseColour(Ink);
        f->chooseWidth(width);
        f->chooseTool(tool);
        f->drag({press, press + QPoint(3, 3), (press + release) / 2, release});

        // The figure between press and release, in the colour and width,
        // with no trace of the rubber bands.
        QImage expected = before;
        const Figure figure = tool == toolRectangle      ? Figure::Box
                              : tool == toolSolidRect    ? Figure::SolidBox
                              : tool == toolEllipse      ? Figure::Ellipse
                              : tool == toolSolidEllipse ? Figure::SolidEllipse
                                                         : Figure::Segment;
        drawFigure(expected, figure, press, release, Ink, width);
        if (tool == toolArrow) {
            const QPoint d = press - release;
            DrawArrowHead(expected, release.x(), release.y(), d.x(), d.y(), Ink, width);
        }
        QCOMPARE(differingPixels(f->doc().canvas(), expected), 0);
        QCOMPARE(f->onScreen(), f->doc().canvas());
        if (tool == toolRectangle || tool == toolSolidRect) {
            QCOMPARE(f->doc().canvas().pixel(20, 15), Ink);
            QCOMPARE(f->doc().canvas().pixel(70, 50), Ink);
            QCOMPARE(f->doc().canvas().pixel(45, 32) == Ink, tool == toolSolidRect);
        }
        QVERIFY(f->doc().isDirty());
        // The edit can be undone, back to the picture before the drag.
        QVERIFY(f->enabled("mnuUndo"));
        QCOMPARE(f->doc().committed(), f->doc().canvas());
        f->action("mnuUndo")->trigger();
        QCOMPARE(f->doc().canvas(), before);
    }

    void arrowHeadEndsOnTheCanvas()
    {
        f->setWhite(260, 160);
        f->chooseTool(toolArrow);
        f->drag(QPoint(100, 100), QPoint(200, 100));
        const QImage& image = f->doc().canvas();
        // head strokes toward (191.22, 95.21) and (191.22, 104.79)
        QCOMPARE(image.pixel(191, 96) != qRgb(255, 255, 255) ||
                     image.pixel(191, 95) != qRgb(255, 255, 255),
                 true);
        QCOMPARE(image.pixel(191, 104) != qRgb(255, 255, 255) ||
                     image.pixel(191, 105) != qRgb(255, 255, 255),
                 true);
        QCOMPARE(image.pixel(189, 93), qRgb(255, 255, 255));
    }

    void pencilDrawsTheSegmentsBetweenMoves()
    {
        f->setWhite(100, 80);
        f->chooseColour(Ink);
        f->chooseWidth(4);
        f->chooseTool(toolPencil);
        QTest::mousePress(f->canvas(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(differingPixels(f->doc().canvas(), whiteImage(100, 80)), 0); // press alone
        QTest::mouseMove(f->canvas(), QPoint(50, 10));
        QTest::mouseMove(f->canvas(), QPoint(50, 60));
        QVERIFY(f->doc().isDirty());
        QTest::mouseRelease(f->canvas(), Qt::LeftButton, {}, QPoint(50, 60));
        QImage expected = whiteImage(100, 80);
        drawFigure(expected, Figure::Segment, QPointF(10, 10), QPointF(50, 10), Ink, 4);
        drawFigure(expected, Figure::Segment, QPointF(50, 10), QPointF(50, 60), Ink, 4);
        QCOMPARE(differingPixels(f->doc().canvas(), expected), 0);
        QCOMPARE(f->w().statusText(3), QString());
        f->action("mnuUndo")->trigger();
        QCOMPARE(f->doc().canvas(), whiteImage(100, 80));
    }

    void eraserPaintsTenPixelsWhiteAndKeepsTheWidth()
    {
        QImage red(100, 80, QImage::Format_RGB32);
        red.fill(qRgb(255, 0, 0));
        f->setImage(red);
        f->chooseWidth(4);
        f->chooseTool(toolEraser);
        f->drag({QPoint(10, 40), QPoint(50, 40), QPoint(90, 40)});
        const QImage& image = f->doc().canvas();
        int run = 0;
        for (int y = 0; y < 80; ++y)
            run += image.pixel(50, y) == qRgb(255, 255, 255);
        QCOMPARE(run, 10);
        QCOMPARE(f->w().toolbox().penWidth(), qint16(4));
        // The next pencil stroke has the chosen width again.
        f->chooseTool(toolPencil);
        f->drag({QPoint(50, 5), QPoint(50, 20), QPoint(50, 30)});
        int pencil = 0;
        for (int x = 40; x < 60; ++x)
            pencil += f->doc().canvas().pixel(x, 15) == qRgb(0, 0, 0);
        QCOMPARE(pencil, 4);
    }

    void clickWithoutMovingChangesNothing_data()
    {
        QTest::addColumn<int>("tool");
        for (int tool = toolPencil; tool <= toolText; ++tool)
            QTest::addRow("tool %d", tool) << tool;
        QTest::addRow("select") << int(toolSelect);
    }
    void clickWithoutMovingChangesNothing()
    {
        QFETCH(int, tool);
        const QImage before = f->setImage(test::patternImage(60, 40));
        f->chooseTool(tool);
        QTest::mouseClick(f->canvas(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(f->doc().canvas(), before);
        QVERIFY(!f->doc().isDirty());
        QVERIFY(!f->enabled("mnuUndo"));
        QVERIFY(!f->w().findChild<QWidget*>("txtText")->isVisible());
    }

    void middleAndRightButtonsNeverDraw()
    {
        const QImage before = f->setImage(test::patternImage(60, 40));
        f->chooseTool(toolRectangle);
        QTest::mousePress(f->canvas(), Qt::MiddleButton, {}, QPoint(5, 5));
        QTest::mouseMove(f->canvas(), QPoint(30, 30));
        QTest::mouseRelease(f->canvas(), Qt::MiddleButton, {}, QPoint(30, 30));
        QCOMPARE(f->w().toolbox().dragFields().start(), QPointF(0, 0));
        QTest::mousePress(f->canvas(), Qt::RightButton, {}, QPoint(5, 5));
        if (auto* menu = f->w().findChild<QWidget*>("mnuPopupPicSel"))
            menu->hide();
        QTest::mouseMove(f->canvas(), QPoint(30, 30));
        QTest::mouseRelease(f->canvas(), Qt::RightButton, {}, QPoint(30, 30));
        QCOMPARE(f->doc().canvas(), before);
        QVERIFY(!f->doc().isDirty());
    }

    void rubberBandShowsButStaysOutOfTheImage()
    {
        const QImage before = f->setImage(test::patternImage(120, 90));
        f->chooseTool(toolRectangle);
        QTest::mousePress(f->canvas(), Qt::LeftButton, {}, QPoint(10, 20));
        QTest::mouseMove(f->canvas(), QPoint(70, 60));
        QCOMPARE(f->w().statusText(3), QString("60x40"));
        QCOMPARE(f->w().statusText(2), QString("X = 70, Y = 60"));
        QCOMPARE(f->doc().canvas(), before);
        const QImage shown = f->onScreen();
        const QRgb under = before.pixel(10, 40);
        QCOMPARE(shown.pixel(10, 40),
                 qRgb(255 - qRed(under), 255 - qGreen(under), 255 - qBlue(under)));
        QCOMPARE(shown.pixel(40, 40), before.pixel(40, 40));
        // Moving on leaves nothing of the old band on screen.
        QTest::mouseMove(f->canvas(), QPoint(30, 30));
        QCOMPARE(f->onScreen().pixel(70, 50), before.pixel(70, 50));
        QTest::mouseRelease(f->canvas(), Qt::LeftButton, {}, QPoint(30, 30));
    }

    void readoutsFollowThePointer()
    {
        QImage image = whiteImage(60, 40);
        image.setPixel(12, 7, qRgb(200, 30, 100));
        image.setPixel(13, 7, qRgb(10, 0, 255));
        f->setImage(image);
        f->hover(QPoint(12, 7));
        QCOMPARE(f->w().statusText(1), QString("Web color= #C81E64, RGB=(200,30,100)"));
        QCOMPARE(f->w().statusText(2), QString("X = 12, Y = 7"));
        f->hover(QPoint(13, 7));
        QCOMPARE(f->w().statusText(1), QString("Web color= #0A00FF, RGB=(10,0,255)"));
        // Off the canvas: the position follows, the colour stays.
        f->hover(QPoint(75, -4));
        QCOMPARE(f->w().statusText(1), QString("Web color= #0A00FF, RGB=(10,0,255)"));
        QCOMPARE(f->w().statusText(2), QString("X = 75, Y = -4"));
    }

    void pickColorReadsThePressedPixel()
    {
        QImage image = whiteImage(60, 40);
        image.setPixel(30, 20, Ink);
        f->setImage(image);
        f->chooseTool(toolPickColor);
        QTest::mouseClick(f->canvas(), Qt::LeftButton, {}, QPoint(30, 20));
        QCOMPARE(fromColorRef(f->w().toolbox().colour()), Ink);
        QCOMPARE(f->w().toolbox().tool(), qint16(toolPickColor));
        QVERIFY(!f->enabled("mnuUndo"));
    }

    // ---- text ---------------------------------------------------------------------

    void textBoxPlacement_data()
    {
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<QRect>("box");
        QTest::newRow("small drag gives 90 x 50")
            << QPoint(30, 20) << QPoint(33, 22) << QRect(30, 20, 90, 50);
        QTest::newRow("dragged up and left")
            << QPoint(150, 120) << QPoint(20, 10) << QRect(20, 10, 130, 110);
    }
    void textBoxPlacement()
    {
        QFETCH(QPoint, press);
        QFETCH(QPoint, release);
        QFETCH(QRect, box);
        f->setWhite(200, 160);
        f->chooseTool(toolText);
        f->drag(press, release);
        auto* edit = f->w().findChild<QPlainTextEdit*>("txtText");
        QVERIFY(edit->isVisible());
        QCOMPARE(edit->geometry(), box);
        QCOMPARE(edit->toPlainText(), QString("Enter Text"));
        QCOMPARE(edit->textCursor().selectedText(), QString("Enter Text"));
        QVERIFY(edit->hasFocus());
        QVERIFY(!f->canvas()->testAttribute(Qt::WA_SetCursor));
        QCOMPARE(f->w().toolbox().tool(), qint16(toolText));
        QCOMPARE(f->doc().canvas(), whiteImage(200, 160)); // no band left behind
    }

    void textIsDrawnInTheColourOnEsc()
    {
        const QImage before = f->setImage(test::patternImage(200, 120));
        f->chooseColour(Ink);
        f->chooseWidth(4);
        f->chooseTool(toolText);
        f->drag(QPoint(30, 20), QPoint(150, 90));
        auto* edit = f->w().findChild<QPlainTextEdit*>("txtText");
        QTest::keyClicks(edit, "Hello");
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClicks(edit, "you");
        QCOMPARE(edit->toPlainText(), QString("Hello\nyou"));
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!edit->isVisible());
        const QImage& after = f->doc().canvas();
        int inked = 0;
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (after.pixel(x, y) != before.pixel(x, y)) {
                    QCOMPARE(after.pixel(x, y), Ink); // only glyph pixels, in the colour
                    QVERIFY(y >= 20);
                    ++inked;
                }
        QVERIFY(inked > 40);
        QVERIFY(f->w().toolbox().OptTool(toolPointer)->isChecked());
        QCOMPARE(f->doc().committed(), f->doc().canvas());
        f->action("mnuUndo")->trigger();
        QCOMPARE(f->doc().canvas(), before);
    }

    void choosingAToolEndsTheTextEntry()
    {
        f->setWhite(200, 120);
        f->chooseTool(toolText);
        f->drag(QPoint(10, 10), QPoint(120, 60));
        auto* edit = f->w().findChild<QPlainTextEdit*>("txtText");
        QTest::keyClicks(edit, "Hi");
        f->chooseTool(toolLine);
        QVERIFY(!edit->isVisible());
        QVERIFY(differingPixels(f->doc().canvas(), whiteImage(200, 120)) > 10);
        QVERIFY(f->w().toolbox().OptTool(toolLine)->isChecked());
    }

    void leavingTheBoxDrawsThePrompt()
    {
        f->setWhite(200, 120);
        f->chooseTool(toolText);
        f->drag(QPoint(10, 10), QPoint(120, 60));
        // A click on the canvas takes the focus from the box.
        QTest::mouseClick(f->canvas(), Qt::LeftButton, {}, QPoint(150, 100));
        QVERIFY(!f->w().findChild<QWidget*>("txtText")->isVisible());
        QVERIFY(differingPixels(f->doc().canvas(), whiteImage(200, 120)) > 20);
        QCOMPARE(f->w().toolbox().tool(), qint16(toolPointer));
    }

    // ---- selection state ---------------------------------------------------------

    void selectionEnablesTheCommands_data()
    {
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<bool>("crop");
        QTest::newRow("5 x 40: no crop") << QPoint(15, 50) << false;
        QTest::newRow("6 x 6: crop too") << QPoint(16, 16) << true;
    }
    void selectionEnablesTheCommands()
    {
        QFETCH(QPoint, release);
        QFETCH(bool, crop);
        const QImage before = f->setImage(test::patternImage(80, 60));
        f->chooseTool(toolSelect);
        f->drag(QPoint(10, 10), release);
        QVERIFY(f->w().toolbox().selectionShown());
        QVERIFY(f->enabled("mnuCut"));
        QVERIFY(f->enabled("mnuCopy"));
        QCOMPARE(f->enabled("mnuCrop"), crop);
        QVERIFY(!f->enabled("mnuUndo")); // a selection is no edit
        // The dotted outline shows on screen only.
        QCOMPARE(f->doc().canvas(), before);
        QVERIFY(differingPixels(f->onScreen(), before) > 0);
    }

    void selectionStopsAtTheLastColumnAndRow()
    {
        f->setWhite(80, 60);
        f->chooseTool(toolSelect);
        QTest::mousePress(f->canvas(), Qt::LeftButton, {}, QPoint(50, 30));
        QTest::mouseMove(f->canvas(), QPoint(130, 95));
        QCOMPARE(f->w().statusText(3), QString("80x65"));
        QCOMPARE(f->w().toolbox().dragFields().last(), QPointF(79, 59));
        QTest::mouseRelease(f->canvas(), Qt::LeftButton, {}, QPoint(130, 95));
        QVERIFY(f->w().toolbox().selectionShown());
    }

    void selectDragOnOneRowIsAFinishedEdit()
    {
        f->setWhite(80, 60);
        f->chooseTool(toolSelect);
        f->drag(QPoint(10, 10), QPoint(40, 10));
        QCOMPARE(f->w().toolbox().tool(), qint16(toolSelect));
        QVERIFY(!f->w().toolbox().selectionShown());
        QVERIFY(!f->enabled("mnuCut"));
        QVERIFY(f->enabled("mnuUndo"));
    }

    void selectionIsDroppedByAPressAToolOrUndo()
    {
        const QImage before = f->setImage(test::patternImage(80, 60));
        f->chooseTool(toolSelect);
        f->drag(QPoint(10, 10), QPoint(40, 40));
        QTest::mousePress(f->canvas(), Qt::LeftButton, {}, QPoint(60, 50));
        QCOMPARE(f->w().toolbox().tool(), qint16(toolSelect));
        QVERIFY(!f->w().toolbox().selectionShown());
        QVERIFY(!f->enabled("mnuCut"));
        QCOMPARE(f->w().toolbox().dragFields().start(), QPointF(60, 50));
        QTest::mouseRelease(f->canvas(), Qt::LeftButton, {}, QPoint(60, 50));

        f->drag(QPoint(10, 10), QPoint(40, 40));
        f->chooseTool(toolLine);
        QVERIFY(!f->enabled("mnuCopy"));
        QCOMPARE(f->onScreen(), before); // outline gone

        // Undo replaces the picture the selection was made on.
        f->chooseTool(toolPencil);
        f->drag(QPoint(5, 5), QPoint(20, 5));
        f->chooseTool(toolSelect);
        f->drag(QPoint(10, 10), QPoint(40, 40));
        f->action("mnuUndo")->trigger();
        QCOMPARE(f->w().toolbox().tool(), qint16(toolSelect));
        QVERIFY(!f->w().toolbox().selectionShown());
        QVERIFY(!f->enabled("mnuCrop"));
    }

    // ---- large pictures: edits take a copy prepared in the background ----------

    // A picture large enough for the prepared copy, edited by strokes, a
    // figure, Grayscale, Invert, Undo and Redo: after every step the canvas,
    // the committed copy and the undo buffer hold exactly what plain copies
    // of the pictures say they must, so a reused buffer that was still in use
    // or a copy made from the wrong picture shows.
    void editsOfALargePictureKeepTheirPixelsAndTheUndo()
    {
        const QImage original = f->setImage(test::patternImage(1024, 600, 7));
        QVERIFY(original.sizeInBytes() >= SpareCopy::MinimumBytes);
        QVERIFY(f->doc().spareReadyForCanvas());
        f->chooseColour(Ink);
        f->chooseWidth(4);
        ImageDocument& doc = f->doc();
        auto check = [&](const QImage& canvas, const QImage& undo) {
            QCOMPARE(differingPixels(doc.canvas(), canvas), 0);
            QCOMPARE(differingPixels(doc.committed(), canvas), 0);
            QCOMPARE(differingPixels(doc.undoBuffer(), undo), 0);
        };
        auto stroke = [&](int tool, const QList<QPoint>& points, QImage picture) {
            f->chooseTool(tool);
            f->drag(points);
            if (tool == toolPencil)
                for (int i = 1; i < points.size(); ++i)
                    drawFigure(picture, Figure::Segment, points[i - 1], points[i], Ink, 4);
            else
                drawFigure(picture, Figure::Ellipse, points.first(), points.last(), Ink, 4);
            return picture;
        };

        const QImage first = stroke(toolPencil, {{10, 10}, {200, 40}, {90, 300}}, original);
        check(first, original);
        QVERIFY(doc.spareReadyForCanvas());
        const QImage second = stroke(toolPencil, {{300, 20}, {20, 250}}, first);
        check(second, first);
        f->action("mnuUndo")->trigger();
        check(first, second);
        f->action("mnuRedo")->trigger();
        check(second, first);
        f->action("mnuUndo")->trigger();
        const QImage third = stroke(toolEllipse, {{40, 40}, {120, 90}, {260, 180}}, first);
        check(third, first);

        QImage gray = third;
        grayscale(gray);
        f->action("mnuGrayScale")->trigger();
        check(gray, third);
        QImage inverted = gray;
        invertColors(inverted);
        f->action("mnuInvertColor")->trigger(); // takes no snapshot
        check(inverted, third);
        f->action("mnuUndo")->trigger();
        check(third, inverted);
        // The picture the test still holds was never written into.
        QCOMPARE(differingPixels(original, test::patternImage(1024, 600, 7)), 0);
    }

    // The prepared copy carries what a plain copy of the picture would:
    // resolution and text, and no text left from the picture whose memory
    // it reuses.
    void theCopyOfALargePictureKeepsItsAttributes()
    {
        QImage tagged = test::patternImage(1024, 600, 8);
        tagged.setText(QStringLiteral("Title"), QStringLiteral("first"));
        tagged.setDotsPerMeterX(5000);
        f->setImage(tagged);
        f->chooseTool(toolPencil);
        f->drag({QPoint(10, 10), QPoint(100, 10)});
        ImageDocument& doc = f->doc();
        QCOMPARE(doc.canvas().text(QStringLiteral("Title")), QStringLiteral("first"));
        QCOMPARE(doc.canvas().dotsPerMeterX(), 5000);
        QVERIFY(doc.canvas().constBits() != doc.undoBuffer().constBits());

        const QImage plain = test::patternImage(1024, 600, 9);
        f->setImage(plain);
        doc.TakeUndoSnapshot(ImageDocument::SnapshotSource::Canvas);
        QVERIFY(doc.spareReadyForCanvas());
        const QImage copy = doc.canvasForEdit();
        QVERIFY(copy.constBits() != doc.undoBuffer().constBits());
        QCOMPARE(copy.textKeys(), plain.textKeys());
        QCOMPARE(copy.dotsPerMeterX(), plain.dotsPerMeterX());
        QCOMPARE(differingPixels(copy, plain), 0);
    }
};

SNAPLORN_TEST_MAIN(TestToolsDrawing)
#include "tst_tools_drawing.moc"
