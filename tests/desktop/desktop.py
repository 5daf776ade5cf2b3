#!/usr/bin/python3
"""What only a real desktop shows: the real `orvantis` on a private Xvfb with
openbox (and trayer or xfce4-panel), driven with xdotool and read through
AT-SPI by the accessible names of its controls. Each run has its own display,
session bus and XDG folders, and ends all it started.

    dbus-run-session -- /usr/bin/python3 desktop.py SCENARIO path/to/orvantis
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Gio, GLib  # noqa: E402
import pyatspi  # noqa: E402

TITLE = "Orvantis - Lumevarre"
WORK = tempfile.mkdtemp(prefix="orvantis-desktop-")
BUS = Gio.bus_get_sync(Gio.BusType.SESSION)
started = []


def wait(what, predicate, timeout=10.0):
    """Polls `predicate` until it is true and returns its value; AT-SPI and
    D-Bus errors meanwhile count as "not yet"."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = predicate()
            if value:
                return value
        except Exception:  # noqa: BLE001
            pass
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)


def start(*args, log="desktop"):
    process = subprocess.Popen(args, stdin=subprocess.DEVNULL,
                               stdout=open(f"{WORK}/{log}.log", "ab"), stderr=subprocess.STDOUT)
    started.append(process)
    return process


def out(*args):
    return subprocess.run(args, capture_output=True, text=True).stdout


