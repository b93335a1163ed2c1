// Printing and e-mail against real servers started by the test: a CUPS
// server of its own with a cups-pdf printer as the default, and an SMTP
// sink behind msmtp as the sendmail transport. Both are stopped again.
#include "OutputHarness.h"

#include "base/Paths.h"
#include "base/Texts.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <pwd.h>
#include <unistd.h>

using namespace snaplorn;
using namespace snaplorn::test;

namespace {

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The folder cups-pdf writes to for this user: its "Out" setting with
// ${HOME} the user's home from the password database.
QString cupsPdfFolder()
{
    QString out = QStringLiteral("${HOME}/PDF");
    QFile config("/etc/cups/cups-pdf.conf");
    if (config.open(QIODevice::ReadOnly))
        for (const QByteArray& line : config.readAll().split('\n'))
            if (line.trimmed().startsWith("Out "))
                out = QString::fromUtf8(line.trimmed().mid(4)).trimmed();
    const passwd* user = getpwuid(getuid());
    return out.replace("${HOME}", QString::fromLocal8Bit(user ? user->pw_dir : "/root"));
}

// The printable area of the printer's default page, in points from the
// page's top-left corner, as its PPD states it.
QRectF ppdPrintableArea(const QString& ppdFile)
{
    QFile ppd(ppdFile);
    if (!ppd.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromLatin1(ppd.readAll());
    const auto size = QRegularExpression("\\*DefaultPageSize: *(\\S+)").match(text).captured(1);
    const auto numbers = [&](const QString& keyword) {
        const QRegularExpression pattern("\\*" + keyword + " " + QRegularExpression::escape(size) +
                                         "(/[^:]*)?: *\"([^\"]*)\"");
        QList<qreal> values;
        for (const QString& value : pattern.match(text).captured(2).split(' ', Qt::SkipEmptyParts))
            values << value.toDouble();
        return values;
    };
    const QList<qreal> area = numbers("ImageableArea");
    const QList<qreal> paper = numbers("PaperDimension");
    if (area.size() != 4 || paper.size() != 2)
        return {};
    return QRectF(area[0], paper[1] - area[3], area[2] - area[0], area[3] - area[1]);
}

QRect boundingBoxOfInk(const QImage& page)
{
    QRect box;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 240)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class TestOutputServers : public QObject
{
    Q_OBJECT

    OutputWindow o;
    QTemporaryDir cupsFolder{QStringLiteral("/tmp/snaplorn-cups-XXXXXX")};

    QString cupsSocket() const { return cupsFolder.path() + "/cups.sock"; }
    bool startCups(std::unique_ptr<Server>& cupsd);

private slots:
    void initTestCase()
    {
        // The CUPS server this test starts, and no other.
        qputenv("CUPS_SERVER", cupsSocket().toUtf8());
        // A mail program that always fails: xdg-email then reports that
        // there is none, and the program's own e-mail window takes over.
        const QString noMailer = scratchFolder() + "/no-mail-program";
        QFile script(noMailer);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nexit 1\n");
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        qputenv("MAILER", noMailer.toUtf8());
        o.create();
        QVERIFY(o.services.printer && o.services.mailer);
    }
    void cleanupTestCase() { o.w.reset(); }
    void init() { o.messages->clear(); }

    void printLandsInThePdfAtScreenScale();
    void mailReachesTheSmtpServer();
};

bool TestOutputServers::startCups(std::unique_ptr<Server>& cupsd)
{
    const QString d = cupsFolder.path();
    QFile::setPermissions(d, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                 QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                 QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                 QFileDevice::ExeOther);
    for (const char* sub : {"ppd", "state", "cache", "spool", "tmp", "log"})
        QDir().mkpath(d + "/" + sub);
    QFile::setPermissions(d + "/tmp", QFileDevice::Permissions(0x7777));
    QFile conf(d + "/cupsd.conf");
    conf.open(QIODevice::WriteOnly);
    conf.write(QString("Listen %1\nLogLevel warn\nDefaultAuthType None\nWebInterface No\n"
                       "Browsing Off\n<Policy default>\n  JobPrivateAccess default\n"
                       "  JobPrivateValues default\n  SubscriptionPrivateAccess default\n"
                       "  SubscriptionPrivateValues default\n  <Limit All>\n"
                       "    Order deny,allow\n  </Limit>\n</Policy>\n"
                       "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n")
                   .arg(cupsSocket())
                   .toUtf8());
    conf.close();
    QFile files(d + "/cups-files.conf");
    files.open(QIODevice::WriteOnly);
    files.write(QString("ServerRoot %1\nStateDir %1/state\nCacheDir %1/cache\n"
                        "RequestRoot %1/spool\nTempDir %1/tmp\nAccessLog %1/log/access_log\n"
                        "ErrorLog %1/log/error_log\nPageLog %1/log/page_log\n"
                        "Printcap %1/printcap\nSystemGroup root\n")
                    .arg(d)
                    .toUtf8());
    files.close();
    cupsd = std::make_unique<Server>(
        "/usr/sbin/cupsd", QStringList{"-f", "-c", conf.fileName(), "-s", files.fileName()});
    for (int i = 0; i < 100 && !QFile::exists(cupsSocket()); ++i)
        QTest::qWait(100);
    if (!cupsd->running() || !QFile::exists(cupsSocket())) {
        qWarning() << "cupsd did not start:" << cupsd->output();
        return false;
    }
    const Run added = run("lpadmin", {"-p", "PDF", "-v", "cups-pdf:/", "-m",
                                      "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd", "-E"});
    const Run made = run("lpadmin", {"-d", "PDF"});
    if (added.exitCode != 0 || made.exitCode != 0) {
        qWarning() << "lpadmin failed:" << added.output << made.output;
        return false;
    }
    return true;
}

void TestOutputServers::printLandsInThePdfAtScreenScale()
{
    QImage picture(100, 80, QImage::Format_RGB32);
    picture.fill(qRgb(200, 30, 60));
    o.showPicture(picture);

    // No print server yet: no printer, and the user hears so.
    o.trigger("mnuPrint");
    QCOMPARE(o.messages->count(), 1);
    QCOMPARE(o.messages->last().text, QString(texts::NoPrinter));

    std::unique_ptr<Server> cupsd;
    QVERIFY(startCups(cupsd));
    const QString outFolder = cupsPdfFolder();
    const QDateTime started = QDateTime::currentDateTime().addSecs(-1);
    o.messages->clear();
    o.trigger("mnuPrint");
    QVERIFY2(o.messages->count() == 0, qPrintable(o.messages->last().text));

    // The job ends when the queue is empty; cups-pdf then has written the file.
    QString pdf;
    for (int i = 0; i < 300 && pdf.isEmpty(); ++i) {
        QTest::qWait(100);
        if (!run("lpstat", {"-o"}).output.trimmed().isEmpty())
            continue;
        for (const QFileInfo& file : QDir(outFolder).entryInfoList({"*.pdf"}, QDir::Files))
            if (file.lastModified() >= started && file.fileName().contains("Snaplorn"))
                pdf = file.absoluteFilePath();
    }
    QVERIFY2(!pdf.isEmpty(), qPrintable("no PDF in " + outFolder + ": " + cupsd->output()));
    QTest::qWait(300);
    const QRectF printable = ppdPrintableArea(cupsFolder.path() + "/ppd/PDF.ppd");
    cupsd->stop();

    // The picture itself: 100 x 80 pixels at the screen's resolution.
    const QScreen* screen = o.w->screen();
    const qreal dpiX = screen->physicalDotsPerInchX() * screen->devicePixelRatio();
    const qreal dpiY = screen->physicalDotsPerInchY() * screen->devicePixelRatio();
    const Run list = run("pdfimages", {"-list", pdf});
    const QStringList rows = QString::fromLatin1(list.output).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 3); // two heading lines, one picture
    const QStringList fields = rows[2].simplified().split(' ');
    QCOMPARE(fields[3], QString("100"));
    QCOMPARE(fields[4], QString("80"));
    QVERIFY2(qAbs(fields[12].toDouble() - dpiX) <= 1.0, qPrintable(rows[2]));
    QVERIFY2(qAbs(fields[13].toDouble() - dpiY) <= 1.0, qPrintable(rows[2]));

    // Its place: 21 x 14 screen pixels from the printable area's corner.
    const QString pagePng = test::scratchFolder() + "/page";
    QCOMPARE(run("pdftoppm", {"-r", "288", "-png", "-singlefile", pdf, pagePng}).exitCode, 0);
    const QRect ink = boundingBoxOfInk(QImage(pagePng + ".png"));
    QVERIFY(!printable.isEmpty());
    const qreal scale = 288.0 / 72.0; // pixels per point
    const QRectF expected((printable.x() + 21 * 72.0 / dpiX) * scale,
                          (printable.y() + 14 * 72.0 / dpiY) * scale, 100 * 288.0 / dpiX,
                          80 * 288.0 / dpiY);
    const QString where = QString("ink %1,%2 %3x%4, expected %5,%6 %7x%8")
                              .arg(ink.x())
                              .arg(ink.y())
                              .arg(ink.width())
                              .arg(ink.height())
                              .arg(expected.x())
                              .arg(expected.y())
                              .arg(expected.width())
                              .arg(expected.height());
    QVERIFY2(qAbs(ink.x() - expected.x()) <= 2 && qAbs(ink.y() - expected.y()) <= 2,
             qPrintable(where));
    QVERIFY2(qAbs(ink.width() - expected.width()) <= 2 &&
                 qAbs(ink.height() - expected.height()) <= 2,
             qPrintable(where));
    QFile::remove(pdf);
}

void TestOutputServers::mailReachesTheSmtpServer()
{
    const quint16 port = freePort();
    QFile rc(QDir::homePath() + "/.msmtprc");
    QVERIFY(rc.open(QIODevice::WriteOnly));
    rc.write(QString("account default\nhost 127.0.0.1\nport %1\nauth off\ntls off\n"
                     "from test@example.invalid\n")
                 .arg(port)
                 .toUtf8());
    rc.close();
    rc.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PYTHONUNBUFFERED", "1");
    Server sink("/usr/bin/python3",
                {"-m", "aiosmtpd", "-n", "-l", QString("127.0.0.1:%1").arg(port)}, environment);
    bool listening = false;
    for (int i = 0; i < 100 && !listening; ++i) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        listening = probe.waitForConnected(100);
        if (!listening)
            QTest::qWait(100);
    }
    QVERIFY2(listening, sink.output().constData());

