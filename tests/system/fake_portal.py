#!/usr/bin/python3
# A Screenshot portal that misbehaves, on the session bus it is given:
#   fake_portal.py silent|refuse|nofile|keys-error
#   fake_portal.py pick PICTURE
# silent: never answers; refuse: answers with response 2; nofile: answers
# success with a file that does not exist; keys-error: its global shortcuts
# answer every call with an error; pick: answers an interactive request with
# a fresh copy of PICTURE (what the user picked), and refuses any other.
import shutil
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

mode = sys.argv[1]
PATH = "/org/freedesktop/portal/desktop"


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, code, results):
        pass


class Screenshot(dbus.service.Object):
    @dbus.service.method("org.freedesktop.portal.Screenshot", in_signature="sa{sv}",
                         out_signature="o", sender_keyword="sender")
    def Screenshot(self, parent, options, sender=None):
        handle = "%s/request/%s/%s" % (PATH, sender[1:].replace(".", "_"), options["handle_token"])
        if mode != "silent":
            request = Request(bus, handle)
            code, results = (2, {}) if mode == "refuse" else (0, {"uri": "file:///nonexistent/shot.png"})
            if mode == "pick":
                code, results = 2, {}
                if options.get("interactive", False):
                    shot = "%s.%s.png" % (sys.argv[2], options["handle_token"])
                    shutil.copy(sys.argv[2], shot)
                    code, results = 0, {"uri": "file://" + shot}
            GLib.idle_add(lambda: request.Response(dbus.UInt32(code),
                                                   dbus.Dictionary(results, signature="sv")) and False)
        return dbus.ObjectPath(handle)


class Denied(dbus.DBusException):
    _dbus_error_name = "org.freedesktop.DBus.Error.AccessDenied"


class GlobalShortcuts(dbus.service.Object):
    @dbus.service.method("org.freedesktop.portal.GlobalShortcuts", in_signature="a{sv}",
                         out_signature="o")
    def CreateSession(self, options):
        raise Denied("Portal operation not allowed")


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName("org.freedesktop.portal.Desktop", bus)
Screenshot(bus, PATH) if mode != "keys-error" else GlobalShortcuts(bus, PATH)
print("ready", flush=True)
GLib.MainLoop().run()
