"""What a user does with Orvantis, checked the way a screen reader reads it."""

import datetime
import os
import signal

import harness
from harness import Failure, check, check_equal, extents, find, showing, wait_for
from orvantis_ui import (FULL_TITLE, SECOND_INSTANCE_TEXT, display_date, display_day,
                         expected_report, start_orvantis, today)
from registry import scenario


TIPS = {0: "Click to calculate Destiny and Birthdate numbers!",  # as the window opens
        1: "Click to Calculate Destiny and Birthdate numbers!",
        2: "Click to Calculate Personal Year and Month numbers!",
        3: "Click to Calculate Personal Day number!"}


def enabled(acc):
    return harness.has_state(acc, harness.pyatspi.STATE_ENABLED)


@scenario("first_start")
def first_start(t):
    window = start_orvantis(t)
    main_windows = t.desktop.windows(FULL_TITLE)
    check_equal([t.desktop.window_pid(w) for w in main_windows], [window.app.pid],
                "processes of the windows titled '%s'" % FULL_TITLE)
    check_equal(window.birth_text(), display_date(datetime.date(today().year, 1, 1)),
                "birth-date box")
    check_equal(window.selected_mode(), 1, "mode")
    check_equal(window.calculate_button.description, TIPS[0], "tip of the calculate button")
    check_equal(window.report_text(), "", "report area")
    check_equal(window.day_text(), "", "day box")
    check(not enabled(window.day_box) and not enabled(window.month_list),
          "the day box and the month list start disabled")
    check(not window.save_birthdate_checked(), "'Save Birthdate' starts without its check mark")
    for which in ("birth", "day"):
        check(not showing(window.calendar(which)), f"the {which} calendar starts hidden")


@scenario("modes_match_cli")
def modes_match_cli(t):
    """Each mode through real clicks gives the report orvantis-calc prints."""
    window = start_orvantis(t)
    birth = datetime.date(today().year, 1, 1)
    engine_birth = birth.strftime("%m/%d/%Y")

    window.calculate(expected_report(t, "destiny", engine_birth))

    window.choose_mode(2)
    wait_for("the month list to show the current month",
             lambda: window.month_list.name == today().strftime("%B"))
    check(enabled(window.month_list) and not enabled(window.day_box),
          "mode 2: the month list enabled, the day box disabled")
    check_equal(window.calculate_button.description, TIPS[2], "tip in mode 2")
    window.calculate(expected_report(t, "year-month", engine_birth, str(today().month)))

    window.choose_mode(3)
    check_equal(window.day_text(), display_day(today()), "day box in mode 3")
    check(enabled(window.day_box) and not enabled(window.month_list),
          "mode 3: the day box enabled, the month list disabled")
    check_equal(window.calculate_button.description, TIPS[3], "tip in mode 3")
    window.calculate(expected_report(t, "day", engine_birth, today().strftime("%m/%d")))

    # Back in mode 1 the report stays until the next calculation.
    report = window.report_text()
    window.choose_mode(1)
    check_equal(window.report_text(), report, "report after changing the mode")
    window.calculate(expected_report(t, "destiny", engine_birth))
    check_equal(window.calculate_button.description, TIPS[1],
                "tip of the calculate button after choosing mode 1")


@scenario("calendar_pick")
def calendar_pick(t):
    """Dates picked in the drop-down calendars with the pointer and the keys."""
    window = start_orvantis(t)
    birth = datetime.date(1976, 7, 4)
    window.pick_date("birth", birth)
    check_equal(window.birth_text(), "July 04, 1976", "birth-date box after a pick")
    window.calculate(expected_report(t, "destiny", "07/04/1976"))

    # From the keyboard: Shift+Tab goes back from the calculate button to
    # the birth-date box; Space drops the calendar down on the date in the
    # box, Escape closes it; Page Up goes back a month, the arrows move the
    # day and Return picks it.
    t.desktop.key("shift+Tab")
    wait_for("the birth-date box to take the focus",
             lambda: harness.has_state(window.birth_box, harness.pyatspi.STATE_FOCUSED))
    calendar = window.calendar("birth")
    t.desktop.key("space")
    wait_for("Space to open the calendar", lambda: showing(calendar))
    t.desktop.key("Escape")
    wait_for("Escape to close the calendar", lambda: not showing(calendar))
    t.desktop.key("space")
    wait_for("Space to open the calendar again", lambda: showing(calendar))
    t.desktop.key("Prior", "Right", "Right", "Down", "Return")
    wait_for("Return to pick the day", lambda: not showing(calendar))
    check_equal(window.birth_text(), "June 13, 1976", "birth-date box after a keyboard pick")

    # Mode 3: the target day from the second calendar.
    window.choose_mode(3)
    target = today().replace(day=15 if today().day != 15 else 16)
    window.pick_date("day", target)
    check_equal(window.day_text(), display_day(target), "day box after a pick")
    window.calculate(expected_report(t, "day", "06/13/1976", target.strftime("%m/%d")))


