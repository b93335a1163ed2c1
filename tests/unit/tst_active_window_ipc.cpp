// The active window as sway and Hyprland report it over their IPC sockets:
// the messages, the frames read from their answers, and sockets that are
// missing, close early or answer garbage.
#include "TestSupport.h"

#include "base/Texts.h"
#include "platform/HyprlandActiveWindow.h"
#include "platform/SwayActiveWindow.h"
#include "platform/SwayIpc.h"

#include <QCoreApplication>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <thread>

using namespace snaplorn;

namespace {

constexpr qint64 OwnPid = 4242;

// A window tree as sway 1.7 sends it, cut to what matters: one workspace
// with `tiled` as its tiled children (layout `layout`) and `floating`.
QByteArray swayTree(const QString& layout, const QString& tiled, const QString& floating = {})
{
    return QStringLiteral(R"({"type":"root","focused":false,"nodes":[{"type":"output",
        "name":"HEADLESS-1","focused":false,"nodes":[{"type":"workspace","name":"1",
        "focused":%4,"layout":"%1","nodes":[%2],"floating_nodes":[%3]}]}]})")
        .arg(layout, tiled, floating,
             tiled.contains("true") || floating.contains("true") ? "false" : "true")
        .toUtf8();
}

QString swayWindow(bool focused, const QRect& rect, int titleHeight, qint64 pid = 77,
                   const QString& type = "con")
{
    return QStringLiteral(R"({"type":"%1","focused":%2,"pid":%3,"app_id":"x",
        "rect":{"x":%4,"y":%5,"width":%6,"height":%7},
        "deco_rect":{"x":0,"y":0,"width":%6,"height":%8},"nodes":[],"floating_nodes":[]})")
        .arg(type, focused ? "true" : "false")
        .arg(pid)
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height())
        .arg(titleHeight);
}

// A server on a Unix socket that takes one connection and answers as told.
class FakeIpcServer
{
public:
    enum class Mode { Tree, CloseUnanswered, Garbage, WrongType };

    FakeIpcServer(const QString& path, Mode mode, QByteArray tree = {})
    {
        ::unlink(path.toLocal8Bit().constData());
        m_listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        strncpy(address.sun_path, path.toLocal8Bit().constData(), sizeof(address.sun_path) - 1);
        if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            listen(m_listener, 1) != 0)
            qWarning("the fake IPC server cannot listen on %s", qPrintable(path));
        m_thread = std::thread([this, mode, tree] { serve(mode, tree); });
    }
    ~FakeIpcServer()
    {
        m_thread.join();
        close(m_listener);
    }

private:
    void serve(Mode mode, const QByteArray& tree)
    {
        const int client = accept(m_listener, nullptr, nullptr);
        if (client < 0)
            return;
        char header[14];
        if (read(client, header, sizeof(header)) == 14 && mode != Mode::CloseUnanswered) {
            QByteArray answer = "HTTP/1.0 400 Bad Request\r\n\r\n";
            if (mode == Mode::Tree)
                answer = swayipc::encode(swayipc::GetTree, tree);
            else if (mode == Mode::WrongType)
                answer = swayipc::encode(swayipc::RunCommand, "[]");
            // In two parts, as a large tree arrives.
            const auto half = answer.size() / 2;
            // The client may have stopped reading after the first part.
            (void)!send(client, answer.constData(), size_t(half), MSG_NOSIGNAL);
            usleep(20000);
            (void)!send(client, answer.constData() + half, size_t(answer.size() - half),
                        MSG_NOSIGNAL);
        }
        close(client);
    }

    int m_listener = -1;
    std::thread m_thread;
};

QString unreachable(const QString& why)
{
    return QString(texts::ActiveWindowIpcUnreachable).arg("sway", why);
}

} // namespace

