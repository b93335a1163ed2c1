// The image view through the real main window: Enlarge, Shrink and Fit To
// Window with their limits and pixels, the scroll bars, Undo and Redo with
// their state table, and the shared pixel memory of the three pictures.
#include "TestSupport.h"
#include "WindowUnderTest.h"

#include "settings/Registry.h"
#include "document/ImageDocument.h"
#include "mainwindow/clsScroll.h"
#include "mainwindow/frmViewImage.h"

#include <QAction>
#include <QPainter>
#include <QScrollBar>
#include <QToolBar>

using namespace snaplorn;

namespace {

using Source = ImageDocument::SnapshotSource;

struct Bar {
    int maximum, singleStep, pageStep;
    bool enabled;
    bool operator==(const Bar& o) const
    {
        return maximum == o.maximum && singleStep == o.singleStep && pageStep == o.pageStep &&
               enabled == o.enabled;
    }
};

Bar barOf(const QScrollBar* bar)
{
    return {bar->maximum(), bar->singleStep(), bar->pageStep(), bar->isEnabled()};
}

char* toString(const Bar& b)
{
    return qstrdup(QStringLiteral("max %1 small %2 large %3 %4")
                       .arg(b.maximum)
                       .arg(b.singleStep)
                       .arg(b.pageStep)
                       .arg(b.enabled ? "enabled" : "disabled")
                       .toLatin1());
}

bool sharesPixels(const QImage& a, const QImage& b)
{
    return a.cacheKey() == b.cacheKey() && a.constBits() == b.constBits();
}

} // namespace

class TestView : public QObject, test::WindowUnderTest
{
    Q_OBJECT


    QWidget* frame() { return w->findChild<QWidget*>("picSelImageFrame"); }
    QWidget* canvas() { return w->findChild<QWidget*>("picSelImage"); }
    QScrollBar* bar(const char* name) { return w->findChild<QScrollBar*>(name); }

    // A picture as the document, the way a load leaves it.
    QImage setImage(int width, int height, quint32 seed = 1)
    {
        const QImage image = test::patternImage(width, height, seed);
        doc().setCanvas(image);
        doc().CommitCanvas();
        return doc().canvas();
    }

    // An edit the way a drawing tool makes one: on the canvas, then the
    // snapshot from the committed copy, then the commit.
    void drawEdit(const QRect& area, QColor colour)
    {
        {
            QPainter painter(&doc().canvasForEdit());
            painter.fillRect(area, colour);
        }
        doc().canvasEdited(area);
        doc().TakeUndoSnapshot(Source::Committed);
        doc().CommitCanvas();
        doc().setDirty(true);
    }

    // Resizes the window until the canvas frame has the given size.
    void setFrameSize(QSize wanted)
    {
        for (int i = 0; i < 6 && frame()->size() != wanted; ++i) {
            w->resize(w->size() + (wanted - frame()->size()));
            QCoreApplication::processEvents();
        }
        QCOMPARE(frame()->size(), wanted);
    }

