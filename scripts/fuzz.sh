#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
#
#   scripts/fuzz.sh                  every target built in the fuzz build
#   scripts/fuzz.sh fuzz_engine ...  only the named targets
#
# Environment:
#   FUZZ_SECONDS    time per target in seconds (default 60)
#   FUZZ_BUILD_DIR  build directory (default build-fuzz in the repository root;
#                   a relative path is taken from the repository root)
#
# Each target starts from its committed seed corpus (fuzz/corpus/<target>),
# copied to a temporary folder so the committed files never change. A crash,
# sanitizer report, timeout (10 s for one input) or memory blow-up (2 GB) makes
# the script fail; the reproducer is kept under <build>/fuzz-artifacts/<target>/
# and can be replayed with: <build>/fuzz/<target> <reproducer>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD_DIR:-build-fuzz}
[[ "$build" = /* ]] || build="$root/$build"

if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "fuzz.sh: FUZZ_SECONDS must be a positive whole number, not '$seconds'" >&2
  exit 2
fi
for tool in clang clang++ cmake ninja; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "fuzz.sh: $tool not found (scripts/install-deps.sh --test installs it)" >&2
    exit 2
  fi
done

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DORVANTIS_FUZZ=ON \
  -DORVANTIS_GUI=OFF -DORVANTIS_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

if [[ $# -gt 0 ]]; then
  targets=("$@")
else
  targets=()
  for exe in "$build"/fuzz/fuzz_*; do
    [[ -f "$exe" && -x "$exe" ]] && targets+=("$(basename "$exe")")
  done
fi
if [[ ${#targets[@]} -eq 0 ]]; then
  echo "fuzz.sh: no fuzz targets were built" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failed=()
summary=()
for target in "${targets[@]}"; do
  exe="$build/fuzz/$target"
  if [[ ! -x "$exe" ]]; then
    echo "fuzz.sh: $target was not built" >&2
    failed+=("$target")
    summary+=("$(printf '%-16s %12s  %s' "$target" "-" "NOT BUILT")")
    continue
  fi
  corpus="$work/$target"
  mkdir -p "$corpus"
  if [[ -d "$root/fuzz/corpus/$target" ]]; then
    cp -- "$root/fuzz/corpus/$target"/* "$corpus"/ 2>/dev/null || true
  fi
  artifacts="$build/fuzz-artifacts/$target"
  mkdir -p "$artifacts"
  log="$work/$target.log"

  echo "== $target: ${seconds}s"
  status=0
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
         -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1 \
    || status=$?
  units=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -n 1)
  units=${units:-?}
  if [[ $status -eq 0 ]]; then
    summary+=("$(printf '%-16s %12s  %s' "$target" "$units" "ok")")
  else
    failed+=("$target")
    summary+=("$(printf '%-16s %12s  %s' "$target" "$units" "FAILED (exit $status)")")
    echo "---- $target failed; end of its log:" >&2
    tail -n 60 "$log" >&2
    echo "---- reproducer(s) in $artifacts" >&2
  fi
done

echo
printf '%-16s %12s  %s\n' "target" "inputs run" "result"
printf '%s\n' "${summary[@]}"
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzz.sh: failed: ${failed[*]}" >&2
  exit 1
fi
