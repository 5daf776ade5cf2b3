#!/bin/bash
# The notification-area service on a real X server: Xvfb with the openbox
# window manager and the trayer system tray (an XEmbed tray), tray_probe as
# the application, real clicks from xdotool, and the window state read back
# with xprop. Everything runs on a display of its own and is ended at exit.
#   tray_x11_test.sh <tray_probe> [screenshot.png]
set -u
probe=$1
screenshot=${2:-}

work=$(mktemp -d) || exit 1
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() {
    echo "FAIL: $*" >&2
    echo "probe said: $(tr '\n' '|' < "$work/probe.log")" >&2
    cat "$work/probe.err" >&2
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

# --- the desktop ----------------------------------------------------------
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"
start_xvfb "$work" 640x480x24; started=$?
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

: >"$work/probe.log"
coproc PROBE { exec "$probe" 2>"$work/probe.err"; }
pids+=("$PROBE_PID")

send() { echo "$1" >&"${PROBE[1]}"; }

# collect PATTERN: reads the probe's lines up to one matching PATTERN into
# $seen (one line each), failing after 5 quiet seconds; probe.log keeps them.
collect() {
    local line
    seen=
    while IFS= read -r -t 5 -u "${PROBE[0]}" line; do
        echo "$line" >>"$work/probe.log"
        seen+="$line"$'\n'
        [[ $line == $1 ]] && return 0
    done
    fail "no \"$1\" from the probe"
}
count() { grep -c -x "$1" <<<"$seen"; }

# --- the icon ---------------------------------------------------------------
# The probe's icon window inside trayer's panel, as "WxH+x+y +absx+absy".
icon_geometry() {
    local panel
    panel=$(xwininfo -root -tree | awk '/\("panel" "trayer"\)/ { print $1; exit }')
    [[ -n $panel ]] && xwininfo -tree -id "$panel" | awk '/"tray_probe"\)/ { print $(NF-1), $NF; found=1; exit } END { exit !found }'
}
find_icon() {
    local geometry size abs width height
    geometry=$(icon_geometry) || return 1
    read -r size abs <<<"$geometry"
    width=${size%%x*}; height=${size#*x}; height=${height%%[+-]*}
    abs=${abs#+}
    x=$((${abs%%+*} + width / 2)); y=$((${abs#*+} + height / 2))
}

# No tray yet; then trayer starts, and the answer follows at the next call.
send available; collect "available *"
[[ $seen == "available 0"* ]] || fail "IsAvailable without a tray: $seen"
trayer --edge top --align left --widthtype request --height 32 --SetDockType true >"$work/trayer.log" 2>&1 &
pids+=($!)
available=0
for _ in $(seq 50); do
    send available; collect "available *"
    [[ $seen == "available 1"* ]] && { available=1; break; }
    sleep 0.1
done
((available)) || fail "IsAvailable stays false beside trayer"

send add; collect "added *"
[[ $seen == "added xembed"* ]] || fail "tray kind: $seen"
wait_for 5 find_icon || fail "no icon in trayer's panel"
find_icon
[[ -n $screenshot ]] && import -window root "$screenshot"

# A single click gives 514 only; a double click gives 515 once (after a
# 514 for its first press), on which the probe removes the icon, as the main
# window does.
xdotool mousemove "$x" "$y" click 1
collect "message 514"
sleep 0.5 # longer than the double-click time, so that the next click starts afresh
xdotool click --repeat 2 --delay 120 1
collect "message 515"
send available; collect "available 1"
seen=$(cat "$work/probe.log")
[[ $(count "message 515") == 1 && $(count "message 517") == 0 ]] || fail "double click"
no_icon() { ! icon_geometry; }
wait_for 5 no_icon || fail "the icon stayed in the tray after Remove"

# A right click gives 517 once; the menu opens at the pointer and returns
# after the chosen item's handler has run.
: >"$work/probe.log"
send add; collect "added xembed"
wait_for 5 find_icon || fail "no icon after adding it again"
find_icon
xdotool mousemove "$x" "$y" click 3
collect "menu shown"
xdotool mousemove_relative 20 12 click 1
collect "menu closed"
send available; collect "available 1"
seen=$(cat "$work/probe.log")
[[ $(count "message 517") == 1 && $(count "message 515") == 0 ]] || fail "right click"
grep -q -x "chose Restore" "$work/probe.log" || fail "the menu item under the pointer was not chosen"
[[ $(grep -n -x "chose Restore" "$work/probe.log" | cut -d: -f1) -lt $(grep -n -x "menu closed" "$work/probe.log" | cut -d: -f1) ]] \
    || fail "PopupMenu returned before the item's handler ran"

# --- the task-list entry ------------------------------------------------------
send window; collect "window *"
window=${seen#window }; window=${window%$'\n'}
skips() { xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR; }
managed() { xprop -id "$window" WM_STATE | grep -q Normal; }
# show_again: hides and shows the window and waits until openbox manages it
# again (it drops the window's state when the window is hidden).
show_again() {
    send hide; collect hidden
    [[ -n ${1:-} ]] && { send "$1"; collect "skip ok"; }
    send show; collect shown
    wait_for 5 managed || fail "openbox did not take the window back"
}

send "skip 1"; collect "skip ok"
wait_for 3 skips || fail "skip on the shown window"
show_again
wait_for 3 skips || fail "the skip was lost over hide and show"
show_again "skip 0"
sleep 0.3
skips && fail "cleared while hidden, yet skipped after show"
show_again "skip 1"
wait_for 3 skips || fail "set while hidden, yet not skipped after show"
send "skip 0"; collect "skip ok"
no_skip() { ! skips; }
wait_for 3 no_skip || fail "clear on the shown window"
echo "PASS"
