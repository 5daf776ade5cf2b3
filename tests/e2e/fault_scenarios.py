"""Faults and bad input: damaged settings, crowds of starts, hostile URLs,
awkward install folders. Each scenario checks what is kept afterwards."""

import dataclasses
import datetime
import glob
import os
import random
import re
import signal
import stat
import urllib.parse

import harness
from harness import check, check_equal, find, wait_for
from orvantis_ui import (FULL_TITLE, SECOND_INSTANCE_TEXT, MainWindow, display_date,
                         start_orvantis, today)
from registry import scenario

FAULT_LABELS = ("e2e", "faults")

# ------------------------------------------------------------ settings files

NEW_YEAR = display_date(datetime.date(today().year, 1, 1))
JULY_4 = "July 04, 1976"
VALID = b"[StartUp]\nStartUpOption=1\nStartUpDate=07/04/76\n"
# A line that may change when the settings are written: one of the two keys,
# in any letter case, or the section header a write adds.
KEY_LINE = re.compile(rb"^\s*startup(option|date)\s*=", re.I)
ADDED_LINE = re.compile(rb"^\s*(\[startup\])?\s*$", re.I)


def binary_junk():
    # No "[" and no "=", so the junk holds no section and no key by chance.
    rng = random.Random(1976)
    junk = bytes(b for b in rng.randbytes(6000) if b not in b"[=")
    return junk + b"\x00\xff\xfe\r\r\n\x00"


def ten_megabytes():
    filler = b"".join(b"line %07d of filler text without an equals sign, kept as it is\n" % i
                      for i in range(80000))
    half = len(filler) // 2
    half = filler.index(b"\n", half) + 1
    return filler[:half] + VALID + filler[half:]


@dataclasses.dataclass
class SettingsCase:
    name: str
    content: bytes = None          # the file's bytes (None: see `prepare`)
    prepare: object = None         # prepare(path) makes the file some other way
    box: str = NEW_YEAR            # the birth-date box at start
    checked: bool = False          # the check mark of "&Save Birthdate" at start
    kept: str = "lines"            # "lines": a write keeps every other line;
                                   # "bytes": the file must not change at all;
                                   # "directory", "special": it stays what it is
    user: str = "self"             # "nobody": run as the unprivileged user
    restart: tuple = None          # (box, check mark) at the next start; by
                                   # default what a successful toggle stored
    also: object = None            # also(t, window): more checks after the start
    mode: int = 0o644              # permissions of a file made from `content`


def damaged_date_box(t, window):
    """A stored date with a NUL byte reaches the box as it is. (A screen
    reader hears it only up to the NUL: AT-SPI strings end there.) The box
    counts as no date: the calendar opens on New Year and the numbers that
    come from the birth date are 0."""
    check(window.birth_text().startswith("07/0"), "the damaged date is shown as it is")
    calendar = window.open_calendar("birth")
    header = calendar.getChildAtIndex(0)
    shown = [a.name for a in harness.walk(header, lambda a: False)
             if a.getRole() == harness.pyatspi.ROLE_PUSH_BUTTON and a.name]
    check_equal(shown, ["January", str(today().year)], "month and year the calendar opens on")
    t.desktop.key("Escape")
    window.click(window.calculate_button)
    wait_for("a report without a birth date",
             lambda: window.report_text().startswith("\nDestiny Number:0\n"))


def make_directory(path):
    os.makedirs(path)
    with open(os.path.join(path, "inside.txt"), "w") as inside:
        inside.write("not settings\n")


def read_only_folder(path):
    with open(path, "wb") as f:
        f.write(VALID)
    os.chown(path, harness.NOBODY_UID, harness.NOBODY_GID)
    folder = os.path.dirname(path)
    os.chown(folder, harness.NOBODY_UID, harness.NOBODY_GID)
    os.chmod(folder, 0o555)


def not_writable_file(path):
    # The folder is the user's own; the file belongs to somebody else and may
    # only be read.
    with open(path, "wb") as f:
        f.write(VALID)
    os.chmod(path, 0o644)
    os.chown(os.path.dirname(path), harness.NOBODY_UID, harness.NOBODY_GID)


def unreadable_file(path):
    # The user's own file, which it may write but not read: whatever it
    # holds must survive, since the program cannot know what it would lose.
    with open(path, "wb") as f:
        f.write(VALID)
    os.chmod(path, 0o200)
    os.chown(path, harness.NOBODY_UID, harness.NOBODY_GID)
    os.chown(os.path.dirname(path), harness.NOBODY_UID, harness.NOBODY_GID)


