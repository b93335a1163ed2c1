#!/usr/bin/python3
# An Access backend of the desktop portal that grants every request. The
# portal frontend offers its Screenshot interface only when some Access
# backend exists, and the wlroots backend brings none.
import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.impl.portal.desktop.snaplorntest"
IFACE = "org.freedesktop.impl.portal.Access"


class Access(dbus.service.Object):
    @dbus.service.method(IFACE, in_signature="osssssa{sv}", out_signature="ua{sv}")
    def AccessDialog(self, handle, app_id, parent, title, subtitle, body, options):
        return dbus.UInt32(0), dbus.Dictionary({}, signature="sv")


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName(NAME, bus)
Access(bus, "/org/freedesktop/portal/desktop")
GLib.MainLoop().run()
