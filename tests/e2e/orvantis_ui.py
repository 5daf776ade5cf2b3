"""The Orvantis main window as a user and a screen reader meet it.

Controls are found by their accessible names and roles, never by position
in the widget tree; every action is a real pointer click or key press.
"""

import datetime
import difflib

import harness
from harness import Failure, check, extents, find, showing, text_of, wait_for

FULL_TITLE = "Orvantis - Lumevarre"
SECOND_INSTANCE_TEXT = "Can't allow to run another instance of Orvantis!"
MODES = {1: "Destiny and Birthdate Numbers",
         2: "Personal Year and Month Numbers",
         3: "Personal Day Number"}
MENU_ITEMS = {"help": "Help", "minimize": "Minimize", "about": "About",
              "save": "Save Birthdate", "exit": "Exit"}


def display_date(date):
    """A birth date as the birth-date box writes it: "mmmm dd, yyyy"."""
    return f"{date:%B} {date.day:02d}, {date.year}"


def display_day(date):
    """A target day as the day box writes it: "mmmm dd"."""
    return f"{date:%B} {date.day:02d}"


def lf(text):
    """Report text with CR LF line breaks as the report area shows it."""
    return text.replace("\r\n", "\n")


class MainWindow:
    def __init__(self, desktop, app, timeout=20.0):
        self.desktop = desktop
        self.app = app
        self.acc_app = harness.application_of(app.pid, timeout)
        self.frame = find(self.acc_app, "the main window", name=FULL_TITLE,
                          role=harness.pyatspi.ROLE_FRAME, timeout=timeout,
                          descend=lambda a: False)
        self._controls = {}

    # ---------------------------------------------------------- controls

    def control(self, name, role=None):
        key = (name, role)
        if key not in self._controls:
            self._controls[key] = find(self.frame, f"the control '{name}'", name=name, role=role)
        return self._controls[key]

    @property
    def birth_box(self):
        return self.control("Birth date", harness.pyatspi.ROLE_TEXT)

    @property
    def day_box(self):
        return self.control("Day", harness.pyatspi.ROLE_TEXT)

    @property
    def report(self):
        return self.control("Report", harness.pyatspi.ROLE_TEXT)

    @property
    def calculate_button(self):
        return self.control("Calculate", harness.pyatspi.ROLE_PUSH_BUTTON)

    @property
    def month_list(self):
        # Qt 6.4 reports a combo box's current text as its name, so the one
        # combo box of the window is found by its role.
        if "month" not in self._controls:
            self._controls["month"] = find(self.frame, "the month list",
                                           role=harness.pyatspi.ROLE_COMBO_BOX)
        return self._controls["month"]

    def option(self, mode):
        return self.control(MODES[mode], harness.pyatspi.ROLE_RADIO_BUTTON)

    def calendar(self, which):
        return self.control({"birth": "Birth date calendar", "day": "Day calendar"}[which])

    def birth_text(self):
        return text_of(self.birth_box)

    def day_text(self):
        return text_of(self.day_box)

    def report_text(self):
        return text_of(self.report)

    def selected_mode(self):
        chosen = [m for m in MODES if harness.has_state(self.option(m),
                                                        harness.pyatspi.STATE_CHECKED)]
        check(len(chosen) == 1, f"exactly one mode should be selected, found {chosen}")
        return chosen[0]

    def snapshot(self):
        """What the user sees: dates, mode and report."""
        return {"birth": self.birth_text(), "day": self.day_text(),
                "mode": self.selected_mode(), "report": self.report_text()}

    def is_shown(self):
        return showing(self.frame)

    # ---------------------------------------------------------- actions

    def click(self, acc, **kwargs):
        self.desktop.click_at(self.desktop.screen_extents(acc, self.app.pid), **kwargs)

    def choose_mode(self, mode):
        self.click(self.option(mode))
        wait_for(f"mode {mode} to be selected",
                 lambda: harness.has_state(self.option(mode), harness.pyatspi.STATE_CHECKED))

    def calculate(self, expected):
        """Presses the calculate button and waits for the report `expected`
        (in the report area's LF form)."""
        self.click(self.calculate_button)
        try:
            wait_for("the report", lambda: self.report_text() == expected, timeout=10)
        except Failure:
            raise Failure("the report differs from the expected one:\n"
                          + report_diff(expected, self.report_text())) from None

    def menu(self, item):
        """Chooses an item of the "&Help" menu with the pointer."""
        bar_item = find(self.frame, "the Help menu", name="Help",
                        role=harness.pyatspi.ROLE_MENU_ITEM,
                        pred=lambda a: a.parent.getRole() == harness.pyatspi.ROLE_MENU_BAR)
        self.click(bar_item)
        entry = find(bar_item, f"the menu item '{MENU_ITEMS[item]}'", name=MENU_ITEMS[item],
                     role=harness.pyatspi.ROLE_MENU_ITEM, pred=lambda a: showing(a) and
                     a.parent.getRole() == harness.pyatspi.ROLE_POPUP_MENU)
        wait_for("the menu to open", lambda: extents(entry)[2] > 0 and extents(entry)[0] > 0)
        self.click(entry)

    def menu_item(self, item):
        return find(self.frame, f"the menu item '{MENU_ITEMS[item]}'", name=MENU_ITEMS[item],
                    role=harness.pyatspi.ROLE_MENU_ITEM,
                    pred=lambda a: a.parent.getRole() == harness.pyatspi.ROLE_POPUP_MENU)

    def save_birthdate_checked(self):
        return harness.has_state(self.menu_item("save"), harness.pyatspi.STATE_CHECKED)

    def open_calendar(self, which):
        box = self.birth_box if which == "birth" else self.day_box
        self.click(box)
        calendar = self.calendar(which)
        wait_for(f"the {which} calendar to drop down", lambda: showing(calendar))
        return calendar

    def pick_date(self, which, date):
        """Opens a drop-down calendar and picks `date` with the pointer: the
        year through the year button, the month with the arrow buttons, then
        the day's cell."""
        calendar = self.open_calendar(which)
        header = calendar.getChildAtIndex(0)

        def header_button(pred, what):
            return find(header, what, role=harness.pyatspi.ROLE_PUSH_BUTTON, pred=pred,
                        descend=lambda a: False)

        month_button = header_button(lambda a: a.name in _MONTH_NAMES, "the month button")
        year_button = header_button(lambda a: a.name.isdigit(), "the year button")
        if int(year_button.name) != date.year:
            self.click(year_button)
            spin = find(header, "the year field", role=harness.pyatspi.ROLE_SPIN_BUTTON,
                        pred=showing, descend=lambda a: False)
            wait_for("the year field to take the focus",
                     lambda: harness.has_state(spin, harness.pyatspi.STATE_FOCUSED))
            self.desktop.key("ctrl+a")
            self.desktop.type_text(str(date.year))
            self.desktop.key("Return")
            wait_for(f"the calendar to show {date.year}",
                     lambda: year_button.name == str(date.year) and showing(year_button))
        shown = _MONTH_NAMES.index(month_button.name) + 1
        buttons = [a for a in harness.walk(header, lambda a: False)
                   if a.getRole() == harness.pyatspi.ROLE_PUSH_BUTTON and not a.name]
        check(len(buttons) == 2, "the calendar should have two arrow buttons")
        previous, following = sorted(buttons, key=lambda a: extents(a)[0])
        while shown != date.month:
            self.click(following if shown < date.month else previous)
            target = shown + (1 if shown < date.month else -1)
            wait_for(f"the calendar to show month {target}",
                     lambda: month_button.name == _MONTH_NAMES[target - 1])
            shown = target
        self.click(day_cell(calendar, date.day))
        wait_for(f"the {which} calendar to close", lambda: not showing(calendar))


