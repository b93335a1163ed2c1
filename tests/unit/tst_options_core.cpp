// Options rules without widgets: the hot-key boxes, the checks of OK,
// storing the entries and writing the record back in its order.
#include "TestSupport.h"

#include "settings/Registry.h"
#include "base/Texts.h"
#include "options/OptionsRules.h"

#include <QFile>

using namespace snaplorn;

namespace {

bool anyFolderIsFine(const QString&)
{
    return true;
}

OptionsForm validForm()
{
    OptionsForm form;
    form.autoFolder = QStringLiteral("/shots");
    form.jpgQuality = QStringLiteral("80");
    form.autoInterval = QStringLiteral("10");
    form.autoImagesNum = QStringLiteral("5");
    form.rect = {QStringLiteral("ALT"), QStringLiteral("F10")};
    form.desk = {QStringLiteral("ALT"), QStringLiteral("F11")};
    form.win = {QStringLiteral("ALT"), QStringLiteral("F12")};
    return form;
}

QStringList names(const QList<SettingValue>& values)
{
    QStringList list;
    for (const SettingValue& v : values)
        list << v.first;
    return list;
}

} // namespace

class TestOptionsCore : public QObject
{
    Q_OBJECT
private slots:
    void boxTextsOfCodes_data();
    void boxTextsOfCodes();
    void unknownBoxTextsAreCodeZero();
    void lists();
    void storedSpecShowsInBoxes_data();
    void storedSpecShowsInBoxes();
    void validation_data();
    void validation();
    void firstFailingRuleWins();
    void halfChosenHotKeyRowIsRefusedByName();
    void folderRuleUsesTheGivenTest();
    void applyStoresRoundedEntries();
    void applyKeepsHotKeysWhenUnticked();
    void combinedModifierIsSavedAsZero();
    void recordOrderAndHideMsgIdRule();
    void recordWithoutHotKeys();
    void writerCreatesKeyAndKeepsOtherValues();
};

void TestOptionsCore::boxTextsOfCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("modifier");
    QTest::addColumn<QString>("key");
    QTest::newRow("alt and nothing") << 1 << "ALT" << QString();
    QTest::newRow("ctrl and nothing") << 2 << "CTRL" << QString();
    QTest::newRow("shift and nothing") << 4 << "SHIFT" << QString();
    QTest::newRow("combined modifier 6") << 6 << QString() << QString();
    QTest::newRow("zero") << 0 << QString() << QString();
    QTest::newRow("F1") << 112 << QString() << "F1";
    QTest::newRow("F12") << 123 << QString() << "F12";
    QTest::newRow("F13 is not listed") << 124 << QString() << QString();
    QTest::newRow("A") << 65 << QString() << "A";
    QTest::newRow("Z") << 90 << QString() << "Z";
    QTest::newRow("digit 5 is not listed") << 53 << QString() << QString();
    QTest::newRow("lower-case a code") << 97 << QString() << QString();
}

void TestOptionsCore::boxTextsOfCodes()
{
    QFETCH(int, code);
    QFETCH(QString, modifier);
    QFETCH(QString, key);
    QCOMPARE(modifierBoxText(code), modifier);
    QCOMPARE(keyBoxText(code), key);
    if (!modifier.isEmpty())
        QCOMPARE(modifierCodeOf(modifier), code);
    if (!key.isEmpty())
        QCOMPARE(keyCodeOf(key), code);
}

void TestOptionsCore::unknownBoxTextsAreCodeZero()
{
    for (const char* text : {"", "alt", "META", "ALT+CTRL"})
        QCOMPARE(modifierCodeOf(QLatin1String(text)), 0);
    for (const char* text : {"", "a", "F0", "F13", "AB", "1", "f5"})
        QCOMPARE(keyCodeOf(QLatin1String(text)), 0);
    QCOMPARE(hotKeySpecFromBoxes({QString(), QString()}), QStringLiteral("0,0"));
    QCOMPARE(hotKeySpecFromBoxes({QStringLiteral("CTRL"), QStringLiteral("A")}),
             QStringLiteral("2,65"));
}

void TestOptionsCore::lists()
{
    QCOMPARE(hotKeyModifierList(), QStringList({"SHIFT", "CTRL", "ALT"}));
    const QStringList keys = hotKeyKeyList();
    QCOMPARE(keys.size(), 38);
    QCOMPARE(keys.first(), QStringLiteral("F1"));
    QCOMPARE(keys.at(11), QStringLiteral("F12"));
    QCOMPARE(keys.at(12), QStringLiteral("A"));
    QCOMPARE(keys.last(), QStringLiteral("Z"));
}

