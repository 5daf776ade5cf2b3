#!/usr/bin/env bash
# Builds Orvantis (Release) with its benchmarks, runs them and has scripts/bench_page.py
# judge the results against bench/targets.txt and write docs/performance.md.
#   scripts/bench.sh [--build-dir DIR] [--runs N] [--max-wait SECONDS] [--out FILE]
# Defaults: build-bench, 20 start-up and calendar runs, up to 600 s of waiting
# for the 1-minute load to drop below 1.0, docs/performance.md.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=build-bench runs=20 max_wait=600 out=docs/performance.md
while [[ $# -gt 0 ]]; do
  case "$1" in
    --build-dir) build=$(realpath -m --relative-base="$here" "$2"); shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --max-wait) max_wait=$2; shift 2 ;;
    --out) out=$(realpath -m "$2"); shift 2 ;;
    *) echo "usage: $0 [--build-dir DIR] [--runs N] [--max-wait SECONDS] [--out FILE]" >&2; exit 2 ;;
  esac
done
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "--runs wants a positive number" >&2; exit 2; }
cd "$here"
scripts/install-deps.sh --test
source scripts/lib/xvfb.sh
tmp=$(mktemp -d) XVFB_PID=
trap '[[ -z $XVFB_PID ]] || { kill "$XVFB_PID"; wait "$XVFB_PID"; } 2>/dev/null || true; rm -rf "$tmp"' EXIT

# Runs a command after adding it to the page's list (words quoted where the shell
# needs it, the temporary folder as $tmp).
record() {
  local w line=
  for w in "$@"; do
    [[ $w =~ ^[A-Za-z0-9_./=:,+@%-]+$ ]] || w="'${w//\'/\'\\\'\'}'"
    line+="${line:+ }${w//"$tmp"/\$tmp}"
  done
  echo "$line" | tee -a "$tmp/commands" | sed 's/^/+ /' >&2
}
run() { record "$@"; "$@"; }

run cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANTIS_BENCH=ON \
  -DORVANTIS_TESTS=OFF -DORVANTIS_WERROR=ON >/dev/null
run cmake --build "$build" -j"$(nproc)"
load1() { cut -d' ' -f1 /proc/loadavg; }
for ((waited = 0; waited < max_wait; waited += 20)); do
  awk -v l="$(load1)" 'BEGIN { exit !(l >= 1.0) }' || break
  echo "waiting for the 1-minute load ($(load1)) to drop below 1.0: $waited of $max_wait s" >&2
  sleep 20
done
echo "load_before=$(load1) waited=$waited max_wait=$max_wait" >"$tmp/load"

# Start-up and the calendar on a private X server, under a session bus as on a desktop.
run start_xvfb "$tmp" 1280x1024x24
run dbus-run-session -- "$build/bench/orvantis_bench_startup_probe" --runs "$runs" --runtime-base /dev/shm \
  --window "Orvantis - Lumevarre" "$build/mainwindow/orvantis" \
  --window "Bare window" "$build/bench/orvantis_bench_bare_window" | tee "$tmp/startup.txt"
run dbus-run-session -- "$build/bench/orvantis_bench_calendar" --runs "$runs" --runtime-base /dev/shm \
  | tee "$tmp/calendar.txt"

run env QT_QPA_PLATFORM=offscreen "$build/bench/orvantis_bench_calculate" -csv -median 5 \
  | tee "$tmp/calculate.txt"
# Two runs: CSV wants the same counters in every row; only the report builders count bytes.
for part in AllDates Show; do
  run "$build/bench/orvantis_bench_core" --benchmark_filter="$part" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv >"$tmp/core-$part.csv"
done
run bench/cli_numbers.sh "$build" 5 | tee "$tmp/cli.txt"
echo "load_after=$(load1)" >>"$tmp/load"

scripts/bench_page.py "$tmp" bench/targets.txt bench/performance_notes.md >"$tmp/page.md"
mkdir -p "$(dirname "$out")" && cp "$tmp/page.md" "$out"
echo "wrote $out"
