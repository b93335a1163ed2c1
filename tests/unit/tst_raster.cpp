#include "TestSupport.h"

#include "tools/Tool.h"
#include "tools/raster.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QPainter>

using namespace snaplorn;

namespace {

const QRgb White = qRgb(255, 255, 255);
const QRgb Ink = qRgb(200, 30, 100);

QImage whiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(White);
    return image;
}

// The pixels that differ from the background, as a region.
QRegion changed(const QImage& image, QRgb background = White)
{
    QRegion region;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                region += QRect(x, y, 1, 1);
    return region;
}

// Two regions cover the same pixels (QRegion's == also compares how the
// area is split into rectangles).
bool sameArea(const QRegion& a, const QRegion& b)
{
    return a.xored(b).isEmpty();
}

// Length of the run of non-background pixels through (x, y) along a column
// (vertical) or a row.
int runThrough(const QImage& image, int x, int y, bool vertical)
{
    auto inked = [&](int i) {
        const QPoint p = vertical ? QPoint(x, i) : QPoint(i, y);
        return image.rect().contains(p) && image.pixel(p) != White;
    };
    const int at = vertical ? y : x;
    if (!inked(at))
        return 0;
    int first = at, last = at;
    while (inked(first - 1))
        --first;
    while (inked(last + 1))
        ++last;
    return last - first + 1;
}

} // namespace

class TestRaster : public QObject
{
    Q_OBJECT
private slots:
    void boxHasBothCornersInAnyDragDirection_data()
    {
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("release");
        QTest::newRow("down right") << QPoint(4, 4) << QPoint(14, 10);
        QTest::newRow("up left") << QPoint(14, 10) << QPoint(4, 4);
        QTest::newRow("down left") << QPoint(14, 4) << QPoint(4, 10);
        QTest::newRow("up right") << QPoint(4, 10) << QPoint(14, 4);
    }
    void boxHasBothCornersInAnyDragDirection()
    {
        QFETCH(QPoint, press);
        QFETCH(QPoint, release);
        QImage image = whiteImage(20, 16);
        drawFigure(image, Figure::Box, press, release, Ink, 1);
        const QRegion expected = QRegion(QRect(QPoint(4, 4), QPoint(14, 10))) -
                                 QRegion(QRect(QPoint(5, 5), QPoint(13, 9)));
        QVERIFY(sameArea(changed(image), expected));
        QCOMPARE(image.pixel(4, 4), Ink);
    }

