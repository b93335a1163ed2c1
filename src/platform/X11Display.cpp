#include "platform/X11Display.h"

#include "base/Texts.h"
#include "platform/X11Grab.h"

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

std::unique_ptr<X11Connection> X11Connection::open(QString* why)
{
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) {
        *why = QString::fromUtf8(texts::CliNoDisplay);
        return nullptr;
    }
    xcb_connection_t* connection = connectOrGiveUp(display.constData());
    if (!connection || xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        *why = QString::fromUtf8(texts::CliDisplayUnreachable).arg(QString::fromLocal8Bit(display));
        return nullptr;
    }
    return std::unique_ptr<X11Connection>(new X11Connection(connection));
}

X11Connection::~X11Connection()
{
    xcb_disconnect(m_connection);
}

} // namespace snaplorn
