// Capture rules without a display: hot-key settings and their keys, the
// auto-capture files, folder and interval, the capture delay, and the
// command-line capture options.
#include "TestSupport.h"

#include "base/Texts.h"
#include "capture/AutoCapture.h"
#include "capture/CaptureOptions.h"
#include "capture/HotKeySpec.h"
#include "platform/PortalHotKeys.h"
#include "platform/X11HotKeys.h"

#include <QDir>
#include <QFile>

using namespace snaplorn;

namespace {

bool noFolder(const QString&)
{
    return false;
}

bool everythingIsFolder(const QString& path)
{
    return path == QLatin1String("/shots");
}

CaptureOptions parse(const QString& line, bool (*isFolder)(const QString&) = &noFolder)
{
    return parseCaptureOptions(line.split(QLatin1Char(' '), Qt::SkipEmptyParts), isFolder);
}

} // namespace

class TestCaptureCore : public QObject
{
    Q_OBJECT
private slots:
    void hotKeySpec_data();
    void hotKeySpec();
    void keysymOfVirtualKey_data();
    void keysymOfVirtualKey();
    void modifierMasks();
    void portalTriggers_data();
    void portalTriggers();
    void autoCaptureFileNames();
    void autoCaptureFolderTest();
    void nextFreeScreenFile();
    void intervalRoundsHalvesToEven();
    void firstCaptureWaitsFourTicksLaterOnesThree();
    void commandLineOptions_data();
    void commandLineOptions();
    void commandLineErrors_data();
    void commandLineErrors();
};

void TestCaptureCore::hotKeySpec_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("key");
    QTest::newRow("Alt+F10 default") << "1,121" << true << 1 << 121;
    QTest::newRow("Control+Shift+A") << "6,65" << true << 6 << 65;
    QTest::newRow("separator never examined") << "2;123" << true << 2 << 123;
    QTest::newRow("modifier is the first character alone") << "12,65" << false << 0 << 0;
    QTest::newRow("no modifier digit") << "A,65" << false << 0 << 0;
    QTest::newRow("empty") << "" << false << 0 << 0;
    QTest::newRow("modifier only") << "1," << false << 0 << 0;
    QTest::newRow("key not a number") << "1,F1" << false << 0 << 0;
    QTest::newRow("key out of range") << "1,999" << false << 0 << 0;
    QTest::newRow("non-ASCII digit refused") << QString::fromUtf8("\u0661,65") << false << 0 << 0;
}

void TestCaptureCore::hotKeySpec()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const std::optional<HotKeySpec> spec = HotKeySpec::parse(text);
    QCOMPARE(spec.has_value(), valid);
    if (!valid)
        return;
    QTEST(spec->modifiers, "modifiers");
    QTEST(spec->virtualKey, "key");
    QCOMPARE(HotKeySpec::parse(spec->text())->virtualKey, spec->virtualKey);
}

void TestCaptureCore::keysymOfVirtualKey_data()
{
    QTest::addColumn<int>("virtualKey");
    QTest::addColumn<uint>("keysym");
    QTest::newRow("F1") << 112 << 0xffbeu;
    QTest::newRow("F10") << 121 << 0xffc7u;
    QTest::newRow("F12") << 123 << 0xffc9u;
    QTest::newRow("A is looked up as a") << 65 << uint('a');
    QTest::newRow("Z") << 90 << uint('z');
    QTest::newRow("digit 0") << 48 << uint('0');
    QTest::newRow("Print Screen") << 44 << 0xff61u;
    QTest::newRow("no key 0") << 0 << 0u;
    QTest::newRow("unknown 255") << 255 << 0u;
}

void TestCaptureCore::keysymOfVirtualKey()
{
    QFETCH(int, virtualKey);
    QTEST(uint(X11HotKeys::keysymFor(virtualKey)), "keysym");
}

void TestCaptureCore::modifierMasks()
{
    // X: Shift 1, Lock 2, Control 4, Mod1 8, Mod4 64
    QCOMPARE(X11HotKeys::modifierMaskFor(1), 8);
    QCOMPARE(X11HotKeys::modifierMaskFor(2), 4);
    QCOMPARE(X11HotKeys::modifierMaskFor(4), 1);
    QCOMPARE(X11HotKeys::modifierMaskFor(7), 13);
    QCOMPARE(X11HotKeys::modifierMaskFor(0), 0);
    QCOMPARE(X11HotKeys::modifierMaskFor(-1), -1);
    QCOMPARE(X11HotKeys::modifierMaskFor(16), -1);
}

