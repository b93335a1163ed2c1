// The Options dialog: its controls and loaded values, the hot-key rule, the
// checks of OK with their messages and focus, what OK writes, hot keys that
// cannot be registered, Cancel, the folder picker, and the main window's
// Options command with stand-in hot keys.
#include "TestSupport.h"

#include "base/Texts.h"
#include "capture/CaptureController.h"
#include "mainwindow/frmViewImage.h"
#include "options/frmOption.h"
#include "platform/standins/FakeHotKeys.h"
#include "settings/Registry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace snaplorn;

class TestOptions : public QObject
{
    Q_OBJECT

    test::StandIns s;
    std::unique_ptr<Registry> registry;
    AppSettings settings;
    QList<AppSettings> applied;
    bool applyResult = true;

    QString confPath() const { return test::scratchFolder() + "/options.conf"; }
    QString folder() const { return test::scratchFolder(); }
    std::optional<QString> stored(const char* name) const
    {
        return registry->readString(QString::fromLatin1(SettingsKey), QLatin1String(name));
    }

    std::unique_ptr<frmOption> open()
    {
        // As the main window does: the settings layer writes the record.
        AppSettings current = settings;
        reloadHideMsgID(*registry, current);
        auto dialog = std::make_unique<frmOption>(
            current, *s.messages, *s.dialogs,
            [this](const AppSettings& updated, bool showMessagesAgain) {
                writeSettingsRecord(*registry, updated, showMessagesAgain);
                applied << updated;
                return applyResult;
            });
        dialog->show();
        return dialog;
    }
    template <typename T> static T* child(QWidget* dialog, const char* name)
    {
        T* found = dialog->findChild<T*>(name);
        if (!found)
            qWarning("no control %s", name);
        return found;
    }
    static void setText(QWidget* dialog, const char* box, const QString& text)
    {
        child<QLineEdit>(dialog, box)->setText(text);
    }
    static void click(QWidget* dialog, const char* button)
    {
        child<QAbstractButton>(dialog, button)->click();
    }

private slots:
    void init()
    {
        s = test::makeStandIns();
        QFile::remove(confPath());
        registry = std::make_unique<Registry>(confPath());
        registry->createKey(QString::fromLatin1(SettingsKey));
        registry->writeString(QString::fromLatin1(SettingsKey), "HideMsgID", "42");
        settings = AppSettings::defaults(folder());
        applied.clear();
        applyResult = true;
    }

    void controlsAndCaptions()
    {
        auto d = open();
        QCOMPARE(d->windowTitle(), QString("Options - Snaplorn "));
        const char* captions[][2] = {
            {"chkSysTray", "Run Application in System Tray"},
            {"Label1", "Enter Folder Name (Images will be saved here)"},
            {"cmdAutoFolder", "..."},
            {"Label7", "Auto Capture interval in Seconds"},
            {"Label10", "(0.2 to 60 seconds)"},
            {"Label9", "No of Images to Auto Capture: "},
            {"Label2", "Note: Images will be saved as \"Screen1.jpg\", \"Screen2.jpg\" etc."},
            {"Label3", "Save As  JPG Quality (1-100) :"},
            {"chkBroadcast", "Show me important messages"},
            {"chkHotkeys", " Configure Hot Keys "},
            {"lblRect", "Capture Rectangle "},
            {"lblDesk", "Capture Desktop "},
            {"lblWin", "Capture Active Window "},
            {"lblRectPlus", "+"},
            {"lblDeskPlus", "+"},
            {"lblWinPlus", "+"},
            {"cmdOk", "OK"},
            {"cmdCancel", "Cancel"}};
        for (const auto& row : captions) {
            QWidget* control = d->findChild<QWidget*>(row[0]);
            QVERIFY2(control, row[0]);
            const QString text = control->property("text").toString();
            QCOMPARE(text, QString::fromUtf8(row[1]));
        }
        QCOMPARE(child<QGroupBox>(d.get(), "frAutoSave")->title(), QString("Auto Save Option"));
        QVERIFY(child<QGroupBox>(d.get(), "frHotKeys"));
        QVERIFY(child<QLineEdit>(d.get(), "txtAutoFolder")->isReadOnly());
        QCOMPARE(child<QLineEdit>(d.get(), "txtAutoInterval")->maxLength(), 3);
        QCOMPARE(child<QLineEdit>(d.get(), "txtAutoImagesNum")->maxLength(), 2);
        QCOMPARE(child<QLineEdit>(d.get(), "txtJPGQuality")->maxLength(), 3);
        auto* shift = child<QComboBox>(d.get(), "cboShiftWin");
        QCOMPARE(shift->count(), 3);
        QCOMPARE(shift->itemText(0), QString("SHIFT"));
        QCOMPARE(shift->itemText(2), QString("ALT"));
        auto* key = child<QComboBox>(d.get(), "cboKeyDesk");
        QCOMPARE(key->count(), 38);
        QCOMPARE(key->itemText(12), QString("A"));
    }

