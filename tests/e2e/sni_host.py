"""A StatusNotifierItem host on the session bus, as the end-to-end tests need
one: the panels of XFCE, LXQt and KDE speak this D-Bus protocol, and Qt
uses it instead of XEmbed whenever a watcher owns its name.

  sni_host.py watch FILE       owns org.kde.StatusNotifierWatcher and keeps
                               FILE listing the registered items, one bus
                               name a line (written once the name is owned;
                               an item leaves when its name goes away)
  sni_host.py menu ITEM        what a panel does on a right click: asks the
                               item's menu to get ready (AboutToShow) and
                               prints its entries as "ID LABEL" (a separator
                               as "ID -")
  sni_host.py click ITEM ID    chooses the menu entry ID ("clicked" event)
  sni_host.py activate ITEM N  N left clicks on the entry (Activate), back
                               to back as a panel sends a double-click

Run it with Debian's python3 (python3-dbus, python3-gi).
"""

import os
import sys

import dbus
import dbus.service

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM_INTERFACE = "org.kde.StatusNotifierItem"
MENU_INTERFACE = "com.canonical.dbusmenu"
ITEM_PATH = "/StatusNotifierItem"


# Qt reads the watcher's properties through its introspection data, which
# dbus-python does not generate for properties.
INTROSPECTION = """<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get">
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/>
    </method>
    <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
  </interface>
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg type="s" direction="out"/></method>
  </interface>
</node>
"""


class Watcher(dbus.service.Object):
    def __init__(self, bus, state):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.bus = bus
        self.state = state
        self.items = []
        bus.add_signal_receiver(self.owner_changed, "NameOwnerChanged",
                                "org.freedesktop.DBus")

    def write(self):
        # Replaced in one step, so a reader never sees half a list.
        part = self.state + ".part"
        with open(part, "w", encoding="utf-8") as out:
            out.writelines(item + "\n" for item in self.items)
        os.replace(part, self.state)

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # An item names its bus name, or only its path on the sender's.
        name = sender if service.startswith("/") else service
        if name not in self.items:
            self.items.append(name)
            self.write()
            self.StatusNotifierItemRegistered(name)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemUnregistered(self, service):
        pass

    def properties(self):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
        }

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.properties()[name]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.properties()

    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, out_signature="s")
    def Introspect(self):
        return INTROSPECTION

    def owner_changed(self, name, old, new):
        gone = [item for item in self.items if not new and item in (name, old)]
        for item in gone:
            self.items.remove(item)
            self.StatusNotifierItemUnregistered(item)
        if gone:
            self.write()


def watch(state):
    from dbus.mainloop.glib import DBusGMainLoop
    from gi.repository import GLib

    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    watcher = Watcher(bus, state)
    name = dbus.service.BusName(WATCHER, bus, do_not_queue=True)
    watcher.write()
    loop = GLib.MainLoop()
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, 15, loop.quit)
    loop.run()
    del name


def item_menu(bus, item):
    path = bus.get_object(item, ITEM_PATH).Get(
        ITEM_INTERFACE, "Menu", dbus_interface=dbus.PROPERTIES_IFACE)
    return dbus.Interface(bus.get_object(item, path), MENU_INTERFACE)


def show_menu(item):
    menu = item_menu(dbus.SessionBus(), item)
    menu.AboutToShow(0)
    _, (_, _, children) = menu.GetLayout(0, 1, ["type", "label", "visible"])
    for child_id, properties, _ in children:
        if not properties.get("visible", True):
            continue
        separator = properties.get("type") == "separator"
        print(int(child_id), "-" if separator else str(properties.get("label", "")))


def click(item, entry):
    menu = item_menu(dbus.SessionBus(), item)
    menu.Event(dbus.Int32(int(entry)), "clicked", dbus.Int32(0, variant_level=1),
               dbus.UInt32(0))


def activate(item, times):
    entry = dbus.SessionBus().get_object(item, ITEM_PATH)
    for _ in range(int(times)):
        entry.Activate(dbus.Int32(0), dbus.Int32(0), dbus_interface=ITEM_INTERFACE)


def main(argv):
    commands = {"watch": (watch, 1), "menu": (show_menu, 1), "click": (click, 2),
                "activate": (activate, 2)}
    if len(argv) < 2 or argv[1] not in commands or len(argv) != 2 + commands[argv[1]][1]:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        commands[argv[1]][0](*argv[2:])
    except dbus.DBusException as error:
        print(f"sni_host {argv[1]}: {error.get_dbus_message()}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
