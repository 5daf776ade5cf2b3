#!/usr/bin/env bash
# Start-up smoke test: runs the built program on a private X server, with
# private configuration and runtime directories, and checks that the main
# window appears with its full title and the program keeps running.
#
#   smoke_xvfb.sh path/to/orvantis
set -euo pipefail

program=${1:?usage: smoke_xvfb.sh path/to/orvantis}
work=$(mktemp -d)
xvfb_pid=
app_pid=

cleanup() {
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [[ -s $work/app.log ]] && sed 's/^/  orvantis: /' "$work/app.log" >&2
  exit 1
}

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xvfb.sh"
start_xvfb "$work" || { xvfb_pid=$XVFB_PID; fail "no X server"; }
xvfb_pid=$XVFB_PID

export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

"$program" >"$work/app.log" 2>&1 &
app_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Orvantis - Lumevarre$' | head -n1) ||
  fail "no window titled 'Orvantis - Lumevarre' within 20 s"
title=$(xdotool getwindowname "$window")
[[ $title == "Orvantis - Lumevarre" ]] || fail "window title is '$title'"
kill -0 "$app_pid" 2>/dev/null || fail "orvantis ended on its own"
echo "PASS: window $window '$title' on $DISPLAY"
