#include "platform/KwinActiveWindow.h"

#include "base/Texts.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QVariantMap>

#include <cerrno>

#include <poll.h>
#include <unistd.h>

namespace snaplorn {

namespace {

const char KwinService[] = "org.kde.KWin";
// KWin writes the picture at once after its answer.
constexpr int DrainMs = 2000;

QString failed(const QString& why)
{
    return QString::fromUtf8(texts::KwinActiveWindowFailed).arg(why);
}

// Reads what KWin writes into the pipe until it closes its end, so that KWin
// never writes into a pipe nobody reads; gives up after `timeoutMs` of
// silence.
void drain(int fd, int timeoutMs)
{
    char buffer[65536];
    pollfd ready{fd, POLLIN, 0};
    while (poll(&ready, 1, timeoutMs) > 0) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN))
            return;
    }
}

QVariantMap replyMap(const QDBusMessage& reply)
{
    const QVariantList args = reply.arguments();
    return args.isEmpty() ? QVariantMap() : qdbus_cast<QVariantMap>(args.first());
}

} // namespace

KwinActiveWindow::KwinActiveWindow(int timeoutMs) : m_timeoutMs(timeoutMs) {}

// KWin names the window only together with a picture of it, written into a
// pipe after the answer; the picture is not needed (the capture copies the
// frame from the screen, as everywhere else) and is read only to be
// dropped.
QString KwinActiveWindow::activeWindowId(QString* error)
{
    int fds[2];
    if (pipe(fds) != 0) {
        *error = failed(QStringLiteral("no pipe"));
        return QString();
    }
    QDBusMessage reply;
    {
        // The call holds a copy of the pipe's writing end until it goes:
        // only then can the pipe end when KWin has written.
        QDBusMessage call = QDBusMessage::createMethodCall(
            QString::fromLatin1(KwinService), QStringLiteral("/org/kde/KWin/ScreenShot2"),
            QStringLiteral("org.kde.KWin.ScreenShot2"), QStringLiteral("CaptureActiveWindow"));
        call << QVariantMap{{QStringLiteral("include-decoration"), true},
                            {QStringLiteral("include-shadow"), false}}
             << QVariant::fromValue(QDBusUnixFileDescriptor(fds[1]));
        close(fds[1]);
        reply = QDBusConnection::sessionBus().call(call, QDBus::Block, m_timeoutMs);
    }
    if (reply.type() != QDBusMessage::ErrorMessage)
        drain(fds[0], DrainMs);
    close(fds[0]);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        if (reply.errorName().endsWith(QLatin1String(".NoActiveWindow")) ||
            reply.errorName().endsWith(QLatin1String(".InvalidWindow")))
            *error = QString::fromUtf8(texts::NoActiveWindow);
        else
            *error = failed(reply.errorMessage());
        return QString();
    }
    const QString id = replyMap(reply).value(QStringLiteral("windowId")).toString();
    if (id.isEmpty())
        *error = failed(QStringLiteral("no window named"));
    return id;
}

ActiveWindowInfo KwinActiveWindow::activeWindow()
{
    QString error;
    const QString id = activeWindowId(&error);
    if (id.isEmpty())
        return {QRect(), error};
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(KwinService), QStringLiteral("/KWin"), QStringLiteral("org.kde.KWin"),
        QStringLiteral("getWindowInfo"));
    call << id;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, m_timeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        return {QRect(), failed(reply.errorMessage())};
    const QVariantMap info = replyMap(reply);
    // KWin gives the frame in logical pixels as real numbers.
    const QRect frame(qRound(info.value(QStringLiteral("x")).toDouble()),
                      qRound(info.value(QStringLiteral("y")).toDouble()),
                      qRound(info.value(QStringLiteral("width")).toDouble()),
                      qRound(info.value(QStringLiteral("height")).toDouble()));
    if (!frame.isValid())
        return {QRect(), QString::fromUtf8(texts::ActiveWindowGone)};
    return {frame, QString()};
}

} // namespace snaplorn
