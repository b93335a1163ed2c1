#include "platform/SwayActiveWindow.h"

#include "base/Texts.h"
#include "platform/SwayIpc.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace snaplorn {

namespace {

const QString Sway = QStringLiteral("sway");

QRect rectOf(const QJsonValue& value)
{
    const QJsonObject r = value.toObject();
    return QRect(r.value(QLatin1String("x")).toInt(), r.value(QLatin1String("y")).toInt(),
                 r.value(QLatin1String("width")).toInt(), r.value(QLatin1String("height")).toInt());
}

struct Found {
    QJsonObject node;
    QString parentLayout;
    int siblings = 1;
};

// Depth first through the tiled and the floating children.
bool findFocused(const QJsonObject& node, Found& found, int depth = 0)
{
    if (depth > 256)
        return false;
    const QString layout = node.value(QLatin1String("layout")).toString();
    for (const char* key : {"nodes", "floating_nodes"}) {
        const QJsonArray children = node.value(QLatin1String(key)).toArray();
        for (const QJsonValue& child : children) {
            const QJsonObject object = child.toObject();
            if (object.value(QLatin1String("focused")).toBool()) {
                found = {object,
                         QLatin1String(key) == QLatin1String("floating_nodes") ? QString() : layout,
                         int(children.size())};
                return true;
            }
            if (findFocused(object, found, depth + 1))
                return true;
        }
    }
    return false;
}

} // namespace

ActiveWindowInfo swayFocusedWindow(const QByteArray& tree, qint64 ownPid)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(tree, &parseError);
    if (!document.isObject())
        return {QRect(), QString::fromUtf8(texts::ActiveWindowIpcUnreadable)
                             .arg(Sway, parseError.error != QJsonParseError::NoError
                                            ? parseError.errorString()
                                            : QStringLiteral("not a window tree"))};
    Found found;
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("focused")).toBool() || !findFocused(root, found))
        return {QRect(), QString::fromUtf8(texts::NoActiveWindow)};
    const QString type = found.node.value(QLatin1String("type")).toString();
    const qint64 pid = qint64(found.node.value(QLatin1String("pid")).toDouble(-1));
    if ((type != QLatin1String("con") && type != QLatin1String("floating_con")) || pid == ownPid)
        return {QRect(), QString::fromUtf8(texts::NoActiveWindow)};
    // sway reports the rectangle below the title bar; a stacked container
    // shows the titles of all its windows above the focused one.
    QRect frame = rectOf(found.node.value(QLatin1String("rect")));
    const int title = rectOf(found.node.value(QLatin1String("deco_rect"))).height();
    const int titles = found.parentLayout == QLatin1String("stacked") ? found.siblings : 1;
    frame.setTop(frame.top() - title * titles);
    if (frame.isEmpty())
        return {QRect(), QString::fromUtf8(texts::NoActiveWindow)};
    return {frame, QString()};
}

SwayActiveWindow::SwayActiveWindow(QString socketPath) : m_socketPath(std::move(socketPath)) {}

ActiveWindowInfo SwayActiveWindow::activeWindow()
{
    const IpcAnswer tree = swayipc::request(m_socketPath, swayipc::GetTree, QByteArray());
    if (!tree.ok())
        return {QRect(), QString::fromUtf8(tree.unreadable ? texts::ActiveWindowIpcUnreadable
                                                           : texts::ActiveWindowIpcUnreachable)
                             .arg(Sway, tree.error)};
    return swayFocusedWindow(tree.bytes, QCoreApplication::applicationPid());
}

} // namespace snaplorn
