#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. the whole suite (core, CLI, platform, windows, real desktop) with
#      warnings as errors, benchmarks built but not run;
#   2. in one clang build with AddressSanitizer and UndefinedBehaviorSanitizer:
#      the core and CLI tests again, the window test (whole window sessions,
#      offscreen, from start to a normal end, so faults at destruction and
#      leaks show too), then each fuzz target for FUZZ_SECONDS (default 20);
#   3. the Debian package, packed from build 1: installed, its files checked,
#      purged.
# Both builds compile each target's sources as one unit (CMAKE_UNITY_BUILD):
# most of the time goes to reading Qt's headers, once per unit.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh" --test
jobs=$(nproc)

build="$here/build-test"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
      -DORVANTIS_WERROR=ON -DORVANTIS_BENCH=ON -DCMAKE_UNITY_BUILD=ON >/dev/null
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs"

fuzz="$here/build-fuzz"
CC=clang CXX=clang++ cmake -S "$here" -B "$fuzz" -G Ninja -DORVANTIS_FUZZ=ON -DORVANTIS_GUI=ON \
      -DORVANTIS_TESTS=ON -DORVANTIS_WERROR=ON -DCMAKE_UNITY_BUILD=ON >/dev/null
# Only what runs here: of the window tests, the one that drives the most.
cmake --build "$fuzz" -j"$jobs" --target core_tests cli_tests fuzz_date_parse fuzz_ini window_test
sanitized=(env ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1)
"${sanitized[@]}" ctest --test-dir "$fuzz" --output-on-failure -j"$jobs" -L 'core|cli|fuzz'
"${sanitized[@]}" ctest --test-dir "$fuzz" --output-on-failure -R '^gui_window_test$'
FUZZ_BUILD_DIR="$fuzz" FUZZ_SECONDS=${FUZZ_SECONDS:-20} "$here/scripts/fuzz.sh"

"$here/scripts/check-package.sh" "$build"
