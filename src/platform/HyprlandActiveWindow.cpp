#include "platform/HyprlandActiveWindow.h"

#include "base/Texts.h"
#include "platform/SwayIpc.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace snaplorn {

namespace {

const QString Hyprland = QStringLiteral("Hyprland");
constexpr int TimeoutMs = 3000;

// A pair of numbers ([x, y] or [width, height]); false when it is not one.
bool pairOf(const QJsonValue& value, int& first, int& second)
{
    const QJsonArray pair = value.toArray();
    if (pair.size() != 2 || !pair[0].isDouble() || !pair[1].isDouble())
        return false;
    first = pair[0].toInt();
    second = pair[1].toInt();
    return true;
}

} // namespace

ActiveWindowInfo hyprlandActiveWindow(const QByteArray& answer, int borderSize, qint64 ownPid)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(answer, &parseError);
    if (!document.isObject())
        return {QRect(), QString::fromUtf8(texts::ActiveWindowIpcUnreadable)
                             .arg(Hyprland, parseError.error != QJsonParseError::NoError
                                                ? parseError.errorString()
                                                : QStringLiteral("not a window"))};
    const QJsonObject window = document.object();
    if (window.isEmpty() || window.value(QLatin1String("hidden")).toBool() ||
        qint64(window.value(QLatin1String("pid")).toDouble(-1)) == ownPid)
        return {QRect(), QString::fromUtf8(texts::NoActiveWindow)};
    int x = 0, y = 0, width = 0, height = 0;
    if (!pairOf(window.value(QLatin1String("at")), x, y) ||
        !pairOf(window.value(QLatin1String("size")), width, height))
        return {QRect(), QString::fromUtf8(texts::ActiveWindowIpcUnreadable)
                             .arg(Hyprland, QStringLiteral("no position and size"))};
    QRect frame(x, y, width, height);
    // Older releases say full screen with true, newer ones with a mode number.
    const QJsonValue fullscreen = window.value(QLatin1String("fullscreen"));
    if (!(fullscreen.toBool() || fullscreen.toInt() > 0))
        frame.adjust(-borderSize, -borderSize, borderSize, borderSize);
    if (frame.isEmpty())
        return {QRect(), QString::fromUtf8(texts::NoActiveWindow)};
    return {frame, QString()};
}

int hyprlandBorderSize(const QByteArray& answer)
{
    const QJsonObject option = QJsonDocument::fromJson(answer).object();
    const int size = option.value(QLatin1String("int")).toInt(0);
    return size > 0 && size < 1000 ? size : 0;
}

HyprlandActiveWindow::HyprlandActiveWindow(QString socketPath) : m_socketPath(std::move(socketPath))
{
}

QString HyprlandActiveWindow::sessionSocket()
{
    const QString signature = qEnvironmentVariable("HYPRLAND_INSTANCE_SIGNATURE");
    if (signature.isEmpty() || signature.contains(QLatin1Char('/')))
        return QString();
    // Newer releases keep the socket in the runtime folder, older ones in /tmp.
    const QString tail = QStringLiteral("/hypr/%1/.socket.sock").arg(signature);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo::exists(runtime + tail))
        return runtime + tail;
    return QStringLiteral("/tmp") + tail;
}

ActiveWindowInfo HyprlandActiveWindow::activeWindow()
{
    const IpcAnswer window =
        localSocketExchange(m_socketPath, QByteArrayLiteral("j/activewindow"), {}, TimeoutMs);
    if (!window.ok())
        return {QRect(),
                QString::fromUtf8(texts::ActiveWindowIpcUnreachable).arg(Hyprland, window.error)};
    const IpcAnswer border = localSocketExchange(
        m_socketPath, QByteArrayLiteral("j/getoption general:border_size"), {}, TimeoutMs);
    return hyprlandActiveWindow(window.bytes, border.ok() ? hyprlandBorderSize(border.bytes) : 0,
                                QCoreApplication::applicationPid());
}

} // namespace snaplorn