    // Menu entry and toolbar button of a command agree, and their state.
    bool pairEnabled(const char* command)
    {
        QAction* action = w->command(command);
        QWidget* button = w->findChild<QToolBar*>("Toolbar1")->widgetForAction(action);
        if (!button || button->isEnabled() != action->isEnabled())
            qFatal("menu entry and toolbar button of %s disagree", command);
        return action->isEnabled();
    }

private slots:
    void init()
    {
        s = test::makeStandIns();
        open(test::scratchFolder() + "/view.conf");
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void cleanup() { w.reset(); }

    // ---- Enlarge and Shrink ----------------------------------------------------

    void enlargeMapsEachPixelToATwoByTwoBlock()
    {
        const QImage before = setImage(37, 23);
        trigger("mnuZoomIn");
        const QImage& after = doc().canvas();
        QCOMPARE(after.size(), QSize(74, 46));
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                QCOMPARE(after.pixel(x, y), before.pixel(x / 2, y / 2));
        QVERIFY(doc().isDirty());
        QVERIFY(sharesPixels(doc().committed(), doc().canvas()));
        QVERIFY(sharesPixels(doc().undoBuffer(), before));
        QCOMPARE(canvas()->size(), QSize(74, 46));
    }

    void secondEnlargeBeyondTheLimitOnlyReplacesTheSnapshot()
    {
        setImage(700, 400);
        trigger("mnuZoomIn");
        QCOMPARE(doc().canvas().size(), QSize(1400, 800));
        const QImage enlarged = doc().canvas();
        trigger("mnuZoomIn");
        QCOMPARE(doc().canvas().size(), QSize(1400, 800));
        trigger("mnuUndo");
        QCOMPARE(doc().canvas().size(), QSize(1400, 800));
        QCOMPARE(doc().canvas(), enlarged);
        QVERIFY(pairEnabled("mnuRedo"));
    }

    void secondShrinkBelowTheLimitOnlyReplacesTheSnapshot()
    {
        const QImage original = setImage(20, 20);
        trigger("mnuZoomOut");
        QCOMPARE(doc().canvas().size(), QSize(10, 10));
        // halving keeps one pixel of each 2 x 2 block: the one at its centre
        QCOMPARE(doc().canvas().pixel(3, 4), original.pixel(7, 9));
        trigger("mnuZoomOut");
        QCOMPARE(doc().canvas().size(), QSize(10, 10));
        QCOMPARE(doc().undoBuffer().size(), QSize(10, 10));
    }

    void zoomGuardAndOddHalves_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QSize>("result");
        QTest::addColumn<bool>("snapshot");
        QTest::newRow("7x7 enlarges") << QSize(7, 7) << "mnuZoomIn" << QSize(14, 14) << true;
        QTest::newRow("6x6 does not enlarge") << QSize(6, 6) << "mnuZoomIn" << QSize(6, 6) << false;
        QTest::newRow("6x6 does not shrink") << QSize(6, 6) << "mnuZoomOut" << QSize(6, 6) << false;
        QTest::newRow("7x7 too small to halve, snapshot taken")
            << QSize(7, 7) << "mnuZoomOut" << QSize(7, 7) << true;
        QTest::newRow("751 wide cannot double")
            << QSize(751, 20) << "mnuZoomIn" << QSize(751, 20) << true;
        QTest::newRow("750 wide doubles")
            << QSize(750, 20) << "mnuZoomIn" << QSize(1500, 40) << true;
        QTest::newRow("19 high cannot halve")
            << QSize(40, 19) << "mnuZoomOut" << QSize(40, 19) << true;
        QTest::newRow("odd halves round to even")
            << QSize(301, 303) << "mnuZoomOut" << QSize(150, 152) << true;
        QTest::newRow("21 halves to 10") << QSize(21, 25) << "mnuZoomOut" << QSize(10, 12) << true;
        QTest::newRow("empty document") << QSize(0, 0) << "mnuZoomIn" << QSize(0, 0) << false;
    }
    void zoomGuardAndOddHalves()
    {
        QFETCH(QSize, image);
        QFETCH(QString, command);
        QFETCH(QSize, result);
        QFETCH(bool, snapshot);
        if (!image.isEmpty())
            setImage(image.width(), image.height());
        trigger(command.toLatin1());
        QCOMPARE(doc().canvas().size(), image.isEmpty() ? QSize(0, 0) : result);
        QCOMPARE(pairEnabled("mnuUndo"), snapshot);
        QCOMPARE(doc().isDirty(), result != image);
        QVERIFY(s.messages->shown().isEmpty());
    }

    // ---- Fit To Window -----------------------------------------------------

