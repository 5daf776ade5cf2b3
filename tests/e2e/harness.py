"""The desktop the end-to-end scenarios run on, and the hands and eyes they use.

A scenario gets a private desktop: an X server (Xvfb, started with -ac so
that a program run as another user can draw on it too), the openbox window
manager, the trayer notification area and an AT-SPI accessibility bus. It
starts the real `orvantis` program on it, drives it with the real pointer and
keyboard (xdotool sends XTEST events, as a user's hardware would) and reads
the program the way a screen reader does, through AT-SPI and the accessible
names of its controls.

Everything started here is a descendant of the scenario's process, which is a
child subreaper: at the end every descendant is ended by its process id and
reaped, whatever became of its parent.
"""

import ctypes
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

NOBODY_UID = 65534
NOBODY_GID = 65534

# Polling interval of every wait; no wait sleeps longer than this at a time.
POLL = 0.05

ATSPI_LAUNCHER = next((path for path in ("/usr/libexec/at-spi-bus-launcher",
                                         "/usr/lib/at-spi2-core/at-spi-bus-launcher")
                       if os.access(path, os.X_OK)), "at-spi-bus-launcher")


class Failure(AssertionError):
    """A scenario's check failed."""


class Skip(Exception):
    """The scenario cannot run here (reported to ctest as skipped)."""


def wait_for(what, predicate, timeout=10.0):
    """Polls `predicate` until it returns something true, and returns that.

    AT-SPI errors while polling (a control that is being rebuilt, a program
    that has not registered yet) count as "not yet".
    """
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = predicate()
            if value:
                return value
        except Exception as error:  # noqa: BLE001 - reported on timeout
            last_error = error
        if time.monotonic() >= deadline:
            detail = f" (last error: {last_error!r})" if last_error else ""
            raise Failure(f"timed out after {timeout:g} s waiting for {what}{detail}")
        time.sleep(POLL)


def note(message):
    """Progress notes, shown with ORVANTIS_E2E_VERBOSE=1 or when the scenario fails."""
    print(f"  . {message}", flush=True)


def check(condition, message):
    if not condition:
        raise Failure(message)


def check_equal(actual, expected, what):
    if actual != expected:
        raise Failure(f"{what}: expected {expected!r}, got {actual!r}")


def become_subreaper():
    """Orphaned descendants (daemons that fork) are re-parented to us, so
    that the clean-up finds and reaps them."""
    PR_SET_CHILD_SUBREAPER = 36
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)


