#!/usr/bin/python3
# A status notifier watcher with a host registered, as the trays of Wayland
# desktops offer them on the session bus, and the clicks such a tray sends:
#   sni_host.py serve                  prints "ready", then each item registered
#   sni_host.py activate SERVICE       a click on the item
#   sni_host.py menu SERVICE           the item's menu: "id|label|enabled" lines
#   sni_host.py click SERVICE LABEL    chooses the menu entry with that label
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"


# Qt reads the watcher's properties only when its introspection lists them.
INTROSPECTION = """<node>
 <interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
 </interface>
 <interface name="org.freedesktop.DBus.Properties">
  <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/>
   <arg type="v" direction="out"/></method>
  <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
 </interface>
</node>"""


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.items = []

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # Items name either their bus name or their object path.
        name = sender + service if service.startswith("/") else service
        self.items.append(name)
        print("item", name, flush=True)
        self.StatusNotifierItemRegistered(name)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, out_signature="s")
    def Introspect(self):
        return INTROSPECTION

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, prop):
        return self.GetAll(interface)[prop]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
            "IsStatusNotifierHostRegistered": True,
            "ProtocolVersion": dbus.Int32(0),
        }


def item(bus, service):
    name, _, path = service.partition("/")
    return bus.get_object(name, "/" + path if path else "/StatusNotifierItem")


def menu_entries(bus, service):
    sni = item(bus, service)
    path = sni.Get(ITEM, "Menu", dbus_interface=dbus.PROPERTIES_IFACE)
    menu = bus.get_object(sni.bus_name, path)
    _, layout = menu.GetLayout(0, -1, ["label", "enabled", "visible"], dbus_interface=MENU)
    entries = []

    def walk(node):
        ident, props, children = node
        if "label" in props:
            entries.append((menu, int(ident), str(props["label"]), bool(props.get("enabled", True))))
        for child in children:
            walk(child)

    walk(layout)
    return entries


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    command = sys.argv[1]
    if command == "serve":
        watcher = Watcher(bus)
        # The names stay owned while these objects live.
        names = [dbus.service.BusName(WATCHER, bus),
                 dbus.service.BusName("org.kde.StatusNotifierHost-snaplorntest", bus)]
        print("ready", flush=True)
        GLib.MainLoop().run()
    elif command == "activate":
        item(bus, sys.argv[2]).Activate(0, 0, dbus_interface=ITEM)
    elif command == "menu":
        for _, ident, label, enabled in menu_entries(bus, sys.argv[2]):
            print("%d|%s|%s" % (ident, label, "enabled" if enabled else "disabled"))
    elif command == "click":
        for menu, ident, label, _ in menu_entries(bus, sys.argv[2]):
            if label == sys.argv[3]:
                menu.Event(ident, "clicked", dbus.String("", variant_level=1), dbus.UInt32(0),
                           dbus_interface=MENU)
                return 0
        print("no entry", sys.argv[3], file=sys.stderr)
        return 1
    return 0


sys.exit(main())
