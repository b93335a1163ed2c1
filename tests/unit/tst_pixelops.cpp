#include "TestSupport.h"

#include "document/pixelops.h"

#include <cmath>

using namespace snaplorn;

namespace {

// The gray formula written out independently of the code under test.
int referenceGray(int r, int g, int b)
{
    const double gray = 0.59 * g + 0.3 * r + 0.11 * b;
    return int(std::nearbyint(gray));
}

} // namespace

class TestPixelOps : public QObject
{
    Q_OBJECT
private slots:
    void grayOfKnownColours_data()
    {
        QTest::addColumn<QRgb>("colour");
        QTest::addColumn<int>("gray");
        QTest::newRow("red lies just below 76.5") << qRgb(255, 0, 0) << 76;
        QTest::newRow("green") << qRgb(0, 255, 0) << 150;
        QTest::newRow("blue") << qRgb(0, 0, 255) << 28;
        QTest::newRow("white stays") << qRgb(255, 255, 255) << 255;
        QTest::newRow("black stays") << qRgb(0, 0, 0) << 0;
        QTest::newRow("5.5 rounds to the even 6") << qRgb(0, 0, 50) << 6;
        QTest::newRow("16.5 rounds to the even 16") << qRgb(0, 0, 150) << 16;
        QTest::newRow("mixed") << qRgb(200, 30, 100) << 89;
    }
    void grayOfKnownColours()
    {
        QFETCH(QRgb, colour);
        QFETCH(int, gray);
        QCOMPARE(grayLevel(qRed(colour), qGreen(colour), qBlue(colour)), gray);
        QImage image(6, 6, QImage::Format_RGB32);
        image.fill(colour);
        grayscale(image);
        QCOMPARE(image.pixel(5, 5), qRgb(gray, gray, gray));
    }

    void grayscaleMatchesTheFormulaForEveryColour()
    {
        // All 2^24 colours once: the fast path must never differ from the
        // double-precision formula, including every halfway case.
        QImage image(4096, 4096, QImage::Format_RGB32);
        for (int y = 0; y < 4096; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < 4096; ++x)
                line[x] = 0xff000000u | quint32(y * 4096 + x);
        }
        grayscale(image);
        int mismatches = 0;
        for (int y = 0; y < 4096; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < 4096; ++x) {
                const quint32 v = quint32(y * 4096 + x);
                const int gray = referenceGray(int(v >> 16) & 255, int(v >> 8) & 255, int(v & 255));
                if (line[x] != qRgb(gray, gray, gray))
                    ++mismatches;
            }
        }
        QCOMPARE(mismatches, 0);
    }

    void invertIsExactAndTwiceRestores()
    {
        const QImage original = test::patternImage(9, 7);
        QImage image = original;
        invertColors(image);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x) {
                const QRgb p = original.pixel(x, y);
                QCOMPARE(image.pixel(x, y), qRgb(255 - qRed(p), 255 - qGreen(p), 255 - qBlue(p)));
            }
        invertColors(image);
        QCOMPARE(image, original);
    }

    void flipsMirrorAndTwiceRestore()
    {
        // Odd sizes, so the middle row and column stay where they are.
        const QImage original = test::patternImage(9, 7);
        QImage horizontal = original;
        flipHorizontal(horizontal);
        QImage vertical = original;
        flipVertical(vertical);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x) {
                QCOMPARE(horizontal.pixel(x, y), original.pixel(8 - x, y));
                QCOMPARE(vertical.pixel(x, y), original.pixel(x, 6 - y));
            }
        flipHorizontal(horizontal);
        flipVertical(vertical);
        QCOMPARE(horizontal, original);
        QCOMPARE(vertical, original);
    }

    void otherFormatsAreWorkedOnAsRgb32()
    {
        QImage image(6, 6, QImage::Format_ARGB32);
        image.fill(qRgb(255, 0, 0));
        grayscale(image);
        QCOMPARE(image.format(), QImage::Format_RGB32);
        QCOMPARE(image.pixel(0, 0), qRgb(76, 76, 76));
    }

    void operationSizeGuard_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("large");
        QTest::newRow("5 x 100 is too narrow") << QSize(5, 100) << false;
        QTest::newRow("100 x 5 is too low") << QSize(100, 5) << false;
        QTest::newRow("6 x 6 is processed") << QSize(6, 6) << true;
        QTest::newRow("empty") << QSize(0, 0) << false;
    }
    void operationSizeGuard()
    {
        QFETCH(QSize, size);
        QFETCH(bool, large);
        QCOMPARE(largeEnoughForOperation(QImage(size, QImage::Format_RGB32)), large);
    }
};

SNAPLORN_TEST_MAIN_CORE(TestPixelOps)
#include "tst_pixelops.moc"
