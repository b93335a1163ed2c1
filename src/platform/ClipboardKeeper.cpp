#include "platform/ClipboardKeeper.h"

#include "base/Paths.h"
#include "platform/X11Display.h"

#include <QClipboard>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryFile>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdio>
#include <functional>
#include <memory>

namespace snaplorn::clipboardkeeper {

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The window owning the selection `name`, or none.
xcb_window_t selectionOwner(xcb_connection_t* connection, const char* name)
{
    if (!connection)
        return XCB_NONE;
    const xcb_atom_t selection = internAtom(connection, name);
    if (selection == XCB_ATOM_NONE)
        return XCB_NONE;
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection),
                                      nullptr),
        &free);
    return owner ? owner->owner : xcb_window_t(XCB_NONE);
}

// Runs the event loop until `done` holds or `timeoutMs` have passed.
bool waitFor(QClipboard* clipboard, const std::function<bool()>& done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(clipboard, &QClipboard::changed, &loop, [&] {
        if (done())
            loop.quit();
    });
    // Ownership changes reach Qt as events; poll as well in case the change
    // came before the connection above.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(50);
    timer.start(timeoutMs);
    loop.exec();
    return done();
}

} // namespace

bool managerRunning()
{
    return selectionOwner(qtX11Connection(), "CLIPBOARD_MANAGER") != XCB_NONE;
}

bool handOver(const QImage& picture, const QString& program, int timeoutMs)
{
    QClipboard* clipboard = qGuiApp ? QGuiApplication::clipboard() : nullptr;
    if (!clipboard || picture.isNull())
        return false;
    // The picture travels as an uncompressed bitmap: quick to write and read,
    // and exact. The keeper removes the file as soon as it has read it.
    QTemporaryFile file(paths::join(paths::cacheFolder(), QStringLiteral("clipboard-XXXXXX.bmp")));
    file.setAutoRemove(false);
    if (!file.open() || !picture.save(&file, "BMP")) {
        file.remove();
        return false;
    }
    file.close();
    QProcess keeper;
    keeper.setProgram(program);
    keeper.setArguments({QString::fromLatin1(KeeperOption), file.fileName()});
    keeper.setStandardOutputFile(QProcess::nullDevice());
    keeper.setStandardErrorFile(QProcess::nullDevice());
    keeper.setWorkingDirectory(QStringLiteral("/"));
    if (!keeper.startDetached()) {
        file.remove();
        return false;
    }
    // Until the keeper owns the clipboard this program must keep serving it.
    const bool taken = waitFor(
        clipboard, [clipboard] { return !clipboard->ownsClipboard(); }, timeoutMs);
    if (!taken)
        QFile::remove(file.fileName()); // a keeper that starts this late finds nothing
    return taken;
}

void whenClipboardTaken(QObject* context, const std::function<void()>& taken)
{
    xcb_connection_t* connection = qtX11Connection();
    QClipboard* clipboard = qGuiApp ? QGuiApplication::clipboard() : nullptr;
    if (!connection || !clipboard)
        return;
    const xcb_window_t ours = selectionOwner(connection, "CLIPBOARD");
    auto* watch = new QTimer(context);
    const auto check = [connection, ours, watch, taken] {
        if (!watch->isActive() || selectionOwner(connection, "CLIPBOARD") == ours)
            return;
        watch->stop();
        taken();
    };
    QObject::connect(clipboard, &QClipboard::changed, watch, check);
    QObject::connect(watch, &QTimer::timeout, watch, check);
    watch->start(250);
}

int runKeeper(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[2]);
    // Qt ends the process when it cannot reach the display: look first.
    QString why;
    std::unique_ptr<X11Connection> look = X11Connection::open(&why);
    if (!look) {
        QFile::remove(path);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    look.reset();
    const QImage picture(path, "BMP");
    QFile::remove(path);
    if (picture.isNull())
        return 1;
    QClipboard* clipboard = QGuiApplication::clipboard();
    auto* data = new QMimeData;
    data->setImageData(picture);
    clipboard->setMimeData(data, QClipboard::Clipboard);
    if (!clipboard->ownsClipboard())
        return 1;
    whenClipboardTaken(&app, [] { QCoreApplication::quit(); });
    return app.exec();
}

} // namespace snaplorn::clipboardkeeper