void TestOptionsCore::storedSpecShowsInBoxes_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("modifier");
    QTest::addColumn<QString>("key");
    QTest::newRow("default rectangle key") << "1,121"
                                           << "ALT"
                                           << "F10";
    QTest::newRow("ctrl A") << "2,65"
                            << "CTRL"
                            << "A";
    QTest::newRow("shift F1") << "4,112"
                              << "SHIFT"
                              << "F1";
    QTest::newRow("separator is not looked at") << "2;90"
                                                << "CTRL"
                                                << "Z";
    QTest::newRow("combined modifier 6 shows empty") << "6,65" << QString() << "A";
    QTest::newRow("unknown key shows empty") << "1,200"
                                             << "ALT" << QString();
    QTest::newRow("letters") << "x,yz" << QString() << QString();
    QTest::newRow("empty") << QString() << QString() << QString();
    QTest::newRow("modifier only") << "1"
                                   << "ALT" << QString();
}

void TestOptionsCore::storedSpecShowsInBoxes()
{
    QFETCH(QString, stored);
    QFETCH(QString, modifier);
    QFETCH(QString, key);
    const HotKeyBoxes boxes = hotKeyBoxesFromSpec(stored);
    QCOMPARE(boxes.modifier, modifier);
    QCOMPARE(boxes.key, key);
}

void TestOptionsCore::validation_data()
{
    QTest::addColumn<QString>("quality");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("images");
    QTest::addColumn<int>("failing"); // -1 none, else OptionsField
    const int none = -1;
    const int q = int(OptionsField::JpgQuality);
    const int i = int(OptionsField::AutoInterval);
    const int n = int(OptionsField::AutoImagesNum);
    QTest::newRow("defaults") << "80"
                              << "10"
                              << "5" << none;
    QTest::newRow("interval 0.2 accepted") << "80"
                                           << "0.2"
                                           << "5" << none;
    QTest::newRow("interval 60 accepted") << "80"
                                          << "60"
                                          << "5" << none;
    QTest::newRow("interval 0.1 refused") << "80"
                                          << "0.1"
                                          << "5" << i;
    QTest::newRow("interval 61 refused") << "80"
                                         << "61"
                                         << "5" << i;
    QTest::newRow("interval letters refused") << "80"
                                              << "abc"
                                              << "5" << i;
    QTest::newRow("interval empty refused") << "80" << QString() << "5" << i;
    QTest::newRow("interval with spaces accepted") << "80"
                                                   << " 5 "
                                                   << "5" << none;
    QTest::newRow("quality 0 refused") << "0"
                                       << "10"
                                       << "5" << q;
    QTest::newRow("quality 101 refused") << "101"
                                         << "10"
                                         << "5" << q;
    QTest::newRow("quality 1 accepted") << "1"
                                        << "10"
                                        << "5" << none;
    QTest::newRow("quality 100 accepted") << "100"
                                          << "10"
                                          << "5" << none;
    QTest::newRow("quality 0.5 rounds to 0, refused") << "0.5"
                                                      << "10"
                                                      << "5" << q;
    QTest::newRow("quality 100.5 rounds to 100, accepted") << "100.5"
                                                           << "10"
                                                           << "5" << none;
    QTest::newRow("quality letters refused") << "hi"
                                             << "10"
                                             << "5" << q;
    QTest::newRow("quality huge refused") << "99999"
                                          << "10"
                                          << "5" << q;
    QTest::newRow("0 images refused") << "80"
                                      << "10"
                                      << "0" << n;
    QTest::newRow("1 image accepted") << "80"
                                      << "10"
                                      << "1" << none;
    QTest::newRow("fraction of images accepted") << "80"
                                                 << "10"
                                                 << "2.5" << none;
    QTest::newRow("0.9 images refused") << "80"
                                        << "10"
                                        << "0.9" << n;
    QTest::newRow("negative images refused") << "80"
                                             << "10"
                                             << "-3" << n;
    QTest::newRow("images letters refused") << "80"
                                            << "10"
                                            << "x" << n;
    QTest::newRow("images beyond 16 bits refused") << "80"
                                                   << "10"
                                                   << "40000" << n;
}