class TestActiveWindowIpc : public QObject
{
    Q_OBJECT

private slots:
    void swayMessagesRoundTrip()
    {
        const QByteArray message = swayipc::encode(swayipc::GetTree, "{}");
        QCOMPARE(message.size(), 16);
        QVERIFY(message.startsWith("i3-ipc"));
        const swayipc::Message whole = swayipc::decode(message + "trailing");
        QCOMPARE(whole.state, swayipc::Message::State::Complete);
        QCOMPARE(whole.type, swayipc::GetTree);
        QCOMPARE(whole.payload, QByteArray("{}"));
        QCOMPARE(swayipc::decode(message.left(15)).state, swayipc::Message::State::Incomplete);
        QCOMPARE(swayipc::decode("i3").state, swayipc::Message::State::Incomplete);
        QCOMPARE(swayipc::decode("HTTP/1.0").state, swayipc::Message::State::Garbage);
        // A length no window tree has is not waited for.
        QByteArray huge = message.left(14);
        huge[9] = char(0x7f);
        QCOMPARE(swayipc::decode(huge).state, swayipc::Message::State::Garbage);
    }

    void swayFrames_data()
    {
        QTest::addColumn<QByteArray>("tree");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QString>("error");
        const QString none = texts::NoActiveWindow;
        const QString other = swayWindow(false, QRect(0, 0, 10, 10), 0);
        QTest::newRow("floating with a pixel border")
            << swayTree("splith", other,
                        swayWindow(true, QRect(100, 50, 206, 106), 0, 77, "floating_con"))
            << QRect(100, 50, 206, 106) << QString();
        QTest::newRow("tiled with its title bar above")
            << swayTree("splith", other + "," + swayWindow(true, QRect(960, 27, 960, 1053), 27))
            << QRect(960, 0, 960, 1080) << QString();
        QTest::newRow("tabbed: one row of tabs")
            << swayTree("tabbed", other + "," + swayWindow(true, QRect(0, 24, 1920, 1056), 24))
            << QRect(0, 0, 1920, 1080) << QString();
        QTest::newRow("stacked: every title above")
            << swayTree("stacked",
                        other + "," + other + "," + swayWindow(true, QRect(0, 72, 800, 528), 24))
            << QRect(0, 0, 800, 600) << QString();
        QTest::newRow("negative coordinates")
            << swayTree("splith", swayWindow(true, QRect(-1280, -200, 640, 480), 0))
            << QRect(-1280, -200, 640, 480) << QString();
        QTest::newRow("focus on the workspace") << swayTree("splith", other) << QRect() << none;
        QTest::newRow("the program's own window")
            << swayTree("splith", swayWindow(true, QRect(0, 0, 600, 500), 0, OwnPid)) << QRect()
            << none;
        QTest::newRow("nothing focused")
            << QByteArray(R"({"type":"root","focused":false,"nodes":[]})") << QRect() << none;
        QTest::newRow("not JSON")
            << QByteArray("{\"nodes\": [") << QRect()
            << QString(texts::ActiveWindowIpcUnreadable).arg("sway", "unterminated array");
        QTest::newRow("JSON, but no tree")
            << QByteArray("[1,2]") << QRect()
            << QString(texts::ActiveWindowIpcUnreadable).arg("sway", "not a window tree");
    }
    void swayFrames()
    {
        QFETCH(QByteArray, tree);
        QFETCH(QRect, frame);
        QFETCH(QString, error);
        const ActiveWindowInfo info = swayFocusedWindow(tree, OwnPid);
        QCOMPARE(info.error, error);
        QCOMPARE(info.frame, frame);
        QVERIFY(!info.picked);
    }

