// The desktop tools behind the wallpaper and e-mail services, run for real
// against stand-in programs on PATH that record how they were called.
#include "TestSupport.h"

#include "base/Texts.h"
#include "platform/DesktopMailer.h"
#include "platform/DesktopToolWallpaper.h"

#include <QDir>
#include <QFile>

#include <QProcessEnvironment>
#include <functional>
#include <optional>

using namespace snaplorn;

Q_DECLARE_METATYPE(snaplorn::Mailer::Compose)

namespace {

QString toolsFolder()
{
    return test::scratchFolder() + "/tools";
}

QString logFile()
{
    return test::scratchFolder() + "/tools.log";
}

// A shell script named `name` in the tools folder.
void writeTool(const QString& name, const QByteArray& body)
{
    QFile script(toolsFolder() + "/" + name);
    QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
    // The test's PATH holds only the stand-ins; the scripts find the system's tools.
    script.write("#!/bin/sh\nPATH=/usr/bin:/bin\n" + body + "\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// Each call as one line: the arguments in brackets.
const QByteArray LogCall = "printf '[%s]' \"$@\" >> \"$TOOL_LOG\"; echo >> \"$TOOL_LOG\"";

QStringList loggedCalls()
{
    QFile log(logFile());
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
}

QString bracketed(const QStringList& arguments)
{
    QString line;
    for (const QString& argument : arguments)
        line += "[" + argument + "]";
    return line;
}

QString attachment()
{
    const QString path = test::scratchFolder() + "/screen.jpg";
    if (!QFile::exists(path))
        test::patternImage(16, 12).save(path, "JPEG");
    return path;
}

// The mail program's or transport's answer, waited for in the event loop.
template <typename Outcome> struct Answer {
    std::optional<Outcome> value;
    std::function<void(const Outcome&)> take()
    {
        return [this](const Outcome& outcome) { value = outcome; };
    }
    Outcome wait()
    {
        if (!QTest::qWaitFor([this] { return value.has_value(); }, 20000))
            qWarning("no answer from the mail program");
        return value.value_or(Outcome{});
    }
};

Mailer::ComposeOutcome composeNow(DesktopMailer& mailer, const QString& subject)
{
    Answer<Mailer::ComposeOutcome> answer;
    mailer.compose(subject, attachment(), nullptr, answer.take());
    return answer.wait();
}

Result sendNow(DesktopMailer& mailer, const MailMessage& message)
{
    Answer<Result> answer;
    mailer.send(message, nullptr, answer.take());
    return answer.wait();
}

} // namespace

class TestOutputPlatform : public QObject
{
    Q_OBJECT

    QByteArray m_path;

private slots:
    void initTestCase()
    {
        m_path = qgetenv("PATH");
        qputenv("TOOL_LOG", logFile().toUtf8());
    }
    void init()
    {
        QDir(toolsFolder()).removeRecursively();
        QDir().mkpath(toolsFolder());
        QFile::remove(logFile());
        // Only the stand-ins can be found.
        qputenv("PATH", toolsFolder().toUtf8());
    }
    void cleanup() { qputenv("PATH", m_path); }

    // ---- wallpaper through the desktop's tools -----------------------------

    void gnomeWallpaperGoesThroughGsettings()
    {
        writeTool("gsettings", LogCall);
        DesktopToolWallpaper wallpaper(DesktopKind::Gnome);
        const Result set = wallpaper.set("/data/my wall.bmp", WallpaperStyle::Stretch);
        QVERIFY2(set.ok, qPrintable(set.message));
        const QString schema = "org.gnome.desktop.background";
        QCOMPARE(loggedCalls(),
                 (QStringList{
                     bracketed({"set", schema, "picture-uri", "'file:///data/my%20wall.bmp'"}),
                     bracketed({"set", schema, "picture-uri-dark", "'file:///data/my%20wall.bmp'"}),
                     bracketed({"set", schema, "picture-options", "'stretched'"})}));
        QFile::remove(logFile());
        QVERIFY(wallpaper.remove().ok);
        QCOMPARE(loggedCalls(),
                 QStringList{bracketed({"set", schema, "picture-options", "'none'"})});
    }

    void failingDesktopToolIsReported()
    {
        writeTool("gsettings",
                  "echo 'No such schema \"org.gnome.desktop.background\"' >&2; exit 1");
        DesktopToolWallpaper wallpaper(DesktopKind::Gnome);
        const Result set = wallpaper.set("/data/w.bmp", WallpaperStyle::Center);
        QVERIFY(!set.ok);
        QCOMPARE(set.message,
                 QString(texts::WallpaperToolFailed)
                     .arg("gsettings", "No such schema \"org.gnome.desktop.background\""));
        writeTool("gsettings", "exit 5");
        QCOMPARE(wallpaper.remove().message,
                 QString(texts::WallpaperToolFailed).arg("gsettings", "(exit code 5)"));
    }

    void olderGnomeWithoutDarkPictureStillWorks()
    {
        writeTool("gsettings", LogCall + "\n[ \"$3\" = picture-uri-dark ] && exit 1; exit 0");
        DesktopToolWallpaper wallpaper(DesktopKind::Gnome);
        QVERIFY(wallpaper.set("/data/w.bmp", WallpaperStyle::Tile).ok);
        QCOMPARE(loggedCalls().size(), 3);
    }

    void missingDesktopToolIsReported()
    {
        DesktopToolWallpaper gnome(DesktopKind::Gnome);
        QCOMPARE(gnome.set("/data/w.bmp", WallpaperStyle::Tile).message,
                 QString(texts::WallpaperToolMissing).arg("gsettings"));
        DesktopToolWallpaper xfce(DesktopKind::Xfce);
        QCOMPARE(xfce.remove().message, QString(texts::WallpaperToolMissing).arg("xfconf-query"));
        DesktopToolWallpaper plasma(DesktopKind::Plasma);
        QCOMPARE(plasma.remove().message, QString(texts::WallpaperToolMissing).arg("dbus-send"));
    }

    void xfceSetsTheMonitorsItLists()
    {
        writeTool("xfconf-query",
                  "if [ \"$3\" = -l ]; then\n"
                  "  echo /backdrop/screen0/monitorVirtual1/workspace0/image-style\n"
                  "  echo /backdrop/screen0/monitorVirtual1/workspace0/last-image\n"
                  "  exit 0\n"
                  "fi\n" +
                      LogCall);
        DesktopToolWallpaper wallpaper(DesktopKind::Xfce);
        QVERIFY(wallpaper.set("/data/w.bmp", WallpaperStyle::Tile).ok);
        const QString base = "/backdrop/screen0/monitorVirtual1/workspace0/";
        QCOMPARE(
            loggedCalls(),
            (QStringList{
                bracketed({"-c", "xfce4-desktop", "-p", base + "last-image", "-s", "/data/w.bmp"}),
                bracketed({"-c", "xfce4-desktop", "-p", base + "image-style", "-s", "2"})}));
    }

    void plasmaGetsItsScriptOverDbus()
    {
        writeTool("dbus-send", LogCall);
        DesktopToolWallpaper wallpaper(DesktopKind::Plasma);
        QVERIFY(wallpaper.set("/data/w.bmp", WallpaperStyle::Center).ok);
        const QString call = loggedCalls().join('\n');
        QVERIFY(call.startsWith("[--session][--print-reply][--type=method_call]"
                                "[--dest=org.kde.plasmashell][/PlasmaShell]"
                                "[org.kde.PlasmaShell.evaluateScript][string:var all"));
        QVERIFY(call.contains("d.writeConfig(\"Image\", \"file:///data/w.bmp\");"));
        QVERIFY(call.endsWith("}\n]") || call.endsWith("}]"));
    }

    // ---- the mail program through xdg-email --------------------------------

    void composeOutcomes_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<Mailer::Compose>("outcome");
        QTest::addColumn<QString>("message");
        QTest::newRow("opened") << QByteArray("exit 0") << Mailer::Compose::Opened << QString();
        QTest::newRow("no mail program (3)")
            << QByteArray("echo 'xdg-email: no method available' >&2; exit 3")
            << Mailer::Compose::NoClient << QString();
        QTest::newRow("mail program failed (4)")
            << QByteArray("exit 4") << Mailer::Compose::NoClient << QString();
        QTest::newRow("other failure")
            << QByteArray("echo \"xdg-email: file '/x' does not exist\" >&2; exit 2")
            << Mailer::Compose::Failed
            << QString(texts::EmailClientFailed).arg("xdg-email: file '/x' does not exist");
        QTest::newRow("other failure, silent")
            << QByteArray("exit 5") << Mailer::Compose::Failed
            << QString(texts::EmailClientFailed).arg("(xdg-email exit code 5)");
    }
    void composeOutcomes()
    {
        QFETCH(QByteArray, script);
        QFETCH(Mailer::Compose, outcome);
        QFETCH(QString, message);
        writeTool("xdg-email", LogCall + "\n" + script);
        DesktopMailer mailer;
        const Mailer::ComposeOutcome composed = composeNow(mailer, "Subject ä");
        QCOMPARE(composed.outcome, outcome);
        QCOMPARE(composed.message, message);
        QCOMPARE(loggedCalls(), QStringList{bracketed({"--utf8", "--subject", "Subject ä",
                                                       "--attach", attachment()})});
    }

    void missingXdgEmailMeansNoMailProgram()
    {
        DesktopMailer mailer;
        QCOMPARE(composeNow(mailer, "s").outcome, Mailer::Compose::NoClient);
    }

    void mailProgramThatStaysOpenIsLeftRunning()
    {
        writeTool("xdg-email", "sleep 1; echo still-here >> \"$TOOL_LOG\"");
        DesktopMailer mailer;
        mailer.setComposeWait(100);
        QCOMPARE(composeNow(mailer, "s").outcome, Mailer::Compose::Opened);
        QTRY_COMPARE_WITH_TIMEOUT(loggedCalls(), QStringList{"still-here"}, 5000);
    }

    void realXdgEmailHandsOverSubjectAndAttachment()
    {
        qputenv("PATH", m_path);
        if (QStandardPaths::findExecutable("xdg-email").isEmpty())
            QSKIP("xdg-email is not installed");
        writeTool("mail-program", "printf '%s\\n' \"$1\" >> \"$TOOL_LOG\"");
        qputenv("MAILER", (toolsFolder() + "/mail-program").toUtf8());
        DesktopMailer mailer;
        const Mailer::ComposeOutcome composed =
            composeNow(mailer, "Screenshot attached (captured by Snaplorn)");
        qunsetenv("MAILER");
        QCOMPARE(composed.outcome, Mailer::Compose::Opened);
        const QStringList calls = loggedCalls();
        QCOMPARE(calls.size(), 1);
        QVERIFY2(calls[0].startsWith("mailto:?subject=Screenshot%20attached%20%28captured"),
                 qPrintable(calls[0]));
        const QString attached = calls[0].mid(calls[0].indexOf("&attach=") + 8);
        QCOMPARE(QUrl::fromPercentEncoding(attached.toUtf8()), attachment());
    }

    // ---- sending through sendmail ------------------------------------------

    void sendPipesAMimeMessageToSendmail()
    {
        writeTool("sendmail", LogCall + "\ncat > \"$TOOL_LOG.mail\"");
        DesktopMailer mailer;
        const MailMessage message{"ann@example.com", "Hello\r\nBcc: eve@evil.example",
                                  "Text\r\n\r\n[tag]", attachment(), "screen.jpg"};
        const Result sent = sendNow(mailer, message);
        QVERIFY2(sent.ok, qPrintable(sent.message));
        QCOMPARE(loggedCalls(), QStringList{"[-t][-oi]"});
        QFile mailFile(logFile() + ".mail");
        QVERIFY(mailFile.open(QIODevice::ReadOnly));
        const QByteArray mail = mailFile.readAll();
        QVERIFY(!mail.contains('\r')); // sendmail's local form
        QVERIFY(mail.startsWith("To: ann@example.com\nSubject: Hello  Bcc: eve@evil.example\n"));
        QVERIFY(!mail.contains("\nBcc:"));
        // The attachment is the file's bytes, base64 in the last part.
        const int start = mail.indexOf("filename=\"screen.jpg\"\n\n") + 23;
        const int end = mail.indexOf("\n--", start);
        QFile jpeg(attachment());
        QVERIFY(jpeg.open(QIODevice::ReadOnly));
        QCOMPARE(QByteArray::fromBase64(mail.mid(start, end - start)), jpeg.readAll());
    }

    void sendFailuresAreDescribed()
    {
        const MailMessage message{"ann@example.com", "s", "b", attachment(), "screen.jpg"};
        writeTool("sendmail", "cat > /dev/null; echo 'msmtp: cannot connect to 127.0.0.1, port 25' "
                              ">&2; echo 'msmtp: could not send mail' >&2; exit 75");
        DesktopMailer mailer;
        // Each line of the transport's own report on a line of its own.
        QCOMPARE(sendNow(mailer, message).message,
                 QString(texts::MailSendFailed)
                     .arg(75)
                     .arg("msmtp: cannot connect to 127.0.0.1, port 25\r\n"
                          "msmtp: could not send mail"));
        DesktopMailer noTransport("xdg-email", "snaplorn-test-no-such-sendmail");
        QCOMPARE(sendNow(noTransport, message).message, QString(texts::MailTransportMissing));
        MailMessage noFile = message;
        noFile.attachmentPath = test::scratchFolder() + "/missing.jpg";
        QCOMPARE(sendNow(mailer, noFile).message,
                 QString(texts::MailAttachmentUnreadable).arg(noFile.attachmentPath));
        MailMessage injected = message;
        injected.to = "ann@example.com\r\nBcc: eve@evil.example";
        QVERIFY(!sendNow(mailer, injected).ok);
    }

    void mailProgramsRunWithoutHoldingTheCaller()
    {
        const MailMessage message{"ann@example.com", "s", "b", attachment(), "screen.jpg"};
        writeTool("xdg-email", "sleep 1");
        writeTool("sendmail", "cat > /dev/null; echo started >> \"$TOOL_LOG\"; sleep 1; "
                              "echo sent >> \"$TOOL_LOG\"");
        DesktopMailer mailer;
        Answer<Mailer::ComposeOutcome> composed;
        mailer.compose("s", attachment(), nullptr, composed.take());
        Answer<Result> sent;
        mailer.send(message, nullptr, sent.take());
        QVERIFY(!composed.value && !sent.value); // both still running
        QCOMPARE(composed.wait().outcome, Mailer::Compose::Opened);
        QVERIFY2(sent.wait().ok, qPrintable(sent.value->message));
        QCOMPARE(loggedCalls(), (QStringList{"started", "sent"}));

        // A send whose window closed is stopped and answers nobody.
        QFile::remove(logFile());
        auto* window = new QObject;
        bool answered = false;
        mailer.send(message, window, [&answered](const Result&) { answered = true; });
        QTRY_COMPARE(loggedCalls(), QStringList{"started"});
        delete window;
        QTest::qWait(1500);
        QCOMPARE(loggedCalls(), QStringList{"started"});
        QVERIFY(!answered);
    }
};

SNAPLORN_TEST_MAIN_CORE(TestOutputPlatform)
#include "tst_output_platform.moc"
