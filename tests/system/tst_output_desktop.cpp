// Clipboard and wallpaper on the test session's X server: another client
// reads the clipboard, and the root window is read back after each
// wallpaper command.
#include "OutputHarness.h"

#include "base/Texts.h"

#include <QFile>
#include <QRegularExpression>
#include <QScreen>

#include <xcb/xcb.h>

using namespace snaplorn;
using namespace snaplorn::test;

namespace {

// 8 x 8 blocks of flat colours, none of them black or white.
QImage blockImage(int columns, int rows)
{
    QImage image(columns * 8, rows * 8, QImage::Format_RGB32);
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i)
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x)
                    image.setPixel(i * 8 + x, j * 8 + y,
                                   qRgb(40 + i * 25, 60 + j * 30, 200 - (i + j) * 10));
    return image;
}

QImage grabRoot()
{
    const QString file = test::scratchFolder() + "/root.png";
    QFile::remove(file);
    const Run grabbed = run("import", {"-window", "root", "png:" + file});
    if (grabbed.exitCode != 0)
        qWarning() << "import failed:" << grabbed.output;
    return QImage(file).convertToFormat(QImage::Format_RGB32);
}

// The tray host sits in the top-right corner; everything else shows the root.
bool outsideTray(int x, int y, const QSize& screen)
{
    return !(x >= screen.width() - 300 && y < 40);
}

std::optional<quint32> rootPixmap()
{
    const Run property = run("xprop", {"-root", "_XROOTPMAP_ID"});
    const QRegularExpression id(QStringLiteral("pixmap id # (0x[0-9a-f]+)"));
    const auto match = id.match(QString::fromLatin1(property.output));
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toUInt(nullptr, 16);
}

bool pixmapExists(quint32 pixmap)
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    xcb_generic_error_t* error = nullptr;
    free(xcb_get_geometry_reply(c, xcb_get_geometry(c, pixmap), &error));
    const bool exists = error == nullptr;
    free(error);
    xcb_disconnect(c);
    return exists;
}

// Another X client reads the clipboard while this program keeps serving it,
// so the event loop runs while the reader waits.
QByteArray readClipboard(const QString& target)
{
    QProcess xclip;
    xclip.start("xclip", {"-selection", "clipboard", "-t", target, "-o"});
    if (!xclip.waitForStarted(5000))
        return {};
    for (int i = 0; i < 100 && xclip.state() != QProcess::NotRunning; ++i)
        QTest::qWait(50);
    if (xclip.state() != QProcess::NotRunning) {
        xclip.kill();
        xclip.waitForFinished();
        return {};
    }
    return xclip.exitCode() == 0 ? xclip.readAllStandardOutput() : QByteArray();
}

} // namespace

class TestOutputDesktop : public QObject
{
    Q_OBJECT

    OutputWindow o;

private slots:
    void initTestCase()
    {
        // The bare X server of the test session: the root window's picture.
        qunsetenv("XDG_CURRENT_DESKTOP");
        o.create();
        QVERIFY(o.services.clipboard && o.services.wallpaper);
    }
    void cleanupTestCase()
    {
        if (o.w)
            o.w->output().SetWallpaper(QString(), "center");
        o.w.reset();
    }
    void init() { o.messages->clear(); }

    void clipboardServesOtherPrograms();
    void wallpaperShowsOnTheRootWindow();
};

void TestOutputDesktop::clipboardServesOtherPrograms()
{
    const QImage picture = test::patternImage(37, 23, 5);
    o.showPicture(picture);
    o.trigger("mnuCopyToClipboard");
    QVERIFY2(o.messages->count() == 0, qPrintable(o.messages->last().text));
    QImage served;
    QVERIFY(served.loadFromData(readClipboard("image/png"), "PNG"));
    QCOMPARE(served.convertToFormat(QImage::Format_RGB32), picture);

    o.w->command("mnuPaste")->setEnabled(true);
    o.trigger("mnuClearClipboard");
    QVERIFY(!o.w->command("mnuPaste")->isEnabled());
    QVERIFY(readClipboard("image/png").isEmpty());
}

void TestOutputDesktop::wallpaperShowsOnTheRootWindow()
{
    const QImage picture = blockImage(8, 6); // 64 x 48
    o.showPicture(picture);
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();

    o.trigger("mnuWallPaperCenter");
    QVERIFY2(o.messages->count() == 0, qPrintable(o.messages->last().text));
    QImage root = grabRoot();
    QCOMPARE(root.size(), screen);
    const QPoint origin((screen.width() - 64) / 2, (screen.height() - 48) / 2);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            QCOMPARE(root.pixel(origin.x() + x, origin.y() + y), picture.pixel(x, y));
    for (const QPoint& p : {QPoint(0, screen.height() - 1), origin - QPoint(1, 1),
                            origin + QPoint(64, 48), QPoint(10, 10)})
        QCOMPARE(root.pixel(p), qRgb(0, 0, 0));
    const auto first = rootPixmap();
    QVERIFY(first);
    QVERIFY(pixmapExists(*first)); // kept on the server after the connection closed

    o.trigger("mnuWallPaperTile");
    QVERIFY2(o.messages->count() == 0, qPrintable(o.messages->last().text));
    root = grabRoot();
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            if (outsideTray(x, y, screen) && root.pixel(x, y) != picture.pixel(x % 64, y % 48))
                QFAIL(qPrintable(QString("tiled picture differs at %1, %2").arg(x).arg(y)));
    const auto second = rootPixmap();
    QVERIFY(second && *second != *first);
    QVERIFY(!pixmapExists(*first)); // the previous picture was freed

    o.trigger("mnuWallPaperStretch");
    QVERIFY2(o.messages->count() == 0, qPrintable(o.messages->last().text));
    root = grabRoot();
    const qreal sx = screen.width() / 64.0;
    const qreal sy = screen.height() / 48.0;
    for (int j = 0; j < 6; ++j)
        for (int i = 0; i < 8; ++i) {
            const QPoint centre(int((i * 8 + 4) * sx), int((j * 8 + 4) * sy));
            if (outsideTray(centre.x(), centre.y(), screen))
                QCOMPARE(root.pixel(centre), picture.pixel(i * 8 + 4, j * 8 + 4));
        }
    QCOMPARE(o.registry->readString(DesktopKey, "WallpaperStyle"), std::optional<QString>("2"));

    o.trigger("mnuWallPaperRemove");
    QVERIFY2(o.messages->count() == 0, qPrintable(o.messages->last().text));
    root = grabRoot();
    for (int y = 0; y < screen.height(); y += 3)
        for (int x = 0; x < screen.width(); x += 3)
            if (outsideTray(x, y, screen) && root.pixel(x, y) != qRgb(0, 0, 0))
                QFAIL(qPrintable(QString("a picture remains at %1, %2").arg(x).arg(y)));
    QVERIFY(!rootPixmap());
    QCOMPARE(o.registry->readString(DesktopKey, "TileWallpaper"), std::optional<QString>("0"));
}

SNAPLORN_TEST_MAIN(TestOutputDesktop)
#include "tst_output_desktop.moc"
