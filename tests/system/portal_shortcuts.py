#!/usr/bin/python3
# A GlobalShortcuts backend of the desktop portal, on the session bus, for
# the hot-key tests. It binds every shortcut it is asked for (the bound key is
# described as "Desktop+" and the preferred trigger) and prints each call. A
# test steers it through org.snaplorn.TestKeys at /org/snaplorn/testkeys:
#   Answer(u)      the response code of later binds (0 binds, 1 or 2 refuse)
#   Activate(s)    the named shortcut of the newest session is pressed
#   CloseSession() the desktop ends the newest session
import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.impl.portal.desktop.snaplornkeys"
IMPL = "org.freedesktop.impl.portal.GlobalShortcuts"
SESSION = "org.freedesktop.impl.portal.Session"
PATH = "/org/freedesktop/portal/desktop"
state = {"answer": 0, "session": None}


def say(*words):
    print(*words, flush=True)


def described(shortcuts):
    return dbus.Array([dbus.Struct((name, dbus.Dictionary({
        "description": props.get("description", ""),
        "trigger_description": "Desktop+" + props.get("preferred_trigger", "")},
        signature="sv"))) for name, props in shortcuts], signature="(sa{sv})")


class Session(dbus.service.Object):
    @dbus.service.method(SESSION)
    def Close(self):
        say("closed by the program", self._object_path)
        self.remove_from_connection()

    @dbus.service.signal(SESSION, signature="")
    def Closed(self):
        pass


class Shortcuts(dbus.service.Object):
    @dbus.service.method(IMPL, in_signature="oosa{sv}", out_signature="ua{sv}")
    def CreateSession(self, handle, session_handle, app_id, options):
        given = options.get("shortcuts", [])
        say("create", session_handle, " ".join(
            "%s=%s" % (name, props.get("preferred_trigger", "")) for name, props in given))
        state["session"] = Session(bus, session_handle)
        # Like the documented portal: the keys are bound by BindShortcuts.
        return dbus.UInt32(0), dbus.Dictionary({}, signature="sv")

    @dbus.service.method(IMPL, in_signature="ooa(sa{sv})sa{sv}", out_signature="ua{sv}")
    def BindShortcuts(self, handle, session_handle, shortcuts, parent_window, options):
        code = state["answer"]
        say("bind", session_handle, "answer", code, " ".join(
            "%s=%s" % (name, props.get("preferred_trigger", "")) for name, props in shortcuts))
        if code != 0:
            return dbus.UInt32(code), dbus.Dictionary({}, signature="sv")
        return dbus.UInt32(0), dbus.Dictionary({"shortcuts": described(shortcuts)}, signature="sv")

    @dbus.service.method(IMPL, in_signature="oo", out_signature="ua{sv}")
    def ListShortcuts(self, handle, session_handle):
        return dbus.UInt32(0), dbus.Dictionary({}, signature="sv")

    @dbus.service.signal(IMPL, signature="osta{sv}")
    def Activated(self, session_handle, shortcut_id, timestamp, options):
        pass

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return dbus.Dictionary({"version": dbus.UInt32(1)}, signature="sv")

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return dbus.UInt32(1)


class Steering(dbus.service.Object):
    @dbus.service.method("org.snaplorn.TestKeys", in_signature="u")
    def Answer(self, code):
        state["answer"] = int(code)

    @dbus.service.method("org.snaplorn.TestKeys", in_signature="s")
    def Activate(self, name):
        session = state["session"]
        say("activate", name, session and session._object_path)
        if session:
            shortcuts.Activated(dbus.ObjectPath(session._object_path), name, dbus.UInt64(0),
                                dbus.Dictionary({}, signature="sv"))

    @dbus.service.method("org.snaplorn.TestKeys")
    def CloseSession(self):
        session = state["session"]
        if session:
            say("closing", session._object_path)
            session.Closed()


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName(NAME, bus)
shortcuts = Shortcuts(bus, PATH)
Steering(bus, "/org/snaplorn/testkeys")
say("ready")
GLib.MainLoop().run()