    void swaySocketFaults()
    {
        const QString path = test::scratchFolder() + "/sway-ipc.sock";
        const QByteArray tree = swayTree("splith", swayWindow(true, QRect(10, 20, 300, 200), 0));
        {
            FakeIpcServer server(path, FakeIpcServer::Mode::Tree, tree);
            const ActiveWindowInfo info = SwayActiveWindow(path).activeWindow();
            QVERIFY2(info.ok(), qPrintable(info.error));
            QCOMPARE(info.frame, QRect(10, 20, 300, 200));
        }
        {
            FakeIpcServer server(path, FakeIpcServer::Mode::CloseUnanswered);
            QCOMPARE(SwayActiveWindow(path).activeWindow().error,
                     unreachable("the connection closed before the answer was whole"));
        }
        const QString garbled = QString(texts::ActiveWindowIpcUnreadable)
                                    .arg("sway", "not an answer of the IPC protocol");
        {
            FakeIpcServer server(path, FakeIpcServer::Mode::Garbage);
            QCOMPARE(SwayActiveWindow(path).activeWindow().error, garbled);
        }
        {
            FakeIpcServer server(path, FakeIpcServer::Mode::WrongType);
            QCOMPARE(SwayActiveWindow(path).activeWindow().error, garbled);
        }
        ::unlink(path.toLocal8Bit().constData());
        QCOMPARE(SwayActiveWindow(path).activeWindow().error,
                 unreachable(path + ": No such file or directory"));
    }

    void hyprlandFrames_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QString>("error");
        const QString none = texts::NoActiveWindow;
        QTest::newRow("tiled, border around")
            << QByteArray(R"({"address":"0x55","mapped":true,"hidden":false,"at":[10,45],
                "size":[940,1025],"floating":false,"fullscreen":false,"pid":77})")
            << QRect(8, 43, 944, 1029) << QString();
        QTest::newRow("full screen (older: true)")
            << QByteArray(R"({"at":[0,0],"size":[1920,1080],"fullscreen":true,"pid":77})")
            << QRect(0, 0, 1920, 1080) << QString();
        QTest::newRow("full screen (newer: a mode)")
            << QByteArray(R"({"at":[0,0],"size":[1920,1080],"fullscreen":2,"pid":77})")
            << QRect(0, 0, 1920, 1080) << QString();
        QTest::newRow("no window focused") << QByteArray("{}") << QRect() << none;
        QTest::newRow("the program's own window")
            << QByteArray(R"({"at":[0,0],"size":[600,500],"pid":4242})") << QRect() << none;
        QTest::newRow("no position")
            << QByteArray(R"({"size":[600,500],"pid":77})") << QRect()
            << QString(texts::ActiveWindowIpcUnreadable).arg("Hyprland", "no position and size");
        QTest::newRow("an error text")
            << QByteArray("unknown request") << QRect()
            << QString(texts::ActiveWindowIpcUnreadable).arg("Hyprland", "illegal value");
    }
    void hyprlandFrames()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QRect, frame);
        QFETCH(QString, error);
        const ActiveWindowInfo info = hyprlandActiveWindow(answer, 2, OwnPid);
        QCOMPARE(info.error, error);
        QCOMPARE(info.frame, frame);
    }

    void hyprlandBorderOption()
    {
        QCOMPARE(hyprlandBorderSize(R"({"option":"general:border_size","int":3,"set":true})"), 3);
        QCOMPARE(hyprlandBorderSize("no such option"), 0);
        QCOMPARE(hyprlandBorderSize(R"({"int":-4})"), 0);
    }

    void hyprlandSocketOfTheSession()
    {
        const QString runtime = test::scratchFolder() + "/runtime";
        QDir().mkpath(runtime + "/hypr/abc");
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
        qputenv("HYPRLAND_INSTANCE_SIGNATURE", "abc");
        QCOMPARE(HyprlandActiveWindow::sessionSocket(), "/tmp/hypr/abc/.socket.sock");
        QFile(runtime + "/hypr/abc/.socket.sock").open(QIODevice::WriteOnly);
        QCOMPARE(HyprlandActiveWindow::sessionSocket(), runtime + "/hypr/abc/.socket.sock");
        qputenv("HYPRLAND_INSTANCE_SIGNATURE", "../x/abc");
        QCOMPARE(HyprlandActiveWindow::sessionSocket(), QString());
        qunsetenv("HYPRLAND_INSTANCE_SIGNATURE");
        QCOMPARE(HyprlandActiveWindow::sessionSocket(), QString());
    }
};

SNAPLORN_TEST_MAIN_CORE(TestActiveWindowIpc)
#include "tst_active_window_ipc.moc"