// The desktop reads the preferred trigger with the keyboard map's key names;
// a key it has no name for is refused before the portal is asked.
void TestCaptureCore::portalTriggers_data()
{
    QTest::addColumn<QString>("spec");
    QTest::addColumn<QString>("trigger");
    QTest::newRow("Alt+F10") << "1,121" << "ALT+F10";
    QTest::newRow("Control+Shift+A, lower case") << "6,65" << "CTRL+SHIFT+a";
    QTest::newRow("all three") << "7,123" << "CTRL+ALT+SHIFT+F12";
    QTest::newRow("F24") << "2,135" << "CTRL+F24";
    QTest::newRow("digit") << "1,55" << "ALT+7";
    QTest::newRow("keypad digit") << "1,99" << "ALT+KP_3";
    QTest::newRow("Print Screen") << "4,44" << "SHIFT+Print";
    QTest::newRow("unknown key") << "1,254" << "";
    QTest::newRow("key 136 after F24") << "1,136" << "";
}

void TestCaptureCore::portalTriggers()
{
    QFETCH(QString, spec);
    const std::optional<HotKeySpec> parsed = HotKeySpec::parse(spec);
    QVERIFY(parsed);
    QTEST(PortalHotKeys::preferredTrigger(parsed->modifiers, parsed->virtualKey), "trigger");
    QCOMPARE(PortalHotKeys::preferredTrigger(8, 121), QString("LOGO+F10")); // the Windows key
    QVERIFY(PortalHotKeys::preferredTrigger(16, 121).isEmpty());
}

void TestCaptureCore::autoCaptureFileNames()
{
    QCOMPARE(autoCaptureFileName("/home/u/shots", 1), QString("/home/u/shots/Screen1.jpg"));
    QCOMPARE(autoCaptureFileName("/home/u/shots/", 12), QString("/home/u/shots/Screen12.jpg"));
    QCOMPARE(autoCaptureFileName("/", 3), QString("/Screen3.jpg"));
    QCOMPARE(autoCaptureFileName("/home//u", 2), QString("/home/u/Screen2.jpg"));
}

void TestCaptureCore::autoCaptureFolderTest()
{
    const QString folder = test::scratchFolder() + "/auto";
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(autoCaptureFolderUsable(folder));
    QVERIFY(autoCaptureFolderUsable(folder + "/")); // a trailing separator is the same folder
    QVERIFY(!autoCaptureFolderUsable(folder + "/missing"));
    QVERIFY(!autoCaptureFolderUsable(""));
    QFile file(folder + "/plain.txt");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(!autoCaptureFolderUsable(file.fileName()));
    // Not writable even for the super-user.
    QVERIFY(!autoCaptureFolderUsable("/proc"));
    // The probe leaves nothing behind.
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"plain.txt"});
}

