#include "TestSupport.h"

#include "base/Paths.h"
#include "settings/Registry.h"
#include "base/Texts.h"
#include "document/ImageDocument.h"
#include "mainwindow/frmViewImage.h"
#include "platform/LoggingMessageService.h"

#include <QFile>

using namespace snaplorn;

namespace {

QString settingsWith(const QByteArray& values)
{
    const QString path = test::scratchFolder() + "/startup.conf";
    QFile::remove(path);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("[Software\\Quorvex\\Snaplorn21]\n" + values);
    return path;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void loadStepRunsInOrder_data()
    {
        QTest::addColumn<QByteArray>("values");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("hot keys registered after the settings are read")
            << QByteArray("HotKeyPresent=1\n")
            << QStringList{"settings", "hotkeys", "tick:visible"};
        QTest::newRow("no hot keys when the setting is 0")
            << QByteArray("HotKeyPresent=0\n") << QStringList{"settings", "tick:visible"};
        QTest::newRow("a bad value still lets every step run")
            << QByteArray("JpgQuality=abc\nHotKeyPresent=1\n")
            << QStringList{"settings", "hotkeys", "tick:visible"};
    }
    void loadStepRunsInOrder()
    {
        QFETCH(QByteArray, values);
        QFETCH(QStringList, expected);
        test::StandIns s = test::makeStandIns();
        Registry registry(settingsWith(values));
        frmViewImage window(s.services, registry, QString());
        QStringList steps;
        connect(&window, &frmViewImage::settingsLoaded, this, [&] { steps << "settings"; });
        connect(&window, &frmViewImage::hotKeysRegistering, this, [&] {
            // The hot keys see the settings just read, and the window shows.
            QVERIFY(window.isVisible());
            steps << "hotkeys";
        });
        connect(&window, &frmViewImage::startupTickRan, this, [&](bool visible) {
            steps << (visible ? "tick:visible" : "tick:hidden");
        });
        window.Load();
        QTRY_COMPARE(steps, expected);
        QVERIFY(window.isMaximized());
    }

    void conversionErrorIsShownOnceAndDefaultsStay()
    {
        test::StandIns s = test::makeStandIns();
        Registry registry(settingsWith("JpgQuality=abc\nAutoImagesNum=99999\nAutoFolder=/x\n"));
        frmViewImage window(s.services, registry, QString());
        window.Load();
        QCOMPARE(s.messages->count(), 1);
        const Message shown = s.messages->last();
        QCOMPARE(shown.icon, MsgIcon::Exclamation);
        QCOMPARE(shown.caption, QString("Snaplorn21"));
        QVERIFY(shown.text.contains("JpgQuality"));
        QVERIFY(shown.text.contains("AutoImagesNum"));
        QCOMPARE(window.settings().JpgQuality, qint16(80));
        QCOMPARE(window.settings().AutoImagesNum, qint16(5));
        QCOMPARE(window.settings().AutoFolder, QString("/x"));
    }

    void creationStepLeavesCommandsAndCanvasReady()
    {
        test::StandIns s = test::makeStandIns();
        Registry registry(settingsWith(""));
        frmViewImage window(s.services, registry, QString());
        for (const char* name : {"mnuUndo", "mnuRedo", "mnuPaste", "popShow"})
            QVERIFY2(!window.command(name)->isEnabled(), name);
        QVERIFY(window.command("mnuShowToolbox")->isChecked());
        QCOMPARE(window.document().width(), 0);
        QCOMPARE(window.windowTitle(), QString(texts::DesignCaption));
        QCOMPARE(window.document().lastDialogFolder(), paths::defaultPicturesFolder());
    }

    void commandLinePictureIsLoadedAtCreation()
    {
        const QString picture = test::scratchFolder() + "/with space.png";
        QVERIFY(test::patternImage(40, 30).save(picture));
        test::StandIns s = test::makeStandIns();
        Registry registry(settingsWith(""));
        frmViewImage window(s.services, registry, "\"" + picture + "\"");
        QCOMPARE(window.document().canvas().size(), QSize(40, 30));
        QCOMPARE(window.windowTitle(), QString(texts::TitledCaptionPrefix) + picture);
        QCOMPARE(window.document().filePath(), picture);
        QVERIFY(!window.document().isDirty());
        QCOMPARE(s.messages->count(), 0);
    }

    void unreadableCommandLinePictureStillOpensTheWindow()
    {
        const QString bogus = test::scratchFolder() + "/not-a-picture.jpg";
        QFile f(bogus);
        f.open(QIODevice::WriteOnly);
        f.write("hello, this is text");
        f.close();
        test::StandIns s = test::makeStandIns();
        Registry registry(settingsWith(""));
        frmViewImage window(s.services, registry, bogus);
        QCOMPARE(s.messages->count(), 1);
        QCOMPARE(s.messages->last().text, QString(texts::NotProperImage));
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
        QCOMPARE(window.windowTitle(), QString(texts::DesignCaption));
        QVERIFY(window.document().filePath().isEmpty());
        QCOMPARE(window.document().width(), 0);
    }

    // The message seam itself: queued answers in order, the cautious answer
    // once the queue is empty, captions defaulting to the application title.
    void messageSeamScriptsAnswersAndRecordsBoxes()
    {
        ScriptedMessageService messages;
        messages.queueAnswer(MsgAnswer::Yes);
        QCOMPARE(messages.ask(nullptr, {"q1", MsgIcon::Question, MsgButtons::YesNoCancel}),
                 MsgAnswer::Yes);
        QCOMPARE(messages.ask(nullptr, {"q2", MsgIcon::Question, MsgButtons::YesNoCancel}),
                 MsgAnswer::Cancel);
        QCOMPARE(messages.ask(nullptr, {"q3", MsgIcon::Question, MsgButtons::YesNo}),
                 MsgAnswer::No);
        messages.tell(nullptr, "done", MsgIcon::Information, "Error");
        QCOMPARE(messages.count(), 4);
        QCOMPARE(messages.shown().at(0).caption, QString("Snaplorn21"));
        QCOMPARE(messages.last().caption, QString("Error"));
        QCOMPARE(messages.last().icon, MsgIcon::Information);
    }

    void loggingSeamWritesOneLinePerBoxAndAnswers()
    {
        const QString log = test::scratchFolder() + "/messages.log";
        QFile::remove(log);
        LoggingMessageService messages(log, "yes,cancel");
        QCOMPARE(messages.ask(nullptr, {"a\r\nb", MsgIcon::Exclamation, MsgButtons::YesNoCancel}),
                 MsgAnswer::Yes);
        QCOMPARE(messages.ask(nullptr, {"c", MsgIcon::Critical, MsgButtons::YesNoCancel}),
                 MsgAnswer::Cancel);
        QCOMPARE(messages.ask(nullptr, {"d", MsgIcon::Information, MsgButtons::YesNo}),
                 MsgAnswer::No);
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), QByteArray("exclamation|yesnocancel|Snaplorn21|a\\r\\nb"));
        QCOMPARE(lines.at(1), QByteArray("critical|yesnocancel|Snaplorn21|c"));
    }
};

SNAPLORN_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
