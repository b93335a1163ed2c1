#include "TestSupport.h"

#include "settings/AppSettings.h"
#include "settings/Registry.h"

#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRandomGenerator>

#include <csignal>

using namespace snaplorn;

namespace {

const QString Key = QString::fromLatin1(SettingsKey);

QString freshFile(const QString& name)
{
    const QString path = test::scratchFolder() + "/" + name + ".conf";
    QFile::remove(path);
    return path;
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void firstStartCreatesKeyWithFirstValues()
    {
        Registry registry(freshFile("first"));
        AppSettings s;
        const LoadSettingsOutcome outcome = LoadSettings(registry, "/home/u/Pictures", s);
        QVERIFY(outcome.keyCreated);
        QVERIFY(outcome.errors.isEmpty());
        const QList<QPair<QString, QString>> expected = {
            {"RunInTray", "0"},      {"JpgQuality", "80"},    {"AutoFolder", "/home/u/Pictures"},
            {"AutoInterval", "10"},  {"AutoImagesNum", "5"},  {"HotKeyPresent", "1"},
            {"HotKeyRect", "1,121"}, {"HotKeyDesk", "1,122"}, {"HotKeyWin", "1,123"},
            {"HideMsgID", ""}};
        for (const auto& [name, value] : expected)
            QCOMPARE(registry.readString(Key, name).value_or("<missing>"), value);
        // The empty "HideMsgID" reads as its default.
        QCOMPARE(s.HideMsgID, QString("0"));
        QCOMPARE(s.JpgQuality, qint16(80));
        QCOMPARE(s.AutoInterval, 10.0f);
        QCOMPARE(s.AutoFolder, QString("/home/u/Pictures"));
    }

    void missingAndBlankValuesTakeDefaults()
    {
        const QString path = freshFile("blank");
        writeFile(path, "[Software\\Quorvex\\Snaplorn21]\nJpgQuality=   \nAutoImagesNum= 9\n"
                        "HotKeyRect=  2,65\nRunInTray=1\n");
        Registry registry(path);
        AppSettings s;
        const LoadSettingsOutcome outcome = LoadSettings(registry, "/pics", s);
        QVERIFY(!outcome.keyCreated);
        QVERIFY(outcome.errors.isEmpty());
        QCOMPARE(s.JpgQuality, qint16(80));        // only spaces: default
        QCOMPARE(s.AutoImagesNum, qint16(9));      // leading space converted with it
        QCOMPARE(s.HotKeyRect, QString("  2,65")); // text kept exactly as read
        QCOMPARE(s.RunInTray, qint16(1));
        QCOMPARE(s.HideMsgID, QString("0")); // missing value
        QCOMPARE(s.AutoFolder, QString("/pics"));
        QCOMPARE(s.HotKeyWin, QString("1,123"));
        // Reading never adds values to an existing key.
        QVERIFY(!registry.readString(Key, "HideMsgID"));
    }

    void integerConversions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("fails");
        QTest::newRow("upper 16-bit limit") << "32767" << 32767 << false;
        QTest::newRow("lower 16-bit limit") << "-32768" << -32768 << false;
        QTest::newRow("just above the range overflows") << "32768" << 80 << true;
        QTest::newRow("far below the range overflows") << "-100000" << 80 << true;
        QTest::newRow("letters are a type mismatch") << "abc" << 80 << true;
        QTest::newRow("number followed by letters") << "80x" << 80 << true;
        QTest::newRow("half rounds to even, down") << "12.5" << 12 << false;
        QTest::newRow("half rounds to even, up") << "13.5" << 14 << false;
        QTest::newRow("surrounding spaces") << "  75 " << 75 << false;
    }
    void integerConversions()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QFETCH(bool, fails);
        const QString path = freshFile("int");
        writeFile(path, "[Software\\Quorvex\\Snaplorn21]\nJpgQuality=" + text.toUtf8() + "\n");
        Registry registry(path);
        AppSettings s;
        const LoadSettingsOutcome outcome = LoadSettings(registry, "/pics", s);
        QCOMPARE(int(s.JpgQuality), expected);
        QCOMPARE(outcome.errors.size(), fails ? 1 : 0);
    }

    void intervalReadsLocaleDecimalAndPoint_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("expected");
        QTest::newRow("point in C locale") << "C"
                                           << "0.5" << 0.5f;
        QTest::newRow("comma in German locale") << "de_DE"
                                                << "0,5" << 0.5f;
        QTest::newRow("point in German locale") << "de_DE"
                                                << "0.5" << 0.5f;
        QTest::newRow("whole seconds") << "de_DE"
                                       << "60" << 60.0f;
        QTest::newRow("comma in C locale is not a number") << "C"
                                                           << "0,5" << 10.0f;
    }
    void intervalReadsLocaleDecimalAndPoint()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(float, expected);
        QLocale::setDefault(QLocale(locale));
        const QString path = freshFile("interval");
        writeFile(path, "[Software\\Quorvex\\Snaplorn21]\nAutoInterval=" + text.toUtf8() + "\n");
        Registry registry(path);
        AppSettings s;
        LoadSettings(registry, "/pics", s);
        QCOMPARE(s.AutoInterval, expected);
    }

    void badValueKeepsDefaultAndTheRestIsStillRead()
    {
        const QString path = freshFile("bad");
        writeFile(path, "[Software\\Quorvex\\Snaplorn21]\nRunInTray=1\nJpgQuality=abc\n"
                        "AutoInterval=zz\nAutoImagesNum=7\nHotKeyPresent=0\nHotKeyDesk=2,70\n"
                        "HideMsgID=42\n");
        Registry registry(path);
        AppSettings s;
        const LoadSettingsOutcome outcome = LoadSettings(registry, "/pics", s);
        QCOMPARE(outcome.errors.size(), 2);
        QVERIFY(outcome.errors.at(0).contains("JpgQuality"));
        QVERIFY(outcome.errors.at(0).contains("\"abc\""));
        QVERIFY(outcome.errors.at(1).contains("AutoInterval"));
        QCOMPARE(s.JpgQuality, qint16(80));
        QCOMPARE(s.AutoInterval, 10.0f);
        QCOMPARE(s.RunInTray, qint16(1));
        QCOMPARE(s.AutoImagesNum, qint16(7));
        QCOMPARE(s.HotKeyPresent, qint16(0));
        QCOMPARE(s.HotKeyDesk, QString("2,70"));
        QCOMPARE(s.HideMsgID, QString("42"));
    }

    void readsAtMost254CharactersUpToNul()
    {
        Registry registry(freshFile("long"));
        QVERIFY(registry.createKey(Key));
        QVERIFY(registry.writeString(Key, "AutoFolder", QString(300, 'x')));
        QCOMPARE(registry.readString(Key, "AutoFolder")->size(), 254);
        QVERIFY(registry.writeString(Key, "HideMsgID", QString("12") + QChar(0) + "34"));
        QCOMPARE(*registry.readString(Key, "HideMsgID"), QString("12"));
        // Reading the whole key gives each value as a single read does.
        const auto all = registry.readKey(Key);
        QVERIFY(all);
        QCOMPARE(all->value("AutoFolder").size(), 254);
        QCOMPARE(all->value("HideMsgID"), QString("12"));
        QVERIFY(!registry.readKey("Software\\Nobody"));
        // Line breaks, backslashes and '=' survive the text file.
        const QString odd = "C:\\a=b\r\nline two \\n";
        QVERIFY(registry.writeString(Key, "AutoFolder", odd));
        QCOMPARE(*Registry(registry.filePath()).readString(Key, "AutoFolder"), odd);
    }

    void writesToAMissingKeyAreLost()
    {
        Registry registry(freshFile("missing"));
        RegWriteString(registry, RegRoot::CurrentUser, DesktopKey, "TileWallpaper", "1");
        QVERIFY(!registry.keyExists(DesktopKey));
        QVERIFY(!QFile::exists(registry.filePath()));
        QVERIFY(registry.createKey(DesktopKey));
        RegWriteString(registry, RegRoot::CurrentUser, DesktopKey, "TileWallpaper", "1");
        QCOMPARE(*registry.readString(DesktopKey, "TileWallpaper"), QString("1"));
    }

    void garbageFileGivesDefaultsAndIsRepaired()
    {
        const QString path = freshFile("garbage");
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk += char(QRandomGenerator::global()->bounded(256));
        writeFile(path, junk);
        Registry registry(path);
        AppSettings s;
        const LoadSettingsOutcome outcome = LoadSettings(registry, "/pics", s);
        QVERIFY(outcome.errors.isEmpty());
        QCOMPARE(s.JpgQuality, qint16(80));
        QCOMPARE(*registry.readString(Key, "HotKeyWin"), QString("1,123"));
    }

    void concurrentWritersLeaveAValidFile()
    {
        const QString path = freshFile("concurrent");
        Registry registry(path);
        AppSettings s;
        LoadSettings(registry, "/pics", s);
        QProcess a, b;
        a.start(REGISTRY_WRITER, {path, "AutoFolder", "A", "150"});
        b.start(REGISTRY_WRITER, {path, "HideMsgID", "B", "150"});
        QVERIFY(a.waitForFinished(60000));
        QVERIFY(b.waitForFinished(60000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        // No write was lost to the other writer, and the rest is intact.
        QCOMPARE(*registry.readString(Key, "AutoFolder"), QString("A149"));
        QCOMPARE(*registry.readString(Key, "HideMsgID"), QString("B149"));
        QCOMPARE(*registry.readString(Key, "JpgQuality"), QString("80"));
    }

    void killedWriterNeverTearsTheFile()
    {
        const QString path = freshFile("killed");
        Registry registry(path);
        AppSettings s;
        LoadSettings(registry, "/pics", s);
        for (int round = 0; round < 5; ++round) {
            QProcess writer;
            writer.start(REGISTRY_WRITER, {path, "AutoFolder", QString(20000, 'p'), "100000"});
            QVERIFY(writer.waitForStarted());
            QTest::qWait(40 + QRandomGenerator::global()->bounded(80));
            ::kill(pid_t(writer.processId()), SIGKILL);
            writer.waitForFinished();
            const auto sections = Registry::parse([&] {
                QFile f(path);
                f.open(QIODevice::ReadOnly);
                return f.readAll();
            }());
            QVERIFY(sections.contains(Key));
            QCOMPARE(sections.value(Key).size(), 10);
            QCOMPARE(sections.value(Key).value("HotKeyDesk"), QString("1,122"));
        }
    }
};

SNAPLORN_TEST_MAIN_CORE(TestSettings)
#include "tst_settings.moc"
