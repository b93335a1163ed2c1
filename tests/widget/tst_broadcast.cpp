// The broadcast download against a small HTTP server in this process, and
// the main window's part: the message shown or not, and the tracking
// request sent only after a shown message.
#include "TestSupport.h"

#include "broadcast/BroadcastFetch.h"
#include "mainwindow/BroadcastNotice.h"
#include "mainwindow/frmMsgBox.h"
#include "mainwindow/frmViewImage.h"
#include "settings/Registry.h"

#include <QFile>
#include <QLabel>
#include <QMap>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

using namespace snaplorn;

namespace {

// Answers GET requests from a table of paths; an unknown path gets 404 and
// a path marked "hang" never gets an answer.
class TinyHttpServer : public QObject
{
public:
    TinyHttpServer()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
        });
    }
    QString base() const
    {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
    }
    QMap<QByteArray, QByteArray> files;
    QList<QByteArray> hanging;
    QList<QByteArray> withoutLength; // the body ends when the connection does
    QList<QByteArray> requests;

private:
    void serve(QTcpSocket* socket)
    {
        const QByteArray request = socket->readAll();
        const QByteArray path = request.split(' ').value(1);
        requests << path;
        if (hanging.contains(path))
            return;
        const bool found = files.contains(path);
        const QByteArray body = found ? files.value(path) : QByteArray("<html>not found</html>");
        QByteArray head = found ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n";
        if (!withoutLength.contains(path))
            head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        socket->write(head + "Connection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }
    QTcpServer m_server;
};

const QByteArray SampleReply =
    "<USR>SNL30</USR><MID>43</MID><MSG>Version 3.1</MSG>"
    "<URL>https://www.quorvex.example/</URL><BTN>YN</BTN><TTL>News</TTL>";
const QByteArray FilePath = "/snaplorn/BCSnplrn21.bbc";
const QByteArray TrackPath = "/snaplorn/BCSnplrn21_track.asp?n=NoName&t=SNL30";

} // namespace

class TestBroadcast : public QObject
{
    Q_OBJECT

    std::unique_ptr<TinyHttpServer> server;

    QUrl fileUrl() const { return QUrl(server->base() + QString::fromLatin1(FilePath)); }

private slots:
    void init() { server = std::make_unique<TinyHttpServer>(); }
    void cleanup() { server.reset(); }

    void replyArrives()
    {
        server->files[FilePath] = SampleReply;
        BroadcastFetch fetch;
        QSignalSpy arrived(&fetch, &BroadcastFetch::arrived);
        fetch.start(fileUrl());
        QVERIFY(fetch.isRunning());
        QVERIFY(arrived.wait(5000));
        QCOMPARE(arrived.first().first().toByteArray(), SampleReply);
        QVERIFY(!fetch.isRunning());
    }

    void errorStatusFails()
    {
        BroadcastFetch fetch;
        QSignalSpy arrived(&fetch, &BroadcastFetch::arrived);
        QSignalSpy failed(&fetch, &BroadcastFetch::failed);
        fetch.start(fileUrl()); // 404 with a page
        QVERIFY(failed.wait(5000));
        QCOMPARE(arrived.count(), 0);
    }

    void oversizedReplyIsDropped_data()
    {
        QTest::addColumn<bool>("announced");
        QTest::newRow("length announced") << true;
        QTest::newRow("length not announced") << false;
    }
    void oversizedReplyIsDropped()
    {
        QFETCH(bool, announced);
        if (!announced)
            server->withoutLength << FilePath;
        server->files[FilePath] = SampleReply + QByteArray(70 * 1024, ' ');
        BroadcastFetch fetch;
        QSignalSpy arrived(&fetch, &BroadcastFetch::arrived);
        QSignalSpy failed(&fetch, &BroadcastFetch::failed);
        fetch.start(fileUrl());
        QVERIFY(failed.wait(5000));
        QCOMPARE(arrived.count(), 0);
        // Exactly at the limit is still a reply.
        server->files[FilePath] = SampleReply + QByteArray(64 * 1024 - SampleReply.size(), ' ');
        fetch.start(fileUrl());
        QVERIFY(arrived.wait(5000));
        QCOMPARE(arrived.first().first().toByteArray().size(), 64 * 1024);
    }

    void silentServerTimesOut()
    {
        server->hanging << FilePath;
        BroadcastFetch fetch;
        fetch.setTimeoutMs(300);
        QSignalSpy failed(&fetch, &BroadcastFetch::failed);
        fetch.start(fileUrl());
        QVERIFY(failed.wait(5000));
        QVERIFY(!fetch.isRunning());
    }

