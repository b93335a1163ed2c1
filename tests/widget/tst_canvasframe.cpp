// The canvas frame of the real main window: handle zones and pointers,
// dragging with guide lines and the size read-out, the resize on release,
// slips left of or above the origin, the pop-up menu and the click.
#include "TestSupport.h"
#include "WindowUnderTest.h"

#include "settings/Registry.h"
#include "document/ImageDocument.h"
#include "mainwindow/CanvasFrame.h"
#include "mainwindow/ResizeCursors.h"
#include "mainwindow/frmViewImage.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>

using namespace snaplorn;

namespace {

const QRgb Grey = qRgb(0x80, 0x80, 0x80);
const QRgb White = qRgb(255, 255, 255);

} // namespace

class TestCanvasFrame : public QObject, test::WindowUnderTest
{
    Q_OBJECT


    CanvasFrame* frame() { return w->findChild<CanvasFrame*>("picSelImageFrame"); }
    QRgb guideColour() { return frame()->palette().color(QPalette::ButtonText).rgb(); }

    QImage setImage(int width, int height)
    {
        doc().setCanvas(test::patternImage(width, height, 5));
        doc().CommitCanvas();
        doc().setDirty(false);
        return doc().canvas();
    }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, QPointF(at), QPointF(frame()->mapToGlobal(at)), button, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(frame(), &event);
    }
    void hover(QPoint at) { mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); }
    void press(QPoint at, Qt::MouseButton b = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonPress, at, b, b);
    }
    void dragTo(QPoint at) { mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton); }
    void release(QPoint at, Qt::MouseButton b = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonRelease, at, b, Qt::NoButton);
    }
    // hover, press, drag through the points, release at the last one
    void dragHandle(QPoint from, const QList<QPoint>& path)
    {
        hover(from);
        press(from);
        for (const QPoint& p : path)
            dragTo(p);
        release(path.isEmpty() ? from : path.last());
    }

    QImage frameShot() { return frame()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

private slots:
    void init()
    {
        s = test::makeStandIns();
        open(test::scratchFolder() + "/frame.conf");
        w->resize(900, 700);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void cleanup() { w.reset(); }

    void handleZones_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("handle");
        // canvas 200 x 100
        QTest::newRow("right edge (202,50)") << QPoint(202, 50) << 23;
        QTest::newRow("corner (202,97)") << QPoint(202, 97) << 25;
        QTest::newRow("nothing at (202,95)") << QPoint(202, 95) << 0;
        QTest::newRow("bottom edge (150,103)") << QPoint(150, 103) << 24;
        QTest::newRow("corner (197,103)") << QPoint(197, 103) << 25;
        QTest::newRow("nothing at (195,103)") << QPoint(195, 103) << 0;
        QTest::newRow("right edge zone ends at 204") << QPoint(204, 10) << 23;
        QTest::newRow("past the right zone") << QPoint(205, 10) << 0;
        QTest::newRow("far below") << QPoint(100, 200) << 0;
    }
    void handleZones()
    {
        QFETCH(QPoint, at);
        QFETCH(int, handle);
        setImage(200, 100);
        hover(at);
        QCOMPARE(frame()->frameDragMode(), handle);
        const bool ownPointer = frame()->testAttribute(Qt::WA_SetCursor);
        QCOMPARE(ownPointer, handle != 0);
        if (handle != 0) {
            const QCursor pointer = frame()->cursor();
            QCOMPARE(pointer.hotSpot(), QPoint(15, 15));
            QCOMPARE(pointer.pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
                     resizeCursorImage(handle));
        }
        // moving onto the canvas drops the frame's pointer
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(w->findChild<QWidget*>("picSelImage"), &enter);
        QVERIFY(!frame()->testAttribute(Qt::WA_SetCursor));
    }

    void resizePointersAreOutlinedArrows()
    {
        for (int handle : {23, 24, 25}) {
            const QImage image = resizeCursorImage(handle);
            QCOMPARE(image.size(), QSize(32, 32));
            QCOMPARE(image.pixel(15, 15), qRgb(0, 0, 0)); // on the shaft at the hot spot
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            int black = 0, white = 0;
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x) {
                    const QRgb p = image.pixel(x, y);
                    if (qAlpha(p) == 0)
                        continue;
                    QVERIFY(p == qRgb(0, 0, 0) || p == qRgb(255, 255, 255)); // monochrome
                    (qRed(p) ? white : black)++;
                }
            QVERIFY(black > 40);
            QVERIFY(white > 40);
        }
        // the three are different shapes
        QVERIFY(resizeCursorImage(23) != resizeCursorImage(24));
        QVERIFY(resizeCursorImage(24) != resizeCursorImage(25));
    }

    void rightEdgeDragShowsGuidesAndResizesOnRelease()
    {
        const QImage before = setImage(200, 100);
        hover(QPoint(202, 50));
        press(QPoint(202, 50));
        dragTo(QPoint(250, 50));
        dragTo(QPoint(300, 50));
        QCOMPARE(w->statusText(2), QString("X = 300, Y = 100"));
        QCOMPARE(doc().canvas(), before); // guides never touch the image
        QImage shot = frameShot();
        QCOMPARE(shot.pixel(300, 40), guideColour());  // guide at the pointer
        QCOMPARE(shot.pixel(260, 100), guideColour()); // guide along the bottom
        QCOMPARE(shot.pixel(250, 40), Grey);           // the earlier guide is gone
        QCOMPARE(shot.pixel(301, 40), Grey);
        release(QPoint(300, 50));
        QCOMPARE(doc().canvas().size(), QSize(300, 100));
        QCOMPARE(doc().canvas().copy(0, 0, 200, 100), before);
        QCOMPARE(doc().canvas().pixel(250, 50), White);
        QCOMPARE(doc().canvas().pixel(299, 99), White);
        QVERIFY(doc().isDirty());
        QVERIFY(!w->command("mnuUndo")->isEnabled()); // no snapshot
        shot = frameShot();
        QCOMPARE(shot.pixel(310, 40), Grey);
        QCOMPARE(shot.pixel(310, 100), Grey);
        QVERIFY(!frame()->testAttribute(Qt::WA_SetCursor));
    }

    void otherHandlesAndClicks_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QSize>("result");
        QTest::addColumn<QString>("status");
        QTest::newRow("click on the right edge at 203")
            << QPoint(203, 50) << QPoint(203, 50) << QSize(203, 100) << QString();
        QTest::newRow("bottom edge down")
            << QPoint(150, 103) << QPoint(140, 160) << QSize(200, 160) << "X = 200, Y = 160";
        QTest::newRow("corner out")
            << QPoint(202, 102) << QPoint(260, 180) << QSize(260, 180) << "X = 260, Y = 180";
        QTest::newRow("corner in, over the canvas")
            << QPoint(202, 102) << QPoint(50, 40) << QSize(50, 40) << "X = 50, Y = 40";
        QTest::newRow("right edge to one pixel")
            << QPoint(202, 50) << QPoint(1, 50) << QSize(1, 100) << "X = 1, Y = 100";
        QTest::newRow("slip left of the origin")
            << QPoint(202, 50) << QPoint(-20, 50) << QSize(200, 100) << "X = -20, Y = 100";
        QTest::newRow("right edge released at the origin")
            << QPoint(202, 50) << QPoint(0, 50) << QSize(200, 100) << "X = 0, Y = 100";
        QTest::newRow("corner slip above the origin")
            << QPoint(202, 102) << QPoint(50, -5) << QSize(200, 100) << "X = 50, Y = -5";
        QTest::newRow("bottom edge above the origin, X ignored")
            << QPoint(150, 103) << QPoint(-30, 0) << QSize(200, 100) << "X = 200, Y = 0";
        QTest::newRow("right edge with Y above: only X counts")
            << QPoint(202, 50) << QPoint(230, -40) << QSize(230, 100) << "X = 230, Y = 100";
        QTest::newRow("no handle")
            << QPoint(300, 300) << QPoint(400, 400) << QSize(200, 100) << QString();
    }
    void otherHandlesAndClicks()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(QSize, result);
        QFETCH(QString, status);
        const QImage before = setImage(200, 100);
        dragHandle(from, from == to ? QList<QPoint>{} : QList<QPoint>{to});
        QCOMPARE(w->statusText(2), status);
        QCOMPARE(doc().canvas().size(), result);
        QCOMPARE(doc().isDirty(), result != before.size());
        if (result == before.size())
            QCOMPARE(doc().canvas(), before);
        QVERIFY(s.messages->shown().isEmpty()); // a slip shows no error box
    }

    void tinyCanvasHasNoHandles()
    {
        setImage(4, 100);
        hover(QPoint(5, 50));
        QCOMPARE(frame()->frameDragMode(), 0);
        dragHandle(QPoint(5, 50), {QPoint(60, 50)});
        QCOMPARE(doc().canvas().size(), QSize(4, 100));
        QCOMPARE(w->statusText(2), QString());
    }

    void rightButtonShowsTheTrayMenu()
    {
        setImage(200, 100);
        auto* popup = w->findChild<QMenu*>("mnuPopup");
        QAction* show = w->command("popShow");
        show->setEnabled(true);
        hover(QPoint(202, 50)); // on a handle: the right button still only opens the menu
        press(QPoint(202, 50), Qt::RightButton);
        QTRY_VERIFY(popup->isVisible());
        release(QPoint(202, 50), Qt::RightButton);
        QCOMPARE(doc().canvas().size(), QSize(200, 100));
        popup->hide();
        QTRY_VERIFY(!show->isEnabled());
    }

    void leftClickOnTheFrameIsReported()
    {
        setImage(200, 100);
        QSignalSpy clicks(frame(), &CanvasFrame::clicked);
        press(QPoint(400, 300));
        release(QPoint(400, 300));
        QCOMPARE(clicks.count(), 1);
        press(QPoint(400, 300), Qt::MiddleButton);
        release(QPoint(400, 300), Qt::MiddleButton);
        QCOMPARE(clicks.count(), 1);
    }
};

SNAPLORN_TEST_MAIN(TestCanvasFrame)
#include "tst_canvasframe.moc"
