// The broadcast message file: fields found by their tags in any case and
// order, web pages and malformed files dropped, the audience and blocked
// message tests, and the addresses of the file and the tracking request.
#include "TestSupport.h"

#include "broadcast/Broadcast.h"

using namespace snaplorn;

namespace {

const QByteArray Sample = "<USR>ALL SNL30 SNL21</USR>\r\n<MID> 43 </MID>\r\n"
                          "<MSG>Version 3.1 is out.</MSG>\r\n<URL>https://www.quorvex.example/"
                          "new</URL>\r\n<BTN>YN</BTN>\r\n<TTL>Snaplorn News</TTL>\r\n";

} // namespace

class TestBroadcastCore : public QObject
{
    Q_OBJECT
private slots:
    void sampleFile();
    void tagsInLowerCaseAndAnyOrder();
    void firstOccurrenceCounts();
    void dropped_data();
    void dropped();
    void bytesAreSingleByteText();
    void markupInTheMessageStaysText();
    void wanted_data();
    void wanted();
    void addresses();
    void baseFromEnvironment();
};

void TestBroadcastCore::sampleFile()
{
    const std::optional<BroadcastMessage> m = parseBroadcast(Sample);
    QVERIFY(m);
    QCOMPARE(m->audience, QStringLiteral("ALL SNL30 SNL21"));
    QCOMPARE(m->id, QStringLiteral("43"));
    QCOMPARE(m->text, QStringLiteral("Version 3.1 is out."));
    QCOMPARE(m->url, QStringLiteral("https://www.quorvex.example/new"));
    QCOMPARE(m->buttons, QStringLiteral("YN"));
    QCOMPARE(m->title, QStringLiteral("Snaplorn News"));
}

void TestBroadcastCore::tagsInLowerCaseAndAnyOrder()
{
    const QByteArray lower = "<ttl>T</ttl><btn>ok</btn><url>http://a.example/</url>"
                             "<msg>Hi</msg><Mid>7</mId><usr>SNL30</usr>";
    const std::optional<BroadcastMessage> m = parseBroadcast(lower);
    QVERIFY(m);
    QCOMPARE(m->audience, QStringLiteral("SNL30"));
    QCOMPARE(m->id, QStringLiteral("7"));
    QCOMPARE(m->text, QStringLiteral("Hi"));
    QCOMPARE(m->buttons, QStringLiteral("ok"));
    QCOMPARE(m->title, QStringLiteral("T"));
}

void TestBroadcastCore::firstOccurrenceCounts()
{
    const QString text = QStringLiteral("<MSG>one</MSG> <MSG>two</MSG>");
    QCOMPARE(broadcastField(text, QStringLiteral("MSG")), QStringLiteral("one"));
    QCOMPARE(broadcastField(QStringLiteral("<MSG></MSG>"), QStringLiteral("MSG")), QString());
}

void TestBroadcastCore::dropped_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("only spaces and line breaks") << QByteArray("  \r\n  ");
    QTest::newRow("error page in upper case")
        << QByteArray("<HTML><HEAD><TITLE>404 Not Found</TITLE></HEAD><BODY>") + Sample +
               "</BODY></HTML>";
    QTest::newRow("modern web page")
        << QByteArray("<!DOCTYPE html>\n<html lang=\"en\"><body>") + Sample + "</body></html>";
    QTest::newRow("closing tag missing") << QByteArray(Sample).replace("</MSG>", "");
    QTest::newRow("closing tag before opening tag")
        << QByteArray("</TTL>") + QByteArray(Sample).replace("</TTL>", "");
    QTest::newRow("opening tag of the text missing") << QByteArray(Sample).replace("<MSG>", "");
    QTest::newRow("opening tag of the title missing") << QByteArray(Sample).replace("<TTL>", "");
    QTest::newRow("buttons missing whole") << QByteArray(Sample).replace("<BTN>YN</BTN>", "");
    QTest::newRow("identifier missing whole") << QByteArray(Sample).replace("<MID> 43 </MID>", "");
}

void TestBroadcastCore::dropped()
{
    QFETCH(QByteArray, reply);
    QVERIFY(!parseBroadcast(reply));
}

