#include "platform/KwinActiveWindow.h"

#include "base/Texts.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QVariantMap>

#include <unistd.h>

namespace snaplorn {

namespace {

const char KwinService[] = "org.kde.KWin";

QString failed(const QString& why)
{
    return QString::fromUtf8(texts::KwinActiveWindowFailed).arg(why);
}

QVariantMap replyMap(const QDBusMessage& reply)
{
    const QVariantList args = reply.arguments();
    return args.isEmpty() ? QVariantMap() : qdbus_cast<QVariantMap>(args.first());
}

} // namespace

KwinActiveWindow::KwinActiveWindow(int timeoutMs) : m_timeoutMs(timeoutMs) {}

// KWin names the window only together with a picture of it, written into a
// pipe; the picture is not needed (the capture copies the frame from the
// screen, as everywhere else), so the pipe is closed unread, which ends
// KWin's writing at once.
QString KwinActiveWindow::activeWindowId(QString* error)
{
    int fds[2];
    if (pipe(fds) != 0) {
        *error = failed(QStringLiteral("no pipe"));
        return QString();
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(KwinService), QStringLiteral("/org/kde/KWin/ScreenShot2"),
        QStringLiteral("org.kde.KWin.ScreenShot2"), QStringLiteral("CaptureActiveWindow"));
    call << QVariantMap{{QStringLiteral("include-decoration"), true},
                        {QStringLiteral("include-shadow"), false}}
         << QVariant::fromValue(QDBusUnixFileDescriptor(fds[1]));
    close(fds[1]);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, m_timeoutMs);
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
