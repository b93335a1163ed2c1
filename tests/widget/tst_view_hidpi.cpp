// The view on a screen scaled by two: one image pixel is one device pixel,
// and scroll ranges, bar values and handle zones are counted in image pixels.
#include "TestSupport.h"
#include "WindowUnderTest.h"

#include "settings/Registry.h"
#include "document/ImageDocument.h"
#include "mainwindow/CanvasFrame.h"
#include "mainwindow/frmViewImage.h"

#include <QMouseEvent>
#include <QScrollBar>

using namespace snaplorn;

class TestViewHiDpi : public QObject, test::WindowUnderTest
{
    Q_OBJECT


    CanvasFrame* frame() { return w->findChild<CanvasFrame*>("picSelImageFrame"); }
    QWidget* canvas() { return w->findChild<QWidget*>("picSelImage"); }

    void mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, at, frame()->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(frame(), &event);
    }

private slots:
    void init()
    {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        s = test::makeStandIns();
        open(test::scratchFolder() + "/hidpi.conf");
        w->resize(900, 700);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void cleanup() { w.reset(); }

    void imagePixelsAreDevicePixels()
    {
        const QImage image = test::patternImage(3000, 2000);
        doc().setCanvas(image);
        doc().CommitCanvas();
        QCOMPARE(canvas()->size(), QSize(1500, 1000));
        const QSize frameDevice = frame()->size() * 2;
        auto* h = w->findChild<QScrollBar*>("HScroll1");
        auto* v = w->findChild<QScrollBar*>("VScroll1");
        QCOMPARE(h->maximum(), 3000 - frameDevice.width());
        QCOMPARE(v->maximum(), 2000 - frameDevice.height());
        QCOMPARE(h->pageStep(), 1500);
        h->setValue(400);
        QCOMPARE(canvas()->x(), -200);
        h->setValue(0);
        QImage shown = canvas()->grab(QRect(0, 0, 50, 40)).toImage();
        QCOMPARE(shown.size(), QSize(100, 80));
        shown.setDevicePixelRatio(1);
        QCOMPARE(shown.convertToFormat(QImage::Format_RGB32), image.copy(0, 0, 100, 80));
    }

    void handlesAreInImagePixels()
    {
        doc().setCanvas(test::patternImage(200, 100));
        doc().CommitCanvas();
        mouse(QEvent::MouseMove, QPointF(101, 25), Qt::NoButton, Qt::NoButton); // (202, 50)
        QCOMPARE(frame()->frameDragMode(), 23);
        mouse(QEvent::MouseMove, QPointF(98.5, 51.5), Qt::NoButton, Qt::NoButton); // (197, 103)
        QCOMPARE(frame()->frameDragMode(), 25);
        mouse(QEvent::MouseMove, QPointF(101, 25), Qt::NoButton, Qt::NoButton);
        mouse(QEvent::MouseButtonPress, QPointF(101, 25), Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, QPointF(150, 25), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(w->statusText(2), QString("X = 300, Y = 100"));
        mouse(QEvent::MouseButtonRelease, QPointF(150, 25), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(doc().canvas().size(), QSize(300, 100));
        // a quarter of a device pixel right of the origin still leaves a pixel
        mouse(QEvent::MouseMove, QPointF(151, 25), Qt::NoButton, Qt::NoButton);
        mouse(QEvent::MouseButtonPress, QPointF(151, 25), Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, QPointF(0.125, 25), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(doc().canvas().size(), QSize(1, 100));
    }
};

int main(int argc, char** argv)
{
    snaplorn::test::isolateUserFolders();
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestViewHiDpi tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_view_hidpi.moc"