def report_font_size(window):
    """The point size the report area's text is drawn in, as AT-SPI tells it."""
    attributes, _, _ = window.report.queryText().getAttributeRun(1, False)
    sizes = [a.split(":", 1)[1] for a in attributes if a.startswith("size:")]
    check(sizes, f"no size among the report's text attributes {attributes}")
    return sizes[0]


def dialog_of(window, what, pred=None):
    """A window of the program other than the main window (About, text size,
    message box), found among the application's top-level children."""
    return harness.dialog_of(window.acc_app, what, pred)


@scenario("about_and_text_size")
def about_and_text_size(t):
    window = start_orvantis(t)
    birth = f"01/01/{today().year}"
    window.calculate(expected_report(t, "destiny", birth))

    # "&About" closes an open calendar; the panel opens; the version text
    # leaves it open, a click on its bare background closes it.
    window.open_calendar("birth")
    window.menu("about")
    about = dialog_of(window, "the About window", lambda a: any(
        c.name == "Orvantis v 1.02" for c in harness.walk(a)))
    harness.settled_extents(about, "the About window")
    x, y, w, h = t.desktop.screen_extents(about, window.app.pid)
    version = find(about, "the version text", name="Orvantis v 1.02",
                   role=harness.pyatspi.ROLE_LABEL)
    window.click(version)
    check(showing(about), "a click on the version text must not close the About window")
    t.desktop.click(x + 4, y + h - 4)
    wait_for("a background click to close the About window", lambda: not showing(about))
    check_equal(t.desktop.windows("Orvantis", pid=window.app.pid), [],
                "windows titled 'Orvantis' after the About window closed")
    check(not showing(window.calendar("birth")), "'&About' closes the open calendar")

    # A double click on the report opens the text-size dialog at "8 Default".
    check_equal(report_font_size(window), "8", "report font size at start")
    window.click(window.report, repeat=2)
    dialog = dialog_of(window, "the text-size dialog", lambda a: any(
        c.name == "..." for c in harness.walk(a, lambda n: False)))
    harness.settled_extents(dialog, "the text-size dialog")
    sizes = find(dialog, "the size list", role=harness.pyatspi.ROLE_COMBO_BOX)
    check_equal(sizes.name, "8 Default", "the size list when the dialog opens")
    x, y, w, h = t.desktop.screen_extents(sizes, window.app.pid)
    t.desktop.click(x + w - 6, y + h // 2)  # the list's arrow
    twelve = find(sizes, "the entry '12'", name="12", role=harness.pyatspi.ROLE_LIST_ITEM,
                  pred=lambda a: showing(a) and extents(a)[1] > 0)
    window.click(twelve)
    wait_for("'12' to be chosen", lambda: sizes.name == "12")
    window.click(find(dialog, "the '...' button", name="...",
                      role=harness.pyatspi.ROLE_PUSH_BUTTON))
    wait_for("the dialog to close", lambda: not showing(dialog))
    wait_for("the report to be drawn in 12 pt", lambda: report_font_size(window) == "12")
    check_equal(window.report_text(), expected_report(t, "destiny", birth),
                "report after the size change")


@scenario("save_birthdate_survives_kill")
def save_birthdate_survives_kill(t):
    """Every stored value is written when it changes, so a killed program
    loses nothing: the next start shows the date and the check mark."""
    window = start_orvantis(t)
    window.menu("save")
    wait_for("the check mark of 'Save Birthdate'", window.save_birthdate_checked)
    birth = datetime.date(1985, 3, 21)
    window.pick_date("birth", birth)
    check_equal(window.birth_text(), display_date(birth), "birth-date box after the pick")
    window.app.kill(signal.SIGKILL)

    again = start_orvantis(t, name="restarted")
    check_equal(again.birth_text(), display_date(birth), "birth-date box after the restart")
    check(again.save_birthdate_checked(), "'Save Birthdate' keeps its check mark")
    again.calculate(expected_report(t, "destiny", birth.strftime("%m/%d/%Y")))


def refused(t, app):
    """Checks that `app` shows the single-instance message and no main
    window, presses Return on the message and waits for the process to end."""
    box = harness.dialog_of(harness.application_of(app.pid), "the single-instance message",
                            harness.holds_text(SECOND_INSTANCE_TEXT))
    check_equal(box.name, "Orvantis", "title of the message")
    check_equal(t.desktop.windows(FULL_TITLE, visible=False, pid=app.pid), [],
                "main windows of the refused start")
    windows = wait_for("the message's window", lambda: t.desktop.windows("Orvantis", pid=app.pid))
    t.desktop.activate(windows[0])
    t.desktop.key("Return")
    check_equal(app.wait(10, "the refused start to end after OK"), 0, "exit status of the "
                "refused start")


@scenario("second_instance_refused")
def second_instance_refused(t):
    first = start_orvantis(t)
    first.pick_date("birth", datetime.date(1990, 2, 14))
    first.choose_mode(2)
    first.calculate(expected_report(t, "year-month", "02/14/1990", str(today().month)))
    seen = first.snapshot()
    config = t.profile["XDG_CONFIG_HOME"]

    refused(t, t.desktop.start_program(t.orvantis, t.profile, name="second"))
    check(first.app.alive(), "the first instance still runs")
    check_equal(first.snapshot(), seen, "the first instance after a refused start")
    check_equal(os.listdir(config), [], "settings after a refused start")

    # Again while the first one waits in the notification area.
    first.menu("minimize")
    wait_for("the icon in the tray", t.desktop.tray_icons)
    wait_for("the main window to go", lambda: not t.desktop.windows(FULL_TITLE))
    refused(t, t.desktop.start_program(t.orvantis, t.profile, name="third"))
    check(first.app.alive(), "the first instance still runs")
    check_equal(len(t.desktop.tray_icons()), 1, "icons in the tray")
    _, _, icon = t.desktop.tray_icons()[0]
    t.desktop.click_at(icon, repeat=2)
    wait_for("the double click to restore the window", first.is_shown)
    check_equal(first.snapshot(), seen, "the first instance after the refused starts")


def tray_popup(t, app):
    """Right-clicks the tray icon; returns the pop-up menu's rectangle. (Qt
    gives pop-up menus no process id, so the new window is the menu.)"""
    _, _, icon = wait_for("the icon in the tray", t.desktop.tray_icons)[0]
    before = set(t.desktop.all_windows("Orvantis"))
    t.desktop.click_at(icon, button=3)
    def popup():
        for window in set(t.desktop.all_windows("Orvantis")) - before:
            x, y, w, h, viewable = t.desktop.window_geometry(window)
            if viewable and w > 20 and h > 20:
                return window, (x, y, w, h)
        return None
    return wait_for("the tray's pop-up menu", popup)


def closed(t, window):
    try:
        return not t.desktop.window_geometry(window)[4]
    except Failure:
        return True  # destroyed


@scenario("tray_minimize_restore_exit")
def tray_minimize_restore_exit(t):
    window = start_orvantis(t)
    window.pick_date("birth", datetime.date(2001, 9, 30))
    window.choose_mode(3)
    window.calculate(expected_report(t, "day", "09/30/2001", today().strftime("%m/%d")))
    seen = window.snapshot()
    check_equal(t.desktop.tray_icons(), [], "icons in the tray before '&Minimize'")

    def minimize():
        window.menu("minimize")
        wait_for("the icon in the tray", t.desktop.tray_icons)
        wait_for("the main window to go", lambda: not t.desktop.windows(FULL_TITLE))
        check_equal(len(t.desktop.tray_icons()), 1, "icons in the tray")

    # The icon's tip is the window's title; a real double click on the icon
    # brings the window back unchanged, the calendar that was open closed.
    window.open_calendar("birth")
    minimize()
    _, _, icon = t.desktop.tray_icons()[0]
    t.desktop.xdotool("mousemove", icon[0] + 4, icon[1] + 4, "sleep", 0.1,
                      "mousemove", icon[0] + 8, icon[1] + 8)
    check_equal(find(window.acc_app, "the icon's tip", role=harness.pyatspi.ROLE_TOOL_TIP,
                     pred=showing, descend=lambda a: False).name, FULL_TITLE, "tip of the icon")
    t.desktop.click_at(icon, repeat=2)
    wait_for("the double click to restore the window", window.is_shown)
    wait_for("the icon to leave the tray", lambda: not t.desktop.tray_icons())
    check_equal(window.snapshot(), seen, "the window after a restore")
    check(not showing(window.calendar("birth")), "'&Minimize' closes the open calendar")

    # A single click does nothing; a pop-up menu dismissed with Escape
    # leaves the window in the tray.
    minimize()
    _, _, icon = t.desktop.tray_icons()[0]
    t.desktop.click_at(icon)
    menu, _ = tray_popup(t, window.app)
    t.desktop.key("Escape")
    wait_for("the pop-up menu to close", lambda: closed(t, menu))
    check(not t.desktop.windows(FULL_TITLE), "the window stays hidden")
    check_equal(len(t.desktop.tray_icons()), 1, "icons in the tray")

    # "&Restore" is the pop-up menu's first item.
    _, (x, y, w, h) = tray_popup(t, window.app)
    t.desktop.click(x + w // 2, y + 12)
    wait_for("'&Restore' to bring the window back", window.is_shown)
    wait_for("the icon to leave the tray", lambda: not t.desktop.tray_icons())
    check_equal(window.snapshot(), seen, "the window after '&Restore'")

    # "&Exit", the last item, removes the icon and ends the program.
    minimize()
    _, (x, y, w, h) = tray_popup(t, window.app)
    t.desktop.click(x + w // 2, y + h - 10)
    check_equal(window.app.wait(10, "'&Exit' to end the program"), 0, "exit status")
    check_equal(t.desktop.tray_icons(), [], "icons in the tray after '&Exit'")


def focused(window, acc):
    return harness.has_state(acc, harness.pyatspi.STATE_FOCUSED)


@scenario("keyboard_only")
def keyboard_only(t):
    """Without a pointer: the focus walks the controls in their tab order,
    the arrow keys choose the mode and the month, Space calculates, and the
    menu answers its access keys."""
    window = start_orvantis(t)
    wait_for("the calculate button to have the focus at start",
             lambda: focused(window, window.calculate_button))
    t.desktop.key("Tab")
    wait_for("Tab to reach the selected mode", lambda: focused(window, window.option(1)))
    t.desktop.key("Down")
    wait_for("Down to choose mode 2", lambda: window.selected_mode() == 2)
    month_now = today().strftime("%B")
    wait_for("mode 2 to fill the month list", lambda: window.month_list.name == month_now)

    # Report area, then the month list (the day box and the hidden calendars
    # take no focus in mode 2).
    t.desktop.key("Tab")
    wait_for("Tab to reach the report", lambda: focused(window, window.report))
    t.desktop.key("Tab")
    wait_for("Tab to reach the month list", lambda: focused(window, window.month_list))
    month = today().month % 12 + 1  # the month after this one
    t.desktop.key("Down" if month != 1 else "Home")
    wait_for("the month list to move on", lambda: window.month_list.name ==
             datetime.date(2000, month, 1).strftime("%B"))
    t.desktop.key("Tab")
    wait_for("Tab to reach the birth-date box", lambda: focused(window, window.birth_box))
    t.desktop.key("Tab")
    wait_for("Tab to come round to the calculate button",
             lambda: focused(window, window.calculate_button))
    t.desktop.key("space")
    expected = expected_report(t, "year-month", f"01/01/{today().year}", str(month))
    wait_for("Space to calculate", lambda: window.report_text() == expected)

    # Alt+H opens the menu, S toggles "&Save Birthdate".
    t.desktop.key("alt+h")
    wait_for("the menu to open", lambda: showing(window.menu_item("save")))
    t.desktop.key("s")
    wait_for("the check mark", window.save_birthdate_checked)
    check(os.path.exists(t.settings_file), "turning saving on writes the settings")
