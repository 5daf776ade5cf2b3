#!/usr/bin/env bash
# Builds Orvantis (Release) with its benchmarks, runs all four and writes
# docs/performance.md with the figures, the machine and the exact commands:
#
#   1. start-up of `orvantis` against a bare Qt window (bench/bare_window.cpp),
#      taken in turns under a private Xvfb by bench/startup_probe.cpp;
#   2. the calculate button (bench/calculate_bench.cpp, offscreen);
#   3. the engine over every date against the npm package numerology-core
#      1.2.0 (installed into a temporary folder, never into the checkout);
#   4. `orvantis-calc numbers` over every date through a pipe
#      (bench/cli_numbers.sh).
#
#   scripts/bench.sh [--build-dir DIR] [--runs N] [--max-wait SECONDS] [--out FILE]
#
# Defaults: build-bench in the checkout, 20 start-up runs per program, up to
# 600 s of waiting for the machine to calm down (1-minute load below 1.0)
# before measuring, and docs/performance.md.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build-bench"
runs=20
max_wait=600
out="$here/docs/performance.md"
while [[ $# -gt 0 ]]; do
  case "$1" in
    --build-dir) build=$(realpath -m "$2"); shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --max-wait) max_wait=$2; shift 2 ;;
    --out) out=$(realpath -m "$2"); shift 2 ;;
    *) echo "usage: $0 [--build-dir DIR] [--runs N] [--max-wait SECONDS] [--out FILE]" >&2; exit 2 ;;
  esac
done
[[ $runs =~ ^[0-9]+$ && $runs -ge 1 ]] || { echo "--runs wants a positive number" >&2; exit 2; }

"$here/scripts/install-deps.sh" --test
for tool in cmake ninja Xvfb; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/install-deps.sh --test" >&2; exit 2; }
done