    void figureWidths_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("1") << 1;
        QTest::newRow("4") << 4;
        QTest::newRow("6") << 6;
    }
    void figureWidths()
    {
        QFETCH(int, width);
        QImage box = whiteImage(60, 50);
        drawFigure(box, Figure::Box, QPointF(10, 10), QPointF(40, 30), Ink, width);
        QCOMPARE(runThrough(box, 10, 20, false), width); // left edge, across
        QCOMPARE(runThrough(box, 25, 30, true), width);  // bottom edge, across
        QCOMPARE(box.pixel(25, 20), White);              // outline only

        QImage line = whiteImage(60, 50);
        drawFigure(line, Figure::Segment, QPointF(5, 20), QPointF(40, 20), Ink, width);
        QCOMPARE(runThrough(line, 20, 20, true), width);
        if (width == 1)
            QVERIFY(sameArea(changed(line), QRect(QPoint(5, 20), QPoint(40, 20))));

        QImage ellipse = whiteImage(60, 50);
        drawFigure(ellipse, Figure::Ellipse, QPointF(10, 10), QPointF(40, 30), Ink, width);
        QCOMPARE(runThrough(ellipse, 25, 10, true), width); // top of the ellipse
        QCOMPARE(ellipse.pixel(25, 20), White);
    }

    void ellipseTouchesTheFourSidesOfItsBox()
    {
        for (const auto& corners : {std::pair{QPointF(2, 2), QPointF(16, 12)},
                                    std::pair{QPointF(16, 12), QPointF(2, 2)}}) {
            QImage image = whiteImage(20, 16);
            drawFigure(image, Figure::Ellipse, corners.first, corners.second, Ink, 1);
            QCOMPARE(changed(image).boundingRect(), QRect(QPoint(2, 2), QPoint(16, 12)));
        }
    }

    void solidFiguresAreTheOutlineFilled_data()
    {
        QTest::addColumn<int>("outline");
        QTest::addColumn<int>("solid");
        QTest::addColumn<int>("width");
        QTest::newRow("box, width 1") << int(Figure::Box) << int(Figure::SolidBox) << 1;
        QTest::newRow("box, width 6") << int(Figure::Box) << int(Figure::SolidBox) << 6;
        QTest::newRow("ellipse, width 1") << int(Figure::Ellipse) << int(Figure::SolidEllipse) << 1;
        QTest::newRow("ellipse, width 4") << int(Figure::Ellipse) << int(Figure::SolidEllipse) << 4;
    }
    void solidFiguresAreTheOutlineFilled()
    {
        QFETCH(int, outline);
        QFETCH(int, solid);
        QFETCH(int, width);
        const QPointF a(30, 25), b(8, 6);
        QImage drawnOutline = whiteImage(40, 32);
        drawFigure(drawnOutline, Figure(outline), a, b, Ink, width);
        QImage drawnSolid = whiteImage(40, 32);
        drawFigure(drawnSolid, Figure(solid), a, b, Ink, width);
        const QRegion edge = changed(drawnOutline);
        const QRegion filled = changed(drawnSolid);
        QVERIFY(sameArea(filled.intersected(edge), edge));
        QCOMPARE(filled.boundingRect(), edge.boundingRect());
        QCOMPARE(drawnSolid.pixel(19, 15), Ink);
        QCOMPARE(drawnOutline.pixel(19, 15), White);
    }

    void rubberBandCoversExactlyTheFinalFigure_data()
    {
        QTest::addColumn<int>("figure");
        QTest::addColumn<int>("width");
        QTest::addColumn<QPointF>("a");
        QTest::addColumn<QPointF>("b");
        const QPointF a(37, 5), b(6, 29);
        for (int width : {1, 4, 6}) {
            QTest::addRow("box %d", width) << int(Figure::Box) << width << a << b;
            QTest::addRow("ellipse %d", width) << int(Figure::Ellipse) << width << a << b;
            QTest::addRow("segment %d", width) << int(Figure::Segment) << width << a << b;
            // boxes too small to have a hole, and flat ones
            QTest::addRow("small box %d", width)
                << int(Figure::Box) << width << QPointF(20, 20) << QPointF(23, 22);
            QTest::addRow("flat box %d", width)
                << int(Figure::Box) << width << QPointF(10, 20) << QPointF(30, 20);
            QTest::addRow("box of one pixel %d", width)
                << int(Figure::Box) << width << QPointF(20, 20) << QPointF(20, 20);
        }
    }
    void rubberBandCoversExactlyTheFinalFigure()
    {
        QFETCH(int, figure);
        QFETCH(int, width);
        QFETCH(QPointF, a);
        QFETCH(QPointF, b);
        QImage final = whiteImage(48, 40);
        drawFigure(final, Figure(figure), a, b, Ink, width);

        const QImage original = test::patternImage(48, 40);
        QImage band = original;
        {
            QPainter painter(&band);
            paintInvertedFigure(painter, Figure(figure), a, b, width);
        }
        QRegion inverted;
        for (int y = 0; y < band.height(); ++y)
            for (int x = 0; x < band.width(); ++x) {
                const QRgb was = original.pixel(x, y);
                if (band.pixel(x, y) == was)
                    continue;
                QCOMPARE(band.pixel(x, y),
                         qRgb(255 - qRed(was), 255 - qGreen(was), 255 - qBlue(was)));
                inverted += QRect(x, y, 1, 1);
            }
        QVERIFY(sameArea(inverted, changed(final)));
        // The repaint area of a moving band holds the whole band.
        const QRegion repaint = figureOutlineRegion(Figure(figure), a, b, width);
        QVERIFY(inverted.subtracted(repaint).isEmpty());
        // Drawing the band again restores every pixel.
        {
            QPainter painter(&band);
            paintInvertedFigure(painter, Figure(figure), a, b, width);
        }
        QCOMPARE(band, original);
    }

    void arrowHeadEnds_data()
    {
        QTest::addColumn<QPointF>("start");
        QTest::addColumn<QPointF>("end");
        QTest::addColumn<QPointF>("first");
        QTest::addColumn<QPointF>("second");
        QTest::newRow("left to right") << QPointF(100, 100) << QPointF(200, 100)
                                       << QPointF(191.22, 95.21) << QPointF(191.22, 104.79);
        QTest::newRow("straight up, slope 20") << QPointF(100, 200) << QPointF(100, 100)
                                               << QPointF(95.65, 109.00) << QPointF(105.23, 108.53);
        QTest::newRow("right to left") << QPointF(200, 100) << QPointF(100, 100)
                                       << QPointF(108.78, 104.79) << QPointF(108.78, 95.21);
        QTest::newRow("straight down") << QPointF(100, 100) << QPointF(100, 200)
                                       << QPointF(104.35, 191.00) << QPointF(94.77, 191.47);
    }
    void arrowHeadEnds()
    {
        QFETCH(QPointF, start);
        QFETCH(QPointF, end);
        QFETCH(QPointF, first);
        QFETCH(QPointF, second);
        const QPointF d = start - end;
        const ArrowHead head =
            snaplorn::arrowHeadEnds(float(end.x()), float(end.y()), float(d.x()), float(d.y()));
        for (const auto& [got, want] : {std::pair{head.first, first}, {head.second, second}}) {
            QVERIFY2(std::abs(got.x() - want.x()) < 0.01 && std::abs(got.y() - want.y()) < 0.01,
                     qPrintable(QStringLiteral("(%1, %2)").arg(got.x()).arg(got.y())));
        }
    }

    void arrowHeadStrokesReachTheirEnds()
    {
        QImage image = whiteImage(220, 120);
        DrawArrowHead(image, 200, 100, -100, 0, Ink, 1);
        // The strokes end at (191.22, 95.21) and (191.22, 104.79); the
        // rasteriser puts the last pixels within one of those points.
        QCOMPARE(image.pixel(200, 100), Ink);
        const QRect reach = changed(image).boundingRect();
        QCOMPARE(reach.left(), 191);
        QCOMPARE(reach.right(), 200);
        QVERIFY(qAbs(reach.top() - 95) <= 1);
        QVERIFY(qAbs(reach.bottom() - 105) <= 1);
    }

    void textFontsFollowThePenWidth()
    {
        struct Row {
            int penWidth, pixels;
            bool bold;
        };
        for (const Row& row : {Row{1, 13, false}, Row{4, 19, true}, Row{6, 27, true}}) {
            const QFont font = textToolFont(row.penWidth);
            QCOMPARE(font.pixelSize(), row.pixels);
            QCOMPARE(font.bold(), row.bold);
            QCOMPARE(font.styleStrategy() & QFont::NoAntialias, QFont::NoAntialias);
        }
        QCOMPARE(textEntryFont().pixelSize(), 13);
    }

    void textWritesOnlyTheColourOverTheBackground()
    {
        const QImage original = test::patternImage(200, 80);
        QImage image = original;
        const QRect touched =
            drawTextBlock(image, QPoint(30, 10), QStringLiteral("Ab\r\nCd"), Ink, 4);
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == original.pixel(x, y))
                    continue;
                QCOMPARE(image.pixel(x, y), Ink);
                QVERIFY(touched.contains(x, y));
                ++inked;
            }
        QVERIFY(inked > 50);
    }

    void laterLinesStartUnderTheFirstOneLineLower()
    {
        for (const int penWidth : {1, 4, 6}) {
            QImage one = whiteImage(400, 120);
            drawTextBlock(one, QPoint(220, 5), QStringLiteral("H"), Ink, penWidth);
            QImage two = whiteImage(400, 120);
            drawTextBlock(two, QPoint(220, 5), QStringLiteral("H\r\nH\nH"), Ink, penWidth);
            const QRect first = changed(one).boundingRect();
            const QRegion later = changed(two) - changed(one);
            const QFontMetrics metrics(textToolFont(penWidth));
            QCOMPARE(later.boundingRect().left(), first.left());
            QCOMPARE(later.boundingRect().width(), first.width());
            QCOMPARE(later.boundingRect().top(), first.top() + metrics.lineSpacing());
            QCOMPARE(later.boundingRect().bottom(), first.bottom() + 2 * metrics.lineSpacing());
        }
    }
};

int main(int argc, char** argv)
{
    snaplorn::test::isolateUserFolders();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestRaster tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_raster.moc"