    void loadsTheRecord()
    {
        settings.RunInTray = 1;
        settings.JpgQuality = 75;
        settings.AutoInterval = 0.5f;
        settings.AutoImagesNum = 12;
        settings.HotKeyRect = "2,65";
        settings.HotKeyDesk = "6,65"; // combined modifier: empty box
        settings.HotKeyWin = "1,200"; // unknown key: empty box
        auto d = open();
        QVERIFY(child<QCheckBox>(d.get(), "chkSysTray")->isChecked());
        QCOMPARE(child<QLineEdit>(d.get(), "txtJPGQuality")->text(), QString("75"));
        QCOMPARE(child<QLineEdit>(d.get(), "txtAutoInterval")->text(), QString("0.5"));
        QCOMPARE(child<QLineEdit>(d.get(), "txtAutoImagesNum")->text(), QString("12"));
        QCOMPARE(child<QLineEdit>(d.get(), "txtAutoFolder")->text(), folder());
        QVERIFY(!child<QCheckBox>(d.get(), "chkBroadcast")->isChecked()); // 42 is blocked
        QVERIFY(child<QCheckBox>(d.get(), "chkHotkeys")->isChecked());
        QCOMPARE(child<QComboBox>(d.get(), "cboShiftRect")->currentText(), QString("CTRL"));
        QCOMPARE(child<QComboBox>(d.get(), "cboKeyRect")->currentText(), QString("A"));
        QCOMPARE(child<QComboBox>(d.get(), "cboShiftDesk")->currentText(), QString());
        QCOMPARE(child<QComboBox>(d.get(), "cboKeyDesk")->currentText(), QString("A"));
        QCOMPARE(child<QComboBox>(d.get(), "cboShiftWin")->currentText(), QString("ALT"));
        QCOMPARE(child<QComboBox>(d.get(), "cboKeyWin")->currentText(), QString());
    }

    void longStoredValuesShowWhole()
    {
        settings.AutoInterval = 12.25f;
        auto d = open();
        QCOMPARE(child<QLineEdit>(d.get(), "txtAutoInterval")->text(), QString("12.25"));
    }

    void hotKeyControlsFollowTheCheckBox()
    {
        settings.HotKeyPresent = 0;
        auto d = open();
        const char* names[] = {"lblRect", "lblRectPlus", "cboShiftRect", "cboKeyRect",
                               "lblDesk", "lblDeskPlus", "cboShiftDesk", "cboKeyDesk",
                               "lblWin",  "lblWinPlus",  "cboShiftWin",  "cboKeyWin"};
        for (const char* name : names)
            QVERIFY2(!child<QWidget>(d.get(), name)->isEnabled(), name);
        click(d.get(), "chkHotkeys");
        for (const char* name : names)
            QVERIFY2(child<QWidget>(d.get(), name)->isEnabled(), name);
    }