void TestBroadcastCore::bytesAreSingleByteText()
{
    // Every byte is one character: UTF-8 sequences are not decoded, and
    // bytes that are no valid UTF-8 still give a character each.
    const QByteArray bytes =
        QByteArray(Sample).replace("Version 3.1 is out.", "caf\xc3\xa9 \xe9\xff");
    const std::optional<BroadcastMessage> m = parseBroadcast(bytes);
    QVERIFY(m);
    QCOMPARE(m->text.size(), 8);
    QCOMPARE(m->text, QString::fromLatin1("caf\xc3\xa9 \xe9\xff"));
}

void TestBroadcastCore::markupInTheMessageStaysText()
{
    const std::optional<BroadcastMessage> m =
        parseBroadcast(QByteArray(Sample).replace("Version 3.1 is out.", "<b>bold</b> & <i>"));
    QVERIFY(m);
    QCOMPARE(m->text, QStringLiteral("<b>bold</b> & <i>"));
}

void TestBroadcastCore::wanted_data()
{
    QTest::addColumn<QString>("audience");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("hidden");
    QTest::addColumn<bool>("wanted");
    QTest::newRow("new message") << "SNL30"
                                 << "43"
                                 << "42" << true;
    QTest::newRow("blocked message") << "SNL30"
                                     << "42"
                                     << "42" << false;
    QTest::newRow("blocked id with spaces") << "SNL30"
                                            << "42"
                                            << " 42 " << false;
    QTest::newRow("default 0 shows others") << "SNL30"
                                            << "1"
                                            << "0" << true;
    QTest::newRow("default 0 hides id 0") << "SNL30"
                                          << "0"
                                          << "0" << false;
    QTest::newRow("cleared setting shows") << "SNL30"
                                           << "42" << QString() << true;
    QTest::newRow("other audience") << "SNL21 SNL22"
                                    << "43"
                                    << "0" << false;
    QTest::newRow("audience among others") << "ALL,SNL30,X"
                                           << "43"
                                           << "0" << true;
    QTest::newRow("audience in lower case is another code") << "snl30"
                                                            << "43"
                                                            << "0" << false;
}

void TestBroadcastCore::wanted()
{
    QFETCH(QString, audience);
    QFETCH(QString, id);
    QFETCH(QString, hidden);
    QFETCH(bool, wanted);
    BroadcastMessage m;
    m.audience = audience;
    m.id = id;
    QCOMPARE(broadcastWanted(m, hidden), wanted);
}

void TestBroadcastCore::addresses()
{
    const QString base = QStringLiteral("http://127.0.0.1:8123/case 1");
    QCOMPARE(broadcastFileUrl(QStringLiteral("http://127.0.0.1:8123")).toString(),
             QStringLiteral("http://127.0.0.1:8123/snaplorn/BCSnplrn21.bbc"));
    const QUrl tracking = broadcastTrackingUrl(QStringLiteral("http://h.example"),
                                               QStringLiteral("NoName"), QStringLiteral("SNL30"));
    QCOMPARE(tracking.toString(QUrl::FullyEncoded),
             QStringLiteral("http://h.example/snaplorn/BCSnplrn21_track.asp?n=NoName&t=SNL30"));
    const QUrl odd = broadcastTrackingUrl(QStringLiteral("http://h.example"),
                                          QStringLiteral("a b&c=d"), QStringLiteral("S/30"));
    QCOMPARE(
        odd.toString(QUrl::FullyEncoded),
        QStringLiteral("http://h.example/snaplorn/BCSnplrn21_track.asp?n=a%20b%26c%3Dd&t=S%2F30"));
    QVERIFY(broadcastFileUrl(base).isValid());
    QVERIFY(broadcastFileUrl(QString()).isEmpty());
}

void TestBroadcastCore::baseFromEnvironment()
{
    qunsetenv(broadcast::BaseUrlVariable);
    QCOMPARE(broadcastBaseUrl(), QStringLiteral("http://www.quorvex.example"));
    qputenv(broadcast::BaseUrlVariable, "http://127.0.0.1:9/dir/");
    QCOMPARE(broadcastBaseUrl(), QStringLiteral("http://127.0.0.1:9/dir"));
    for (const char* refused : {"file:///etc", "ftp://h.example", "http://", "javascript:x"}) {
        qputenv(broadcast::BaseUrlVariable, refused);
        QCOMPARE(broadcastBaseUrl(), QString());
    }
    qunsetenv(broadcast::BaseUrlVariable);
}

SNAPLORN_TEST_MAIN_CORE(TestBroadcastCore)
#include "tst_broadcast_core.moc"