work=$(mktemp -d)
xvfb_pid=
cleanup() {
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Paths in the page are written relative to the checkout where they can be.
rel() { local p=$1; [[ $p == "$here"/* ]] && p=${p#"$here"/}; echo "$p"; }
b=$(rel "$build")
commands=()
note_command() { commands+=("$*"); echo "+ $*"; }

# ------------------------------------------------------------------ build
note_command cmake -S . -B "$b" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANTIS_BENCH=ON \
  -DORVANTIS_TESTS=OFF -DORVANTIS_WERROR=ON
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANTIS_BENCH=ON \
  -DORVANTIS_TESTS=OFF -DORVANTIS_WERROR=ON >/dev/null
note_command cmake --build "$b" -j"$(nproc)"
cmake --build "$build" -j"$(nproc)"
for t in mainwindow/orvantis cli/orvantis-calc bench/orvantis_bench_core bench/orvantis_bench_calculate \
         bench/orvantis_bench_bare_window bench/orvantis_bench_startup_probe; do
  [[ -x "$build/$t" ]] || { echo "$build/$t was not built" >&2; exit 1; }
done

# ------------------------------------------------- a quiet machine, if we can
load1() { cut -d' ' -f1 /proc/loadavg; }
waited=0
echo "1-minute load: $(load1)"
while awk -v l="$(load1)" 'BEGIN { exit !(l >= 1.0) }' && ((waited < max_wait)); do
  echo "waiting for the load to drop below 1.0 (now $(load1), waited ${waited} s of ${max_wait} s)"
  sleep 20
  waited=$((waited + 20))
done
load_before=$(load1)

# --------------------------------------------------------------- 1. start-up
exec {display_fd}>"$work/display"
Xvfb -displayfd "$display_fd" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec {display_fd}>&-
for ((i = 0; i < 100; i++)); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
display=":$(head -n1 "$work/display")"

session=()
if command -v dbus-run-session >/dev/null; then
  session=(dbus-run-session --) # a desktop has a session bus; Qt asks it things at start
fi
probe=(bench/orvantis_bench_startup_probe --runs "$runs"
       --window "Orvantis - Lumevarre" mainwindow/orvantis
       --window "Bare window" bench/orvantis_bench_bare_window)
note_command "Xvfb -displayfd FD -screen 0 1280x1024x24 -nolisten tcp -noreset &"
note_command "(cd $b && DISPLAY=$display ${session[*]}${session[*]:+ }bench/orvantis_bench_startup_probe --runs $runs --window 'Orvantis - Lumevarre' mainwindow/orvantis --window 'Bare window' bench/orvantis_bench_bare_window)"
if ! (cd "$build" && DISPLAY="$display" "${session[@]}" "${probe[@]}") >"$work/startup.txt" 2>"$work/startup.err"; then
  grep -v 'Failed to set fd limit' "$work/startup.err" >&2 || true
  echo "the start-up benchmark failed" >&2
  exit 1
fi
cat "$work/startup.txt"
field() { sed -n "s/.*$2=\([0-9.]*\).*/\1/p" <<< "$1"; }
orv_line=$(grep '^median "Orvantis' "$work/startup.txt")
bare_line=$(grep '^median "Bare' "$work/startup.txt")
ratio_line=$(grep '^ratio' "$work/startup.txt")
orv_wall=$(field "$orv_line" wall_ms) orv_rss=$(field "$orv_line" peak_rss_kb) orv_cpu=$(field "$orv_line" cpu_ms)
bare_wall=$(field "$bare_line" wall_ms) bare_rss=$(field "$bare_line" peak_rss_kb) bare_cpu=$(field "$bare_line" cpu_ms)
ratio_wall=$(field "$ratio_line" wall) ratio_rss=$(field "$ratio_line" peak_rss) ratio_cpu=$(field "$ratio_line" cpu)
kill "$xvfb_pid" 2>/dev/null || true
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=

# -------------------------------------------------------------- 2. calculate
note_command "(cd $b && QT_QPA_PLATFORM=offscreen bench/orvantis_bench_calculate -csv -median 5)"
(cd "$build" && QT_QPA_PLATFORM=offscreen bench/orvantis_bench_calculate -csv -median 5) \
  >"$work/calculate.txt" 2>"$work/calculate.err" || {
  cat "$work/calculate.err" >&2; grep -v '^QWARN' "$work/calculate.txt" >&2; echo "the calculate benchmark failed" >&2; exit 1; }
grep -v '^QWARN' "$work/calculate.txt" | grep -v 'propagateSizeHints'
# "function","row","WalltimeMilliseconds",value,total,iterations
calc_ms() { awk -F, -v f="\"$1\"" -v r="\"$2\"" '$1 == f && $2 == r { print $4 }' "$work/calculate.txt"; }
calc_bytes() { sed -n "s/^longest report, $1: .*, \([0-9]*\) bytes$/\1/p" "$work/calculate.txt"; }
calc_input() { sed -n "s/^longest report, $1: \(.*\), [0-9]* bytes$/\1/p" "$work/calculate.txt"; }
modes=("Destiny and Birth" "Personal Year and Month" "Personal Day")
calc_worst=0 calc_worst_painted=0
for m in "${modes[@]}"; do
  calc_worst=$(awk -v a="$calc_worst" -v b="$(calc_ms handler "$m")" 'BEGIN { print (b > a ? b : a) }')
  calc_worst_painted=$(awk -v a="$calc_worst_painted" -v b="$(calc_ms handlerAndRepaint "$m")" \
    'BEGIN { print (b > a ? b : a) }')
done

# ------------------------------------------------ 3. engine against reference
# Two runs: the CSV output wants the same counters in every row, and only
# the report builders count bytes.
for part in AllDates Show; do
  note_command "$b/bench/orvantis_bench_core --benchmark_filter=$part --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv"
  "$build/bench/orvantis_bench_core" --benchmark_filter="$part" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv >"$work/core-$part.csv" 2>"$work/core.err" || {
    cat "$work/core.err" >&2; echo "the core benchmarks failed" >&2; exit 1; }
  cat "$work/core-$part.csv"
done
# Median rows: name, real time and CPU time (in the row's unit), report size.
core_row() {
  awk -F, -v n="\"$1_median\"" '
    FNR == 1 { delete col; for (i = 1; i <= NF; i++) { h = $i; gsub(/"/, "", h); col[h] = i }; next }
    $1 == n { printf "%s %s %s %s\n", $(col["real_time"]), $(col["cpu_time"]), $(col["time_unit"]),
              ("report_bytes" in col ? $(col["report_bytes"]) : "") }' "$work"/core-*.csv
}
read -r engine_real engine_cpu engine_unit _ <<< "$(core_row BM_EngineAllDates)"
[[ $engine_unit == ms ]] || { echo "unexpected time unit $engine_unit" >&2; exit 1; }
ours_rate=$(awk -v t="$engine_real" 'BEGIN { printf "%.0f", 3012154 / (t / 1000) }')

ref_status="unavailable"
ref_rate=
ref_note=
ref_dir="$work/npm"
note_command "npm install --prefix \"\$tmp\" --no-audit --no-fund numerology-core@1.2.0"
if ! command -v npm >/dev/null || ! command -v node >/dev/null; then
  ref_note="node or npm is not installed"
elif ! timeout 300 npm install --prefix "$ref_dir" --no-audit --no-fund --loglevel=error \
       numerology-core@1.2.0 >"$work/npm.log" 2>&1; then
  ref_note="npm could not install numerology-core@1.2.0: $(tail -n1 "$work/npm.log")"
else
  note_command "node bench/reference_engine.js \"\$tmp/node_modules/numerology-core\" 5"
  if node "$here/bench/reference_engine.js" "$ref_dir/node_modules/numerology-core" 5 >"$work/ref.txt" 2>&1; then
    cat "$work/ref.txt"
    ref_rate=$(sed -n 's/^median dates_per_second=\([0-9]*\).*/\1/p' "$work/ref.txt")
    ref_status="measured"
  else
    ref_note="the reference run failed: $(tail -n1 "$work/ref.txt")"
  fi
fi
[[ -n $ref_note ]] && echo "reference: $ref_note"

# ------------------------------------------------------------ 4. CLI numbers
note_command "bench/cli_numbers.sh $b 5"
"$here/bench/cli_numbers.sh" "$build" 5 | tee "$work/cli.txt"
cli_elapsed() { sed -n "s/^median $1: \([0-9.]*\) s elapsed, \([0-9.]*\) s user.*/\1/p" "$work/cli.txt"; }
cli_user() { sed -n "s/^median $1: \([0-9.]*\) s elapsed, \([0-9.]*\) s user.*/\2/p" "$work/cli.txt"; }
cli_plain=$(cli_elapsed numbers) cli_target=$(cli_elapsed "numbers --target 02\/29")
cli_plain_user=$(cli_user numbers) cli_target_user=$(cli_user "numbers --target 02\/29")

load_after=$(load1)

# ----------------------------------------------------------------- the page
le() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }'; }
lt() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
verdict() { if "$@"; then echo "**met**"; else echo "**not met**"; fi; }
fmt() { awk -v v="$1" -v p="$2" 'BEGIN { printf "%." p "f", v }'; }
mb() { awk -v k="$1" 'BEGIN { printf "%.1f MB", k / 1024 }'; }

startup_wall_ok=$(verdict le "$ratio_wall" 1.25)
startup_rss_ok=$(verdict le "$ratio_rss" 1.25)
calc_ok=$(verdict lt "$calc_worst" 2)
if [[ $ref_status == measured ]]; then
  engine_ratio=$(awk -v a="$ours_rate" -v b="$ref_rate" 'BEGIN { printf "%.1f", a / b }')
  engine_ok=$(verdict le 30 "$engine_ratio")
else
  engine_ratio="n/a"
  engine_ok="**not measured** (reference unavailable: $ref_note)"
fi
cli_ok=$(verdict lt "$(awk -v a="$cli_plain" -v b="$cli_target" 'BEGIN { print (a > b ? a : b) }')" 1.5)

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)
mhz=$(sed -n 's/^cpu MHz[[:space:]]*: \([0-9]*\).*/\1/p' /proc/cpuinfo | head -n1)
mem=$(awk '/^MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo)
os=$(. /etc/os-release && echo "$PRETTY_NAME")
virt=$(systemd-detect-virt 2>/dev/null || true)
compiler=$(c++ --version | head -n1)
qt=$(pkg-config --modversion Qt6Widgets 2>/dev/null || echo "?")
gbench=$(dpkg-query -W -f='${Version}' libbenchmark-dev 2>/dev/null || echo "?")
nodev=$(node --version 2>/dev/null || echo "not installed")

table_core() {
  local name label bytes real cpu unit
  for name in BM_EngineAllDates BM_ParseAllDates BM_ShowDestinyAndBirth BM_ShowPersonalYearMonth BM_ShowPersonalDay; do
    read -r real cpu unit bytes <<< "$(core_row "$name")"
    case $name in
      BM_EngineAllDates) label='`CalcDateNumber` + `CalcBirthNumber` on all 3,012,154 prepared "mm/dd/yyyy" / "dd" texts' ;;
      BM_ParseAllDates) label='`parseDate` (orvantis-calc) on all dates as "YYYY-MM-DD"' ;;
      BM_ShowDestinyAndBirth) label="\`ShowDestinyAndBirth\`, longest Destiny and Birth entries" ;;
      BM_ShowPersonalYearMonth) label="\`ShowPersonalYearMonth\`, the two longest cycle entries" ;;
      BM_ShowPersonalDay) label="\`ShowPersonalDay\`, longest Day entry" ;;
    esac
    echo "| \`$name\`: $label | $(fmt "$real" 1) $unit | $(fmt "$cpu" 1) $unit | ${bytes:+$(fmt "$bytes" 0) bytes} |"
  done
}

table_calc() {
  local m
  for m in "${modes[@]}"; do
    echo "| $m | $(calc_input "$m") | $(calc_bytes "$m") bytes | $(fmt "$(calc_ms handler "$m")" 3) ms | $(fmt "$(calc_ms handlerAndRepaint "$m")" 3) ms |"
  done
}

command_block() { local c; for c in "${commands[@]}"; do echo "$c"; done; }

mkdir -p "$(dirname "$out")"
{
cat <<EOF
# Performance

Speed targets are checked by the benchmarks in \`bench/\`, never by timed unit
tests. This page is written by \`scripts/bench.sh\`, which builds the program
(Release) with its benchmarks, runs all four and records what it measured;
the explanations at the end come from \`bench/performance_notes.md\`.

Measured $(date -u '+%Y-%m-%d %H:%M UTC').

## Summary

| Target | Measured | |
|---|---|---|
| Start-up time no more than 1.25 times a bare Qt window's | $(fmt "$ratio_wall" 2) times ($(fmt "$orv_wall" 1) ms against $(fmt "$bare_wall" 1) ms) | $startup_wall_ok |
| Start-up peak memory no more than 1.25 times a bare Qt window's | $(fmt "$ratio_rss" 2) times ($(mb "$orv_rss") against $(mb "$bare_rss")) | $startup_rss_ok |
| Calculate button under 2 ms, longest report of each mode | $(fmt "$calc_worst" 2) ms at worst ($(fmt "$calc_worst_painted" 2) ms with the repaint) | $calc_ok |
| Engine at least 30 times numerology-core 1.2.0 | $engine_ratio times | $engine_ok |
| \`orvantis-calc numbers\` on all 3,012,154 dates under 1.5 s | $(fmt "$cli_plain" 2) s (\`--target\`: $(fmt "$cli_target" 2) s) | $cli_ok |

The 1-minute load was $load_before when measuring began and $load_after at
the end (see "Machine"). What stands in the way of the targets that are not
met is under each benchmark below.

## Machine

| | |
|---|---|
| \`nproc\` | $(nproc) |
| CPU (\`/proc/cpuinfo\`) | $cpu${mhz:+, $mhz MHz}${virt:+ (virtualised: $virt)} |
| Memory | $mem |
| OS | $os, kernel $(uname -r) |
| Compiler | $compiler, Release (\`-O3\`) |
| Qt | $qt (Debian packages) |
| Google Benchmark | Debian \`libbenchmark-dev\` $gbench |
| Node.js (reference) | $nodev |
| 1-minute load | $load_before when measuring began (after waiting $waited s), $load_after at the end |

Other builds may share the machine. The script waits (up to $max_wait s) for
the 1-minute load to drop below 1.0 before it measures; the load above shows
how far that worked. Wall times suffer first on a busy machine, so the
start-up table also gives the CPU time.

## Commands

\`\`\`sh
$(command_block)
\`\`\`

\`\$tmp\` is a temporary folder the script makes and removes; the npm package
never enters the checkout. \`FD\` is a descriptor on which Xvfb writes the
free display number it took.

## 1. Start-up against a bare Qt window

\`bench/startup_probe.cpp\` forks and executes each program under one private
Xvfb, with fresh \`XDG_CONFIG_HOME\` and \`XDG_RUNTIME_DIR\` folders per run (so
the single-instance lock and the settings file of one run never reach the
next), and waits on the X server for the MapNotify of a top-level window of
that process with the expected title. Wall time runs from the fork to that
event (CLOCK_MONOTONIC). The program is then given 200 ms to paint, ended
with SIGTERM, and reaped with \`wait4()\`: peak memory is its \`ru_maxrss\`, CPU
time its user + system time. The programs take turns (ABBA order) after an
untimed run each; $runs runs each; medians.
The bare window (\`bench/bare_window.cpp\`) is a QMainWindow holding one QLabel.

| Program | Wall time to mapped | Peak RSS | CPU time |
|---|---|---|---|
| \`orvantis\` | $(fmt "$orv_wall" 1) ms | $(mb "$orv_rss") | $(fmt "$orv_cpu" 1) ms |
| bare Qt window | $(fmt "$bare_wall" 1) ms | $(mb "$bare_rss") | $(fmt "$bare_cpu" 1) ms |
| ratio | $(fmt "$ratio_wall" 3) | $(fmt "$ratio_rss" 3) | $(fmt "$ratio_cpu" 3) |

Targets: both ratios at most 1.25. Wall time $startup_wall_ok, peak memory
$startup_rss_ok. Where the time goes and what was done about it: see
"Start-up profile" below.
EOF
if ! le "$ratio_wall" 1.25 || ! le "$ratio_rss" 1.25; then cat <<'EOF'

In the way: chiefly the two drop-down calendars, built with the window
although they are hidden until asked for (about 13 ms and 2.7 MB against the
bare window); then what any larger window costs over a single label (the
stand-in fonts, more controls to build and paint, a larger back buffer).
See "What is left" below.
EOF
fi
cat <<EOF

## 2. Calculate button

\`bench/calculate_bench.cpp\` (QTest, offscreen platform) loads the main
window, enters the inputs that give each mode its longest report (found when
the benchmark starts: every birth date of the calendar range through the
engine, every distinct outcome with every month or day through the report
builders) and times \`Command1_Click\`: engine, report builders, report model
and the report box's new text. The second figure adds the event processing
that repaints the box. Medians of 5.

| Mode | Inputs | Report | \`Command1_Click\` | with repaint |
|---|---|---|---|---|
$(table_calc)

Target: under 2 ms. $calc_ok
EOF
if ! lt "$calc_worst" 2 || ! lt "$calc_worst_painted" 2; then cat <<'EOF'

The target is judged on the handler, which includes the report box's new
text; the repaint after it is shown for completeness. Where the time goes
(and what stands in the way when the target is missed): the handler empties
the box, lets the builders write the report into the model string, and then
hands the finished text to the box once; what remains is the box laying out
a report of two to three thousand characters. The engine and the builders
themselves take well under a microsecond (core benchmarks below).
EOF
fi
cat <<EOF

## 3. Engine against a reference

Both sides get the same 3,012,154 "mm/dd/yyyy" texts, prepared before timing.
Ours: \`BM_EngineAllDates\` calls \`CalcDateNumber\` on the full date and
\`CalcBirthNumber\` on its day, two calls per date (median of 5, wall time).
The reference: \`getBirthForceNumber\` of numerology-core 1.2.0 (the digit
sum of the text, reduced), one call per date, in Node.js
(\`bench/reference_engine.js\`: an untimed warm-up pass, then the median of 5).

| | Dates per second |
|---|---|
| Orvantis engine | $(awk -v r="$ours_rate" 'BEGIN { printf "%.2f M", r / 1e6 }') |
| numerology-core 1.2.0 | $( [[ -n $ref_rate ]] && awk -v r="$ref_rate" 'BEGIN { printf "%.2f M", r / 1e6 }' || echo "unavailable: $ref_note") |
| ratio | $engine_ratio |

Target: at least 30 times. $engine_ok
EOF
if [[ $ref_status == measured ]] && ! le 30 "$engine_ratio"; then cat <<'EOF'

In the way: the engine already adds up the digits of plain ASCII texts
directly (see "Engine fast path" at the end) and makes two calls per date to
the reference's one; the ratio then swings with the reference's own speed,
which on this shared machine ranged from 1.3 to 4.9 M dates per second
between runs. Run the script again on a quiet machine before reading much
into a ratio near 30.
EOF
fi
cat <<EOF

### Core benchmarks (\`orvantis_bench_core\`, medians of 5)

| Benchmark | Wall time | CPU time | Report |
|---|---|---|---|
$(table_core)

The builders pick their longest catalogue entries when the benchmark runs, so
the figures follow the catalogue texts as they change.

## 4. \`orvantis-calc numbers\`, 3,012,154 dates through a pipe

\`bench/cli_numbers.sh\` writes all dates as \`YYYY-MM-DD\` with a small awk
generator (independent of the program's own date parser), checks that
\`orvantis-calc numbers --target 02/29\` prints exactly one row per date, then
times each command 5 times; medians.

| Command | Elapsed | User CPU |
|---|---|---|
| \`cat dates.txt \| orvantis-calc numbers > /dev/null\` | $(fmt "$cli_plain" 2) s | $(fmt "$cli_plain_user" 2) s |
| \`cat dates.txt \| orvantis-calc numbers --target 02/29 > /dev/null\` | $(fmt "$cli_target" 2) s | $(fmt "$cli_target_user" 2) s |

Target: under 1.5 s. $cli_ok

EOF
cat "$here/bench/performance_notes.md"
} >"$out"
echo "wrote $(rel "$out")"
