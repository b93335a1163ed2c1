// Captures on a real X server (the private Xvfb of the system tests, with
// its window manager): full screen pixel for pixel, a rectangle dragged
// with the X test extension (also one begun before the overlay showed,
// given up with Escape, untouched by hot keys),
// another program's active window, a hot key typed on the keyboard, and an
// auto-capture series on a changing screen.
#include "TestSupport.h"

#include "base/Texts.h"
#include "capture/CaptureController.h"
#include "capture/frmCaptureDesktop.h"
#include "document/ImageDocument.h"
#include "mainwindow/BroadcastNotice.h"
#include "mainwindow/frmViewImage.h"
#include "output/OutputCommands.h"
#include "platform/Clipboard.h"
#include "platform/HotKeys.h"
#include "platform/ScreenGrabber.h"
#include "settings/Registry.h"
#include "tools/Toolbox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QScreen>

using namespace snaplorn;

namespace {

// A window of ours that shows a known picture at a known place on the
// screen, outside the window manager's control.
class PatternWindow : public QWidget
{
public:
    explicit PatternWindow(const QImage& picture, QPoint at)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                               Qt::WindowStaysOnTopHint),
          m_picture(picture)
    {
        setGeometry(QRect(at, picture.size()));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void setPicture(const QImage& picture)
    {
        m_picture = picture;
        repaint();
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, m_picture); }

private:
    QImage m_picture;
};

QImage solid(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QRgb colourOfStep(int step)
{
    return qRgb((step * 50) % 256, 200 - step * 30, 40 + step * 35);
}

bool near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) < 10 && qAbs(qGreen(a) - qGreen(b)) < 10 &&
           qAbs(qBlue(a) - qBlue(b)) < 10;
}

// Runs a program while this process keeps serving its windows.
bool run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(5000))
        return false;
    QElapsedTimer timer;
    timer.start();
    while (process.state() != QProcess::NotRunning && timer.elapsed() < 20000)
        QTest::qWait(10);
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool xdotool(const QString& arguments)
{
    return run("xdotool", arguments.split(' ', Qt::SkipEmptyParts));
}

frmCaptureDesktop* visibleOverlay()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("frmCaptureDesktop") && window->isVisible())
            return static_cast<frmCaptureDesktop*>(window);
    return nullptr;
}

} // namespace

class TestCaptureX11 : public QObject
{
    Q_OBJECT

    PlatformServices services;
    ScriptedMessageService* messages = nullptr;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<frmViewImage> w;
    const QImage pattern = test::patternImage(400, 300, 11);
    const QPoint patternAt{100, 120};
    std::unique_ptr<PatternWindow> patternWindow;

    ImageDocument& doc() { return w->document(); }
    void trigger(const char* name) { w->command(name)->trigger(); }

    bool showPattern()
    {
        patternWindow = std::make_unique<PatternWindow>(pattern, patternAt);
        patternWindow->show();
        if (!QTest::qWaitForWindowExposed(patternWindow.get()))
            return false;
        patternWindow->repaint();
        QTest::qWait(100);
        return true;
    }

    frmCaptureDesktop* waitForOverlay()
    {
        QElapsedTimer timer;
        timer.start();
        while (!visibleOverlay() && timer.elapsed() < 3000)
            QTest::qWait(10);
        frmCaptureDesktop* overlay = visibleOverlay();
        if (overlay && QTest::qWaitForWindowExposed(overlay))
            QTest::qWait(100); // mapped on the server too
        return overlay;
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
        run("xdotool", {"mousemove", "0", "0"});
    }

    void init()
    {
        services = createPlatformServices();
        auto scripted = std::make_unique<ScriptedMessageService>();
        messages = scripted.get();
        services.messages = std::move(scripted);
        services.dialogs = std::make_unique<ScriptedDialogService>();
        QVERIFY(services.grabber);
        const QString conf = test::scratchFolder() + "/x11.conf";
        QFile::remove(conf);
        registry = std::make_unique<Registry>(conf);
        w = std::make_unique<frmViewImage>(services, *registry, QString());
        w->settings().HotKeyPresent = 0;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }

