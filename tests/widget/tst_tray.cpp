// Tray mode with a stand-in tray: hiding into the tray and coming back,
// the tray menu, the start-up tick, a desktop without a tray, and the
// icon's end with the program.
#include "TestSupport.h"
#include "WindowUnderTest.h"

#include "settings/Registry.h"
#include "base/Texts.h"
#include "document/ImageDocument.h"
#include "mainwindow/frmViewImage.h"
#include "platform/standins/FakeScreenGrabber.h"
#include "platform/standins/FakeTray.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QToolBar>

using namespace snaplorn;

class TestTray : public QObject, test::WindowUnderTest
{
    Q_OBJECT

    FakeTray* tray = nullptr;

    QToolBar* toolbar() const { return w->findChild<QToolBar*>("Toolbar1"); }
    QMenu* trayMenu() const { return w->findChild<QMenu*>("mnuPopup"); }
    bool popShowEnabled() const { return w->command("popShow")->isEnabled(); }

    void makeWindow(const QString& settings = QString())
    {
        w.reset();
        s = test::makeStandIns();
        auto fakeTray = std::make_unique<FakeTray>();
        tray = fakeTray.get();
        s.services.tray = std::move(fakeTray);
        s.services.grabber = std::make_unique<FakeScreenGrabber>(test::patternImage(64, 48));
        const QString conf = test::scratchFolder() + "/tray.conf";
        QFile::remove(conf);
        QFile file(conf);
        file.open(QIODevice::WriteOnly);
        file.write("[Software\\Quorvex\\Snaplorn21]\nHotKeyPresent=0\n" + settings.toUtf8());
        file.close();
        open(conf);
    }

    void showWindow()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }

