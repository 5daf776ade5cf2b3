#!/usr/bin/env bash
# Times `orvantis-calc numbers` on every date of the calendar range,
# 1753-01-01 to 9999-12-31 (3,012,154 lines), fed through a pipe as a script
# would feed it.
#
#   bench/cli_numbers.sh [BUILD_DIR] [RUNS]     (defaults: build, 5)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
runs=${2:-5}
calc="$build/cli/orvantis-calc"
[[ -x "$calc" ]] || { echo "no $calc: build first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dates="$work/dates.txt"

# The generator knows nothing of orvantis-calc's parser, so a date the
# program wrongly rejected would show up as a missing line below.
awk 'BEGIN {
  split("31 28 31 30 31 30 31 31 30 31 30 31", len, " ")
  for (y = 1753; y <= 9999; y++) {
    leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0
    for (m = 1; m <= 12; m++)
      for (d = 1; d <= len[m] + (m == 2 && leap); d++)
        printf "%04d-%02d-%02d\n", y, m, d
  }
}' > "$dates"

lines=$(cat "$dates" | "$calc" numbers --target 02/29 | wc -l)
echo "dates: $(wc -l < "$dates"), rows printed: $lines"
[[ $lines -eq 3012154 ]] || { echo "row count is wrong" >&2; exit 1; }

# Each run prints its times; the last line of each variant gives the medians,
# in a form scripts/bench_page.py reads.
TIMEFORMAT='%R %U %S'
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
for variant in "numbers" "numbers --target 02/29"; do
  echo "cat dates.txt | orvantis-calc $variant > /dev/null"
  elapsed=() user=()
  for ((i = 1; i <= runs; i++)); do
    # shellcheck disable=SC2086 # the variant is split into words on purpose
    t=$({ time (cat "$dates" | "$calc" $variant > /dev/null); } 2>&1)
    read -r r u s <<< "$t"
    echo "  $r s elapsed, $u s user, $s s system"
    elapsed+=("$r") user+=("$u")
  done
  echo "median $variant: $(printf '%s\n' "${elapsed[@]}" | median) s elapsed," \
       "$(printf '%s\n' "${user[@]}" | median) s user ($runs runs)"
done
