// The capture commands with stand-in screen, window and hot-key services:
// full screen, the rectangle overlay (inset, Shift discard, too small a
// drag, Escape, a drag begun before it showed), the active window, auto capture and the hot keys.
#include "TestSupport.h"
#include "WindowUnderTest.h"

#include "base/Texts.h"
#include "capture/frmCaptureDesktop.h"
#include "document/ImageDocument.h"
#include "mainwindow/frmViewImage.h"
#include "platform/standins/FakeActiveWindow.h"
#include "platform/standins/FakeHotKeys.h"
#include "platform/standins/FakeScreenGrabber.h"
#include "settings/Registry.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTimer>
#include <QToolBar>

using namespace snaplorn;

namespace {

QImage solid(QRgb colour)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QRgb colourOfGrab(int number)
{
    return qRgb((number * 70) % 256, 255 - number * 40, number * 25);
}

bool near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) < 8 && qAbs(qGreen(a) - qGreen(b)) < 8 &&
           qAbs(qBlue(a) - qBlue(b)) < 8;
}

frmCaptureDesktop* overlay()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("frmCaptureDesktop"))
            return static_cast<frmCaptureDesktop*>(window);
    return nullptr;
}

void mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button,
           Qt::MouseButtons held, Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held, keys);
    QCoreApplication::sendEvent(target, &event);
}

