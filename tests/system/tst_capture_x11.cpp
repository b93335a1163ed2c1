// Captures on a real X server (the private Xvfb of the system tests, with
// its window manager): full screen pixel for pixel, a rectangle dragged
// with the X test extension (also one begun before the overlay showed,
// given up with Escape, untouched by hot keys),
// another program's active window, a hot key typed on the keyboard, and an
// auto-capture series on a changing screen. Run again on a server with two
// monitors, at scale 1 and on scaled screens: captures span every monitor
// at device pixels, and the canvas and prints follow the main window's
// screen.
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
#include "platform/standins/FakePrinter.h"
#include "settings/Registry.h"
#include "tools/Toolbox.h"

#include <QAction>
#include <QApplication>
#include <QColorSpace>
#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>

using namespace snaplorn;

namespace {

// The screen showing a point given in device pixels, and that point in
// Qt's coordinates: a scaled screen keeps its top-left corner where the
// display has it and divides the distances from there by its scale.
QScreen* screenAt(QPoint device, QPointF* logical = nullptr)
{
    for (QScreen* screen : QGuiApplication::screens()) {
        const QPoint corner = screen->geometry().topLeft();
        const qreal ratio = screen->devicePixelRatio();
        if (!QRectF(corner, QSizeF(screen->geometry().size()) * ratio).contains(device))
            continue;
        if (logical)
            *logical = QPointF(corner) + QPointF(device - corner) / ratio;
        return screen;
    }
    return nullptr;
}

// A window of ours that shows a known picture at a known place on the
// screen, outside the window manager's control; place and picture are in
// device pixels, one picture pixel to one screen pixel at any scale.
class PatternWindow : public QWidget
{
public:
    explicit PatternWindow(const QImage& picture, QPoint at)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                               Qt::WindowStaysOnTopHint),
          m_picture(picture)
    {
        QPointF logical = at;
        const QScreen* screen = screenAt(at, &logical);
        const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
        setGeometry(QRectF(logical, QSizeF(picture.size()) / ratio).toRect());
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void setPicture(const QImage& picture)
    {
        m_picture = picture;
        repaint();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QImage shown = m_picture;
        shown.setDevicePixelRatio(devicePixelRatioF());
        QPainter(this).drawImage(0, 0, shown);
    }

private:
    QImage m_picture;
};

// A monitor as the X server reports it: place and size in device pixels,
// physical size in millimetres.
struct Monitor {
    QString name;
    QRect rect;
    QSizeF millimetres;
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

QList<Monitor> monitors()
{
    QByteArray listing;
    if (!run("xrandr", {"--listmonitors"}, &listing))
        return {};
    // " 0: +*DUMMY0 1920/406x1080/228+1280+300  DUMMY0"
    static const QRegularExpression line(
        QStringLiteral(R"((\S+) (\d+)/(\d+)x(\d+)/(\d+)\+(-?\d+)\+(-?\d+))"));
    QList<Monitor> found;
    for (auto it = line.globalMatch(QString::fromLatin1(listing)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString name = m.captured(1);
        name.remove(QRegularExpression(QStringLiteral("^[+*]+")));
        found.append({name,
                      QRect(m.captured(6).toInt(), m.captured(7).toInt(), m.captured(2).toInt(),
                            m.captured(4).toInt()),
                      QSizeF(m.captured(3).toDouble(), m.captured(5).toDouble())});
    }
    return found;
}

// Where `picture` shows on `screen` pixel for pixel.
std::optional<QPoint> find(const QImage& screen, const QImage& picture)
{
    const QRgb first = picture.pixel(0, 0);
    for (int y = 0; y + picture.height() <= screen.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(screen.constScanLine(y));
        for (int x = 0; x + picture.width() <= screen.width(); ++x)
            if (line[x] == first && screen.copy(x, y, picture.width(), picture.height()) == picture)
                return QPoint(x, y);
    }
    return std::nullopt;
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

    // Starts xlogo at `geometry` (device pixels), makes it the active window
    // and captures it; `id` is its window, `extents` the frame around it
    // (left, right, top, bottom).
    void captureXlogo(QProcess& xlogo, const QString& geometry, QString* id, QList<int>* extents)
    {
        xlogo.start("xlogo", {"-geometry", geometry});
        QVERIFY(xlogo.waitForStarted());
        QByteArray found;
        QVERIFY(run("xdotool", {"search", "--sync", "--onlyvisible", "--class", "xlogo"}, &found));
        *id = QString::fromLatin1(found.split('\n').first());
        // The window manager may not manage the new window yet: try again.
        bool activated = false;
        for (int attempt = 0; attempt < 10 && !activated; ++attempt) {
            activated = run("xdotool", {"windowactivate", "--sync", *id});
            if (!activated)
                QTest::qWait(200);
        }
        QVERIFY(activated);
        QTest::qWait(200);
        trigger("mnuWindow");
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible() && !doc().canvas().isNull(), 10000);
        QByteArray text;
        QVERIFY(run("xprop", {"-id", *id, "_NET_FRAME_EXTENTS"}, &text));
        extents->clear();
        for (const QString& e : QString::fromLatin1(text).section('=', 1).split(','))
            extents->append(e.trimmed().toInt());
        QCOMPARE(extents->size(), 4);
        QCOMPARE(messages->count(), 0);
    }

    void activeWindowOfAnotherProgram()
    {
        QProcess xlogo;
        QString id;
        QList<int> e;
        captureXlogo(xlogo, "160x120+700+300", &id, &e);
        if (QTest::currentTestFailed())
            return;
        // The frame of the window manager's decorations is part of the picture.
        QCOMPARE(doc().canvas().size(), QSize(160 + e[0] + e[1], 120 + e[2] + e[3]));
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

    // ---- several monitors, scaled screens ------------------------------------

    // Windows on each monitor and one across two come out pixel for pixel
    // where they are, on a picture as large as the X screen.
    void desktopCoversEveryMonitor()
    {
        QList<Monitor> all = monitors();
        if (all.size() < 2)
            QSKIP("the display has one monitor");
        std::sort(all.begin(), all.end(),
                  [](const Monitor& a, const Monitor& b) { return a.rect.x() < b.rect.x(); });
        QRect desktop;
        for (const Monitor& m : all)
            desktop |= m.rect;
        // Distances from a screen's corner are multiples of 6 device
        // pixels: whole Qt pixels at the scales 1, 1.5 and 2.
        QList<QPair<QPoint, QImage>> shown;
        for (const Monitor& m : all)
            shown.append({m.rect.topLeft() + QPoint(60, 48),
                          test::patternImage(300, 240, quint32(30 + shown.size()))});
        // A window can only be drawn pixel for pixel across two screens of
        // the same scale.
        const QRect left = all[0].rect;
        const QRect right = all[1].rect;
        if (qFuzzyCompare(screenAt(left.center())->devicePixelRatio(),
                          screenAt(right.center())->devicePixelRatio())) {
            const int top = std::max(left.top(), right.top()) - left.top() + 300;
            shown.append(
                {left.topLeft() + QPoint((right.left() - left.left() - 150) / 6 * 6, top / 6 * 6),
                 test::patternImage(300, 240, 39)});
        }
        std::vector<std::unique_ptr<PatternWindow>> windows;
        for (const auto& [at, picture] : shown) {
            windows.push_back(std::make_unique<PatternWindow>(picture, at));
            windows.back()->show();
            QVERIFY(QTest::qWaitForWindowExposed(windows.back().get()));
        }
        QTest::qWait(200);
        trigger("mnuDesktop");
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible() && !doc().canvas().isNull(), 10000);
        QCOMPARE(desktop.topLeft(), QPoint(0, 0));
        QCOMPARE(doc().canvas().size(), desktop.size());
        for (const auto& [at, picture] : shown)
            QVERIFY2(doc().canvas().copy(QRect(at, picture.size())) == picture,
                     qPrintable(QString("picture at %1,%2").arg(at.x()).arg(at.y())));
        QCOMPARE(messages->count(), 0);
    }

    // A band dragged from one monitor into the other keeps exactly the
    // device pixels inside it, whatever the scale of each monitor.
    void rectangleAcrossMonitors()
    {
        QList<Monitor> all = monitors();
        if (all.size() < 2)
            QSKIP("the display has one monitor");
        std::sort(all.begin(), all.end(),
                  [](const Monitor& a, const Monitor& b) { return a.rect.x() < b.rect.x(); });
        // A picture on each side of the border between the monitors, at
        // distances from their corners that are whole Qt pixels at any scale.
        const QRect left = all[0].rect;
        const QRect right = all[1].rect;
        const int top = std::max(left.top(), right.top()) + 120;
        PatternWindow leftPicture(test::patternImage(300, 240, 51),
                                  QPoint((right.left() - 300) / 6 * 6, top / 6 * 6));
        PatternWindow rightPicture(test::patternImage(300, 240, 52),
                                   right.topLeft() + QPoint(6, (top - right.top()) / 6 * 6));
        for (PatternWindow* shown : {&leftPicture, &rightPicture}) {
            shown->show();
            QVERIFY(QTest::qWaitForWindowExposed(shown));
        }
        QTest::qWait(200);
        trigger("mnuDesktop");
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible() && !doc().canvas().isNull(), 10000);
        const QImage desktop = doc().canvas();
        // Points that are no whole Qt pixels at a scale of 1.5 or 2, from
        // either monitor's corner: a third and two thirds of one at 1.5,
        // a half at 2.
        const QPoint from(right.left() - 180, top + 32);
        const QPoint to(right.left() + 121, top + 182);
        trigger("mnuRectangle");
        QVERIFY(waitForOverlay());
        QVERIFY(xdotool(QString("mousemove %1 %2 mousedown 1 mousemove %3 %4 mousemove %5 %6")
                            .arg(from.x())
                            .arg(from.y())
                            .arg(right.left() + 10)
                            .arg(top + 100)
                            .arg(to.x())
                            .arg(to.y())));
        // The band shows on both monitors: its lines invert exactly the
        // pixels of the band's border, and nothing beside them.
        const QRect band(from, to);
        const auto inverted = [&](const QRect& line) {
            const QRect around = line.adjusted(-1, -1, 1, 1);
            QImage expected = desktop.copy(around);
            for (int y = 0; y < expected.height(); ++y)
                for (int x = 0; x < expected.width(); ++x) {
                    const QPoint p = around.topLeft() + QPoint(x, y);
                    if (band.contains(p) && !band.adjusted(1, 1, -1, -1).contains(p))
                        expected.setPixel(x, y, expected.pixel(x, y) ^ 0xffffffu);
                }
            return grabAreaAndWait(*services.grabber, around).image == expected;
        };
        QTRY_VERIFY_WITH_TIMEOUT(inverted(QRect(band.topLeft(), QSize(band.width(), 1))), 3000);
        QVERIFY(inverted(QRect(band.topRight(), QSize(1, band.height()))));
        QVERIFY(inverted(QRect(band.topLeft(), QSize(1, band.height()))));
        QVERIFY(xdotool("mouseup 1"));
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 10000);
        // Inside the band's lines: from one pixel past the start point, two
        // pixels narrower and lower than the drag.
        QCOMPARE(doc().canvas(),
                 desktop.copy(QRect(from + QPoint(1, 1),
                                    QSize(to.x() - from.x() - 2, to.y() - from.y() - 2))));
    }