    void cleanup()
    {
        w.reset();
        patternWindow.reset();
        services = PlatformServices();
        QTest::qWait(50);
    }

    void fullScreenCaptureIsPixelExact()
    {
        QVERIFY(showPattern());
        trigger("mnuDesktop");
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible() && !doc().canvas().isNull(), 10000);
        QCOMPARE(doc().canvas().size(), QGuiApplication::primaryScreen()->virtualSize());
        QCOMPARE(doc().canvas().copy(QRect(patternAt, pattern.size())), pattern);
        QCOMPARE(qAlpha(doc().canvas().pixel(0, 0)), 255);
        QCOMPARE(messages->count(), 0);
    }

    void rectangleDraggedWithTheMouse()
    {
        QVERIFY(showPattern());
        trigger("mnuRectangle");
        frmCaptureDesktop* overlay = waitForOverlay();
        QVERIFY(overlay);
        // Shift held at the release: discarded, the overlay waits.
        QVERIFY(xdotool("mousemove 150 170 mousedown 1 mousemove 200 200 mousemove 260 240 "
                        "keydown shift mouseup 1 keyup shift"));
        QTest::qWait(200);
        QVERIFY(overlay->isVisible());
        QVERIFY(doc().canvas().isNull());
        // Then a real drag, from (150, 170) to (260, 240).
        QVERIFY(xdotool("mousemove 150 170 mousedown 1 mousemove 200 200 mousemove 260 240 "
                        "mouseup 1"));
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 10000);
        QCOMPARE(doc().canvas().size(), QSize(108, 68));
        QCOMPARE(doc().canvas(), pattern.copy(QRect(QPoint(151, 171) - patternAt, QSize(108, 68))));
        // A drag of 8 pixels is abandoned and changes nothing.
        const QImage before = doc().canvas();
        doc().setDirty(false);
        trigger("mnuRectangle");
        QVERIFY(waitForOverlay());
        QVERIFY(xdotool("mousemove 300 300 mousedown 1 mousemove 304 320 mousemove 308 330 "
                        "mouseup 1"));
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 10000);
        QCOMPARE(doc().canvas(), before);
        QVERIFY(!doc().isDirty());
    }

    // Pressed before the overlay is up, the button's events go to the window
    // below; the drag is kept all the same, from where the pointer was as the
    // overlay appeared.
    void dragBegunBeforeTheOverlayShows()
    {
        QVERIFY(showPattern());
        trigger("mnuRectangle");
        QVERIFY(xdotool("mousemove 150 170 mousedown 1"));
        QVERIFY(!visibleOverlay());
        QVERIFY(waitForOverlay());
        QVERIFY(xdotool("mousemove 200 200 mousemove 260 240 mouseup 1"));
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 5000);
        QCOMPARE(doc().canvas(), pattern.copy(QRect(QPoint(151, 171) - patternAt, QSize(108, 68))));
    }

    void overlayIgnoresHotKeysAndGivesWayToEscape()
    {
        QVERIFY(w->capture().registerHotKeySet());
        trigger("mnuRectangle");
        frmCaptureDesktop* overlay = waitForOverlay();
        QVERIFY(overlay);
        QVERIFY(xdotool("key alt+F11"));
        QTest::qWait(500);
        QCOMPARE(messages->count(), 0);
        QVERIFY(overlay->isVisible());
        QVERIFY(xdotool("mousemove 150 170 mousedown 1 mousemove 260 240 key Escape mouseup 1"));
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 5000);
        QVERIFY(!overlay->isVisible());
        QVERIFY(doc().canvas().isNull());
        w->capture().UnRegHotKeys();
    }

    void activeWindowOfAnotherProgram()
    {
        QProcess xlogo;
        xlogo.start("xlogo", {"-geometry", "160x120+700+300"});
        QVERIFY(xlogo.waitForStarted());
        QByteArray id;
        QVERIFY(run("xdotool", {"search", "--sync", "--onlyvisible", "--class", "xlogo"}, &id));
        id = id.split('\n').first();
        // The window manager may not manage the new window yet: try again.
        bool activated = false;
        for (int attempt = 0; attempt < 10 && !activated; ++attempt) {
            activated = run("xdotool", {"windowactivate", "--sync", QString::fromLatin1(id)});
            if (!activated)
                QTest::qWait(200);
        }
        QVERIFY(activated);
        QTest::qWait(200);
        trigger("mnuWindow");
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible() && !doc().canvas().isNull(), 10000);
        // The frame of the window manager's decorations is part of the picture.
        QByteArray extents;
        QVERIFY(run("xprop", {"-id", QString::fromLatin1(id), "_NET_FRAME_EXTENTS"}, &extents));
        const QStringList e = QString::fromLatin1(extents).section('=', 1).split(',');
        QCOMPARE(e.size(), 4);
        const QSize expected(160 + e[0].trimmed().toInt() + e[1].trimmed().toInt(),
                             120 + e[2].trimmed().toInt() + e[3].trimmed().toInt());
        QCOMPARE(doc().canvas().size(), expected);
        QCOMPARE(messages->count(), 0);
        xlogo.kill();
        xlogo.waitForFinished();
        if (!services.clipboard)
            QSKIP("no clipboard service in this build");
        QByteArray png;
        QVERIFY(run("xclip", {"-selection", "clipboard", "-t", "image/png", "-o"}, &png));
        QImage fromClipboard;
        QVERIFY(fromClipboard.loadFromData(png, "PNG"));
        QCOMPARE(fromClipboard.convertToFormat(QImage::Format_RGB32), doc().canvas());
    }

    void hotKeyTypedOnTheKeyboard()
    {
        QVERIFY(w->capture().registerHotKeySet());
        QCOMPARE(messages->count(), 0);
        QVERIFY(xdotool("key alt+F11"));
        QTRY_VERIFY_WITH_TIMEOUT(!doc().canvas().isNull(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 10000);
        QCOMPARE(doc().canvas().size(), QGuiApplication::primaryScreen()->virtualSize());
        // With NumLock on the key works all the same.
        doc().setCanvas(QImage());
        QVERIFY(xdotool("key Num_Lock"));
        QVERIFY(xdotool("key alt+F11"));
        QTRY_VERIFY_WITH_TIMEOUT(!doc().canvas().isNull(), 10000);
        QVERIFY(xdotool("key Num_Lock"));
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 10000);
        w->capture().UnRegHotKeys();
    }

    void autoCaptureFollowsAChangingScreen()
    {
        const QString folder = test::scratchFolder() + "/auto";
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        patternWindow =
            std::make_unique<PatternWindow>(solid({300, 200}, colourOfStep(1)), QPoint(50, 50));
        patternWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(patternWindow.get()));
        QTest::qWait(100);
        // After each save the screen changes: every file must show the
        // screen as it was after the file before it was written.
        int saved = 0;
        connect(&doc(), &ImageDocument::titleChanged, this, [&](const QString& title) {
            if (title.contains("/Screen"))
                patternWindow->setPicture(solid({300, 200}, colourOfStep(++saved + 1)));
        });
        w->settings().AutoFolder = folder;
        w->settings().AutoInterval = 0.2f;
        w->settings().AutoImagesNum = 5;
        trigger("mnuAutoCapture");
        QTRY_COMPARE_WITH_TIMEOUT(messages->count(), 1, 10000);
        QCOMPARE(messages->last().text,
                 QString("5 desktop images have been captured\r\n and saved in ") + folder);
        for (int n = 1; n <= 5; ++n) {
            const QImage file(folder + QString("/Screen%1.jpg").arg(n));
            QCOMPARE(file.size(), QGuiApplication::primaryScreen()->virtualSize());
            QVERIFY2(near(file.pixel(200, 150), colourOfStep(n)),
                     qPrintable(QString("Screen%1.jpg").arg(n)));
        }
        QVERIFY(!QFile::exists(folder + "/Screen6.jpg"));
    }
};

SNAPLORN_TEST_MAIN(TestCaptureX11)
#include "tst_capture_x11.moc"
