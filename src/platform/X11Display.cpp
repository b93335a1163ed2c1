#include "platform/X11Display.h"

#include "app/Texts.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

namespace snaplorn {

xcb_connection_t* qtX11Connection()
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

Result probeX11Display()
{
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty())
        return Result::failure(QString::fromUtf8(texts::CliNoDisplay));
    xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
    const bool reached = connection && xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (!reached)
        return Result::failure(
            QString::fromUtf8(texts::CliDisplayUnreachable).arg(QString::fromLocal8Bit(display)));
    return Result::success();
}

} // namespace snaplorn