private slots:
    void init()
    {
        qunsetenv("SNAPLORN_BROADCAST_URL");
        qputenv("SNAPLORN_BROADCAST_URL", "http://127.0.0.1:9");
        makeWindow();
    }
    void cleanup()
    {
        if (QMenu* menu = trayMenu())
            menu->hide();
        w.reset();
    }

    void hidingPutsTheIconUpAndDisablesTheToolbar()
    {
        showWindow();
        QVERIFY(!popShowEnabled());
        w->command("mnuHide")->trigger();
        QVERIFY(!w->isVisible());
        QVERIFY(tray->isShown());
        QCOMPARE(tray->toolTip, QStringLiteral("Snaplorn -  Right Click to activate "));
        QVERIFY(!toolbar()->isEnabled());
        QVERIFY(popShowEnabled());
    }

    void doubleClickRestoresAndTheIconStays()
    {
        showWindow();
        w->showMaximized();
        w->command("mnuHide")->trigger();
        tray->doubleClick();
        QVERIFY(w->isVisible());
        QVERIFY(!w->isMaximized() && !w->isMinimized());
        QVERIFY(toolbar()->isEnabled());
        QVERIFY(!popShowEnabled());
        QVERIFY(tray->isShown());
        // The icon keeps answering after a restore.
        w->command("mnuHide")->trigger();
        QVERIFY(!w->isVisible());
        tray->doubleClick();
        QVERIFY(w->isVisible());
        // Hiding again keeps the one icon.
        QCOMPARE(tray->removeCount, 0);
    }

    void showApplicationRestores()
    {
        showWindow();
        w->command("mnuHide")->trigger();
        w->command("popShow")->trigger();
        QVERIFY(w->isVisible());
        QVERIFY(toolbar()->isEnabled());
        QVERIFY(!popShowEnabled());
    }

    void rightClickOpensTheMenuAlsoWhileTheWindowShows()
    {
        showWindow();
        w->command("mnuHide")->trigger();
        tray->rightClick(QPoint(100, 100));
        QTRY_VERIFY(trayMenu()->isVisible());
        QVERIFY(popShowEnabled());
        trayMenu()->hide();
        tray->doubleClick();
        tray->rightClick(QPoint(100, 100));
        QTRY_VERIFY(trayMenu()->isVisible());
        QVERIFY(!popShowEnabled());
        QStringList entries;
        for (QAction* a : trayMenu()->actions())
            entries << (a->isSeparator() ? "-" : a->objectName() + (a->isEnabled() ? "" : "(off)"));
        QCOMPARE(entries, QStringList({"popDesktop", "popRectangle", "popWindow", "-", "popAbout",
                                       "popShow(off)", "-", "popExit"}));
    }

    void trayCaptureEnablesTheToolbarAndLandsTheImage()
    {
        showWindow();
        w->command("mnuHide")->trigger();
        w->command("popDesktop")->trigger();
        QVERIFY(toolbar()->isEnabled());
        QTRY_COMPARE(w->document().canvas().size(), QSize(64, 48));
        QVERIFY(w->document().isDirty());
    }

    void activeWindowCaptureShowsTheWindowAtOnce()
    {
        showWindow();
        w->command("mnuHide")->trigger();
        w->command("popWindow")->trigger();
        QVERIFY(w->isVisible());
        QVERIFY(toolbar()->isEnabled());
        QVERIFY(!popShowEnabled());
    }

    void aboutFromTheTrayStandsAlone()
    {
        w->command("mnuHide")->trigger();
        w->command("popAbout")->trigger();
        QWidget* about = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "frmAbout" && top->isVisible())
                about = top;
        QVERIFY(about);
        QVERIFY(!about->isModal());
        about->close();
    }

    void withoutATrayTheWindowIsMinimised()
    {
        tray->available = false;
        showWindow();
        w->command("mnuHide")->trigger();
        QTRY_VERIFY(w->isMinimized());
        QVERIFY(!tray->isShown());
        QVERIFY(toolbar()->isEnabled());
        QVERIFY(!popShowEnabled());
    }

    void withoutATrayServiceTheWindowIsMinimised()
    {
        s.services.tray.reset();
        tray = nullptr;
        showWindow();
        w->command("mnuHide")->trigger();
        QTRY_VERIFY(w->isMinimized());
    }

    void runInTrayGoesToTheTrayOnTheStartUpTick()
    {
        makeWindow("RunInTray=1\n");
        QSignalSpy tick(w.get(), &frmViewImage::startupTickRan);
        w->Load();
        QVERIFY(tick.wait(2000));
        QCOMPARE(tick.first().first().toBool(), true); // shown first, then into the tray
        QVERIFY(!w->isVisible());
        QVERIFY(tray->isShown());
        QVERIFY(!toolbar()->isEnabled());
    }

    void runInTrayWithoutATrayMinimises()
    {
        makeWindow("RunInTray=1\n");
        tray->available = false;
        QSignalSpy tick(w.get(), &frmViewImage::startupTickRan);
        w->Load();
        QVERIFY(tick.wait(2000));
        QTRY_VERIFY(w->isMinimized());
    }

    void exitFromTheTrayAsksAboutTheUnsavedImage()
    {
        showWindow();
        w->document().setCanvas(test::patternImage(8, 8));
        w->document().setDirty(true);
        w->command("mnuHide")->trigger();
        QSignalSpy ending(w.get(), &frmViewImage::programEnding);
        s.messages->queueAnswer(MsgAnswer::Cancel);
        w->command("popExit")->trigger();
        QCOMPARE(s.messages->last().text, QString::fromUtf8(texts::AskSave));
        QCOMPARE(s.messages->last().buttons, MsgButtons::YesNoCancel);
        QCOMPARE(ending.count(), 0);
        QVERIFY(tray->isShown());
        QVERIFY(!w->isVisible());
        s.messages->queueAnswer(MsgAnswer::No);
        w->command("popExit")->trigger();
        QCOMPARE(ending.count(), 1);
        QVERIFY(!tray->isShown());
    }

    void closingRemovesTheIconEvenWhenNoneWasShown()
    {
        showWindow();
        w->close();
        QCOMPARE(tray->removeCount, 1);
    }
};

SNAPLORN_TEST_MAIN(TestTray)
#include "tst_tray.moc"