_MONTH_NAMES = [datetime.date(2000, m, 1).strftime("%B") for m in range(1, 13)]


def day_cell(calendar, day):
    """The cell of `day` in the month the calendar shows (the grid also shows
    the ends of the months before and after)."""
    table = calendar.getChildAtIndex(1).queryTable()
    in_month = False
    for row in range(1, table.nRows):  # row 0: the weekday names
        for column in range(table.nColumns):
            cell = table.getAccessibleAt(row, column)
            if cell.name == "1":
                if in_month:
                    raise Failure(f"day {day} not found in the calendar")
                in_month = True
            if in_month and cell.name == str(day):
                return cell
    raise Failure(f"day {day} not found in the calendar")


def report_diff(expected, actual):
    lines = difflib.unified_diff(expected.split("\n"), actual.split("\n"),
                                 "expected", "shown", lineterm="", n=1)
    return "\n".join(list(lines)[:40])


def start_orvantis(t, profile=None, name=None, **kwargs):
    """Starts the program and waits for its main window."""
    app = t.desktop.start_program(t.orvantis, profile or t.profile, name=name, **kwargs)
    window = MainWindow(t.desktop, app)
    wait_for("the main window to be shown", window.is_shown)
    return window


def expected_report(t, command, *args):
    """What orvantis-calc prints for the same inputs, as the window shows it."""
    return lf(harness.run([t.calc, command, *args]).stdout.decode())


def today():
    return datetime.date.today()

