#!/usr/bin/env bash
# Installs what is missing, builds Orvantis and starts the window.
set -euo pipefail
# Said before minutes of installing and building, as the program would say it.
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} && " $* " != *" -platform "* && " $* " != *" --platform "* ]]; then
  echo "run.sh: no graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set" >&2
  exit 1
fi
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
build="$here/build"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTIS_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
exec "$build/mainwindow/orvantis" "$@"