    void checksStopOkWithMessageAndFocus_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("missing folder")
            << "txtAutoFolder"
            << "/no/such/folder" << texts::OptionsBadFolder << "cmdAutoFolder";
        QTest::newRow("quality 101") << "txtJPGQuality"
                                     << "101" << texts::OptionsBadQuality << "txtJPGQuality";
        QTest::newRow("interval 0.1") << "txtAutoInterval"
                                      << "0.1" << texts::OptionsBadInterval << "txtAutoInterval";
        QTest::newRow("interval letters") << "txtAutoInterval"
                                          << "ab" << texts::OptionsBadInterval << "txtAutoInterval";
        QTest::newRow("no images") << "txtAutoImagesNum"
                                   << "0" << texts::OptionsBadImagesNum << "txtAutoImagesNum";
    }
    void checksStopOkWithMessageAndFocus()
    {
        QFETCH(QString, box);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        auto d = open();
        setText(d.get(), qPrintable(box), value);
        click(d.get(), "cmdOk");
        QCOMPARE(s.messages->count(), 1);
        QCOMPARE(s.messages->last().text, message);
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
        QCOMPARE(s.messages->last().caption, QString("Snaplorn21")); // the default caption
        QCOMPARE(d->focusWidget()->objectName(), focus);
        QVERIFY(d->isVisible());
        QVERIFY(applied.isEmpty());
        QCOMPARE(stored("JpgQuality"), std::nullopt); // nothing written
    }

    void okStoresWritesAndCloses()
    {
        auto d = open();
        click(d.get(), "chkSysTray");
        click(d.get(), "chkBroadcast");
        setText(d.get(), "txtJPGQuality", "90");
        setText(d.get(), "txtAutoInterval", "0.2");
        setText(d.get(), "txtAutoImagesNum", "1");
        child<QComboBox>(d.get(), "cboShiftWin")->setCurrentText("CTRL");
        child<QComboBox>(d.get(), "cboKeyWin")->setCurrentText("B");
        click(d.get(), "cmdOk");
        QCOMPARE(s.messages->count(), 0);
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(applied.size(), 1);
        QCOMPARE(applied.first().RunInTray, qint16(1));
        QCOMPARE(applied.first().HotKeyWin, QString("2,66"));
        QCOMPARE(d->newSettings()->HotKeyWin, QString("2,66"));
        QCOMPARE(stored("RunInTray"), QString("1"));
        QCOMPARE(stored("JpgQuality"), QString("90"));
        QCOMPARE(stored("AutoInterval"), QString("0.2"));
        QCOMPARE(stored("AutoImagesNum"), QString("1"));
        QCOMPARE(stored("AutoFolder"), folder());
        QCOMPARE(stored("HotKeyWin"), QString("2,66"));
        QCOMPARE(stored("HotKeyRect"), QString("1,121"));
        QCOMPARE(stored("HideMsgID"), QString()); // "Show me important messages" ticked
    }

    // Ticked only when no message is blocked: OK for another reason keeps a
    // blocked message blocked, also one blocked since the program started.
    void messagesBoxTickedOnlyWhenNoneIsBlocked()
    {
        auto d = open();
        QVERIFY(!child<QCheckBox>(d.get(), "chkBroadcast")->isChecked());
        click(d.get(), "cmdOk");
        QCOMPARE(stored("HideMsgID"), QString("42"));
        registry->writeString(QString::fromLatin1(SettingsKey), "HideMsgID", " ");
        d = open();
        QVERIFY(child<QCheckBox>(d.get(), "chkBroadcast")->isChecked());
    }

    void halfChosenHotKeyRowIsRefusedByName()
    {
        auto d = open();
        child<QComboBox>(d.get(), "cboShiftDesk")->setCurrentIndex(-1);
        click(d.get(), "cmdOk");
        QCOMPARE(s.messages->count(), 1);
        QVERIFY(s.messages->last().text.contains("\"Capture Desktop\""));
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
        QCOMPARE(d->focusWidget()->objectName(), QString("cboShiftDesk"));
        QVERIFY(d->isVisible());
        QVERIFY(applied.isEmpty());
        QCOMPARE(stored("HotKeyDesk"), std::nullopt);
    }

    void untickedHotKeysKeepTheirValues()
    {
        registry->writeString(QString::fromLatin1(SettingsKey), "HotKeyRect", "4,70");
        auto d = open();
        click(d.get(), "chkHotkeys");
        child<QComboBox>(d.get(), "cboKeyRect")->setCurrentText("B");
        click(d.get(), "cmdOk");
        QCOMPARE(stored("HotKeyPresent"), QString("0"));
        QCOMPARE(stored("HotKeyRect"), QString("4,70"));
        QCOMPARE(applied.first().HotKeyRect, QString("1,121"));
    }

    void failedRegistrationKeepsTheDialogOpen()
    {
        applyResult = false;
        auto d = open();
        setText(d.get(), "txtJPGQuality", "60");
        click(d.get(), "cmdOk");
        QCOMPARE(s.messages->count(), 1);
        QCOMPARE(s.messages->last().icon, MsgIcon::Critical);
        QVERIFY(s.messages->last().text.contains("&Tool --> Options"));
        QCOMPARE(s.messages->last().text, QString::fromUtf8(texts::OptionsHotKeysFailed));
        QVERIFY(d->isVisible());
        // Already stored, so Cancel now leaves the new values in place.
        QCOMPARE(stored("JpgQuality"), QString("60"));
        QCOMPARE(d->newSettings()->JpgQuality, qint16(60));
        applyResult = true;
        click(d.get(), "cmdOk");
        QCOMPARE(d->result(), int(QDialog::Accepted));
        QCOMPARE(applied.size(), 2);
    }

    void cancelChangesNothing()
    {
        const QByteArray before = [&] {
            QFile f(confPath());
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        auto d = open();
        setText(d.get(), "txtJPGQuality", "5");
        click(d.get(), "cmdCancel");
        QCOMPARE(d->result(), int(QDialog::Rejected));
        QVERIFY(!d->newSettings());
        QVERIFY(applied.isEmpty());
        QFile f(confPath());
        f.open(QIODevice::ReadOnly);
        QCOMPARE(f.readAll(), before);
    }

    void folderPicker()
    {
        auto d = open();
        click(d.get(), "cmdAutoFolder"); // no answer: cancelled
        QCOMPARE(child<QLineEdit>(d.get(), "txtAutoFolder")->text(), folder());
        QCOMPARE(s.dialogs->requests.size(), 1);
        QCOMPARE(s.dialogs->requests.first().kind, QString("folder"));
        QCOMPARE(s.dialogs->requests.first().title, QString("Select a Folder"));
        QCOMPARE(s.dialogs->requests.first().folder, folder());
        const QString chosen = folder() + "/shots";
        QDir().mkpath(chosen);
        s.dialogs->folderAnswers << chosen + "/";
        click(d.get(), "cmdAutoFolder");
        QCOMPARE(child<QLineEdit>(d.get(), "txtAutoFolder")->text(), chosen);
        click(d.get(), "cmdOk");
        QCOMPARE(stored("AutoFolder"), chosen);
    }

    void windowCommandRegistersTheNewHotKeys()
    {
        auto keys = std::make_unique<FakeHotKeys>();
        FakeHotKeys* hotKeys = keys.get();
        s.services.hotKeys = std::move(keys);
        hotKeys->refuseKey('A');
        frmViewImage w(s.services, *registry, QString());
        w.settings().AutoFolder = folder();
        for (int id = 0; id < 3; ++id)
            hotKeys->registerHotKey(id, 1, 121 + id);
        QStringList seen;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<frmOption*>(QApplication::activeModalWidget());
            if (!d)
                return;
            child<QComboBox>(d, "cboShiftWin")->setCurrentText("CTRL");
            child<QComboBox>(d, "cboKeyWin")->setCurrentText("A"); // refused
            click(d, "cmdOk");
            seen << QString::number(d->isVisible()) << s.messages->last().text;
            child<QComboBox>(d, "cboKeyWin")->setCurrentText("B");
            click(d, "cmdOk");
            if (d->isVisible())
                d->reject();
        });
        w.command("mnuCaptureOptions")->trigger();
        QCOMPARE(seen, QStringList({"1", QString::fromUtf8(texts::OptionsHotKeysFailed)}));
        QCOMPARE(w.settings().HotKeyWin, QString("2,66"));
        QVERIFY(hotKeys->isRegistered(2));
        QCOMPARE(hotKeys->key(2).modifiers, 2);
        QCOMPARE(hotKeys->key(2).virtualKey, 66);
        QVERIFY(hotKeys->isRegistered(0) && hotKeys->isRegistered(1));
        QVERIFY(w.capture().HotKeyRegistered(2));
    }

    void windowCommandWithHotKeysOffUnregistersAll()
    {
        auto keys = std::make_unique<FakeHotKeys>();
        FakeHotKeys* hotKeys = keys.get();
        s.services.hotKeys = std::move(keys);
        frmViewImage w(s.services, *registry, QString());
        w.settings().AutoFolder = folder();
        for (int id = 0; id < 3; ++id)
            hotKeys->registerHotKey(id, 1, 121 + id);
        QTimer::singleShot(0, [&] {
            if (auto* d = qobject_cast<frmOption*>(QApplication::activeModalWidget())) {
                click(d, "chkHotkeys");
                click(d, "cmdOk");
                if (d->isVisible())
                    d->reject();
            }
        });
        w.command("mnuCaptureOptions")->trigger();
        for (int id = 0; id < 3; ++id)
            QVERIFY(!hotKeys->isRegistered(id));
        QCOMPARE(w.settings().HotKeyPresent, qint16(0));
        QCOMPARE(s.messages->count(), 0);
    }

    // Where the desktop binds the keys, each row says what it bound, and
    // follows a change the desktop reports while the dialog is open.
    void rowsShowTheKeysTheDesktopBound()
    {
        auto d = open();
        FakeHotKeys grabbing;
        d->showBoundKeys(grabbing);
        QVERIFY(!child<QLabel>(d.get(), "lblDeskBound")->isVisible());
        FakeHotKeys desktop;
        desktop.desktopBinds(1, "Shift+Alt+F11");
        d->showBoundKeys(desktop);
        QCOMPARE(child<QLabel>(d.get(), "lblDeskBound")->text(),
                 QString("The desktop bound: Shift+Alt+F11"));
        QCOMPARE(child<QLabel>(d.get(), "lblRectBound")->text(),
                 QString("The desktop bound no key"));
        QVERIFY(child<QLabel>(d.get(), "lblWinBound")->isVisible());
        desktop.desktopBinds(0, "Meta+R");
        QCOMPARE(child<QLabel>(d.get(), "lblRectBound")->text(),
                 QString("The desktop bound: Meta+R"));
    }

    void keyThatCannotWorkIsNotRegistered_data()
    {
        QTest::addColumn<QString>("desk");
        QTest::newRow("no modifier") << "0,65";
        // X would grant both grabs; one capture would then never start.
        QTest::newRow("the rectangle's key") << "1,121";
    }
    void keyThatCannotWorkIsNotRegistered()
    {
        QFETCH(QString, desk);
        auto keys = std::make_unique<FakeHotKeys>();
        FakeHotKeys* hotKeys = keys.get();
        s.services.hotKeys = std::move(keys);
        frmViewImage w(s.services, *registry, QString());
        AppSettings updated = w.settings();
        updated.HotKeyDesk = desk;
        QVERIFY(!w.storeOptions(updated));
        QVERIFY(!hotKeys->isRegistered(1));
        QVERIFY(!w.capture().HotKeyRegistered(1));
        QVERIFY(hotKeys->isRegistered(0) && hotKeys->isRegistered(2));
    }
};

SNAPLORN_TEST_MAIN(TestOptions)
#include "tst_options.moc"