    void activeWindowOnEveryMonitor_data()
    {
        QTest::addColumn<QPoint>("offset"); // from the left monitor's top-right corner
        QTest::newRow("left of and above the primary") << QPoint(-500, 40);
        QTest::newRow("across two monitors") << QPoint(-150, 400);
    }
    // The window is cut out of the screen at device pixels wherever it is:
    // inside its frame the picture is what the window itself holds.
    void activeWindowOnEveryMonitor()
    {
        QFETCH(QPoint, offset);
        QList<Monitor> all = monitors();
        if (all.size() < 2)
            QSKIP("the display has one monitor");
        std::sort(all.begin(), all.end(),
                  [](const Monitor& a, const Monitor& b) { return a.rect.x() < b.rect.x(); });
        const QRect asked(all[0].rect.topRight() + QPoint(1, 0) + offset, QSize(300, 200));
        QProcess xlogo;
        QString id;
        QList<int> e;
        captureXlogo(xlogo,
                     QString("%1x%2+%3+%4")
                         .arg(asked.width())
                         .arg(asked.height())
                         .arg(asked.x())
                         .arg(asked.y()),
                     &id, &e);
        if (QTest::currentTestFailed())
            return;
        // The window manager put the frame where the window was asked to be.
        QByteArray info;
        QVERIFY(run("xwininfo", {"-id", id}, &info));
        const QPoint border(e[0], e[2]);
        const QPoint placed = asked.topLeft() + border;
        QVERIFY2(
            info.contains("Absolute upper-left X:  " + QByteArray::number(placed.x()) + "\n") &&
                info.contains("Absolute upper-left Y:  " + QByteArray::number(placed.y()) + "\n"),
            info.constData());
        QByteArray png;
        QVERIFY(run("import", {"-window", id, "png:-"}, &png));
        xlogo.kill();
        xlogo.waitForFinished();
        QImage inside;
        QVERIFY(inside.loadFromData(png, "PNG"));
        inside.setColorSpace(QColorSpace()); // the screen's pixels carry none
        QCOMPARE(inside.size(), asked.size());
        QCOMPARE(doc().canvas().size(), QSize(300 + e[0] + e[1], 200 + e[2] + e[3]));
        QCOMPARE(doc().canvas().copy(QRect(border, asked.size())),
                 inside.convertToFormat(QImage::Format_RGB32));
    }