void TestOptionsCore::validation()
{
    QFETCH(QString, quality);
    QFETCH(QString, interval);
    QFETCH(QString, images);
    QFETCH(int, failing);
    OptionsForm form = validForm();
    form.jpgQuality = quality;
    form.autoInterval = interval;
    form.autoImagesNum = images;
    const std::optional<OptionsProblem> problem = validateOptions(form, anyFolderIsFine);
    if (failing < 0) {
        QVERIFY2(!problem, qPrintable(problem ? problem->message : QString()));
        return;
    }
    QVERIFY(problem);
    QCOMPARE(int(problem->focus), failing);
    const char* expected[] = {texts::OptionsBadFolder, texts::OptionsBadQuality,
                              texts::OptionsBadInterval, texts::OptionsBadImagesNum};
    QCOMPARE(problem->message, QString::fromUtf8(expected[failing]));
}

void TestOptionsCore::firstFailingRuleWins()
{
    OptionsForm form = validForm();
    form.jpgQuality = QStringLiteral("0");
    form.autoInterval = QStringLiteral("0");
    form.autoImagesNum = QStringLiteral("0");
    QCOMPARE(int(validateOptions(form, anyFolderIsFine)->focus), int(OptionsField::JpgQuality));
    const auto noFolder = [](const QString&) { return false; };
    const std::optional<OptionsProblem> problem = validateOptions(form, noFolder);
    QCOMPARE(int(problem->focus), int(OptionsField::AutoFolder));
    QCOMPARE(problem->message, QStringLiteral("Please enter a valid folder name."));
}

void TestOptionsCore::halfChosenHotKeyRowIsRefusedByName()
{
    OptionsForm form = validForm();
    form.desk.key.clear();
    std::optional<OptionsProblem> problem = validateOptions(form, anyFolderIsFine);
    QVERIFY(problem);
    QCOMPARE(int(problem->focus), int(OptionsField::DeskKey));
    QCOMPARE(problem->message, QStringLiteral("Please choose both a modifier and a key for the "
                                              "hot key \"Capture Desktop\"."));
    form.win.modifier = QStringLiteral("META"); // not in the list: code 0
    form.desk = {QStringLiteral("CTRL"), QStringLiteral("B")};
    problem = validateOptions(form, anyFolderIsFine);
    QVERIFY(problem);
    QCOMPARE(int(problem->focus), int(OptionsField::WinModifier));
    QVERIFY(problem->message.contains(QLatin1String("\"Capture Active Window\"")));
    // Rows that are not stored are not looked at; the other rules come first.
    form.hotKeys = false;
    QVERIFY(!validateOptions(form, anyFolderIsFine));
    form.hotKeys = true;
    form.jpgQuality = QStringLiteral("0");
    QCOMPARE(int(validateOptions(form, anyFolderIsFine)->focus), int(OptionsField::JpgQuality));
}

void TestOptionsCore::folderRuleUsesTheGivenTest()
{
    QString asked;
    OptionsForm form = validForm();
    validateOptions(form, [&](const QString& folder) {
        asked = folder;
        return true;
    });
    QCOMPARE(asked, QStringLiteral("/shots"));
}

void TestOptionsCore::applyStoresRoundedEntries()
{
    AppSettings current = AppSettings::defaults(QStringLiteral("/old"));
    current.HideMsgID = QStringLiteral("42");
    OptionsForm form = validForm();
    form.runInTray = true;
    form.jpgQuality = QStringLiteral("72.5"); // halves to even
    form.autoInterval = QStringLiteral("0.5");
    form.autoImagesNum = QStringLiteral("3.5");
    form.rect = {QStringLiteral("CTRL"), QStringLiteral("A")};
    form.desk = {QStringLiteral("SHIFT"), QStringLiteral("F1")};
    form.win = {QStringLiteral("ALT"), QStringLiteral("Z")};
    const AppSettings s = applyOptions(form, current);
    QCOMPARE(s.RunInTray, qint16(1));
    QCOMPARE(s.JpgQuality, qint16(72));
    QCOMPARE(s.AutoFolder, QStringLiteral("/shots"));
    QCOMPARE(s.AutoInterval, 0.5f);
    QCOMPARE(s.AutoImagesNum, qint16(4));
    QCOMPARE(s.HotKeyPresent, qint16(1));
    QCOMPARE(s.HotKeyRect, QStringLiteral("2,65"));
    QCOMPARE(s.HotKeyDesk, QStringLiteral("4,112"));
    QCOMPARE(s.HotKeyWin, QStringLiteral("1,90"));
    // The record's message id changes only at the next start.
    QCOMPARE(s.HideMsgID, QStringLiteral("42"));
}