def xdo(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def click(x, y, button=1, repeat=1):
    xdo("mousemove", x, y, "click", "--repeat", repeat, "--delay", 80, button)


def key(*keys):
    xdo("key", "--delay", 40, *keys)


def call(service, path, interface, method, args=None):
    return BUS.call_sync(service, path, interface, method, args, None, 0, 5000, None).unpack()


def prop(service, path, interface, name):
    return call(service, path, "org.freedesktop.DBus.Properties", "Get",
                GLib.Variant("(ss)", (interface, name)))[0]


def watcher(name):
    return prop("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                "org.kde.StatusNotifierWatcher", name)


def bus_daemon(method, signature, *args):
    return call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", method,
                GLib.Variant(signature, args))


# A panel with the notification area and a workspace switcher after it, so
# that xfce4-panel does not ask how to set itself up.
PANEL = """<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0"><property name="configver" type="int" value="2"/>
 <property name="panels" type="array"><value type="int" value="1"/>
  <property name="panel-1" type="empty"><property name="position" type="string" value="p=6;x=0;y=0"/>
   <property name="plugin-ids" type="array"><value type="int" value="1"/><value type="int" value="2"/>
   </property></property></property>
 <property name="plugins" type="empty"><property name="plugin-1" type="string" value="systray"/>
  <property name="plugin-2" type="string" value="pager"/></property>
</channel>"""


def desktop(xfce=False):
    """Xvfb and openbox, with xfce4-panel as the tray if asked."""
    for name, folder in (("XDG_CONFIG_HOME", "config"), ("XDG_DATA_HOME", "data"),
                         ("XDG_CACHE_HOME", "cache"), ("XDG_RUNTIME_DIR", "runtime")):
        os.makedirs(f"{WORK}/{folder}", mode=0o700)
        os.environ[name] = f"{WORK}/{folder}"
    for name in ("WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "QT_QPA_PLATFORMTHEME"):
        os.environ.pop(name, None)
    os.environ.update(HOME=WORK, QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8",
                      QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    read, write = os.pipe()
    started.append(subprocess.Popen(
        ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
        pass_fds=(write,), stderr=open(f"{WORK}/xvfb.log", "wb")))
    os.close(write)
    os.environ["DISPLAY"] = ":" + os.fdopen(read).readline().strip()
    # What the bus starts on demand (the accessibility bus, xfconfd) gets the
    # same folders.
    bus_daemon("UpdateActivationEnvironment", "(a{ss})",
               {k: v for k, v in os.environ.items() if k.startswith("XDG_") or k == "HOME"})
    for _ in range(3):  # now and then its first connection to a new server fails
        openbox = start("openbox", "--sm-disable")
        while openbox.poll() is None and "window id" not in out(
                "xprop", "-root", "_NET_SUPPORTING_WM_CHECK"):
            time.sleep(0.05)
        if openbox.poll() is None:
            break
    assert openbox.poll() is None, "openbox did not start"
    if xfce:
        channel = f"{WORK}/config/xfce4/xfconf/xfce-perchannel-xml"
        os.makedirs(channel)
        with open(f"{channel}/xfce4-panel.xml", "w") as config:
            config.write(PANEL)
        # Started here rather than by the bus, so that it is ended (and has
        # written its files) before the folders are removed.
        xfconfd = open("/usr/share/dbus-1/services/org.xfce.Xfconf.service").read()
        start(re.search(r"^Exec=(\S+)", xfconfd, re.M).group(1), log="panel")
        wait("xfconfd", lambda: bus_daemon("NameHasOwner", "(s)", "org.xfce.Xfconf")[0])
        start("xfce4-panel", log="panel")
        wait("the panel's StatusNotifier host",
             lambda: watcher("IsStatusNotifierHostRegistered"), timeout=20)


def end():
    for process in reversed(started):
        process.terminate()
        try:
            process.wait(3)
        except subprocess.TimeoutExpired:
            process.kill()
    shutil.rmtree(WORK, ignore_errors=True)


def shown(title=TITLE):
    """The X id of the shown window titled `title`, or None."""
    found = out("xdotool", "search", "--onlyvisible", "--name", f"^{title}$").split()
    return int(found[0]) if found else None


def ours(*where):
    """(x, y, width, height) of each viewable window of ours titled "Orvantis"
    that `xwininfo *where` lists."""
    for window in re.findall(r'^\s+(0x[0-9a-f]+) "Orvantis": \("orvantis"',
                             out("xwininfo", *where), re.M):
        info = out("xwininfo", "-id", window)
        if "IsViewable" in info:
            yield [int(re.search(label + r":\s+(-?\d+)", info).group(1)) for label in
                   ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")]


def trayer():
    return out("xdotool", "search", "--onlyvisible", "--class", "trayer").split()


def start_trayer():
    tray = start("trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width",
                 "100", "--height", "24", "--SetDockType", "true")
    wait("trayer", trayer)
    return tray


def tray_icon():
    """The centre of our icon in trayer's panel, or None."""
    return next(((x + w // 2, y + h // 2) for panel in trayer()
                 for x, y, w, h in ours("-tree", "-id", panel)), None)


def walk(root):
    todo = [root]
    while todo:
        node = todo.pop(0)
        yield node
        if node.getRole() not in (pyatspi.ROLE_TABLE, pyatspi.ROLE_COMBO_BOX):
            todo.extend(child for child in node if child is not None)


def find(root, name=None, role=None, pred=lambda a: True, timeout=10.0):
    return wait(f"'{name or role}'", lambda: next(
        (a for a in walk(root) if (name is None or a.name == name)
         and (role is None or a.getRole() == role) and pred(a)), None), timeout)


def has(acc, state):
    return acc.getState().contains(getattr(pyatspi, "STATE_" + state))


def showing(acc):
    return has(acc, "SHOWING")


def text(acc):
    return acc.queryText().getText(0, -1)


class Orvantis:
    """One start of the program."""

    def __init__(self):
        self.process = start(sys.argv[2], log="orvantis")
        self.app = wait(f"process {self.process.pid} on the accessibility bus", lambda: next(
            (a for a in pyatspi.Registry.getDesktop(0) if a and a.get_process_id()
             == self.process.pid), None), timeout=20)

    def window(self, pred=showing):
        return find(self.app, TITLE, pyatspi.ROLE_FRAME, pred, timeout=20)

    def control(self, name, role=None):
        return find(self.window(), name, role)

    def menu(self, access_key):
        """Chooses an item of the Help menu with its access key."""
        self.window()
        xdo("windowactivate", "--sync", wait("the main window on the screen", shown))
        key("alt+h")
        find(self.app, "Minimize", pyatspi.ROLE_MENU_ITEM, showing)
        key(access_key)


# ------------------------------------------------------------ scenarios

def tray_xembed():
    desktop()
    program = Orvantis()
    program.menu("e")  # the help window stays open beside it
    xid = shown()
    help_window = wait("the help window", lambda: shown("Orvantis Help"))
    # The tray may come after the program, as a panel started later does.
    tray = start_trayer()

    def minimize():
        program.menu("m")
        # Qt notes the lost keyboard a moment later, and then closes any
        # pop-up menu open by that time.
        frame = program.window(pred=lambda a: True)
        wait("the program to let go of the keyboard", lambda: not has(frame, "ACTIVE"))
        return wait("the icon in the tray", tray_icon)

    x, y = minimize()
    xdo("windowactivate", "--sync", help_window, "key", "alt+F4")
    wait("the help window to close", lambda: not shown("Orvantis Help"))
    time.sleep(0.5)
    assert program.process.poll() is None, "closing the help window ended the program"
    click(x, y, repeat=2)
    window = program.window()
    wait("the restored window to have the keyboard", lambda: has(window, "ACTIVE"))
    assert "_SKIP_TASKBAR" in out("xprop", "-id", str(xid), "_NET_WM_STATE"), "in the task list"

    minimize()
    tray.terminate()
    wait("the window back when the tray ended", shown)
    start_trayer()
    x, y = minimize()
    # The icon's pop-up menu: our top-level window beside the main window (Qt
    # leaves such menus out of the accessible tree). It opens on the right
    # button's release, not its press (Qt would open a menu handed to an
    # XEmbed icon at the press).
    def menu():
        return next((box for box in ours("-root", "-children") if box[3] > 20), None)
    xdo("mousemove", x, y, "mousedown", 3, "sleep", 0.5)
    assert not menu(), "the menu opened on the press"
    xdo("mouseup", 3)
    mx, my, w, h = wait("the menu", menu)
    click(mx + w // 2, my + h - 8)  # "&Exit", the last item
    assert program.process.wait(10) == 0, "'Exit' ended the program with an error"


def tray_xfce():
    """xfce4-panel shows StatusNotifier items, and the menus they export. A
    double click on the item leaves the user looking at the window."""
    desktop(xfce=True)
    xdo("set_desktop", 1)  # the switcher beside the item starts with another one
    program = Orvantis()
    program.menu("m")
    service, path = wait("the item", lambda: watcher("RegisteredStatusNotifierItems"))[0].split("/", 1)
    menu = prop(service, "/" + path, "org.kde.StatusNotifierItem", "Menu")
    _, (_, _, entries) = call(service, menu, "com.canonical.dbusmenu", "GetLayout",
                              GLib.Variant("(iias)", (0, -1, [])))
    labels = [entry["label"] for _, entry, _ in entries if "label" in entry]
    assert labels == ["_Restore", "_Exit"], f"the exported menu holds {labels}"

    # The notification area is the panel's one plugin window; it holds our item.
    panel_window = out("xdotool", "search", "--onlyvisible", "--class", "xfce4-panel").split()[0]
    w, h, x, y = map(int, re.search(r'"wrapper-2.0": \(.*\)\s+(\d+)x(\d+)\S*\s+\+(-?\d+)\+(-?\d+)',
                                    out("xwininfo", "-tree", "-id", panel_window)).groups())
    click(x + w // 2, y + h // 2, repeat=2)
    time.sleep(1)  # the window back, the double-click interval and the second click past
    assert shown() and "= 1" in out("xprop", "-root", "_NET_CURRENT_DESKTOP"), "the window out of sight"


def keyboard_and_restarts():
    """Keys reach what has the focus, from the start, with "Save Birthdate"
    on; the date picked so survives a kill, and a second start beside the new
    one, minimised, is refused and brings it back. (The focus order itself
    and the refusal's message are the window tests'.)"""
    desktop()
    program = Orvantis()
    program.menu("s")
    # Past the selected mode and the report (day and month are off in mode 1)
    # to the birth-date box; Space opens its calendar, made there and then.
    # The 4th of the month before; Return picks it and gives the focus back,
    # whence Tab comes round past the calculate button to the selected mode,
    # Down chooses the next one and Shift+Tab goes back to calculate.
    key(*"Tab Tab Tab space Prior Right Right Right Return Tab Tab Down shift+Tab space".split())
    wait("the report of the next mode",
         lambda: "Personal Year:" in text(program.control("Report", pyatspi.ROLE_TEXT)))
    picked = text(program.control("Birth date", pyatspi.ROLE_TEXT))
    assert re.fullmatch(r"December 04, \d{4}", picked), f"picked {picked}"

    program.process.send_signal(signal.SIGKILL)
    program.process.wait(5)
    again = Orvantis()
    assert text(again.control("Birth date", pyatspi.ROLE_TEXT)) == picked, "the date was lost"
    again.menu("m")  # no tray here: minimised instead
    wait("the window to be minimised", lambda: not shown())
    second = start(sys.argv[2], log="orvantis")
    wait("the refused start to bring the first window back", shown)
    box = wait("the refused start's message", lambda: out(
        "xdotool", "search", "--onlyvisible", "--pid", str(second.pid), "--name", "^Orvantis$").split())
    xdo("windowactivate", "--sync", box[0])
    key("Return")
    assert second.wait(10) == 0, "the refused start ended with an error"


if __name__ == "__main__":
    try:
        globals()[sys.argv[1]]()
        print("PASS")
    except AssertionError as failure:
        line = traceback.extract_tb(failure.__traceback__)[1].lineno
        print(f"FAIL {sys.argv[1]} at line {line}: {failure}")
        for log in sorted(name for name in os.listdir(WORK) if name.endswith(".log")):
            print(f"--- {log}\n" + open(f"{WORK}/{log}", errors="replace").read()[-3000:])
        sys.exit(1)
    finally:
        end()
