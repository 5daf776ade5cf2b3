#!/usr/bin/env bash
# The program in a real notification area: a private X server with the
# openbox window manager and the trayer system tray, real keys and clicks
# from xdotool, the window state read back with xwininfo and xprop.
#   Help > Minimize: the window goes, the icon comes, no task-list entry;
#   closing the help window meanwhile leaves the program running;
#   double click on the icon: the window is back, the icon gone;
#   Minimize, right click, Exit: the program ends and leaves no icon.
#
#   tray_xvfb.sh path/to/orvantis [screenshot-prefix]
set -u
program=${1:?usage: tray_xvfb.sh path/to/orvantis [screenshot-prefix]}
shots=${2:-}

work=$(mktemp -d) || exit 1
pids=()
app_pid=
cleanup() {
    local pid
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [[ -s $work/app.log ]] && sed 's/^/  orvantis: /' "$work/app.log" >&2
    exit 1
}

# wait_for SECONDS COMMAND...: retries COMMAND every tenth of a second.
wait_for() {
    local tries=$(($1 * 10))
    shift
    until "$@" >/dev/null 2>&1; do
        ((--tries > 0)) || return 1
        sleep 0.1
    done
}

shot() { [[ -n $shots ]] && import -window root "$shots-$1.png"; }

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"
start_xvfb "$work"; started=$?
pids+=("$XVFB_PID")
((started == 0)) || fail "no X server"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config HOME=$work QT_QPA_PLATFORM=xcb
# No session bus, hence no D-Bus tray: Qt embeds its icon in trayer.
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus
unset WAYLAND_DISPLAY

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 5 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || fail "openbox did not start"
trayer --edge top --align right --widthtype request --height 32 --SetDockType true >"$work/trayer.log" 2>&1 &
pids+=($!)
wait_for 5 sh -c 'xwininfo -root -tree | grep -q "(\"panel\" \"trayer\")"' || fail "trayer did not start"

"$program" >"$work/app.log" 2>&1 &
app_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Orvantis - Lumevarre$' | head -n 1) ||
    fail "no main window within 20 s"

mapped() { xwininfo -id "$window" | grep -q "IsViewable"; }
unmapped() { ! mapped; }
skips() { xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR; }
# Whether the window manager lists the window (task lists show what it lists).
listed() { xprop -root _NET_CLIENT_LIST | grep -q -i "$(printf '0x%x' "$window")"; }
unlisted() { ! listed; }
# The icon's window inside trayer's panel; sets x, y to its centre.
find_icon() {
    local panel line size abs width height
    panel=$(xwininfo -root -tree | awk '/\("panel" "trayer"\)/ { print $1; exit }')
    [[ -n $panel ]] || return 1
    line=$(xwininfo -tree -id "$panel" | awk '/"[Oo]rvantis"\)/ { print $(NF-1), $NF; exit }')
    [[ -n $line ]] || return 1
    read -r size abs <<<"$line"
    width=${size%%x*}; height=${size#*x}; height=${height%%[+-]*}
    abs=${abs#+}
    x=$((${abs%%+*} + width / 2)); y=$((${abs#*+} + height / 2))
}
no_icon() { ! find_icon; }

minimize() {
    xdotool windowactivate --sync "$window" key --clearmodifiers alt+h
    sleep 0.3
    xdotool key m
    wait_for 5 unmapped || fail "the window stayed after Minimize"
    wait_for 5 find_icon || fail "no icon in the tray after Minimize"
    find_icon
}

wait_for 5 mapped || fail "the main window is not viewable"
skips && fail "in the task list's skip state before any Minimize"
shot shown

# With the help window open beside it, so that closing that window while the
# main window is in the tray can be seen not to end the program.
xdotool windowactivate --sync "$window" key --clearmodifiers alt+h
sleep 0.3
xdotool key e
help=$(timeout 10 xdotool search --sync --onlyvisible --name '^Orvantis Help$' | head -n 1) ||
    fail "Help opened no window"

minimize
shot tray
wait_for 5 unlisted || fail "still in the task list while in the tray"
xdotool windowactivate --sync "$help" key --clearmodifiers alt+F4
help_gone() { ! xwininfo -id "$help" | grep -q IsViewable; }
wait_for 5 help_gone || fail "the help window did not close"
sleep 0.5
kill -0 "$app_pid" 2>/dev/null || fail "closing the help window ended the program"
find_icon || fail "closing the help window took the icon away"

xdotool mousemove "$x" "$y" click --repeat 2 --delay 120 1
wait_for 5 mapped || fail "a double click on the icon did not bring the window back"
wait_for 5 no_icon || fail "the icon stayed in the tray after the restore"
wait_for 5 skips || fail "back in the task list after the restore"
shot restored

# The pop-up menu is the second visible window of ours next to the icon.
ours_visible() { xdotool search --onlyvisible --class '^orvantis$' 2>/dev/null | wc -l; }
menu_open() { (($(ours_visible) > icons)); }

minimize
icons=$(ours_visible)
xdotool mousemove "$x" "$y" click 3
wait_for 5 menu_open || fail "a right click on the icon opened no menu"
sleep 0.2
shot menu
# The menu opens at the pointer: "Restore", a separator, "Exit".
xdotool key Up Return
for _ in $(seq 50); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$app_pid" 2>/dev/null && fail "Exit in the tray menu did not end the program"
wait "$app_pid"
status=$?
app_pid=
((status == 0)) || fail "the program ended with status $status"
wait_for 5 no_icon || fail "a dead icon stayed in the tray after Exit"
echo "PASS"
