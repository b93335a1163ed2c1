// Nearest-neighbour resampling and the rounding of fractional sizes.
#include "TestSupport.h"

#include "document/Resample.h"

using namespace snaplorn;

class TestResample : public QObject
{
    Q_OBJECT

private slots:
    void roundsHalvesToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("rounded");
        QTest::newRow("150.5") << 150.5 << qint64(150);
        QTest::newRow("151.5") << 151.5 << qint64(152);
        QTest::newRow("0.5") << 0.5 << qint64(0);
        QTest::newRow("-2.5") << -2.5 << qint64(-2);
        QTest::newRow("-3.5") << -3.5 << qint64(-4);
        QTest::newRow("2.4999") << 2.4999 << qint64(2);
        QTest::newRow("2.5001") << 2.5001 << qint64(3);
        QTest::newRow("-0.3") << -0.3 << qint64(0);
    }
    void roundsHalvesToEven()
    {
        QFETCH(double, value);
        QFETCH(qint64, rounded);
        QCOMPARE(roundHalfToEven(value), rounded);
    }

    void halvesOfOddSides()
    {
        QCOMPARE(halfToEven(301), qint64(150));
        QCOMPARE(halfToEven(303), qint64(152));
        QCOMPARE(halfToEven(600), qint64(300));
        QCOMPARE(halfToEven(-401), qint64(-200));
    }

    void fitNeverGivesAnEmptySide()
    {
        QCOMPARE(fitByOrientation(QSize(3000, 2), QSize(500, 400)), QSize(500, 1));
        QCOMPARE(fitByOrientation(QSize(2, 3000), QSize(500, 400)), QSize(1, 400));
        QCOMPARE(fitByOrientation(QSize(3, 3), QSize(0, 0)), QSize(1, 1));
    }

    // Exact bytes on small pictures: each target pixel is the source pixel
    // under its centre.
    void stretchesByCentres_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("target");
        QTest::newRow("double") << QSize(4, 3) << QSize(8, 6);
        QTest::newRow("half") << QSize(8, 8) << QSize(4, 4);
        QTest::newRow("odd upscale") << QSize(3, 5) << QSize(7, 11);
        QTest::newRow("odd downscale") << QSize(8, 7) << QSize(3, 2);
        QTest::newRow("one pixel") << QSize(1, 1) << QSize(5, 2);
        QTest::newRow("same size") << QSize(5, 4) << QSize(5, 4);
    }
    void stretchesByCentres()
    {
        QFETCH(QSize, source);
        QFETCH(QSize, target);
        const QImage in = test::patternImage(source.width(), source.height(), 9);
        const QImage out = resampleNearest(in, target);
        QCOMPARE(out.size(), target);
        QCOMPARE(out.format(), QImage::Format_RGB32);
        for (int y = 0; y < target.height(); ++y) {
            const int sy = (2 * y + 1) * source.height() / (2 * target.height());
            for (int x = 0; x < target.width(); ++x) {
                const int sx = (2 * x + 1) * source.width() / (2 * target.width());
                QCOMPARE(out.pixel(x, y), in.pixel(sx, sy));
            }
        }
    }

    void otherFormatsAreConvertedAndEmptyInputGivesNothing()
    {
        QImage indexed(2, 2, QImage::Format_Indexed8);
        indexed.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 0)});
        indexed.fill(1);
        const QImage out = resampleNearest(indexed, QSize(4, 4));
        QCOMPARE(out.format(), QImage::Format_RGB32);
        QCOMPARE(out.pixel(3, 3), qRgb(200, 100, 0));
        QVERIFY(resampleNearest(QImage(), QSize(4, 4)).isNull());
        QVERIFY(resampleNearest(indexed, QSize(0, 4)).isNull());
        QImage small(3, 3, QImage::Format_Indexed8);
        QVERIFY(!resampleNearestInto(indexed, small));
    }
};

SNAPLORN_TEST_MAIN_CORE(TestResample)
#include "tst_resample.moc"
