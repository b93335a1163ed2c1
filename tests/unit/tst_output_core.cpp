// Wallpaper values and desktop commands, print layout, address check and
// the MIME message of the e-mail window.
#include "TestSupport.h"

#include "platform/DesktopWallpaperCommands.h"
#include "platform/MailAddress.h"
#include "platform/MimeMessage.h"
#include "platform/PrintLayout.h"
#include "platform/WallpaperStyle.h"

#include <QRegularExpression>

using namespace snaplorn;

Q_DECLARE_METATYPE(snaplorn::WallpaperStyle)
Q_DECLARE_METATYPE(snaplorn::DesktopKind)

namespace {

// A message split into its unfolded header fields and its MIME parts.
struct ParsedMail {
    QList<QPair<QByteArray, QByteArray>> headers;
    QList<QByteArray> parts; // each with its own headers
    QByteArray header(const QByteArray& name) const
    {
        for (const auto& field : headers)
            if (field.first.compare(name, Qt::CaseInsensitive) == 0)
                return field.second;
        return {};
    }
};

ParsedMail parseMail(const QByteArray& mail, const QByteArray& boundary)
{
    ParsedMail parsed;
    const int end = mail.indexOf("\r\n\r\n");
    for (const QByteArray& line : mail.left(end).split('\n')) {
        const QByteArray text = line.endsWith('\r') ? line.chopped(1) : line;
        if (text.startsWith(' ') || text.startsWith('\t'))
            parsed.headers.last().second += text;
        else
            parsed.headers.append({text.left(text.indexOf(':')), text.mid(text.indexOf(':') + 2)});
    }
    const QList<QByteArray> pieces = mail.mid(end).split('\n');
    QByteArray current;
    bool inPart = false;
    for (const QByteArray& raw : pieces) {
        const QByteArray line = raw.endsWith('\r') ? raw.chopped(1) : raw;
        if (line == "--" + boundary || line == "--" + boundary + "--") {
            if (inPart)
                parsed.parts << current;
            current.clear();
            inPart = true;
            continue;
        }
        if (inPart)
            current += line + "\n";
    }
    return parsed;
}

QByteArray partBody(const QByteArray& part)
{
    return part.mid(part.indexOf("\n\n") + 2);
}

QString decodeEncodedWords(const QByteArray& value)
{
    static const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([^?]*)\\?="));
    QByteArray bytes;
    auto it = word.globalMatch(QString::fromLatin1(value));
    while (it.hasNext())
        bytes += QByteArray::fromBase64(it.next().captured(1).toLatin1());
    return QString::fromUtf8(bytes);
}

MimeEnvelope envelopeFor(const QString& to, const QByteArray& attachment)
{
    return {*parseAddressList(to), attachment, newMimeBoundary(),
            QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC)};
}

} // namespace