SETTINGS_CASES = [
    SettingsCase("empty", content=b""),
    SettingsCase("binary_junk", content=binary_junk()),
    SettingsCase("ten_megabytes", content=ten_megabytes(), box=JULY_4, checked=True),
    SettingsCase("lines_without_equals",
                 content=b"[StartUp]\nStartUpOption 1\nStartUpDate 07/04/76\njust words\n"),
    SettingsCase("section_never_closed",
                 content=b"[StartUp\nStartUpOption=1\nStartUpDate=07/04/76\n"),
    SettingsCase("keys_in_other_cases",
                 content=b"; written by hand\r\n[sTARTuP]\r\nstartupoption=1\r\n"
                         b"STARTUPDATE=07/04/76\r\n[Other]\r\nkeep=me\r\n",
                 box=JULY_4, checked=True, mode=0o600),
    SettingsCase("nul_in_option", content=b"[StartUp]\nStartUpOption=1\x00\nStartUpDate=07/04/76\n"),
    SettingsCase("nul_in_date", content=b"[StartUp]\nStartUpOption=1\nStartUpDate=07/0\x004/76\n",
                 box=None, checked=True, also=damaged_date_box),
    # Nothing can be stored: the next start is the same as this one.
    SettingsCase("directory_instead_of_file", prepare=make_directory, kept="directory",
                 restart=(NEW_YEAR, False)),
    SettingsCase("fifo_instead_of_file", prepare=os.mkfifo, kept="special",
                 restart=(NEW_YEAR, False)),
    SettingsCase("read_only_folder", prepare=read_only_folder, box=JULY_4, checked=True,
                 kept="bytes", user="nobody", restart=(JULY_4, True)),
    SettingsCase("file_not_writable", prepare=not_writable_file, box=JULY_4, checked=True,
                 kept="bytes", user="nobody", restart=(JULY_4, True)),
    SettingsCase("file_not_readable", prepare=unreadable_file, kept="bytes", user="nobody",
                 restart=(NEW_YEAR, False)),
]


def check_lines_kept(old, new, case):
    """Every line but those holding the two keys is kept byte for byte, in
    order; what the write added is the keys and at most a section header."""
    def rest(data):
        return [line for line in data.splitlines(keepends=True) if not KEY_LINE.match(line)]
    old_rest, new_rest = rest(old), rest(new)
    # A last line without a line end may get one when something follows it.
    if old_rest and not old_rest[-1].endswith(b"\n") and len(new_rest) >= len(old_rest) \
            and new_rest[len(old_rest) - 1].rstrip(b"\r\n") == old_rest[-1]:
        old_rest[-1] = new_rest[len(old_rest) - 1]
    check(new_rest[:len(old_rest)] == old_rest,
          f"{case}: lines that hold no setting changed in the write")
    added = new_rest[len(old_rest):]
    check(all(ADDED_LINE.match(line) for line in added),
          f"{case}: the write added unexpected lines {added[:5]!r}")


def settings_case(case):
    def run_case(t):
        nobody = case.user == "nobody"
        profile = t.desktop.profile("user", owner=case.user)
        path = os.path.join(profile["XDG_CONFIG_HOME"], "orvantis", "orvantis.ini")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if nobody:
            os.chown(os.path.dirname(path), harness.NOBODY_UID, harness.NOBODY_GID)
        if case.prepare:
            case.prepare(path)
        else:
            with open(path, "wb") as f:
                f.write(case.content)
            os.chmod(path, case.mode)
            if nobody:
                os.chown(path, harness.NOBODY_UID, harness.NOBODY_GID)
        before = snapshot(path)

        window = start_orvantis(t, profile, as_user=case.user)
        if nobody:
            check_equal(process_uid(window.app.pid), harness.NOBODY_UID, "the program's user")
        harness.note(f"box {window.birth_text()!r}, checked {window.save_birthdate_checked()}")
        if case.box is not None:
            check_equal(window.birth_text(), case.box, "birth-date box at start")
        check_equal(window.save_birthdate_checked(), case.checked,
                    "check mark of 'Save Birthdate' at start")
        if case.also:
            case.also(t, window)

        # Toggling forces a write. The check mark is read back through the
        # program's own event loop, so once it shows, the handler (and its
        # write) has finished.
        window.menu("save")
        wait_for("the check mark to flip",
                 lambda: window.save_birthdate_checked() != case.checked)
        check(window.app.alive(), "the program still runs after the write")
        after = snapshot(path)
        harness.note(f"after the toggle: {str(after)[:300]}")

        if case.kept == "bytes":
            check(after == before, "a file the program could not use was changed")
        elif case.kept in ("directory", "special"):
            check(after == before, f"the {after[0]} in place of the file was changed")
        else:
            check_lines_kept(before[1], after[1], case.name)
            check_equal(oct(after[2]), oct(before[2]), "permissions of the rewritten file")
        check_equal(sorted(os.listdir(os.path.dirname(path))),
                    [os.path.basename(path)], "files in the settings folder")

        # What a restart shows: the toggled state where the write succeeded,
        # the unchanged file's state where it could not.
        window.app.kill(signal.SIGKILL)
        again = start_orvantis(t, profile, name="restarted", as_user=case.user)
        # Turned on, the box's date (New Year) was stored; turned off, the
        # next start shows New Year again.
        expected_box, expected_check = case.restart or (NEW_YEAR, not case.checked)
        check_equal(again.birth_text(), expected_box, "birth-date box after a restart")
        check_equal(again.save_birthdate_checked(), expected_check,
                    "check mark after a restart")
    return run_case


