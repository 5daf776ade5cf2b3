#!/bin/sh
# Runs "$@" as the client of a private, headless weston (desktop shell), on
# Qt's Wayland platform with the title bars Qt draws; ends weston after it.
set -eu
export XDG_RUNTIME_DIR="$(mktemp -d)" WAYLAND_DISPLAY=orvantis-test QT_QPA_PLATFORM=wayland
weston --backend=headless-backend.so --socket=$WAYLAND_DISPLAY --idle-time=0 >"$XDG_RUNTIME_DIR/log" 2>&1 &
weston=$!
trap 'kill $weston 2>/dev/null; wait $weston || :; rm -rf "$XDG_RUNTIME_DIR"' EXIT
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break; sleep 0.05; done
[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || { cat "$XDG_RUNTIME_DIR/log" >&2; exit 1; }
"$@"
