#!/usr/bin/env bash
# Installs what is missing, builds Orvantis and starts the window.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
build="$here/build"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTIS_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
exec "$build/mainwindow/orvantis" "$@"