def process_uid(pid):
    with open(f"/proc/{pid}/status") as status:
        return int(re.search(r"^Uid:\s+(\d+)", status.read(), re.M).group(1))


def snapshot(path):
    """What is at `path`: ("file", bytes, mode), ("directory", listing),
    ("special file", mode) or None."""
    try:
        info = os.lstat(path)
    except FileNotFoundError:
        return None
    if stat.S_ISDIR(info.st_mode):
        return ("directory", sorted(os.listdir(path)))
    if not stat.S_ISREG(info.st_mode):
        return ("special file", info.st_mode)
    with open(path, "rb") as f:
        return ("file", f.read(), stat.S_IMODE(info.st_mode))


for _case in SETTINGS_CASES:
    scenario(f"settings_{_case.name}", labels=FAULT_LABELS,
             a11y_user=_case.user)(settings_case(_case))


# ------------------------------------------------------------ single instance

CROWD = 20


@scenario("single_instance_crowd", labels=FAULT_LABELS)
def single_instance_crowd(t):
    """Twenty starts at the same moment: one window, nineteen refusals, each
    with its message; then a start after the survivor was killed outright
    (its lock left behind) runs normally."""
    apps = [t.desktop.start_program(t.orvantis, t.profile, name=f"crowd{i:02d}")
            for i in range(CROWD)]
    pids = {app.pid: app for app in apps}

    def windows_of_crowd(title):
        return [w for w in t.desktop.windows(title) if t.desktop.window_pid(w) in pids]

    wait_for(f"{CROWD - 1} messages and one main window", lambda: len(
        windows_of_crowd("Orvantis")) == CROWD - 1 and len(windows_of_crowd(FULL_TITLE)) == 1,
        timeout=90)
    main = windows_of_crowd(FULL_TITLE)
    check_equal(len(main), 1, "main windows")
    survivor = pids[t.desktop.window_pid(main[0])]
    refused = [app for app in apps if app is not survivor]
    for app in refused:
        box = harness.dialog_of(harness.application_of(app.pid), f"the message of {app.name}",
                                harness.holds_text(SECOND_INSTANCE_TEXT))
        check_equal(box.name, "Orvantis", "title of the message")

    # Dismissed one by one with Return, as a user would.
    for app in refused:
        message = wait_for(f"the message window of {app.name}",
                           lambda: t.desktop.windows("Orvantis", pid=app.pid))
        t.desktop.activate(message[0])
        t.desktop.key("Return")
        check_equal(app.wait(15, f"{app.name} to end after OK"), 0, f"exit status of {app.name}")
    check(survivor.alive(), "the first instance still runs")
    check_equal(windows_of_crowd(FULL_TITLE), main, "main windows after the refusals")
    window = MainWindow(t.desktop, survivor)
    check(window.is_shown(), "the first instance is still shown")

    survivor.kill(signal.SIGKILL)
    start_orvantis(t, name="after_kill")


# ------------------------------------------------------------ the URL opener

# Blanks, both quotes, a shell's separators and command substitution,
# a backtick and non-ASCII letters, in the path, the query and the fragment.
HOSTILE_URL = ("https://example.org/a b/\"double\" 'single';$(touch {marker})&x=`id`"
               "/Grüße Ωμέγα?q=ä ö;rm -rf &r=$HOME#frag ment")

STUB_OPENER = """#!/bin/sh
# Stands in for the desktop's opener: records each argument in a file of its
# own, byte for byte.
n=0
for arg in "$@"; do
  n=$((n + 1))
  printf '%s' "$arg" > "{out}/arg$n"
done
printf '%s' "$n" > "{out}/count"
"""


def stub_opener(t):
    """A recording xdg-open, first on PATH; returns (PATH, folder of records)."""
    folder = os.path.join(t.work, "opener")
    records = os.path.join(folder, "records")
    os.makedirs(records)
    stub = os.path.join(folder, "xdg-open")
    with open(stub, "w") as f:
        f.write(STUB_OPENER.replace("{out}", records))
    os.chmod(stub, 0o755)
    return f"{folder}:{os.environ['PATH']}", records


