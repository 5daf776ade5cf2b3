#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time:
#
#   scripts/fuzz.sh [TARGET...]     default: fuzz_date_parse fuzz_ini
#
# FUZZ_SECONDS is the time per target (default 30), FUZZ_BUILD_DIR the build
# folder (default build-fuzz). Each run starts from a copy of the committed
# seeds in fuzz/corpus/<target>. A crash, sanitizer report, timeout (10 s for
# one input) or memory blow-up (2 GB) fails the script; the reproducer is kept
# as <build>/fuzz-artifacts/<target>-crash-... and replays with
# <build>/fuzz/<target> <reproducer>.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
targets=("$@")
[[ $# -gt 0 ]] || targets=(fuzz_date_parse fuzz_ini)

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DORVANTIS_FUZZ=ON >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/fuzz-artifacts"
for target in "${targets[@]}"; do
  cp -r "$root/fuzz/corpus/$target" "$work/$target"
  echo "== $target: ${FUZZ_SECONDS:-30} s"
  if ! "$build/fuzz/$target" -max_total_time="${FUZZ_SECONDS:-30}" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$build/fuzz-artifacts/$target-" "$work/$target" >"$work/log" 2>&1; then
    tail -n 40 "$work/log" >&2
    echo "fuzz.sh: $target failed" >&2
    exit 1
  fi
  grep -E '^Done [0-9]+ runs' "$work/log" || true
done