    void abortEndsQuietly()
    {
        server->hanging << FilePath;
        BroadcastFetch fetch;
        QSignalSpy arrived(&fetch, &BroadcastFetch::arrived);
        QSignalSpy failed(&fetch, &BroadcastFetch::failed);
        fetch.start(fileUrl());
        QTRY_COMPARE(server->requests.size(), 1);
        fetch.abort();
        QVERIFY(!fetch.isRunning());
        QTest::qWait(100);
        QCOMPARE(arrived.count() + failed.count(), 0);
    }

    void onlyWebAddressesAreFetched()
    {
        const QString local = test::scratchFolder() + "/local.bbc";
        QFile file(local);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(SampleReply);
        file.close();
        BroadcastFetch fetch;
        QSignalSpy arrived(&fetch, &BroadcastFetch::arrived);
        QSignalSpy failed(&fetch, &BroadcastFetch::failed);
        fetch.start(QUrl::fromLocalFile(local));
        QCOMPARE(failed.count(), 1);
        fetch.sendTracking(QUrl::fromLocalFile(local));
        QTest::qWait(50);
        QCOMPARE(arrived.count(), 0);
    }

    void windowShowsTheMessageThenTracks()
    {
        server->files[FilePath] = SampleReply;
        qputenv("SNAPLORN_BROADCAST_URL", server->base().toUtf8() + "/");
        test::StandIns s = test::makeStandIns();
        Registry registry(test::scratchFolder() + "/broadcast.conf");
        frmViewImage w(s.services, registry, QString());
        w.settings().HideMsgID = "42";
        w.broadcast().start();
        QTRY_VERIFY(w.broadcast().msgBox() && w.broadcast().msgBox()->isVisible());
        QCOMPARE(w.broadcast().msgBox()->windowTitle(), QString("News "));
        QCOMPARE(w.broadcast().msgBox()->messageId(), QString("43"));
        QCOMPARE(w.broadcast().msgBox()->findChild<QLabel*>("lblMsg")->text(),
                 QString("Version 3.1"));
        QTRY_COMPARE(server->requests, QList<QByteArray>({FilePath, TrackPath}));
    }

    void windowShowsNothingForABlockedMessage()
    {
        server->files[FilePath] = QByteArray(SampleReply).replace("43", "42");
        qputenv("SNAPLORN_BROADCAST_URL", server->base().toUtf8());
        test::StandIns s = test::makeStandIns();
        Registry registry(test::scratchFolder() + "/broadcast.conf");
        frmViewImage w(s.services, registry, QString());
        w.settings().HideMsgID = "42";
        w.broadcast().start();
        QTRY_COMPARE(server->requests.size(), 1);
        QTest::qWait(200);
        QVERIFY(!w.broadcast().msgBox());
        QCOMPARE(server->requests.size(), 1); // no tracking request
    }

    void windowDropsOtherReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("web page") << "<HTML><BODY>" + SampleReply + "</BODY></HTML>";
        QTest::newRow("other audience") << QByteArray(SampleReply).replace("SNL30", "SNL21");
        QTest::newRow("closing tag missing") << QByteArray(SampleReply).replace("</MSG>", "");
        QTest::newRow("opening tag missing") << QByteArray(SampleReply).replace("<MSG>", "");
    }
    void windowDropsOtherReplies()
    {
        QFETCH(QByteArray, reply);
        test::StandIns s = test::makeStandIns();
        Registry registry(test::scratchFolder() + "/broadcast.conf");
        frmViewImage w(s.services, registry, QString());
        w.broadcast().arrived(reply);
        QVERIFY(!w.broadcast().msgBox());
    }

    void closingAbortsARunningDownload()
    {
        server->hanging << FilePath;
        qputenv("SNAPLORN_BROADCAST_URL", server->base().toUtf8());
        test::StandIns s = test::makeStandIns();
        Registry registry(test::scratchFolder() + "/broadcast.conf");
        frmViewImage w(s.services, registry, QString());
        w.show();
        w.broadcast().start();
        QTRY_COMPARE(server->requests.size(), 1);
        auto* fetch = w.findChild<BroadcastFetch*>("Inet1");
        QVERIFY(fetch && fetch->isRunning());
        QVERIFY(w.close());
        QVERIFY(!fetch->isRunning());
    }
};

SNAPLORN_TEST_MAIN(TestBroadcast)
#include "tst_broadcast.moc"
