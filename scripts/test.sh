#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. the whole suite (core, CLI, platform, windows, real desktop) with
#      warnings as errors;
#   2. the core and CLI tests again under AddressSanitizer and
#      UndefinedBehaviorSanitizer;
#   3. every fuzz target for a bounded time (FUZZ_SECONDS each, default 45);
#   4. the Debian package: built, installed, its files checked, purged.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh" --test
jobs=$(nproc)

build="$here/build-test"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DORVANTIS_WERROR=ON -DORVANTIS_BENCH=ON >/dev/null
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs"

asan="$here/build-asan"
cmake -S "$here" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANTIS_WERROR=ON \
      -DORVANTIS_SANITIZE=ON -DORVANTIS_GUI=OFF >/dev/null
cmake --build "$asan" -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$asan" --output-on-failure -j"$jobs" -L 'core|cli'

FUZZ_SECONDS=${FUZZ_SECONDS:-45} "$here/scripts/fuzz.sh"

# The Debian package: built, installed with apt, its files checked, purged.
"$here/scripts/check-package.sh"
