#!/usr/bin/python3
"""A StatusNotifierWatcher with a pretend notification area, for tests.

Owns org.kde.StatusNotifierWatcher on the session bus. When an item
registers, it reads the item's properties as a panel would, then calls
Activate(3, 4) and ContextMenu(7, 9) on it. What it saw is written as JSON
to the file named on the command line after every change:
  {"registered": [...], "Id": ..., "Title": ..., "ToolTip": ..., "Status": ...,
   "IconPixmap": [[w, h, "hex"], ...], "tooltip_updates": n, "gone": bool}
Ends by itself after 60 seconds.
"""
import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"

report_path = sys.argv[1]
report = {"registered": [], "tooltip_updates": 0, "gone": False}


def write():
    with open(report_path + ".tmp", "w") as f:
        json.dump(report, f, ensure_ascii=False)
    import os
    os.replace(report_path + ".tmp", report_path)


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.bus = bus
        self.service = None
        bus.add_signal_receiver(self.owner_changed, "NameOwnerChanged", "org.freedesktop.DBus")
        bus.add_signal_receiver(self.new_tooltip, "NewToolTip", ITEM)

    @dbus.service.method(WATCHER, in_signature="s", out_signature="", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        name = service if service.startswith(":") or "." in service else sender
        self.service = str(name)
        report["registered"].append(self.service)
        write()
        GLib.idle_add(self.read_item)

    def item(self):
        return self.bus.get_object(self.service, "/StatusNotifierItem", introspect=False)

    def read_item(self):
        props = dbus.Interface(self.item(), "org.freedesktop.DBus.Properties")
        props.GetAll(ITEM, reply_handler=self.got_all, error_handler=self.failed)
        return False

    def got_all(self, values):
        for key in ("Id", "Title", "Status", "Category"):
            report[key] = str(values.get(key, ""))
        report["IconPixmap"] = [[int(w), int(h), bytes(bytearray(data)).hex()]
                                for (w, h, data) in values.get("IconPixmap", [])]
        tip = values.get("ToolTip")
        report["ToolTip"] = str(tip[2]) if tip is not None else None
        write()
        item = dbus.Interface(self.item(), ITEM)
        item.Activate(3, 4, reply_handler=lambda: None, error_handler=self.failed)
        item.ContextMenu(7, 9, reply_handler=lambda: None, error_handler=self.failed)

    def new_tooltip(self, *args, **kwargs):
        if self.service is None:
            return
        report["tooltip_updates"] += 1
        props = dbus.Interface(self.item(), "org.freedesktop.DBus.Properties")
        props.Get(ITEM, "ToolTip", reply_handler=self.got_tooltip, error_handler=self.failed)

    def got_tooltip(self, tip):
        report["ToolTip"] = str(tip[2])
        write()

    def owner_changed(self, name, old, new):
        if self.service is not None and str(name) == self.service and not new:
            report["gone"] = True
            write()

    def failed(self, error):
        report.setdefault("errors", []).append(str(error))
        write()


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
watcher = Watcher(bus)
write()
bus.request_name(WATCHER)
loop = GLib.MainLoop()
GLib.timeout_add_seconds(60, loop.quit)
loop.run()