void TestOptionsCore::applyKeepsHotKeysWhenUnticked()
{
    AppSettings current = AppSettings::defaults(QStringLiteral("/old"));
    OptionsForm form = optionsFormFromSettings(current);
    form.autoFolder = QStringLiteral("/shots");
    form.hotKeys = false;
    form.rect = {QStringLiteral("CTRL"), QStringLiteral("B")};
    const AppSettings s = applyOptions(form, current);
    QCOMPARE(s.HotKeyPresent, qint16(0));
    QCOMPARE(s.HotKeyRect, QStringLiteral("1,121"));
}

void TestOptionsCore::combinedModifierIsSavedAsZero()
{
    AppSettings current = AppSettings::defaults(QStringLiteral("/old"));
    current.HotKeyDesk = QStringLiteral("6,65");
    current.AutoInterval = 0.2f;
    const OptionsForm form = optionsFormFromSettings(current);
    QCOMPARE(form.autoInterval, QStringLiteral("0.2"));
    QVERIFY(form.showMessages); // "HideMsgID" reads "0": nothing blocked
    current.HideMsgID = QStringLiteral(" 42 ");
    QVERIFY(!optionsFormFromSettings(current).showMessages);
    QCOMPARE(form.desk.modifier, QString());
    QCOMPARE(applyOptions(form, current).HotKeyDesk, QStringLiteral("0,65"));
    QCOMPARE(applyOptions(form, current).HotKeyRect, QStringLiteral("1,121"));
}

void TestOptionsCore::recordOrderAndHideMsgIdRule()
{
    AppSettings s = AppSettings::defaults(QStringLiteral("/shots"));
    s.AutoInterval = 0.5f;
    const QList<SettingValue> cleared = settingsRecordValues(s, true);
    QCOMPARE(names(cleared),
             QStringList({"RunInTray", "JpgQuality", "AutoFolder", "AutoInterval", "AutoImagesNum",
                          "HideMsgID", "HotKeyPresent", "HotKeyRect", "HotKeyDesk", "HotKeyWin"}));
    QCOMPARE(cleared.at(3).second, QStringLiteral("0.5"));
    QCOMPARE(cleared.at(5).second, QString());
    QCOMPARE(cleared.at(7).second, QStringLiteral("1,121"));
    const QList<SettingValue> kept = settingsRecordValues(s, false);
    QVERIFY(!names(kept).contains(QStringLiteral("HideMsgID")));
    QCOMPARE(kept.size(), 9);
}

void TestOptionsCore::recordWithoutHotKeys()
{
    AppSettings s = AppSettings::defaults(QStringLiteral("/shots"));
    s.HotKeyPresent = 0;
    QCOMPARE(names(settingsRecordValues(s, true)),
             QStringList({"RunInTray", "JpgQuality", "AutoFolder", "AutoInterval", "AutoImagesNum",
                          "HideMsgID", "HotKeyPresent"}));
}

void TestOptionsCore::writerCreatesKeyAndKeepsOtherValues()
{
    const QString path = test::scratchFolder() + QStringLiteral("/writer.conf");
    QFile::remove(path);
    Registry registry(path);
    const QString key = QString::fromLatin1(SettingsKey);
    AppSettings s = AppSettings::defaults(QStringLiteral("/shots"));
    s.HotKeyPresent = 0;
    s.HotKeyRect = QStringLiteral("2,65");
    writeSettingsRecord(registry, s, false);
    QVERIFY(registry.keyExists(key));
    QCOMPARE(registry.readString(key, QStringLiteral("AutoFolder")), QStringLiteral("/shots"));
    QCOMPARE(registry.readString(key, QStringLiteral("HotKeyPresent")), QStringLiteral("0"));
    QVERIFY(!registry.readString(key, QStringLiteral("HotKeyRect")));
    QVERIFY(!registry.readString(key, QStringLiteral("HideMsgID")));

    registry.writeString(key, QStringLiteral("HideMsgID"), QStringLiteral("42"));
    registry.writeString(key, QStringLiteral("HotKeyRect"), QStringLiteral("1,121"));
    writeSettingsRecord(registry, s, false);
    QCOMPARE(registry.readString(key, QStringLiteral("HideMsgID")), QStringLiteral("42"));
    QCOMPARE(registry.readString(key, QStringLiteral("HotKeyRect")), QStringLiteral("1,121"));
    writeSettingsRecord(registry, s, true);
    QCOMPARE(registry.readString(key, QStringLiteral("HideMsgID")), QString());
}

SNAPLORN_TEST_MAIN_CORE(TestOptionsCore)
#include "tst_options_core.moc"
