#include "TestSupport.h"

#include "base/Paths.h"
#include "base/Texts.h"
#include "document/ImageDocument.h"
#include "mainwindow/frmAbout.h"
#include "mainwindow/frmViewImage.h"
#include "options/frmOption.h"
#include "output/frmEmail.h"
#include "platform/standins/FakeMailer.h"
#include "settings/Registry.h"
#include "tools/Toolbox.h"

#include <QAccessible>
#include <QAccessibleActionInterface>

#include <QAction>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>

using namespace snaplorn;

class TestMainWindow : public QObject
{
    Q_OBJECT

    test::StandIns s;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<frmViewImage> window;

private slots:
    void init()
    {
        s = test::makeStandIns();
        registry = std::make_unique<Registry>(test::scratchFolder() + "/mw.conf");
        window = std::make_unique<frmViewImage>(s.services, *registry, QString());
        window->resize(900, 700);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() { window.reset(); }

    void menuBarHasTheSixMenusInOrder()
    {
        QStringList captions;
        for (QAction* a : window->menuBar()->actions())
            captions << a->text();
        QCOMPARE(captions,
                 QStringList({"&File", "&Edit", "&Capture", "&Image", "&Tools", "&Help"}));
    }

    void menuEntriesHaveCaptionsAndShortcuts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        const char* rows[][3] = {
            {"mnuNew", "&New", ""},
            {"mnuOpen", "&Open...", "Ctrl+O"},
            {"mnuSave", "&Save", "Ctrl+S"},
            {"mnuSaveAs", "Save &As...", ""},
            {"mnuPageSetup", "Print Se&tup...", ""},
            {"mnuPrint", "&Print", "Ctrl+P"},
            {"mnuHide", "&Minimize App. to Tray", "F4"},
            {"mnuSend", "Send Image by &Email...", "Ctrl+E"},
            {"mnuWallPaperCenter", "&Centered", ""},
            {"mnuWallPaperTile", "&Tiled", ""},
            {"mnuWallPaperStretch", "&Stretched", ""},
            {"mnuWallPaperRemove", "&Remove Wallpaper", ""},
            {"mnuExit", "E&xit", ""},
            {"mnuUndo", "U&ndo", "Ctrl+Z"},
            {"mnuRedo", "&Redo", "Ctrl+Y"},
            {"mnuCut", "C&ut", "Ctrl+X"},
            {"mnuCopy", "&Copy", "Ctrl+C"},
            {"mnuPaste", "&Paste", "Ctrl+V"},
            {"mnuDesktop", "&Full Screen", "F12"},
            {"mnuRectangle", "Any &Rectangular Area", "F5"},
            {"mnuWindow", "Active &Window", ""},
            {"mnuAutoCapture", "Start &Auto Capture", ""},
            {"mnuZoomIn", "&Enlarge", "F2"},
            {"mnuZoomOut", "&Shrink", "F3"},
            {"mnuFitToWin", "&Fit To Window", ""},
            {"mnuCrop", "&Crop Image", ""},
            {"mnuGrayScale", "&Grayscale - Make Gray", ""},
            {"mnuInvertColor", "&Invert Color", "Ctrl+I"},
            {"mnuFlipHor", "Flip &Horizontal", ""},
            {"mnuFlipVert", "Flip &Vertical", ""},
            {"mnuAttribute", "Image &Attributes...", ""},
            {"mnuShowToolbox", "&Show Toolbox", ""},
            {"mnuCopyToClipboard", "&Copy Image to Clipboard", "Ctrl+R"},
            {"mnuClearClipboard", "C&lear Clipboard", ""},
            {"mnuCaptureOptions", "&Options...", ""},
            {"mnuHelpContents", "&Help Contents...", "F1"},
            {"mnuWebsite", "&Quorvex Systems Online...", ""},
            {"mnuHelpAbout", "&About Snaplorn...", ""},
            {"popDesktop", "Capture &Full Screen", ""},
            {"popRectangle", "Capture &Rectangular Area", ""},
            {"popWindow", "Capture Active &Window", ""},
            {"popAbout", "&About Snaplorn...", ""},
            {"popShow", "&Show Application...", ""},
            {"popExit", "E&xit", ""},
            {"mnuPopCopyImage", "Copy &Image to Clipboard", ""},
            {"mnuPopCopyColor", "&Original Hex Color", ""},
            {"mnuPopCopySafeColor", "&Nearest Web-safe Color", ""},
            {"mnuPopAttrib", "Image Attributes...", ""},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << row[0] << row[1] << row[2];
    }
    void menuEntriesHaveCaptionsAndShortcuts()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        QAction* action = window->command(name);
        QVERIFY(action);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut(), QKeySequence(shortcut));
    }

    void everyMenuEntryHasItsOwnAccessKey()
    {
        for (QMenu* menu : window->findChildren<QMenu*>()) {
            QSet<QString> keys;
            for (QAction* a : menu->actions()) {
                const QString key = QKeySequence::mnemonic(a->text()).toString();
                if (a->isSeparator() || key.isEmpty())
                    continue;
                QVERIFY2(!keys.contains(key), qPrintable(menu->objectName() + ": " + a->text()));
                keys << key;
            }
        }
        // Alt+F, A: the open File menu takes the access key of Save As.
        auto* file = window->findChild<QMenu*>("mnuFile");
        window->menuBar()->setActiveAction(file->menuAction());
        QTRY_VERIFY(file->isVisible());
        QTest::keyClick(file, Qt::Key_A);
        QCOMPARE(s.dialogs->requests.size(), 1);
        QCOMPARE(s.dialogs->requests[0].kind, QString("save"));
    }

    void submenusAndPopupsExist()
    {
        const char* names[][2] = {{"mnuWallPaper", "Set As &Wallpaper"},
                                  {"mnuCopyHexColor", "&Copy Color to Clipboard"},
                                  {"mnuPopup", nullptr},
                                  {"mnuPopupPicSel", nullptr}};
        for (const auto& [name, caption] : names) {
            auto* menu = window->findChild<QMenu*>(name);
            QVERIFY2(menu, name);
            if (caption)
                QCOMPARE(menu->title(), QString(caption));
        }
        // The two pop-up menus never show in the menu bar.
        for (QAction* a : window->menuBar()->actions())
            QVERIFY(a->menu()->objectName() != "mnuPopup" &&
                    a->menu()->objectName() != "mnuPopupPicSel");
        QStringList tray;
        for (QAction* a : window->findChild<QMenu*>("mnuPopup")->actions())
            tray << (a->isSeparator() ? "-" : a->objectName());
        QCOMPARE(tray, QStringList({"popDesktop", "popRectangle", "popWindow", "-", "popAbout",
                                    "popShow", "-", "popExit"}));
    }

    void toolbarHas29PositionsWithTipsAndKeys()
    {
        auto* bar = window->findChild<QToolBar*>("Toolbar1");
        QVERIFY(bar);
        const QList<QAction*> actions = bar->actions();
        QCOMPARE(actions.size(), 29);
        const QList<int> separators = {4, 7, 11, 14, 16, 20, 24, 28};
        const QStringList tips = {"New image",
                                  "Open an image file",
                                  "Save image",
                                  "-",
                                  "Print image to default printer",
                                  "Send image by email",
                                  "-",
                                  "Capture Full Screen",
                                  "Capture a rectangular area",
                                  "Capture active window",
                                  "-",
                                  "Undo last edit",
                                  "Redo edit",
                                  "-",
                                  "Show/Hide Toolbox",
                                  "-",
                                  "Cut a portion of image",
                                  "Copy a portion of image to clipboard",
                                  "Paste image from clipboard",
                                  "-",
                                  "Enlarge image",
                                  "Shrink image",
                                  "Fit image to window",
                                  "-",
                                  "Flip image horizontally",
                                  "Flip image vertically",
                                  "Invert image color",
                                  "-",
                                  "Open Help file"};
        for (int i = 0; i < 29; ++i) {
            QCOMPARE(actions.at(i)->isSeparator(), separators.contains(i + 1));
            if (!actions.at(i)->isSeparator())
                QCOMPARE(actions.at(i)->toolTip(), tips.at(i));
        }
        const QStringList keyed = {"undo", "redo", "cut", "copy", "paste"};
        const QStringList commands = {"mnuUndo", "mnuRedo", "mnuCut", "mnuCopy", "mnuPaste"};
        for (int i = 0; i < keyed.size(); ++i)
            QCOMPARE(window->toolbarButton(keyed.at(i))->objectName(), commands.at(i));
        for (QAction* a : actions)
            if (!a->isSeparator())
                QVERIFY2(!a->icon().isNull(), qPrintable(a->objectName()));
    }

    void controlsCarryTheirNames()
    {
        for (const char* name :
             {"picSelImage", "picSelImageFrame", "HScroll1", "VScroll1", "frEdit", "StatusBar1",
              "Toolbar1", "tmrBroadcast", "tmrActivatePaste"})
            QVERIFY2(window->findChild<QObject*>(name), name);
        QCOMPARE(window->findChild<QGroupBox*>("frEdit")->title(), QString("Toolbox"));
    }

    // What an assistive tool reads: every control that can take the focus
    // in the main window and its dialogs has a name.
    void everyFocusableControlHasAName()
    {
        FakeMailer mailer;
        frmOption options(window->settings(), *s.messages, *s.dialogs,
                          [](const AppSettings&, bool) { return true; });
        frmEmail email(mailer, *s.messages, test::scratchFolder() + "/a.jpg");
        frmAbout about(*s.shell, *s.messages);
        for (QWidget* top :
             std::initializer_list<QWidget*>{window.get(), &options, &email, &about}) {
            top->show();
            for (QWidget* control : top->findChildren<QWidget*>()) {
                if (control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(top))
                    continue;
                QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(control);
                const QString what = top->objectName() + "/" + control->objectName() + " (" +
                                     control->metaObject()->className() + ")";
                QVERIFY2(seen && !seen->text(QAccessible::Name).trimmed().isEmpty(),
                         qPrintable(what));
            }
        }
        // The palette's cells and the pen widths are items of their own.
        QAccessibleInterface* palette =
            QAccessible::queryAccessibleInterface(window->findChild<QWidget*>("PicMiniPal"));
        QCOMPARE(palette->childCount(), 16);
        QCOMPARE(palette->child(6)->text(QAccessible::Name), QString("Olive"));
        QAccessibleInterface* widths =
            QAccessible::queryAccessibleInterface(window->findChild<QWidget*>("picPenSize"));
        QCOMPARE(widths->childCount(), 3);
        QCOMPARE(widths->child(1)->text(QAccessible::Name), QString("4 pixels"));
        QVERIFY(widths->child(0)->state().selected);
        widths->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(window->toolbox().penWidth(), qint16(6));
    }

    void layoutKeepsMinimumSizeAndToolboxGap()
    {
        QCOMPARE(window->minimumSize(), QSize(586, 486));
        window->resize(300, 200);
        QCOMPARE(window->size(), QSize(586, 486));
        window->resize(900, 700);
        QTest::qWait(20);
        auto* frame = window->findChild<QWidget*>("picSelImageFrame");
        auto* vbar = window->findChild<QWidget*>("VScroll1");
        auto* hbar = window->findChild<QWidget*>("HScroll1");
        auto* toolbox = window->findChild<QWidget*>("frEdit");
        const int inner = window->centralWidget()->width();
        QCOMPARE(frame->width(), inner - vbar->width() - 120);
        QCOMPARE(vbar->x(), frame->x() + frame->width());
        QCOMPARE(hbar->y(), frame->y() + frame->height());
        QCOMPARE(hbar->width(), frame->width());
        QCOMPARE(toolbox->x(), vbar->x() + vbar->width() + 10);

        const int withToolbox = frame->width();
        window->command("mnuShowToolbox")->trigger();
        QVERIFY(!toolbox->isVisible());
        QVERIFY(!window->command("mnuShowToolbox")->isChecked());
        QCOMPARE(frame->width(), withToolbox + 120);
        window->command("mnuShowToolbox")->trigger();
        QVERIFY(toolbox->isVisible());
        QCOMPARE(frame->width(), withToolbox);
    }

    void readoutPanelKeepsRoomForItsLongestText()
    {
        auto panel = [&](int i) {
            return window->findChild<QWidget*>(QString("StatusBar1_Panel%1").arg(i));
        };
        const QString readout("Web color= #FFFFFF, RGB=(255,255,255)");
        const int needed = panel(1)->fontMetrics().horizontalAdvance(readout);
        for (const int width : {586, 800, 1400}) {
            window->resize(width, 600);
            QTRY_COMPARE(window->width(), width);
            QCoreApplication::processEvents();
            const QWidget* row = panel(1)->parentWidget();
            QVERIFY2(panel(1)->width() >= needed, qPrintable(QString::number(width)));
            // The panels follow each other without overlapping, inside the bar.
            for (int i = 1; i < 4; ++i)
                QVERIFY(panel(i)->geometry().right() < panel(i + 1)->x());
            QVERIFY(panel(4)->geometry().right() < row->width());
            QVERIFY(row->mapTo(window.get(), QPoint(row->width(), 0)).x() <= width);
        }
        // Where there is room the others keep their widths and panel 1 the rest.
        QCOMPARE(panel(2)->width(), 130);
        QCOMPARE(panel(3)->width(), 80);
        QCOMPARE(panel(1)->width(),
                 window->centralWidget()->width() - 130 - 80 - panel(4)->width() - 320);
    }

    void statusPanelClicksShowAndOpenTheWebAddress()
    {
        auto panel = [&](int i) {
            return window->findChild<QWidget*>(QString("StatusBar1_Panel%1").arg(i));
        };
        QCOMPARE(window->statusText(4), QString(texts::WebAddress));
        for (int i = 1; i <= 3; ++i)
            QTest::mouseClick(panel(i), Qt::LeftButton);
        QCOMPARE(window->statusText(1), QString(texts::WebAddress));
        QVERIFY(s.shell->opened.isEmpty());
        QTest::mouseClick(panel(4), Qt::LeftButton);
        QCOMPARE(s.shell->opened, QList<QUrl>{QUrl(texts::WebAddress)});
    }

    void helpContentsOpensTheHelpPageOrSaysSo()
    {
        window->command("mnuHelpContents")->trigger();
        QCOMPARE(s.shell->opened.size(), 1);
        QCOMPARE(s.shell->opened.first(), QUrl::fromLocalFile(paths::helpFile()));
        QCOMPARE(s.messages->count(), 0);
        s.shell->failWith = "nothing to open it with";
        window->command("mnuHelpContents")->trigger();
        QCOMPARE(s.messages->last().text, "An error occurred in openning the file: \r\n" +
                                              paths::helpFile() +
                                              "\r\nPlease open the file manually.");
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
        window->command("mnuWebsite")->trigger();
        QCOMPARE(s.messages->last().text, QString("nothing to open it with"));
    }

    void closingAsksAboutAnUnsavedImage()
    {
        QSignalSpy ending(window.get(), &frmViewImage::programEnding);
        window->document().newBlank();
        window->document().setDirty(true);
        s.messages->queueAnswer(MsgAnswer::Cancel);
        QVERIFY(!window->close());
        QCOMPARE(s.messages->last().text, QString(texts::AskSave));
        QCOMPARE(s.messages->last().buttons, MsgButtons::YesNoCancel);
        QCOMPARE(ending.count(), 0);
        // Yes, then a cancelled Save As dialog: still open, still unsaved.
        s.messages->queueAnswer(MsgAnswer::Yes);
        QVERIFY(!window->close());
        QCOMPARE(s.dialogs->requests.last().kind, QString("save"));
        QVERIFY(window->document().isDirty());
        QCOMPARE(ending.count(), 0);
        // No: the window closes and the program ends.
        s.messages->queueAnswer(MsgAnswer::No);
        window->command("mnuExit")->trigger();
        QVERIFY(!window->isVisible());
        QCOMPARE(ending.count(), 1);
    }

    void closingACleanDocumentAsksNothing()
    {
        QSignalSpy ending(window.get(), &frmViewImage::programEnding);
        QVERIFY(window->close());
        QCOMPARE(s.messages->count(), 0);
        QCOMPARE(ending.count(), 1);
    }
};

SNAPLORN_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