class TestOutputCore : public QObject
{
    Q_OBJECT

private slots:
    void wallpaperValues_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("known");
        QTest::addColumn<QString>("tile");
        QTest::addColumn<QString>("style");
        QTest::newRow("center") << "center" << true << "0"
                                << "0";
        QTest::newRow("tile") << "tile" << true << "1"
                              << "0";
        QTest::newRow("stretch") << "stretch" << true << "0"
                                 << "2";
        QTest::newRow("letter case is ignored") << "StReTcH" << true << "0"
                                                << "2";
        QTest::newRow("other types write nothing") << "fit" << false << ""
                                                   << "";
        QTest::newRow("empty type writes nothing") << "" << false << ""
                                                   << "";
    }
    void wallpaperValues()
    {
        QFETCH(QString, type);
        QFETCH(bool, known);
        const auto values = wallpaperValuesFor(type);
        QCOMPARE(values.has_value(), known);
        if (!known)
            return;
        QFETCH(QString, tile);
        QFETCH(QString, style);
        QCOMPARE(values->tileWallpaper, tile);
        QCOMPARE(values->wallpaperStyle, style);
        // The values read back give the style they were written for.
        const WallpaperStyle expected = type.toLower() == "tile"      ? WallpaperStyle::Tile
                                        : type.toLower() == "stretch" ? WallpaperStyle::Stretch
                                                                      : WallpaperStyle::Center;
        QCOMPARE(wallpaperStyleFrom(values->tileWallpaper, values->wallpaperStyle), expected);
    }

    void storedValuesWithoutAStyleShowCentred()
    {
        QCOMPARE(wallpaperStyleFrom(std::nullopt, std::nullopt), WallpaperStyle::Center);
        QCOMPARE(wallpaperStyleFrom(QString("x"), QString("7")), WallpaperStyle::Center);
        QCOMPARE(wallpaperStyleFrom(QString("1"), QString("2")), WallpaperStyle::Tile);
    }

    void composedDesktopPlacesThePicture()
    {
        const QImage picture = test::patternImage(3, 2, 7);
        const QSize screen(8, 5);
        const QImage centred = composeDesktopImage(picture, screen, WallpaperStyle::Center);
        QCOMPARE(centred.size(), screen);
        QCOMPARE(centred.format(), QImage::Format_RGB32);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
                QCOMPARE(centred.pixel(x, y), inside ? picture.pixel(x - 2, y - 1) : qRgb(0, 0, 0));
            }
        const QImage tiled = composeDesktopImage(picture, screen, WallpaperStyle::Tile);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 8; ++x)
                QCOMPARE(tiled.pixel(x, y), picture.pixel(x % 3, y % 2));
    }

    void composedDesktopStretchesAndCuts()
    {
        QImage blocks(2, 2, QImage::Format_RGB32);
        blocks.setPixel(0, 0, qRgb(255, 0, 0));
        blocks.setPixel(1, 0, qRgb(0, 255, 0));
        blocks.setPixel(0, 1, qRgb(0, 0, 255));
        blocks.setPixel(1, 1, qRgb(255, 255, 0));
        const QImage stretched =
            composeDesktopImage(blocks, QSize(40, 20), WallpaperStyle::Stretch);
        QCOMPARE(stretched.pixel(2, 2), qRgb(255, 0, 0));
        QCOMPARE(stretched.pixel(37, 2), qRgb(0, 255, 0));
        QCOMPARE(stretched.pixel(2, 17), qRgb(0, 0, 255));
        QCOMPARE(stretched.pixel(37, 17), qRgb(255, 255, 0));
        // A picture larger than the screen shows its middle.
        const QImage big = test::patternImage(10, 10, 3);
        const QImage cut = composeDesktopImage(big, QSize(4, 2), WallpaperStyle::Center);
        QCOMPARE(cut.pixel(0, 0), big.pixel(3, 4));
        QCOMPARE(cut.pixel(3, 1), big.pixel(6, 5));
    }

    void desktopDetection_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<DesktopKind>("desktop");
        QTest::newRow("GNOME") << "GNOME" << DesktopKind::Gnome;
        QTest::newRow("Ubuntu's list") << "ubuntu:GNOME" << DesktopKind::Gnome;
        QTest::newRow("Unity") << "Unity" << DesktopKind::Gnome;
        QTest::newRow("Cinnamon") << "X-Cinnamon" << DesktopKind::Cinnamon;
        QTest::newRow("MATE") << "MATE" << DesktopKind::Mate;
        QTest::newRow("XFCE lower case") << "xfce" << DesktopKind::Xfce;
        QTest::newRow("KDE") << "KDE" << DesktopKind::Plasma;
        QTest::newRow("sway") << "sway" << DesktopKind::Sway;
        QTest::newRow("unset") << "" << DesktopKind::Other;
        QTest::newRow("openbox") << "Openbox" << DesktopKind::Other;
    }
    void desktopDetection()
    {
        QFETCH(QString, value);
        QFETCH(DesktopKind, desktop);
        QCOMPARE(detectDesktop(value), desktop);
    }

    // sway expands the file name like a shell word after splitting the
    // command at blanks: blanks, quotes and "$" reach it unchanged.
    void swayCommandsSetEveryOutput()
    {
        const QString path = "/home/a b/it's \"$HOME\".bmp";
        const QString word = "\"'/home/a b/it'\\''s '\\\"'$HOME'\\\"'.bmp'\"";
        QCOMPARE(swayFileWord(path), word);
        const auto command = [](const QString& text) {
            return QList<ToolCommand>{{"swaymsg", {text}, false}};
        };
        QCOMPARE(wallpaperCommands(DesktopKind::Sway, path, WallpaperStyle::Center),
                 command("output * bg " + word + " center #000000"));
        QCOMPARE(wallpaperCommands(DesktopKind::Sway, path, WallpaperStyle::Tile),
                 command("output * bg " + word + " tile"));
        QCOMPARE(wallpaperCommands(DesktopKind::Sway, path, WallpaperStyle::Stretch),
                 command("output * bg " + word + " stretch"));
        QCOMPARE(wallpaperCommands(DesktopKind::Sway, QString(), WallpaperStyle::Center),
                 command("output * bg #000000 solid_color"));
    }

    void gnomeCommandsSetBothPicturesAndTheStyle()
    {
        const QString path = "/home/a b/it's.bmp";
        const auto commands = wallpaperCommands(DesktopKind::Gnome, path, WallpaperStyle::Tile);
        const QString schema = "org.gnome.desktop.background";
        const QString uri = "'file:///home/a%20b/it\\'s.bmp'";
        QCOMPARE(commands.size(), 3);
        QCOMPARE(commands[0], (ToolCommand{"gsettings", {"set", schema, "picture-uri", uri}}));
        QCOMPARE(commands[1],
                 (ToolCommand{"gsettings", {"set", schema, "picture-uri-dark", uri}, true}));
        QCOMPARE(commands[2],
                 (ToolCommand{"gsettings", {"set", schema, "picture-options", "'wallpaper'"}}));
        const auto centred = wallpaperCommands(DesktopKind::Gnome, path, WallpaperStyle::Center);
        QCOMPARE(centred.last().arguments.last(), QString("'centered'"));
        const auto stretched = wallpaperCommands(DesktopKind::Gnome, path, WallpaperStyle::Stretch);
        QCOMPARE(stretched.last().arguments.last(), QString("'stretched'"));
        QCOMPARE(wallpaperCommands(DesktopKind::Gnome, QString(), WallpaperStyle::Center),
                 (QList<ToolCommand>{{"gsettings", {"set", schema, "picture-options", "'none'"}}}));
    }

    void otherDesktopsUseTheirOwnSettings()
    {
        const auto cinnamon =
            wallpaperCommands(DesktopKind::Cinnamon, "/p/w.bmp", WallpaperStyle::Stretch);
        QCOMPARE(cinnamon.size(), 2);
        QCOMPARE(cinnamon[0].arguments.at(1), QString("org.cinnamon.desktop.background"));
        QCOMPARE(cinnamon[1].arguments.last(), QString("'stretched'"));
        const auto mate = wallpaperCommands(DesktopKind::Mate, "/p/w.bmp", WallpaperStyle::Center);
        QCOMPARE(mate[0],
                 (ToolCommand{"gsettings",
                              {"set", "org.mate.background", "picture-filename", "'/p/w.bmp'"}}));
        QCOMPARE(wallpaperCommands(DesktopKind::Mate, QString(), WallpaperStyle::Center)
                     .constFirst()
                     .arguments.last(),
                 QString("''"));
        QVERIFY(wallpaperCommands(DesktopKind::Other, "/p/w.bmp", WallpaperStyle::Tile).isEmpty());

        const auto plasma =
            wallpaperCommands(DesktopKind::Plasma, "/p/\"x\".bmp", WallpaperStyle::Tile);
        QCOMPARE(plasma.size(), 1);
        QCOMPARE(plasma[0].program, QString("dbus-send"));
        const QString script = plasma[0].arguments.last();
        QVERIFY(script.startsWith("string:var all = desktops();"));
        QVERIFY(script.contains("d.writeConfig(\"Image\", \"file:///p/%22x%22.bmp\");"));
        QVERIFY(script.contains("d.writeConfig(\"FillMode\", 3);"));
        QVERIFY(plasmaScript("/p/w.bmp", WallpaperStyle::Center).contains("\"FillMode\", 6"));
        QVERIFY(plasmaScript("/p/w.bmp", WallpaperStyle::Stretch).contains("\"FillMode\", 0"));
        QVERIFY(plasmaScript(QString(), WallpaperStyle::Center).contains("org.kde.color"));
    }

    void xfceSetsEveryMonitorOfTheList()
    {
        const QString list = "/backdrop/screen0/monitorVirtual1/workspace0/color-style\n"
                             "/backdrop/screen0/monitorVirtual1/workspace0/image-style\n"
                             "/backdrop/screen0/monitorVirtual1/workspace0/last-image\n"
                             "/backdrop/screen0/monitorHDMI-1/workspace0/image-style\n"
                             "/backdrop/screen0/monitorHDMI-1/workspace0/last-image\n"
                             "/desktop-icons/style\n";
        const auto set = xfceWallpaperCommands(list, "/p/w.bmp", WallpaperStyle::Stretch);
        QCOMPARE(set.size(), 4);
        QCOMPARE(set[0], (ToolCommand{"xfconf-query",
                                      {"-c", "xfce4-desktop", "-p",
                                       "/backdrop/screen0/monitorVirtual1/workspace0/last-image",
                                       "-s", "/p/w.bmp"}}));
        QCOMPARE(set[3].arguments.last(), QString("3"));
        const auto removed = xfceWallpaperCommands(list, QString(), WallpaperStyle::Center);
        QCOMPARE(removed.size(), 2);
        QCOMPARE(removed[0].arguments.last(), QString("0"));
        const auto fresh = xfceWallpaperCommands(QString(), "/p/w.bmp", WallpaperStyle::Tile);
        QCOMPARE(fresh.size(), 2);
        QCOMPARE(fresh[1].arguments,
                 (QStringList{"-c", "xfce4-desktop", "-p",
                              "/backdrop/screen0/monitor0/workspace0/image-style", "-n", "-t",
                              "int", "-s", "2"}));
        QCOMPARE(xfceListCommand().arguments, (QStringList{"-c", "xfce4-desktop", "-l"}));
    }

    void quotingForTheTools()
    {
        QCOMPARE(gvariantString("a'b\\c"), QString("'a\\'b\\\\c'"));
        QCOMPARE(javaScriptString("a\"b\\c\nd"), QString("\"a\\\"b\\\\c\\u000ad\""));
    }

    void printLayoutFollowsTheScreen_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QSizeF>("dpi");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QRectF>("inches");
        QTest::newRow("100 x 80 at 96 dpi") << QSize(100, 80) << QSizeF(96, 96) << QSize(150, 140)
                                            << QRectF(21 / 96.0, 14 / 96.0, 100 / 96.0, 80 / 96.0);
        QTest::newRow("unequal dpi") << QSize(100, 80) << QSizeF(120, 60) << QSize(150, 140)
                                     << QRectF(21 / 120.0, 14 / 60.0, 100 / 120.0, 80 / 60.0);
        QTest::newRow("unknown dpi counts as 96")
            << QSize(10, 10) << QSizeF(0, -1) << QSize(60, 70)
            << QRectF(21 / 96.0, 14 / 96.0, 10 / 96.0, 10 / 96.0);
        QTest::newRow("no image") << QSize(0, 0) << QSizeF(96, 96) << QSize(50, 60)
                                  << QRectF(21 / 96.0, 14 / 96.0, 0, 0);
    }
    void printLayoutFollowsTheScreen()
    {
        QFETCH(QSize, image);
        QFETCH(QSizeF, dpi);
        QFETCH(QSize, window);
        QFETCH(QRectF, inches);
        const PrintLayout layout = printLayout(image, dpi);
        QCOMPARE(layout.windowSize, window);
        QCOMPARE(layout.imageInches, inches);
    }

    void largePrintsShrinkToThePrintableArea_data()
    {
        QTest::addColumn<QRectF>("image");
        QTest::addColumn<QSizeF>("printable");
        QTest::addColumn<QRectF>("placed");
        const QRectF small(0.25, 0.125, 4, 3);
        QTest::newRow("fits: screen scale") << small << QSizeF(8, 10) << small;
        QTest::newRow("exactly fits") << small << QSizeF(4.25, 3.125) << small;
        QTest::newRow("too wide: shrunk to the width")
            << QRectF(0.25, 0.125, 20, 11.25) << QSizeF(8.25, 11) << QRectF(0.25, 0.125, 8, 4.5);
        QTest::newRow("too tall: shrunk to the height")
            << QRectF(1, 1, 2, 20) << QSizeF(8, 11) << QRectF(1, 1, 1, 10);
        QTest::newRow("unknown page") << QRectF(0, 0, 20, 20) << QSizeF() << QRectF(0, 0, 20, 20);
    }
    void largePrintsShrinkToThePrintableArea()
    {
        QFETCH(QRectF, image);
        QFETCH(QSizeF, printable);
        QFETCH(QRectF, placed);
        QCOMPARE(fitOnPrintableArea(image, printable), placed);
    }

    void addressCheck_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected"); // empty = refused
        QTest::newRow("one address") << " ann@example.com " << QStringList{"ann@example.com"};
        QTest::newRow("several, either separator")
            << "a@x.org, b.c+d@y.example; e@localhost"
            << QStringList{"a@x.org", "b.c+d@y.example", "e@localhost"};
        QTest::newRow("name and address")
            << "Ann Smith <ann@example.com>" << QStringList{"Ann Smith|ann@example.com"};
        QTest::newRow("quoted name")
            << "\"Ann\" <ann@example.com>" << QStringList{"Ann|ann@example.com"};
        QTest::newRow("domain in another script")
            << "bob@bücher.example" << QStringList{"bob@xn--bcher-kva.example"};
        QTest::newRow("trailing separator") << "ann@example.com," << QStringList{"ann@example.com"};
        QTest::newRow("only spaces") << "   " << QStringList();
        QTest::newRow("no at sign") << "ann" << QStringList();
        QTest::newRow("nothing before the at") << "@example.com" << QStringList();
        QTest::newRow("nothing after the at") << "ann@" << QStringList();
        QTest::newRow("space inside") << "ann smith@example.com" << QStringList();
        QTest::newRow("one bad among good") << "a@x.org, nonsense" << QStringList();
        QTest::newRow("header after a line break")
            << "ann@example.com\r\nBcc: eve@evil.example" << QStringList();
        QTest::newRow("bare line feed")
            << "ann@example.com\nBcc: eve@evil.example" << QStringList();
        QTest::newRow("line separator")
            << QString("ann@example.com\u2028Bcc: e@v.example") << QStringList();
        QTest::newRow("unclosed angle") << "Ann <ann@example.com" << QStringList();
        QTest::newRow("name with specials") << "A<b> <ann@example.com>" << QStringList();
        QTest::newRow("double dot") << "ann..b@example.com" << QStringList();
        QTest::newRow("hyphen at the label's end") << "ann@example-.com" << QStringList();
    }
    void addressCheck()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        const auto parsed = parseAddressList(text);
        QCOMPARE(parsed.has_value(), !expected.isEmpty());
        if (!text.trimmed().isEmpty())
            QCOMPARE(firstInvalidAddress(text).isEmpty(), !expected.isEmpty());
        if (!parsed)
            return;
        QStringList got;
        for (const MailAddress& address : *parsed)
            got << (address.name.isEmpty() ? address.address
                                           : address.name + "|" + address.address);
        QCOMPARE(got, expected);
    }

    void firstInvalidAddressNamesTheBadEntry()
    {
        QCOMPARE(firstInvalidAddress("a@x.org; nonsense ; b@y.org"), QString("nonsense"));
    }

    void headerValuesNeverBreakTheHeader()
    {
        QCOMPARE(cleanHeaderText("Hi\r\nBcc: eve@evil.example"),
                 QString("Hi  Bcc: eve@evil.example"));
        QCOMPARE(cleanHeaderText(QString("a\u2029b\u0085c\td")), QString("a b c d"));
        const QByteArray encoded = encodeHeaderValue(QString("Grüße\nBcc: x"));
        QVERIFY(encoded.startsWith("=?UTF-8?B?"));
        QCOMPARE(decodeEncodedWords(encoded), QString("Grüße Bcc: x"));
    }

    void longHeaderTextIsFoldedIntoWords()
    {
        QString subject;
        for (int i = 0; i < 40; ++i)
            subject += QString::fromUtf8("Bild 😀 ");
        const QByteArray encoded = encodeHeaderValue(subject);
        for (const QByteArray& line : encoded.split('\n'))
            QVERIFY2(line.size() <= 77, line.constData());
        QCOMPARE(decodeEncodedWords(encoded), subject.trimmed());
    }

    void messageCarriesTextAndAttachment()
    {
        QByteArray jpeg;
        for (int i = 0; i < 5000; ++i)
            jpeg += char(i * 7 + i / 3);
        MailMessage message{"ann@example.com, Bob <bob@example.org>",
                            "Screen\r\nBcc: eve@evil.example",
                            mailTextWithTag("Line 1\nLine 2", "[tag]"), QString(), "screen.jpg"};
        const MimeEnvelope envelope = envelopeFor(message.to, jpeg);
        const QByteArray mail = buildMimeMessage(message, envelope);

        const ParsedMail parsed = parseMail(mail, envelope.boundary);
        QStringList names;
        for (const auto& field : parsed.headers)
            names << QString::fromLatin1(field.first);
        QCOMPARE(names, (QStringList{"To", "Subject", "Date", "MIME-Version", "Content-Type"}));
        QCOMPARE(parsed.header("To"), QByteArray("ann@example.com, \"Bob\" <bob@example.org>"));
        QCOMPARE(parsed.header("Subject"), QByteArray("Screen  Bcc: eve@evil.example"));
        QCOMPARE(parsed.header("Date"), QByteArray("06 May 2024 07:08:09 +0000"));
        QVERIFY(parsed.header("Content-Type").startsWith("multipart/mixed; boundary=\"=_"));

        QCOMPARE(parsed.parts.size(), 2);
        QVERIFY(parsed.parts[0].startsWith("Content-Type: text/plain; charset=UTF-8\n"));
        QCOMPARE(QByteArray::fromBase64(partBody(parsed.parts[0])),
                 QByteArray("Line 1\r\nLine 2\r\n\r\n[tag]"));
        QVERIFY(parsed.parts[1].contains("Content-Type: image/jpeg; name=\"screen.jpg\"\n"));
        QVERIFY(
            parsed.parts[1].contains("Content-Disposition: attachment; filename=\"screen.jpg\"\n"));
        QCOMPARE(QByteArray::fromBase64(partBody(parsed.parts[1])), jpeg);
        for (const QByteArray& line : mail.split('\n')) {
            QVERIFY(line.endsWith('\r') || line.isEmpty());
            QVERIFY(line.size() <= 78);
        }
    }

    void manyRecipientsFoldTheToLine()
    {
        QStringList many;
        for (int i = 0; i < 12; ++i)
            many << QString("person%1@example.com").arg(i);
        const MimeEnvelope envelope = envelopeFor(many.join(","), QByteArray("x"));
        const QByteArray mail =
            buildMimeMessage({many.join(","), "s", "b", {}, "screen.jpg"}, envelope);
        const ParsedMail parsed = parseMail(mail, envelope.boundary);
        QCOMPARE(parsed.header("To").split(',').size(), 12);
        for (const QByteArray& line : mail.left(mail.indexOf("\r\n\r\n")).split('\n'))
            QVERIFY(line.size() <= 78);
    }

    void bodyLineBreaksBecomeCrLf()
    {
        QCOMPARE(mailTextWithTag("a\r\nb\rc\nd", "[t]"), QString("a\r\nb\r\nc\r\nd\r\n\r\n[t]"));
        QCOMPARE(mailTextWithTag(QString(), "[t]"), QString("\r\n\r\n[t]"));
    }

    void boundariesDifferAndAreNotBase64()
    {
        const QByteArray a = newMimeBoundary();
        QVERIFY(a.startsWith("=_"));
        QVERIFY(a != newMimeBoundary());
    }
};

SNAPLORN_TEST_MAIN_CORE(TestOutputCore)
#include "tst_output_core.moc"