def opened(records, what):
    """The arguments the opener received, once it has run."""
    count = wait_for(what, lambda: open(os.path.join(records, "count")).read()
                     if os.path.exists(os.path.join(records, "count")) else None)
    args = []
    for i in range(1, int(count) + 1):
        with open(os.path.join(records, f"arg{i}"), "rb") as f:
            args.append(f.read().decode())
    return args


@scenario("url_reaches_opener_unchanged", labels=FAULT_LABELS)
def url_reaches_opener_unchanged(t):
    """A hostile URL reaches the desktop's opener as one argument, with no
    shell in between. Qt hands the opener the URL's encoded form (blanks,
    quotes, backticks and non-ASCII letters as %XX); it decodes to exactly the
    text the link holds, and nothing in it was run."""
    if not t.probe or not os.path.exists(t.probe):
        raise harness.Skip("the URL probe program was not built")
    path, records = stub_opener(t)
    marker = os.path.join(t.work, "SHELL-RAN")
    url = HOSTILE_URL.replace("{marker}", marker)
    probe = t.desktop.start_program(t.probe, t.profile, name="probe", args=[url], PATH=path)
    app = harness.application_of(probe.pid)
    link = find(app, "the link", name="Open the test address", role=harness.pyatspi.ROLE_LABEL)
    t.desktop.click_at(t.desktop.screen_extents(link, probe.pid))
    args = opened(records, "the opener to be started")
    harness.note(f"the opener received {args!r}")
    check_equal(len(args), 1, "arguments the opener received")
    check_equal(urllib.parse.unquote(args[0]), url, "the decoded argument")
    check(not re.search(r"[\s\"`]", args[0]), f"blanks, quotes or backticks arrived raw: {args[0]}")
    check(not os.path.exists(marker), "a shell ran the command inside the URL")
    check(probe.alive(), "the probe still runs")


@scenario("about_link_mailto", labels=FAULT_LABELS)
def about_link_mailto(t):
    """The About window's link hands the opener its mail address with the
    subject "Inquiry", as one argument."""
    path, records = stub_opener(t)
    window = start_orvantis(t, PATH=path)
    window.menu("about")
    about = harness.dialog_of(window.acc_app, "the About window",
                              harness.holds_text("Orvantis v 1.02"))
    harness.settled_extents(about, "the About window")
    link = find(about, "the mail link", role=harness.pyatspi.ROLE_LABEL,
                pred=lambda a: a.name not in ("", "Orvantis v 1.02"))
    window.click(link)
    args = opened(records, "the opener to be started")
    harness.note(f"the opener received {args!r}")
    check_equal(len(args), 1, "arguments the opener received")
    check(args[0].startswith("mailto:") and args[0].endswith("?subject=Inquiry"),
          f"the mail link opened {args[0]!r}")
    check(harness.showing(about), "the About window stays open after the link was pressed")


# ------------------------------------------------------------ install folder

@scenario("installed_in_awkward_folder_finds_help", labels=FAULT_LABELS)
def installed_in_awkward_folder_finds_help(t):
    """Installed under a folder whose path holds blanks and non-ASCII
    letters, and started from elsewhere, "H&elp" shows the help file that
    lies beside the program, not the missing-file message."""
    if not (t.build_dir and t.cmake):
        raise harness.Skip("needs the build folder and cmake to install")
    prefix = os.path.join(t.work, "Prögramme mit Leerzeichen", "Orvantis Ωμέγα ü")
    harness.run([t.cmake, "--install", t.build_dir, "--prefix", prefix], timeout=120)
    program = os.path.join(prefix, "bin", "orvantis")
    check(os.access(program, os.X_OK), f"no program installed at {program}")
    help_files = glob.glob(os.path.join(glob.escape(prefix), "**", "Orvantis.hlp"),
                           recursive=True)
    check_equal(len(help_files), 1, "installed help files")
    with open(help_files[0], encoding="utf-8") as f:
        heading = re.search(r"<h1>(?:<a [^>]*></a>)?([^<]+)</h1>", f.read()).group(1)

    elsewhere = os.path.join(t.work, "elsewhere")
    os.makedirs(elsewhere)
    app = t.desktop.start_program(program, t.profile, name="installed", cwd=elsewhere)
    window = MainWindow(t.desktop, app)
    wait_for("the main window to be shown", window.is_shown)
    window.menu("help")
    # The help window is a read-only text browser of its own (a label to
    # AT-SPI), titled "Orvantis Help".
    viewer = find(window.acc_app, "the help window", name="Orvantis Help",
                  pred=harness.showing, descend=lambda a: False)
    text = wait_for("the help text", lambda: harness.text_of(viewer).strip())
    harness.note(f"help window text starts {text[:120]!r}")
    check("could not be opened" not in text, f"the help was not found: {text[:300]}")
    check(heading in text, f"the help window does not show the help file ({text[:200]!r})")
