#include "TestSupport.h"

#include "tools/ColorText.h"

using namespace snaplorn;

class TestColorText : public QObject
{
    Q_OBJECT
private slots:
    void componentsOfAColourValue_data()
    {
        QTest::addColumn<qint32>("colour");
        QTest::addColumn<QString>("part");
        QTest::addColumn<int>("expected");
        const qint32 sample = 0x00641EC8; // red 200, green 30, blue 100
        QTest::newRow("red is the low byte") << sample << "R" << 200;
        QTest::newRow("green the next") << sample << "G" << 30;
        QTest::newRow("blue the third") << sample << "B" << 100;
        QTest::newRow("the high byte is ignored") << qint32(0x7f010203) << "B" << 1;
        QTest::newRow("an unknown part gives 0") << sample << "r" << 0;
        QTest::newRow("remainder takes the dividend's sign") << qint32(-1) << "R" << -1;
        QTest::newRow("division truncates toward zero") << qint32(-65536 * 3) << "B" << -3;
    }
    void componentsOfAColourValue()
    {
        QFETCH(qint32, colour);
        QFETCH(QString, part);
        QFETCH(int, expected);
        QCOMPARE(int(GetRGBPart(colour, part)), expected);
    }

    void hexTextKeepsTwoDigitsPerComponent_data()
    {
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("g");
        QTest::addColumn<int>("b");
        QTest::addColumn<QString>("hex");
        QTest::newRow("upper case") << 200 << 30 << 100 << "C81E64";
        QTest::newRow("leading zeros below 16") << 10 << 0 << 255 << "0A00FF";
        QTest::newRow("over 255 keeps the last two digits") << 300 << 0 << 0 << "2C0000";
        QTest::newRow("negative as its 16-bit pattern") << -1 << 0 << 0 << "FF0000";
    }
    void hexTextKeepsTwoDigitsPerComponent()
    {
        QFETCH(int, r);
        QFETCH(int, g);
        QFETCH(int, b);
        QFETCH(QString, hex);
        QCOMPARE(RGBToHex(qint16(r), qint16(g), qint16(b)), hex);
    }

    void nearestSafeLevel_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("level");
        QTest::newRow("25 -> 0") << 25 << 0;
        QTest::newRow("26 -> 51") << 26 << 51;
        QTest::newRow("128 -> 153") << 128 << 153;
        QTest::newRow("200 -> 204") << 200 << 204;
        QTest::newRow("255 stays") << 255 << 255;
        QTest::newRow("negative -> 0") << -40 << 0;
        QTest::newRow("far above -> 255") << 1000 << 255;
    }
    void nearestSafeLevel()
    {
        QFETCH(int, value);
        QFETCH(int, level);
        QCOMPARE(int(NearestSafeLevel(qint16(value))), level);
    }

    void safeHexReplacesTheCallersComponents_data()
    {
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("g");
        QTest::addColumn<int>("b");
        QTest::addColumn<QString>("hex");
        QTest::newRow("200,30,100") << 200 << 30 << 100 << "CC3366";
        QTest::newRow("silver") << 192 << 192 << 192 << "CCCCCC";
        QTest::newRow("orange") << 255 << 128 << 0 << "FF9900";
        QTest::newRow("dark blue") << 25 << 26 << 127 << "003366";
        QTest::newRow("gray") << 128 << 128 << 128 << "999999";
    }
    void safeHexReplacesTheCallersComponents()
    {
        QFETCH(int, r);
        QFETCH(int, g);
        QFETCH(int, b);
        QFETCH(QString, hex);
        qint16 red = qint16(r), green = qint16(g), blue = qint16(b);
        QCOMPARE(RGBToSafeHex(red, green, blue), hex);
        QCOMPARE(RGBToHex(red, green, blue), hex);
        QCOMPARE(red, NearestSafeLevel(qint16(r)));
    }

    void readoutAndClipboardTexts()
    {
        const ColorRef colour = toColorRef(qRgb(200, 30, 100));
        QCOMPARE(colour, qint32(0x00641EC8));
        QCOMPARE(fromColorRef(colour), qRgb(200, 30, 100));
        QCOMPARE(colorReadout(colour), QString("Web color= #C81E64, RGB=(200,30,100)"));
        QCOMPARE(colorReadout(toColorRef(qRgb(10, 0, 255))),
                 QString("Web color= #0A00FF, RGB=(10,0,255)"));
        QCOMPARE(hexColorText(colour), QString("#C81E64"));
        QCOMPARE(safeHexColorText(colour), QString("#CC3366"));
        const ColorRef gray = toColorRef(qRgb(128, 128, 128));
        QCOMPARE(hexColorText(gray), QString("#808080"));
        QCOMPARE(safeHexColorText(gray), QString("#999999"));
    }
};

SNAPLORN_TEST_MAIN_CORE(TestColorText)
#include "tst_colortext.moc"