    void fitUsesTheImagesOwnOrientation_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QSize>("result");
        // frame 500 x 400
        QTest::newRow("landscape by width") << QSize(1000, 600) << QSize(500, 300);
        QTest::newRow("portrait by height") << QSize(300, 900) << QSize(133, 400);
        QTest::newRow("square by height") << QSize(300, 300) << QSize(400, 400);
        QTest::newRow("wide but short, taller than frame afterwards")
            << QSize(101, 100) << QSize(500, 495);
        QTest::newRow("small image is enlarged") << QSize(50, 8) << QSize(500, 80);
        QTest::newRow("6x6 is fitted") << QSize(6, 6) << QSize(400, 400);
        QTest::newRow("5 wide is left alone") << QSize(5, 50) << QSize(5, 50);
    }
    void fitUsesTheImagesOwnOrientation()
    {
        QFETCH(QSize, image);
        QFETCH(QSize, result);
        setFrameSize(QSize(500, 400));
        const QImage before = setImage(image.width(), image.height());
        trigger("mnuFitToWin");
        const QImage& after = doc().canvas();
        QCOMPARE(after.size(), result);
        if (result == image)
            return;
        QVERIFY(doc().isDirty());
        QVERIFY(sharesPixels(doc().undoBuffer(), before));
        // aspect ratio kept within one pixel, and every pixel is a source pixel
        const double expected = double(image.width()) / image.height() * result.height();
        QVERIFY(qAbs(result.width() - expected) <= 1.0);
        for (const QPoint& p : {QPoint(0, 0), QPoint(result.width() - 1, result.height() - 1),
                                QPoint(result.width() / 3, result.height() / 2)}) {
            const QPoint src((2 * p.x() + 1) * image.width() / (2 * result.width()),
                             (2 * p.y() + 1) * image.height() / (2 * result.height()));
            QCOMPARE(after.pixel(p), before.pixel(src));
        }
    }

    // ---- scroll bars -----------------------------------------------------------

    void scrollRangesFollowImageAndFrame()
    {
        setFrameSize(QSize(500, 400));
        setImage(1000, 600);
        QCOMPARE(barOf(bar("HScroll1")), (Bar{500, 4, 500, true}));
        QCOMPARE(barOf(bar("VScroll1")), (Bar{200, 8, 300, true}));
        setImage(400, 300); // smaller than the frame both ways
        QCOMPARE(barOf(bar("HScroll1")), (Bar{0, 4, 200, false}));
        QCOMPARE(barOf(bar("VScroll1")), (Bar{0, 8, 150, false}));
        setImage(500, 401); // exactly as wide as the frame
        QVERIFY(!bar("HScroll1")->isEnabled());
        QCOMPARE(bar("VScroll1")->maximum(), 1);
        QVERIFY(bar("VScroll1")->isEnabled());
        // the window's own resize
        setImage(1000, 600);
        setFrameSize(QSize(600, 450));
        QCOMPARE(barOf(bar("HScroll1")), (Bar{400, 4, 500, true}));
        QCOMPARE(barOf(bar("VScroll1")), (Bar{150, 8, 300, true}));
    }

    void canvasFollowsBarsAndLoweredMaxima()
    {
        setFrameSize(QSize(500, 400));
        setImage(1000, 600);
        bar("HScroll1")->setValue(480);
        bar("VScroll1")->setValue(200);
        QCOMPARE(canvas()->pos(), QPoint(-480, -200));
        // a smaller image lowers the maxima; the canvas never leaves a gap
        trigger("mnuZoomOut"); // 500 x 300
        QCOMPARE(bar("HScroll1")->value(), 0);
        QCOMPARE(canvas()->pos(), QPoint(0, 0));
        trigger("mnuUndo"); // 1000 x 600 again, bars at the start
        QCOMPARE(bar("HScroll1")->maximum(), 500);
        bar("HScroll1")->setValue(500);
        setFrameSize(QSize(700, 400));
        QCOMPARE(bar("HScroll1")->value(), 300);
        QCOMPARE(canvas()->x(), -300);
    }

    void barsPassTheFocusToTheCanvas()
    {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        setFrameSize(QSize(500, 400));
        setImage(1000, 600);
        w->findChild<QToolBar*>("Toolbar1")->setFocus();
        QScrollBar* h = bar("HScroll1");
        h->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(QApplication::focusWidget(), canvas());
        w->findChild<QToolBar*>("Toolbar1")->setFocus();
        bar("VScroll1")->setFocusPolicy(Qt::StrongFocus);
        bar("VScroll1")->setFocus();
        QCOMPARE(QApplication::focusWidget(), canvas());
    }

    void setUpStopsAtAValueTheBarsCannotHold()
    {
        QScrollBar h(Qt::Horizontal);
        QScrollBar v(Qt::Vertical);
        clsScroll scroll;
        scroll.SetUpScrollBars(&h, &v, 200, 8, 300, 500, 4, 500);
        QCOMPARE(barOf(&v), (Bar{200, 8, 300, true}));
        QCOMPARE(barOf(&h), (Bar{500, 4, 500, true}));
        // vertical done, horizontal maximum out of range: the rest keeps its values
        scroll.SetUpScrollBars(&h, &v, 0, 8, 20, 40000, 4, 20000);
        QCOMPARE(barOf(&v), (Bar{0, 8, 20, true}));
        QCOMPARE(barOf(&h), (Bar{500, 4, 500, true}));
    }

    // ---- Undo and Redo ---------------------------------------------------------

    void undoRedoStateTable()
    {
        QVERIFY(!pairEnabled("mnuUndo"));
        QVERIFY(!pairEnabled("mnuRedo"));
        const QImage start = setImage(60, 40);
        drawEdit(QRect(0, 0, 10, 10), Qt::red); // A
        const QImage withA = doc().canvas();
        QVERIFY(pairEnabled("mnuUndo"));
        QVERIFY(!pairEnabled("mnuRedo"));
        drawEdit(QRect(20, 0, 10, 10), Qt::green); // B
        trigger("mnuUndo");
        QCOMPARE(doc().canvas(), withA);
        QVERIFY(!pairEnabled("mnuUndo"));
        QVERIFY(pairEnabled("mnuRedo"));
        drawEdit(QRect(40, 0, 10, 10), Qt::blue); // C: the Redo pair is left alone
        QVERIFY(pairEnabled("mnuUndo"));
        QVERIFY(pairEnabled("mnuRedo"));
        trigger("mnuRedo"); // the image from before C: A, without B or C
        QCOMPARE(doc().canvas(), withA);
        QVERIFY(pairEnabled("mnuUndo"));
        QVERIFY(!pairEnabled("mnuRedo"));
        // the toggle repeats without limit
        const QImage withC = doc().undoBuffer();
        QCOMPARE(withC.pixel(45, 5), qRgb(0, 0, 255));
        for (int i = 0; i < 3; ++i) {
            trigger("mnuUndo");
            QCOMPARE(doc().canvas(), withC);
            trigger("mnuRedo");
            QCOMPARE(doc().canvas(), withA);
        }
        QVERIFY(start != withA);
    }

    void undoLeavesFlagPathAndTitleAlone()
    {
        const QString path = test::scratchFolder() + "/undo.bmp";
        test::patternImage(100, 100).save(path);
        QVERIFY(w->LoadImageFile(path).ok);
        setFrameSize(QSize(500, 400));
        trigger("mnuZoomIn");
        QCOMPARE(bar("HScroll1")->maximum(), 0);
        doc().setDirty(false);
        const QString title = w->windowTitle();
        trigger("mnuUndo");
        QCOMPARE(doc().canvas().size(), QSize(100, 100));
        QCOMPARE(canvas()->size(), QSize(100, 100));
        QVERIFY(!doc().isDirty());
        QCOMPARE(doc().filePath(), path);
        QCOMPARE(w->windowTitle(), title);
        trigger("mnuRedo");
        QCOMPARE(doc().canvas().size(), QSize(200, 200));
        QVERIFY(!doc().isDirty());
        // an open keeps the previous document's undo state
        const QString other = test::scratchFolder() + "/other.bmp";
        test::patternImage(30, 30, 7).save(other);
        QVERIFY(w->LoadImageFile(other).ok);
        QVERIFY(pairEnabled("mnuUndo"));
        trigger("mnuUndo");
        QCOMPARE(doc().canvas().size(), QSize(100, 100));
        QCOMPARE(doc().filePath(), other);
    }

    void picturesSharePixelsWhileEqual()
    {
        setImage(3840, 2160);
        QVERIFY(sharesPixels(doc().canvas(), doc().committed()));
        trigger("mnuZoomIn"); // beyond the limit: snapshot only
        QVERIFY(sharesPixels(doc().canvas(), doc().undoBuffer()));
        QVERIFY(sharesPixels(doc().canvas(), doc().committed()));
        trigger("mnuZoomOut"); // two pictures: the half and the original
        QVERIFY(sharesPixels(doc().canvas(), doc().committed()));
        QVERIFY(!sharesPixels(doc().canvas(), doc().undoBuffer()));
        trigger("mnuUndo");
        QVERIFY(sharesPixels(doc().canvas(), doc().committed()));
        QCOMPARE(doc().canvas().size(), QSize(3840, 2160));
        trigger("mnuRedo");
        QVERIFY(sharesPixels(doc().canvas(), doc().committed()));
        QCOMPARE(doc().undoBuffer().size(), QSize(3840, 2160));
    }
};

SNAPLORN_TEST_MAIN(TestView)
#include "tst_view.moc"
