// Two instances pressing OK in Options at the same moment, a third one
// starting meanwhile, and one of the writers killed while it holds the
// settings file: each write replaces the whole file, so every reader sees a
// complete record and the file ends valid. The writers are this executable
// started again with FAULTS_WRITE_RECORD=file,quality,rounds.
#include "TestSupport.h"
#include "settings/AppSettings.h"
#include "settings/Registry.h"
#include "options/OptionsRules.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

#include <csignal>

using namespace snaplorn;

namespace {

const QString Key = QString::fromLatin1(SettingsKey);

// What one instance stores when OK is pressed: every number tells whose it is.
AppSettings recordOf(int quality)
{
    AppSettings s = AppSettings::defaults(QStringLiteral("/pics/%1").arg(quality));
    s.JpgQuality = qint16(quality);
    s.AutoImagesNum = qint16(quality);
    s.HotKeyPresent = 1;
    s.HotKeyDesk = QStringLiteral("1,%1").arg(quality);
    return s;
}

int writeRecords(const QString& request)
{
    const QStringList parts = request.split(QLatin1Char(','));
    if (parts.size() != 3)
        return 2;
    Registry registry(parts.at(0));
    const AppSettings record = recordOf(parts.at(1).toInt());
    for (int round = parts.at(2).toInt(); round > 0; --round)
        writeSettingsRecord(registry, record, false);
    return 0;
}

void startWriter(QProcess& process, const QString& path, int quality, int rounds)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FAULTS_WRITE_RECORD"),
               QStringLiteral("%1,%2,%3").arg(path).arg(quality).arg(rounds));
    process.setProcessEnvironment(env);
    process.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(process.waitForStarted());
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file holds the whole key, and each value is one of the given
// instances' (or the first start's).
void checkRecord(const QString& path, const QList<int>& qualities)
{
    const QByteArray text = contentOf(path);
    QVERIFY2(text.endsWith("\n\n"), text.right(80).constData());
    const Registry::Section values = Registry::parse(text).value(Key);
    QCOMPARE(values.size(), 10);
    QStringList qualityTexts = {QStringLiteral("80")};
    for (int q : qualities)
        qualityTexts << QString::number(q);
    QVERIFY2(qualityTexts.contains(values.value("JpgQuality")),
             qPrintable(values.value("JpgQuality")));
    QVERIFY(qualityTexts.contains(values.value("AutoImagesNum")) ||
            values.value("AutoImagesNum") == QLatin1String("5"));
    Registry registry(path);
    AppSettings loaded;
    const LoadSettingsOutcome outcome = LoadSettings(registry, QStringLiteral("/pics"), loaded);
    QVERIFY2(outcome.errors.isEmpty(), qPrintable(outcome.errors.join('\n')));
    QVERIFY(!outcome.keyCreated);
}

} // namespace

class TestFaultsOptions : public QObject
{
    Q_OBJECT
private slots:
    void simultaneousOkLeavesACompleteRecord()
    {
        const QString path = test::scratchFolder() + QStringLiteral("/both.conf");
        QFile::remove(path);
        Registry registry(path);
        AppSettings first;
        LoadSettings(registry, QStringLiteral("/pics"), first);
        QProcess a, b;
        startWriter(a, path, 31, 40);
        startWriter(b, path, 62, 40);
        int reads = 0;
        // A third instance starting now and again reads a complete record.
        while (a.state() != QProcess::NotRunning || b.state() != QProcess::NotRunning) {
            checkRecord(path, {31, 62});
            if (QTest::currentTestFailed())
                return;
            ++reads;
            QTest::qWait(5);
        }
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        QVERIFY(reads > 3);
        checkRecord(path, {31, 62});
    }

    void writerKilledHoldingTheFileDoesNotStopTheOther()
    {
        const QString path = test::scratchFolder() + QStringLiteral("/killed.conf");
        QFile::remove(path);
        QFile::remove(path + QStringLiteral(".lock"));
        Registry registry(path);
        AppSettings first;
        LoadSettings(registry, QStringLiteral("/pics"), first);
        for (int round = 0; round < 4; ++round) {
            QProcess doomed, survivor;
            startWriter(doomed, path, 31, 100000);
            QTest::qWait(30 + 20 * round);
            startWriter(survivor, path, 62, 15);
            QTest::qWait(20);
            QVERIFY(survivor.state() != QProcess::NotRunning); // it writes after the kill
            ::kill(pid_t(doomed.processId()), SIGKILL);
            doomed.waitForFinished();
            // The killed writer may leave its lock file; the survivor takes
            // it over and stores its whole record in reasonable time.
            QVERIFY(survivor.waitForFinished(60000));
            QCOMPARE(survivor.exitCode(), 0);
            checkRecord(path, {31, 62});
            const Registry::Section values = Registry::parse(contentOf(path)).value(Key);
            QCOMPARE(values.value("JpgQuality"), QString("62"));
            QCOMPARE(values.value("AutoFolder"), QString("/pics/62"));
            QCOMPARE(values.value("HotKeyDesk"), QString("1,62"));
        }
    }
};

int main(int argc, char** argv)
{
    const QString request = qEnvironmentVariable("FAULTS_WRITE_RECORD");
    if (!request.isEmpty())
        return writeRecords(request);
    test::isolateUserFolders();
    QCoreApplication app(argc, argv);
    TestFaultsOptions tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_faults_options.moc"