    // Wherever the main window is, the canvas shows one image pixel on one
    // device pixel, and a print keeps the size the picture has there.
    void mainWindowOnEveryMonitor()
    {
        const QList<Monitor> all = monitors();
        QVERIFY(!all.isEmpty());
        auto* printer = new FakePrinter;
        services.printer.reset(printer);
        const QImage picture = test::patternImage(301, 203, 45);
        doc().setCanvas(picture);
        for (const Monitor& monitor : all) {
            QPointF at;
            QScreen* screen = screenAt(monitor.rect.topLeft() + QPoint(120, 120), &at);
            QVERIFY(screen);
            w->move(at.toPoint());
            QTRY_COMPARE_WITH_TIMEOUT(w->screen(), screen, 5000);
            QTest::qWait(300);
            const GrabResult grab = grabAreaAndWait(*services.grabber, monitor.rect);
            QVERIFY(grab.ok());
            QVERIFY2(find(grab.image, picture),
                     qPrintable("the picture is not shown pixel for pixel on " + monitor.name));
            trigger("mnuPrint");
            QCOMPARE(messages->count(), 0);
            QCOMPARE(printer->jobs.size(), 1);
            // Inches on the paper: pixels over the monitor's pixels per inch.
            const QRectF inches = printer->jobs.takeFirst().inches;
            const qreal dpiX = monitor.rect.width() / (monitor.millimetres.width() / 25.4);
            const qreal dpiY = monitor.rect.height() / (monitor.millimetres.height() / 25.4);
            QVERIFY2(qAbs(inches.width() - 301 / dpiX) < 0.01 &&
                         qAbs(inches.height() - 203 / dpiY) < 0.01,
                     qPrintable(QString("%1 x %2 inches on %3")
                                    .arg(inches.width())
                                    .arg(inches.height())
                                    .arg(monitor.name)));
        }
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