def descendants(root_pid):
    """Process ids of all living descendants of `root_pid`."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat", "rb") as stat:
                fields = stat.read().rsplit(b")", 1)[1].split()
        except OSError:
            continue
        if fields[0] == b"Z":
            continue
        children.setdefault(int(fields[1]), []).append(int(entry))
    found, todo = [], [root_pid]
    while todo:
        for child in children.get(todo.pop(), []):
            found.append(child)
            todo.append(child)
    return found


def end_descendants():
    """Ends every descendant of this process by its id, then reaps them."""
    me = os.getpid()
    for sig, grace in ((signal.SIGTERM, 2.0), (signal.SIGKILL, 2.0)):
        pids = descendants(me)
        if not pids:
            break
        for pid in pids:
            try:
                os.kill(pid, sig)
            except ProcessLookupError:
                pass
        deadline = time.monotonic() + grace
        while descendants(me) and time.monotonic() < deadline:
            reap()
            time.sleep(POLL)
    reap()


def reap():
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            return


def run(args, env=None, check_status=True, timeout=30, **kwargs):
    result = subprocess.run(args, env=env, capture_output=True, timeout=timeout, **kwargs)
    if check_status and result.returncode != 0:
        raise Failure(f"{args[0]} failed ({result.returncode}): "
                      f"{result.stderr.decode(errors='replace').strip()}")
    return result


def as_nobody(args):
    return ["setpriv", f"--reuid={NOBODY_UID}", f"--regid={NOBODY_GID}", "--clear-groups",
            "--", *args]


class App:
    """One started `orvantis` (or other program) process."""

    def __init__(self, args, env, log_path, name, cwd=None):
        self.name = name
        self.log_path = log_path
        self._log = open(log_path, "wb")
        self.process = subprocess.Popen(args, env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                                        stdout=self._log, stderr=subprocess.STDOUT,
                                        start_new_session=True)
        self.pid = self.process.pid

    def alive(self):
        return self.process.poll() is None

    def wait(self, timeout, what=None):
        wait_for(what or f"{self.name} (pid {self.pid}) to end",
                 lambda: not self.alive(), timeout)
        return self.process.returncode

    def kill(self, sig=signal.SIGKILL):
        if self.alive():
            os.kill(self.pid, sig)
            self.process.wait(5)

    def log(self):
        self._log.flush()
        with open(self.log_path, "rb") as log:
            return log.read().decode(errors="replace")


class Desktop:
    """A private X desktop with window manager, tray and accessibility bus.

    `a11y_user` says whose accessibility bus the scenario reads: "self" (this
    process's session bus, where programs started by this user register) or
    "nobody" (a session of the unprivileged user, for programs started as that
    user; the bus of that session admits root as well).
    """

    def __init__(self, work, a11y_user="self", width=1024, height=768):
        self.work = work
        self.a11y_user = a11y_user
        self.size = (width, height)
        self.apps = []
        self.display = None
        self.nobody_bus = None
        self._helpers = []
        self._last_click = None

    # ------------------------------------------------------------ start-up

    def _spawn(self, name, args, env=None, **kwargs):
        log = open(os.path.join(self.work, f"{name}.log"), "wb")
        process = subprocess.Popen(args, env=env or self.env(), stdin=subprocess.DEVNULL,
                                   stdout=log, stderr=subprocess.STDOUT,
                                   start_new_session=True, **kwargs)
        self._helpers.append((name, process))
        return process

    def start(self):
        # The desktop's own runtime folder: the accessibility bus puts its
        # socket there, not in a folder other test runs share.
        runtime = os.path.join(self.work, "session-runtime-self")
        os.makedirs(runtime, mode=0o700)
        os.environ["XDG_RUNTIME_DIR"] = runtime
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
             f"{self.size[0]}x{self.size[1]}x24", "-nolisten", "tcp", "-ac", "-noreset"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.work, "xvfb.log"), "wb"),
            start_new_session=True)
        os.close(write_end)
        self._helpers.append(("Xvfb", xvfb))
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        check(number.isdigit(), "Xvfb reported no display number")
        self.display = f":{number}"
        os.environ["DISPLAY"] = self.display

        self._spawn("openbox", ["openbox", "--sm-disable"])
        wait_for("the window manager", lambda: run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check_status=False)
            .stdout.find(b"window id") >= 0)
        self._start_tray()

        if self.a11y_user == "nobody":
            self._start_nobody_session()
        else:
            self._spawn("a11y-bus", [ATSPI_LAUNCHER, "--launch-immediately"])
            # Asked without starting it: the session bus could otherwise
            # start a second launcher of its own.
            wait_for("the accessibility bus", lambda: b"true" in run(
                ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                 "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                 "string:org.a11y.Bus"], check_status=False).stdout)
        self._import_atspi()

    def _start_tray(self, attempts=3):
        # A panel mapped while openbox is still starting up can stay
        # unmanaged and invisible; a second trayer then always shows.
        for attempt in range(attempts):
            trayer = self._spawn(f"trayer{attempt}", [
                "trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel",
                "--width", "100", "--heighttype", "pixel", "--height", "24",
                "--transparent", "false", "--SetDockType", "true"])
            try:
                wait_for("the notification area", lambda: self.tray_panel() is not None,
                         timeout=2.5)
                return
            except Failure:
                if attempt == attempts - 1:
                    raise
                trayer.terminate()
                trayer.wait(5)

    def _start_nobody_session(self):
        """A session bus and an accessibility bus of the unprivileged user.

        A program finds its accessibility bus through its session bus, and a
        session bus admits only its own user, so a program run as "nobody"
        needs a session of nobody's. The accessibility bus admits root as
        well, which lets this process read the program."""
        home = self.nobody_dir("session-home")
        runtime = self.nobody_dir("session-runtime", mode=0o700)
        env = self.env(HOME=home, XDG_RUNTIME_DIR=runtime)
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        self._spawn("nobody-bus", as_nobody(
            ["dbus-daemon", "--session", "--nofork", f"--address=unix:path={runtime}/bus"]),
            env=env)
        self.nobody_bus = f"unix:path={runtime}/bus"
        env["DBUS_SESSION_BUS_ADDRESS"] = self.nobody_bus
        wait_for("the unprivileged session bus", lambda: os.path.exists(f"{runtime}/bus"))
        self._spawn("nobody-a11y-bus", as_nobody([ATSPI_LAUNCHER, "--launch-immediately"]),
                    env=env)

        def address():
            reply = run(as_nobody(["dbus-send", "--session", "--print-reply",
                                   "--dest=org.a11y.Bus", "/org/a11y/bus",
                                   "org.a11y.Bus.GetAddress"]),
                        env=env, check_status=False)
            found = re.search(rb'string "([^"]+)"', reply.stdout)
            return found.group(1).decode() if found else None
        os.environ["AT_SPI_BUS_ADDRESS"] = wait_for("the unprivileged accessibility bus",
                                                    address)

    def _import_atspi(self):
        global pyatspi  # noqa: PLW0603 - bound once the bus to read is known
        import pyatspi as module
        pyatspi = module

    def nobody_dir(self, name, mode=0o755):
        path = os.path.join(self.work, name)
        os.makedirs(path, exist_ok=True)
        os.chown(path, NOBODY_UID, NOBODY_GID)
        os.chmod(path, mode)
        return path

    def env(self, **extra):
        env = {k: v for k, v in os.environ.items()
               if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_QPA_PLATFORMTHEME",
                            "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "SESSION_MANAGER")}
        env.update(extra)
        return env

    def stop(self):
        for app in self.apps:
            app._log.close()
        end_descendants()

    # ------------------------------------------------------------ programs

    def profile(self, name, owner="self"):
        """Fresh configuration, runtime and home folders for one user of the
        program. Returned as the environment entries that select them."""
        base = os.path.join(self.work, "profile-" + name)
        paths = {}
        for key, sub, mode in (("XDG_CONFIG_HOME", "config", 0o755),
                               ("XDG_RUNTIME_DIR", "runtime", 0o700),
                               ("HOME", "home", 0o755)):
            path = os.path.join(base, sub)
            os.makedirs(path, exist_ok=True)
            os.chmod(base, 0o755)
            if owner == "nobody":
                os.chown(path, NOBODY_UID, NOBODY_GID)
            os.chmod(path, mode)
            paths[key] = path
        return paths

    def start_program(self, program, profile, name=None, as_user="self", args=(), cwd=None,
                      **extra_env):
        env = self.env(QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                       LC_ALL="C.UTF-8", LANG="C.UTF-8", **profile, **extra_env)
        command = [program, *args]
        if as_user == "nobody":
            check(self.nobody_bus, "the desktop has no session of the unprivileged user")
            env["DBUS_SESSION_BUS_ADDRESS"] = self.nobody_bus
            env.pop("AT_SPI_BUS_ADDRESS", None)
            command = as_nobody(command)
        name = name or f"app{len(self.apps) + 1}"
        app = App(command, env, os.path.join(self.work, f"{name}.log"), name, cwd)
        self.apps.append(app)
        return app

    # ------------------------------------------------------------ X windows

    def windows(self, title, visible=True, pid=None):
        """Ids of the top-level windows whose title is exactly `title`."""
        args = ["xdotool", "search", "--all"]  # all conditions, not any
        if visible:
            args.append("--onlyvisible")
        if pid is not None:
            args += ["--pid", str(pid)]
        args += ["--name", "^" + re.escape(title) + "$"]
        found = run(args, check_status=False).stdout.split()
        return [int(w) for w in found]

    def all_windows(self, title):
        """Ids of all viewable windows titled exactly `title`, at any depth,
        override-redirect pop-ups included (xdotool's search skips those)."""
        tree = run(["xwininfo", "-root", "-tree"]).stdout.decode(errors="replace")
        found = []
        for match in re.finditer(r'^\s+(0x[0-9a-f]+) "((?:[^"\\]|\\.)*)":', tree, re.M):
            if match.group(2) == title:
                window = int(match.group(1), 16)
                try:
                    if self.window_geometry(window)[4]:
                        found.append(window)
                except Failure:
                    continue  # gone meanwhile
        return found

    def window_pid(self, window):
        out = run(["xdotool", "getwindowpid", str(window)], check_status=False).stdout
        return int(out) if out.strip().isdigit() else None

    def window_geometry(self, window):
        info = run(["xwininfo", "-id", str(window)]).stdout.decode()
        def field(label):
            return int(re.search(label + r":\s+(-?\d+)", info).group(1))
        return (field("Absolute upper-left X"), field("Absolute upper-left Y"),
                field("Width"), field("Height"), "IsViewable" in info)

    def tray_panel(self):
        found = run(["xdotool", "search", "--onlyvisible", "--class", "trayer"],
                    check_status=False).stdout.split()
        for window in found:
            x, y, w, h, viewable = self.window_geometry(int(window))
            if viewable and w > 10 and h > 10:
                return int(window), (x, y, w, h)
        return None

    def tray_icons(self):
        """Visible icons embedded in the tray, as (window id, title, (x, y, w, h))."""
        panel = self.tray_panel()
        if panel is None:
            return []
        tree = run(["xwininfo", "-id", str(panel[0]), "-tree"]).stdout.decode()
        icons = []
        for match in re.finditer(r'^\s+(0x[0-9a-f]+) "([^"]+)":', tree, re.M):
            try:
                x, y, w, h, viewable = self.window_geometry(int(match.group(1), 16))
            except Failure:
                continue  # gone meanwhile
            if viewable:
                icons.append((int(match.group(1), 16), match.group(2), (x, y, w, h)))
        return icons

    # ------------------------------------------------------------ input

    def xdotool(self, *args):
        run(["xdotool", *map(str, args)])

    # Two single clicks of one button on one spot, less than this apart, are
    # a double click to the toolkit (400 ms by default).
    DOUBLE_CLICK_TIME = 0.5

    def click(self, x, y, button=1, repeat=1):
        x, y = int(x), int(y)
        last = self._last_click
        if last and last[1] == button and abs(last[2] - x) <= 5 and abs(last[3] - y) <= 5:
            wait = self.DOUBLE_CLICK_TIME - (time.monotonic() - last[0])
            if wait > 0:
                time.sleep(wait)
        # One command: the server handles the move before the clicks. (No
        # --sync: it waits for ever when the pointer is already there.)
        self.xdotool("mousemove", x, y, "click", "--repeat", repeat, "--delay", 80, button)
        self._last_click = (time.monotonic(), button, x, y)

    def click_at(self, extents, button=1, repeat=1, dx=None, dy=None):
        """Clicks in a rectangle (x, y, w, h): in its centre, or at an offset."""
        x, y, w, h = extents
        check(w > 0 and h > 0, f"nothing to click at {extents}")
        self.click(x + (w // 2 if dx is None else dx), y + (h // 2 if dy is None else dy),
                   button, repeat)

    def key(self, *keys):
        self.xdotool("key", "--delay", 30, *keys)

    def type_text(self, text):
        self.xdotool("type", "--delay", 30, text)

    def screen_extents(self, acc, pid):
        """Where `acc` really is on the screen.

        Qt reports positions from what it believes its window's position is;
        a frameless window that the window manager moves after mapping it can
        keep reporting (0, 0). The window's real place comes from the X
        server, and the control's offset inside it from AT-SPI."""
        top = toplevel_of(acc)
        tx, ty, tw, th = extents(top)
        x, y, w, h = extents(acc)
        for window in self.windows(top.name, pid=pid):
            wx, wy, ww, wh, viewable = self.window_geometry(window)
            if viewable and (ww, wh) == (tw, th):
                return (x - tx + wx, y - ty + wy, w, h)
        return (x, y, w, h)

    def activate(self, window):
        self.xdotool("windowactivate", "--sync", window)


# ---------------------------------------------------------------- AT-SPI

pyatspi = None  # imported by Desktop.start, once the bus to read is known


def extents(acc):
    e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return (e.x, e.y, e.width, e.height)


def settled_extents(acc, what, timeout=10.0):
    """The extents of a window that has just been mapped, once the window
    manager has placed it: the same, non-empty, in three reads in a row."""
    seen = []
    def settled():
        seen.append(extents(acc))
        recent = seen[-3:]
        return len(recent) == 3 and recent[0][2] > 0 and recent.count(recent[0]) == 3 \
            and recent[0]
    return wait_for(f"{what} to settle", settled, timeout)


def toplevel_of(acc):
    """The window (child of the application) that holds `acc`."""
    node = acc
    while True:
        parent = node.parent
        if parent is None or parent.getRole() == pyatspi.ROLE_APPLICATION:
            return node
        node = parent


def has_state(acc, state):
    return acc.getState().contains(state)


def showing(acc):
    return has_state(acc, pyatspi.STATE_SHOWING)


def text_of(acc):
    return acc.queryText().getText(0, -1)


def walk(root, descend=lambda acc: True):
    """Breadth-first over the accessible tree below `root`. Children of a node
    are visited only when `descend(node)`: the calendars' hundred cells need
    not be read when looking for a button."""
    todo = [root]
    while todo:
        node = todo.pop(0)
        yield node
        if node is not root and not descend(node):
            continue
        try:
            count = node.childCount
        except Exception:  # noqa: BLE001 - a node that went away
            continue
        for i in range(count):
            try:
                child = node.getChildAtIndex(i)
            except Exception:  # noqa: BLE001
                child = None
            if child is not None:
                todo.append(child)


def not_into_tables(acc):
    return acc.getRole() not in (pyatspi.ROLE_TABLE, pyatspi.ROLE_SCROLL_BAR)


def find(root, what, name=None, role=None, pred=None, descend=not_into_tables, timeout=10.0):
    def search():
        for acc in walk(root, descend):
            if name is not None and acc.name != name:
                continue
            if role is not None and acc.getRole() != role:
                continue
            if pred is not None and not pred(acc):
                continue
            return acc
        return None
    return wait_for(what, search, timeout)


def applications(name=None):
    desktop = pyatspi.Registry.getDesktop(0)
    apps = []
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and (name is None or app.name == name):
            apps.append(app)
    return apps


def application_of(pid, timeout=20.0):
    """The accessible application of the process `pid`."""
    def search():
        for app in applications():
            try:
                if app.get_process_id() == pid:
                    return app
            except Exception:  # noqa: BLE001 - an application that went away
                continue
        return None
    return wait_for(f"process {pid} on the accessibility bus", search, timeout)


def dialog_of(acc_app, what, pred=None, timeout=20.0):
    """A shown window of an application other than a main window, such as
    a dialog or a message box, for which `pred` holds."""
    roles = (pyatspi.ROLE_DIALOG, pyatspi.ROLE_ALERT, pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW)
    return find(acc_app, what,
                pred=lambda a: a.getRole() in roles and a.name != "Orvantis - Lumevarre"
                and showing(a) and (pred is None or pred(a)),
                descend=lambda a: False, timeout=timeout)


def holds_text(text):
    """A predicate: some control inside the window is named `text`."""
    return lambda window: any(a.name == text for a in walk(window))


def make_workdir(prefix):
    work = tempfile.mkdtemp(prefix=prefix)
    os.chmod(work, 0o755)  # the unprivileged user reaches its folders inside
    return work


def remove_workdir(work):
    def make_writable(func, path, _):
        os.chmod(os.path.dirname(path), 0o755)
        func(path)
    for top, dirs, _ in os.walk(work):
        for d in dirs:
            try:
                os.chmod(os.path.join(top, d), 0o755)
            except OSError:
                pass
    shutil.rmtree(work, onerror=make_writable)