void drag(QWidget* target, QPoint from, QPoint to, Qt::KeyboardModifiers atRelease = Qt::NoModifier)
{
    mouse(target, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    mouse(target, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    mouse(target, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    mouse(target, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton, atRelease);
}

} // namespace

class TestCapture : public QObject, test::WindowUnderTest
{
    Q_OBJECT

    FakeScreenGrabber* grabber = nullptr;
    FakeActiveWindow* activeWindow = nullptr;
    FakeHotKeys* hotKeys = nullptr;
    QImage screen = test::patternImage(320, 200, 7);

    void makeWindow(const QString& commandLine = QString())
    {
        w.reset();
        s = test::makeStandIns();
        auto fakeGrabber = std::make_unique<FakeScreenGrabber>(screen);
        auto fakeWindow = std::make_unique<FakeActiveWindow>();
        auto fakeKeys = std::make_unique<FakeHotKeys>();
        grabber = fakeGrabber.get();
        activeWindow = fakeWindow.get();
        hotKeys = fakeKeys.get();
        s.services.grabber = std::move(fakeGrabber);
        s.services.activeWindow = std::move(fakeWindow);
        s.services.hotKeys = std::move(fakeKeys);
        const QString conf = test::scratchFolder() + "/capture.conf";
        QFile::remove(conf);
        open(conf, commandLine);
        w->show();
    }

    // A titled, unsaved document whose state an abandoned capture must keep.
    QImage openDirtyPicture()
    {
        const QString file = test::scratchFolder() + "/before.bmp";
        test::patternImage(40, 30, 3).save(file);
        if (!w->LoadImageFile(file))
            return QImage();
        doc().setDirty(true);
        return doc().canvas();
    }

    frmCaptureDesktop* waitForOverlay()
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 3000) {
            frmCaptureDesktop* found = overlay();
            if (found && found->isVisible())
                return found;
            QTest::qWait(10);
        }
        return nullptr;
    }

private slots:
    void init() { makeWindow(); }
    void cleanup()
    {
        w.reset();
        QTest::qWait(1);
    }

    void desktopCaptureLandsOnCanvasUntitledAndUnsaved()
    {
        openDirtyPicture();
        trigger("mnuDesktop");
        QVERIFY(!w->isVisible()); // out of the picture until the delay has passed
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 3000);
        QCOMPARE(doc().canvas(), screen);
        QCOMPARE(doc().committed(), screen);
        QVERIFY(doc().isDirty());
        QVERIFY(doc().filePath().isEmpty());
        QCOMPARE(w->windowTitle(), QString(texts::UntitledCaption));
        QCOMPARE(s.messages->count(), 0);
        QCOMPARE(grabber->grabCount(), 1);
    }

    // A desktop that hands out its picture later, from the event loop: each
    // kind of capture goes on when the answer comes.
    void capturesGoOnWhenTheGrabIsAnsweredLater_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QRect>("kept");
        QTest::newRow("full screen") << "mnuDesktop" << QRect(0, 0, 320, 200);
        QTest::newRow("rectangle") << "mnuRectangle" << QRect(11, 21, 98, 48);
        QTest::newRow("active window") << "mnuWindow" << QRect(30, 40, 120, 90);
    }

    void capturesGoOnWhenTheGrabIsAnsweredLater()
    {
        QFETCH(QString, command);
        QFETCH(QRect, kept);
        grabber->setAnswersLater(true);
        activeWindow->setFrame(kept);
        trigger(command.toLatin1().constData());
        if (command == "mnuRectangle") {
            frmCaptureDesktop* o = waitForOverlay();
            QVERIFY(o);
            drag(o, {10, 20}, {110, 70});
        }
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 3000);
        QCOMPARE(doc().canvas(), screen.copy(kept));
        QCOMPARE(grabber->grabCount(), 1);
        QCOMPARE(s.messages->count(), 0);
    }

    void commandsDuringTheDelayKeepTheLatestKind()
    {
        trigger("mnuWindow");
        trigger("mnuDesktop");
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 3000);
        QCOMPARE(doc().canvas(), screen); // the window capture was replaced
        QCOMPARE(s.messages->count(), 0);
    }

    void rectangleKeepsTheInsideOfTheBand_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QRect>("kept");
        QTest::newRow("down right") << QPoint(10, 20) << QPoint(110, 70) << QRect(11, 21, 98, 48);
        QTest::newRow("up left, same corners")
            << QPoint(110, 70) << QPoint(10, 20) << QRect(11, 21, 98, 48);
        QTest::newRow("9 pixels apart gives 7 x 7")
            << QPoint(30, 30) << QPoint(39, 39) << QRect(31, 31, 7, 7);
        QTest::newRow("to the last pixel")
            << QPoint(0, 0) << QPoint(319, 199) << QRect(1, 1, 317, 197);
    }

    void rectangleKeepsTheInsideOfTheBand()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(QRect, kept);
        trigger("mnuRectangle");
        frmCaptureDesktop* o = waitForOverlay();
        QVERIFY(o);
        QVERIFY(!w->isVisible());
        QCOMPARE(o->geometry(), QRect(0, 0, 320, 200));
        drag(o, from, to);
        QVERIFY(!o->isVisible());
        QVERIFY(w->isVisible());
        QCOMPARE(doc().canvas(), screen.copy(kept));
        QCOMPARE(doc().committed(), doc().canvas());
        QVERIFY(doc().isDirty());
        QCOMPARE(w->windowTitle(), QString(texts::UntitledCaption));
    }

    void bandIsPaintedOverTheFrozenScreenNeverIntoIt()
    {
        trigger("mnuRectangle");
        frmCaptureDesktop* o = waitForOverlay();
        QVERIFY(o);
        mouse(o, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
        mouse(o, QEvent::MouseMove, {60, 50}, Qt::NoButton, Qt::LeftButton);
        QVERIFY(o->bandShown());
        QCOMPARE(o->frozenImage(), screen);
        const QImage shown = o->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.pixel(5, 30), screen.pixel(5, 30) ^ 0x00ffffffu);   // left edge inverted
        QCOMPARE(shown.pixel(60, 50), screen.pixel(60, 50) ^ 0x00ffffffu); // corner, once
        QCOMPARE(shown.pixel(30, 30), screen.pixel(30, 30));               // inside untouched
        mouse(o, QEvent::MouseButtonRelease, {60, 50}, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(doc().canvas(), screen.copy(6, 6, 53, 43));
    }

    void shiftReleaseDiscardsTheDragAndWaitsForAnother()
    {
        trigger("mnuRectangle");
        frmCaptureDesktop* o = waitForOverlay();
        QVERIFY(o);
        drag(o, {10, 10}, {100, 100}, Qt::ShiftModifier);
        QVERIFY(o->isVisible());
        QVERIFY(!o->bandShown());
        QVERIFY(!w->isVisible());
        QVERIFY(doc().canvas().isNull());
        const QImage shown = o->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown, screen); // the frozen screen is unmarked
        drag(o, {20, 20}, {50, 40});
        QCOMPARE(doc().canvas(), screen.copy(21, 21, 28, 18));
        QVERIFY(w->isVisible());
    }

    void tooSmallDragLeavesTheDocumentExactlyAsItWas_data()
    {
        QTest::addColumn<QPoint>("to");
        QTest::newRow("plain click") << QPoint(50, 50);
        QTest::newRow("8 pixels wide") << QPoint(58, 90);
        QTest::newRow("8 pixels high") << QPoint(90, 58);
    }

    void tooSmallDragLeavesTheDocumentExactlyAsItWas()
    {
        QFETCH(QPoint, to);
        const QImage before = openDirtyPicture();
        QVERIFY(!before.isNull());
        const QString title = w->windowTitle();
        const QString path = doc().filePath();
        trigger("mnuRectangle");
        frmCaptureDesktop* o = waitForOverlay();
        QVERIFY(o);
        drag(o, {50, 50}, to);
        QVERIFY(!o->isVisible());
        QVERIFY(w->isVisible());
        QCOMPARE(doc().canvas(), before);
        QCOMPARE(doc().filePath(), path);
        QCOMPARE(w->windowTitle(), title);
        QVERIFY(doc().isDirty());
        QCOMPARE(s.messages->count(), 0);
    }

    void escapeAbandonsTheCaptureMidDragOrBefore()
    {
        const QImage before = openDirtyPicture();
        const QString title = w->windowTitle();
        for (bool midDrag : {true, false}) {
            trigger("mnuRectangle");
            frmCaptureDesktop* o = waitForOverlay();
            QVERIFY(o);
            if (midDrag) {
                mouse(o, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
                mouse(o, QEvent::MouseMove, {90, 80}, Qt::NoButton, Qt::LeftButton);
            }
            QTest::keyClick(o, Qt::Key_Escape);
            QVERIFY(!o->isVisible());
            QVERIFY(!o->bandShown());
            QVERIFY(w->isVisible());
            QCOMPARE(doc().canvas(), before);
            QCOMPARE(w->windowTitle(), title);
            QVERIFY(doc().isDirty());
        }
        QCOMPARE(s.messages->count(), 0);
    }

    // The button went down before the overlay appeared, so its events go to
    // another window: the band starts where the pointer is as the overlay
    // shows and follows it until the button comes up.
    void dragBegunBeforeTheOverlayShowsGoesOnOnIt()
    {
        grabber->setPointer(PointerState{{30, 40}, true, false});
        trigger("mnuRectangle");
        frmCaptureDesktop* o = waitForOverlay();
        QVERIFY(o);
        QCOMPARE(o->startPoint(), QPointF(30, 40));
        grabber->setPointer(PointerState{{130, 100}, true, false});
        QTRY_COMPARE(o->currentPoint(), QPointF(130, 100));
        QVERIFY(o->bandShown());
        grabber->setPointer(PointerState{{130, 100}, false, true}); // Shift: discarded
        QTRY_VERIFY(!o->bandShown());
        QTest::qWait(50);
        QVERIFY(o->isVisible());
        // A press on the shown overlay starts a new band as always.
        drag(o, {20, 20}, {50, 40});
        QCOMPARE(doc().canvas(), screen.copy(21, 21, 28, 18));
        grabber->setPointer(PointerState{{10, 10}, true, false});
        trigger("mnuRectangle");
        o = waitForOverlay();
        grabber->setPointer(PointerState{{110, 90}, false, false});
        QTRY_VERIFY(w->isVisible());
        QCOMPARE(doc().canvas(), screen.copy(11, 11, 98, 78));
    }

    void rightReleaseUsesTheStartOfTheLastDrag()
    {
        trigger("mnuRectangle");
        frmCaptureDesktop* o = waitForOverlay();
        drag(o, {10, 10}, {40, 40});
        trigger("mnuRectangle");
        o = waitForOverlay();
        QVERIFY(o);
        mouse(o, QEvent::MouseButtonRelease, {100, 80}, Qt::RightButton, Qt::NoButton);
        QCOMPARE(doc().canvas(), screen.copy(11, 11, 88, 68));
    }

    void activeWindowCaptureTakesItsFrame()
    {
        w->showMaximized();
        activeWindow->setFrame(QRect(30, 40, 120, 90));
        trigger("mnuWindow");
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 3000);
        QCOMPARE(doc().canvas(), screen.copy(30, 40, 120, 90));
        QVERIFY(doc().isDirty());
        QVERIFY(w->isMaximized());        // the state before the command comes back
        QCOMPARE(s.messages->count(), 0); // no clipboard service here: skipped quietly
    }

    void noActiveWindowIsSaidAndChangesNothing()
    {
        const QImage before = openDirtyPicture();
        activeWindow->setNone(QString::fromUtf8(texts::NoActiveWindow));
        trigger("mnuWindow");
        QTRY_COMPARE_WITH_TIMEOUT(s.messages->count(), 1, 3000);
        QCOMPARE(s.messages->last().text, QString::fromUtf8(texts::NoActiveWindow));
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
        QVERIFY(w->isVisible());
        QCOMPARE(doc().canvas(), before);
        QVERIFY(doc().isDirty());
        QCOMPARE(grabber->grabCount(), 0);
    }

    void failedGrabIsReportedAndChangesNothing()
    {
        const QImage before = openDirtyPicture();
        grabber->setFailure("The screen could not be read from the X server (error 8).");
        trigger("mnuDesktop");
        QTRY_COMPARE_WITH_TIMEOUT(s.messages->count(), 1, 3000);
        QCOMPARE(s.messages->last().text,
                 QString("The screen could not be read from the X server (error 8)."));
        QVERIFY(w->isVisible());
        QCOMPARE(doc().canvas(), before);
        QVERIFY(doc().isDirty());
    }

    void noGrabberMeansCaptureUnavailable()
    {
        s.services.grabber.reset();
        trigger("mnuRectangle");
        QTRY_COMPARE_WITH_TIMEOUT(s.messages->count(), 1, 3000);
        QCOMPARE(s.messages->last().text, QString::fromUtf8(texts::CaptureUnavailable));
        QVERIFY(w->isVisible());
    }

    void autoCaptureSavesNFilesInNPlusOneTicks()
    {
        const QString folder = test::scratchFolder() + "/series";
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        w->settings().AutoFolder = folder + "/"; // a trailing separator is fine
        w->settings().AutoInterval = 0.2f;
        w->settings().AutoImagesNum = 3;
        grabber->setGenerator([](int n) { return solid(colourOfGrab(n)); });
        bool shownDuringSeries = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            shownDuringSeries =
                shownDuringSeries || (w->capture().AutoCaptureActive() && w->isVisible());
        });
        watch.start(5);
        trigger("mnuAutoCapture");
        QVERIFY(!w->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(s.messages->count(), 1, 5000);
        watch.stop();
        QCOMPARE(s.messages->last().text,
                 QString("3 desktop images have been captured\r\n and saved in ") + folder + "/");
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
        QVERIFY(!shownDuringSeries);
        QVERIFY(w->isVisible());
        QVERIFY(!w->capture().AutoCaptureActive());
        QCOMPARE(grabber->grabCount(), 3); // tick 4 only saves and ends
        QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name),
                 (QStringList{"Screen1.jpg", "Screen2.jpg", "Screen3.jpg"}));
        for (int n = 1; n <= 3; ++n) {
            const QImage saved(folder + QString("/Screen%1.jpg").arg(n));
            QVERIFY2(near(saved.pixel(32, 24), colourOfGrab(n)), qPrintable(QString::number(n)));
        }
        QCOMPARE(doc().filePath(), folder + "/Screen3.jpg");
        QVERIFY(!doc().isDirty());
        // A new series goes on numbering from 1 again.
        s.messages->clear();
        trigger("mnuAutoCapture");
        QTRY_COMPARE_WITH_TIMEOUT(s.messages->count(), 1, 5000);
        QVERIFY(near(QImage(folder + "/Screen1.jpg").pixel(1, 1), colourOfGrab(4)));
    }

    void autoCaptureRefusesAMissingFolder_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("missing") << test::scratchFolder() + "/nowhere";
        QTest::newRow("a file") << test::scratchFolder() + "/capture.conf";
        QTest::newRow("not writable") << QString("/proc");
    }

    void autoCaptureRefusesAMissingFolder()
    {
        QFETCH(QString, folder);
        const QImage before = openDirtyPicture();
        w->settings().AutoFolder = folder;
        w->settings().AutoInterval = 0.2f;
        trigger("mnuAutoCapture");
        QTRY_COMPARE_WITH_TIMEOUT(s.messages->count(), 1, 3000);
        QCOMPARE(s.messages->last().text, QString::fromUtf8(texts::AutoFolderMissing));
        QTest::qWait(500);
        QCOMPARE(s.messages->count(), 1); // the series stopped
        QVERIFY(w->isVisible());
        QVERIFY(!w->capture().AutoCaptureActive());
        QCOMPARE(grabber->grabCount(), 0);
        QCOMPARE(doc().canvas(), before);
    }

    void autoCaptureEndsWhenASaveFails()
    {
        const QString folder = test::scratchFolder() + "/vanishing";
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        w->settings().AutoFolder = folder;
        w->settings().AutoInterval = 0.2f;
        w->settings().AutoImagesNum = 5;
        // The folder turns into a read-only place after the first file.
        connect(&doc(), &ImageDocument::titleChanged, this, [&](const QString& title) {
            if (title.endsWith("Screen1.jpg"))
                w->settings().AutoFolder = "/proc";
        });
        trigger("mnuAutoCapture");
        QTRY_COMPARE_WITH_TIMEOUT(s.messages->count(), 1, 5000);
        QCOMPARE(s.messages->last().text, QString::fromUtf8(texts::AutoFolderMissing));
        QVERIFY(QFileInfo(folder + "/Screen1.jpg").size() > 0); // the file written stays
        QVERIFY(w->isVisible());
        QVERIFY(!w->capture().AutoCaptureActive());
    }

    void failedGrabEndsASeriesBeforeItsMessage()
    {
        const QString folder = test::scratchFolder() + "/broken";
        QVERIFY(QDir().mkpath(folder));
        w->settings().AutoFolder = folder;
        w->settings().AutoInterval = 0.2f;
        w->settings().AutoImagesNum = 5;
        grabber->setGenerator([this](int n) {
            if (n == 2)
                grabber->setFailure("The screen could not be read from the X server (error 8).");
            return solid(colourOfGrab(n));
        });
        trigger("mnuAutoCapture");
        QTRY_COMPARE_WITH_TIMEOUT(s.messages->count(), 1, 3000);
        QVERIFY(!w->capture().AutoCaptureActive());
        QTest::qWait(600);
        QCOMPARE(s.messages->count(), 1);
        QVERIFY(w->isVisible());
        QVERIFY(QFile::exists(folder + "/Screen1.jpg"));
    }

    void hotKeysAreRegisteredFromTheSettings()
    {
        w->Load();
        for (int id = 0; id < 3; ++id) {
            QVERIFY(hotKeys->isRegistered(id));
            QVERIFY(w->capture().HotKeyRegistered(id));
            QCOMPARE(hotKeys->key(id).modifiers, 1);
            QCOMPARE(hotKeys->key(id).virtualKey, 121 + id);
        }
        QCOMPARE(s.messages->count(), 0);
        w->capture().UnRegHotKeys();
        QVERIFY(!hotKeys->isRegistered(0) && !hotKeys->isRegistered(2));
        QVERIFY(w->capture().HotKeyRegistered(1)); // flags read true after unregistering
    }

    void failedRegistrationIsOneCriticalMessageAfterAllThreeTries()
    {
        hotKeys->refuseKey(121);
        hotKeys->refuseKey(123);
        w->Load();
        QCOMPARE(hotKeys->attempts(), 3);
        QVERIFY(!w->capture().HotKeyRegistered(0));
        QVERIFY(w->capture().HotKeyRegistered(1));
        QVERIFY(!w->capture().HotKeyRegistered(2));
        QCOMPARE(s.messages->count(), 1);
        QCOMPARE(s.messages->last().icon, MsgIcon::Critical);
        QCOMPARE(s.messages->last().text,
                 QString("Can't register one or more hotkeys.They may be used by other "
                         "applications.\r\nPlease go to Tool --> Options menu and select "
                         "different set of hot keys."));
    }

    void badHotKeySettingCountsAsAFailedRegistration()
    {
        w->settings().HotKeyWin = "x";
        QVERIFY(!w->capture().registerHotKeySet());
        QVERIFY(!w->capture().HotKeyRegistered(2));
        QCOMPARE(s.messages->last().icon, MsgIcon::Critical);
    }

    // A desktop that binds the keys answers later: its refusal is one
    // critical message, and the window goes on working.
    void keysTheDesktopLaterRefusesAreOneMessage()
    {
        load();
        QCOMPARE(s.messages->count(), 0);
        emit hotKeys->bindingFailed("refused (response 2)");
        QCOMPARE(s.messages->count(), 1);
        QCOMPARE(s.messages->last().icon, MsgIcon::Critical);
        QCOMPARE(s.messages->last().text, QString("refused (response 2)"));
        QVERIFY(!w->capture().HotKeyRegistered(1));
        QVERIFY(w->isVisible());
    }

    void processViewingAFileRegistersNoHotKeys()
    {
        makeWindow("/nonexistent/picture.bmp");
        s.messages->clear();
        w->Load();
        QCOMPARE(hotKeys->attempts(), 0);
        w->capture().UnRegHotKeys();
    }

    // Load and its start-up tick, which shows the window once more.
    void load()
    {
        QSignalSpy tick(w.get(), &frmViewImage::startupTickRan);
        w->Load();
        QVERIFY(tick.wait(2000));
    }

    void hotKeyStartsItsCapture()
    {
        load();
        w->findChild<QToolBar*>("Toolbar1")->setEnabled(false);
        QVERIFY(hotKeys->press(1)); // Alt+F11: full screen
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 3000);
        QCOMPARE(doc().canvas(), screen);
        QVERIFY(w->findChild<QToolBar*>("Toolbar1")->isEnabled());
    }

    void hotKeysRegisteredLaterWorkAtOnce()
    {
        QVERIFY(registry->createKey(SettingsKey));
        QVERIFY(registry->writeString(SettingsKey, "HotKeyPresent", "0"));
        load();
        QCOMPARE(hotKeys->attempts(), 0);
        // The options turn the keys on: registered, and working without a restart.
        w->settings().HotKeyDesk = "6,65"; // Control+Shift+A
        QVERIFY(w->capture().registerHotKeySet());
        QCOMPARE(hotKeys->key(1).modifiers, 6);
        QVERIFY(hotKeys->press(1));
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(doc().canvas(), screen, 3000);
    }

    void hotKeyWithAnotherWindowOpenOnlyShowsTheNote()
    {
        load();
        QDialog other;
        other.show();
        QVERIFY(hotKeys->press(0));
        QTRY_COMPARE_WITH_TIMEOUT(s.messages->count(), 1, 1000);
        QCOMPARE(s.messages->last().icon, MsgIcon::Information);
        QCOMPARE(s.messages->last().text,
                 QString("Close 'Message window' or any 'modal windows' for Hot keys to "
                         "work.\r\n\r\nNOTE: A modal window is the one that retains\r\nthe "
                         "focus until you explicitly close it."));
        QTest::qWait(600);
        QVERIFY(w->isVisible());
        QCOMPARE(grabber->grabCount(), 0);
    }

    // A box would sit under the full-screen overlay and block it: the key
    // is ignored and the overlay goes on working.
    void hotKeyWhileTheOverlayShowsIsIgnored()
    {
        load();
        trigger("mnuRectangle");
        frmCaptureDesktop* o = waitForOverlay();
        QVERIFY(o);
        QVERIFY(hotKeys->press(1));
        QTest::qWait(600);
        QCOMPARE(s.messages->count(), 0);
        QVERIFY(o->isVisible());
        QCOMPARE(grabber->grabCount(), 1);
        drag(o, {0, 0}, {20, 20});
        QCOMPARE(doc().canvas(), screen.copy(1, 1, 18, 18));
    }
};

SNAPLORN_TEST_MAIN(TestCapture)
#include "tst_capture.moc"