    // A smooth picture, which JPEG keeps close to the original.
    QImage picture(120, 90, QImage::Format_RGB32);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x)
            picture.setPixel(x, y, qRgb(x * 2, y * 2, 128));
    o.showPicture(picture);
    const QString to = "ann@example.com, Bob <bob@example.org>";
    // The window waits for the transport without blocking: the send ends
    // with the window closed (sent) or open again for another try.
    auto fillAndSend = [&](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("txtTo")->setText(to);
        dialog->findChild<QPlainTextEdit*>("txtBody")->setPlainText("Hello\nthere");
        auto* send = dialog->findChild<QPushButton*>("cmdSend");
        send->click();
        QTest::qWaitFor([&] { return !dialog->isVisible() || send->isEnabled(); }, 60000);
    };
    {
        ModalWatcher watcher(fillAndSend);
        o.trigger("mnuSend");
        QTRY_COMPARE_WITH_TIMEOUT(watcher.seen, 1, 20000);
        QVERIFY2(!watcher.visibleAfterDrive, qPrintable(o.messages->last().text));
    }
    QCOMPARE(o.w->statusText(1), QString(texts::EmailSent).arg(to));
    QTRY_VERIFY_WITH_TIMEOUT(sink.output().contains("END MESSAGE"), 15000);
    const QByteArray log = sink.output();
    const QByteArray mail = log.mid(log.indexOf("MESSAGE FOLLOWS"),
                                    log.indexOf("END MESSAGE") - log.indexOf("MESSAGE FOLLOWS"));
    QVERIFY(mail.contains("\nTo: ann@example.com, \"Bob\" <bob@example.org>\n"));
    QVERIFY(mail.contains(
        "\nSubject: " + QString(texts::EmailDefaultSubject).arg(texts::WebAddress).toUtf8() +
        "\n"));
    const auto partBody = [&](const QByteArray& marker) {
        const int start = mail.indexOf("\n\n", mail.indexOf(marker)) + 2;
        return QByteArray::fromBase64(mail.mid(start, mail.indexOf("\n--", start) - start));
    };
    QCOMPARE(QString::fromUtf8(partBody("Content-Type: text/plain")),
             "Hello\r\nthere\r\n\r\n" + QString(texts::EmailTag).arg(texts::WebAddress));
    const QByteArray jpeg = partBody("Content-Type: image/jpeg");
    QFile written(paths::join(paths::cacheFolder(), "screen.jpg"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(jpeg, written.readAll());
    QImage received;
    QVERIFY(received.loadFromData(jpeg, "JPEG"));
    received = received.convertToFormat(QImage::Format_RGB32);
    QCOMPARE(received.size(), picture.size());
    qint64 difference = 0;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x) {
            const QRgb a = received.pixel(x, y);
            const QRgb b = picture.pixel(x, y);
            difference +=
                qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
        }
    QVERIFY2(difference / (120 * 90 * 3) <= 3, qPrintable(QString::number(difference)));

    // With the server gone the transport fails: the user reads why, and the
    // window stays open with what was typed.
    sink.stop();
    o.messages->clear();
    QString toAfterFailure;
    {
        ModalWatcher watcher([&](QWidget* dialog) {
            fillAndSend(dialog);
            toAfterFailure = dialog->findChild<QLineEdit*>("txtTo")->text();
        });
        o.trigger("mnuSend");
        QTRY_COMPARE_WITH_TIMEOUT(watcher.seen, 1, 20000);
        QVERIFY(watcher.visibleAfterDrive);
    }
    QCOMPARE(o.messages->count(), 1);
    // The transport's report (two lines: no connection, no mail sent), line by line.
    const QString report = o.messages->last().text;
    QVERIFY2(report.startsWith("The message could not be sent (exit code") &&
                 report.count("\r\n") == 2 && !report.contains("  "),
             qPrintable(report));
    QCOMPARE(toAfterFailure, to);
}

SNAPLORN_TEST_MAIN(TestOutputServers)
#include "tst_output_servers.moc"