void TestCaptureCore::nextFreeScreenFile()
{
    const QString folder = test::scratchFolder() + "/free";
    QVERIFY(QDir().mkpath(folder));
    QCOMPARE(nextFreeScreenFileName(folder), folder + "/Screen1.jpg");
    for (const char* name : {"/Screen1.jpg", "/Screen2.jpg", "/Screen4.jpg"}) {
        QFile f(folder + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QCOMPARE(nextFreeScreenFileName(folder), folder + "/Screen3.jpg");
}

void TestCaptureCore::intervalRoundsHalvesToEven()
{
    QCOMPARE(autoCaptureIntervalMs(10.0f), 10000);
    QCOMPARE(autoCaptureIntervalMs(0.2f), 200);
    QCOMPARE(autoCaptureIntervalMs(0.0005f), 1); // never a zero interval
    QCOMPARE(autoCaptureIntervalMs(0.0025f), 2); // 2.5 ms: half to even
    QCOMPARE(autoCaptureIntervalMs(60.0f), 60000);
    QCOMPARE(autoCaptureIntervalMs(-1.0f), 1);
}

void TestCaptureCore::firstCaptureWaitsFourTicksLaterOnesThree()
{
    DelayTicks delay;
    QList<bool> ticks;
    for (int i = 0; i < 10; ++i)
        ticks.append(delay.tick());
    const QList<bool> expected = {false, false, false, true, // first capture: 4th tick
                                  false, false, true,        // then every 3rd
                                  false, false, true};
    QCOMPARE(ticks, expected);
    QCOMPARE(delay.value(), 1);
}

void TestCaptureCore::commandLineOptions_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("delay");
    QTest::addColumn<bool>("toFile");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("quality");
    using A = CaptureOptions::Action;
    QTest::newRow("no arguments start the program")
        << "" << int(A::StartProgram) << "" << 0 << false << ""
        << "" << -1;
    QTest::newRow("a picture to open")
        << "/tmp/a.jpg" << int(A::StartProgram) << "" << 0 << false << ""
        << "" << -1;
    QTest::newRow("a picture path with spaces")
        << "My Picture.jpg" << int(A::StartProgram) << "" << 0 << false << ""
        << "" << -1;
    QTest::newRow("help") << "--help" << int(A::Help) << "" << 0 << false << ""
                          << "" << -1;
    QTest::newRow("short help") << "-h" << int(A::Help) << "" << 0 << false << ""
                                << "" << -1;
    QTest::newRow("version") << "--version" << int(A::Version) << "" << 0 << false << ""
                             << "" << -1;
    QTest::newRow("desktop to the clipboard")
        << "--capture desktop" << int(A::Capture) << "desktop" << 0 << false << ""
        << "" << -1;
    QTest::newRow("all options") << "--capture window --delay 250 --output /tmp/w.bmp --quality 55"
                                 << int(A::Capture) << "window" << 250 << true << "/tmp/w.bmp"
                                 << "" << 55;
    QTest::newRow("name=value form") << "--capture=desktop --output=/tmp/d.jpg --quality=1"
                                     << int(A::Capture) << "desktop" << 0 << true << "/tmp/d.jpg"
                                     << "" << 1;
    QTest::newRow("output without a value: next ScreenN.jpg")
        << "--capture desktop --output" << int(A::Capture) << "desktop" << 0 << true << ""
        << "" << -1;
    QTest::newRow("output followed by an option") << "--capture desktop --output --quality 90"
                                                  << int(A::Capture) << "desktop" << 0 << true << ""
                                                  << "" << 90;
    QTest::newRow("output into a folder")
        << "--capture desktop --output /shots" << int(A::Capture) << "desktop" << 0 << true << ""
        << "/shots" << -1;
}

void TestCaptureCore::commandLineOptions()
{
    QFETCH(QString, line);
    const CaptureOptions options = parse(line, &everythingIsFolder);
    QTEST(int(options.action), "action");
    QTEST(options.mode, "mode");
    QTEST(options.delayMs, "delay");
    QTEST(options.toFile, "toFile");
    QTEST(options.output, "output");
    QTEST(options.outputFolder, "folder");
    QTEST(options.quality, "quality");
}

void TestCaptureCore::commandLineErrors_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("error");
    QTest::newRow("unknown option") << "--frobnicate"
                                    << "unknown option '--frobnicate'";
    QTest::newRow("rectangle needs the mouse")
        << "--capture rectangle"
        << "'rectangle' is not a capture kind; use --capture desktop or --capture window";
    QTest::newRow("capture without a kind") << "--capture"
                                            << "option '--capture' needs a value";
    QTest::newRow("negative delay") << "--capture desktop --delay -5"
                                    << "'-5' is not a delay; give 0 to 600000 milliseconds";
    QTest::newRow("delay not a number") << "--capture desktop --delay soon"
                                        << "'soon' is not a delay; give 0 to 600000 milliseconds";
    QTest::newRow("delay too long") << "--capture desktop --delay 600001"
                                    << "'600001' is not a delay; give 0 to 600000 milliseconds";
    QTest::newRow("quality 0") << "--capture desktop --quality 0"
                               << "'0' is not a JPEG quality; give a number from 1 to 100";
    QTest::newRow("quality 101") << "--capture desktop --quality=101"
                                 << "'101' is not a JPEG quality; give a number from 1 to 100";
    QTest::newRow("png refused")
        << "--capture desktop --output /tmp/a.png"
        << "'/tmp/a.png' cannot be written: only .jpg and .bmp files are made";
    QTest::newRow("upper-case JPG refused like the save command")
        << "--capture desktop --output /tmp/a.JPG"
        << "'/tmp/a.JPG' cannot be written: only .jpg and .bmp files are made";
    QTest::newRow("options without capture") << "--output /tmp/a.jpg"
                                             << "option '--output' needs --capture";
}

void TestCaptureCore::commandLineErrors()
{
    QFETCH(QString, line);
    const CaptureOptions options = parse(line);
    QCOMPARE(int(options.action), int(CaptureOptions::Action::Error));
    QTEST(options.error, "error");
}

SNAPLORN_TEST_MAIN_CORE(TestCaptureCore)
#include "tst_capture_core.moc"
