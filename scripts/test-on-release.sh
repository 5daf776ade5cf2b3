#!/usr/bin/env bash
# Runs the README's test command, scripts/test.sh, in a fresh root of a Debian
# release, as on a new machine of that release:
#
#   scripts/test-on-release.sh SUITE              e.g. trixie or bookworm
#   scripts/test-on-release.sh --prepare SUITE    only make the root and install its packages
#   scripts/test-on-release.sh --prepared SUITE   only run the tests in the root --prepare made
#
# The root, build-release/SUITE, is made afresh by debootstrap from the archive
# this machine's apt uses and holds a clone of the checkout's committed state
# (HEAD: uncommitted changes are not tested). On every exit, Ctrl+C included,
# whatever runs or is mounted in it is ended; the files stay for a look inside.
# Runs as root. FUZZ_SECONDS and CI are passed in.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/lib/debian-root.sh"
fail() { echo "test-on-release.sh: $*" >&2; exit 1; }

prepare=yes test=yes
case ${1:-} in
  --prepare) test= && shift ;;
  --prepared) prepare= && shift ;;
esac
[[ $# -eq 1 ]] || { echo "usage: $0 [--prepare | --prepared] SUITE" >&2; exit 2; }
[[ $(id -u) -eq 0 ]] || fail "debootstrap, chroot and mount need root: run it as root"
root=$here/build-release/$1
mkdir -p "$here/build-release"
root_lock "$here/build-release" || fail "another run is using build-release/"

trap 'status=$?; [[ -z $ROOT_CHILD ]] || kill -- -"$ROOT_CHILD" 2>/dev/null || :
      root_cleanup "$root" || status=1; exit "$status"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [[ $prepare ]]; then
  root_remove "$root"
  command -v debootstrap >/dev/null || apt-get -o DPkg::Lock::Timeout=300 install -y -qq debootstrap >/dev/null ||
    { apt-get update -qq && apt-get install -y -qq debootstrap >/dev/null; }
  archive=$(host_archive)
  echo "== $1: debootstrap from $archive (log: build-release/$1.log)"
  root_wait debootstrap --variant=minbase "$1" "$root" "$archive" >"$root.log" 2>&1 ||
    { tail -n 20 "$root.log" >&2; fail "debootstrap $1 failed"; }
  echo "== cloning the committed state $(git -C "$here" rev-parse --short HEAD) into it"
  git clone -q --no-checkout "$here" "$root/orvantis"
  git -C "$root/orvantis" checkout -q --detach "$(git -C "$here" rev-parse HEAD)"
  root_mount "$root"
  echo "== $1: scripts/install-deps.sh --test (log: build-release/$1.log)"
  in_root "$root" /orvantis/scripts/install-deps.sh --test >>"$root.log" 2>&1 ||
    { tail -n 20 "$root.log" >&2; fail "installing the packages failed"; }
fi
if [[ $test ]]; then
  [[ -x $root/orvantis/scripts/test.sh ]] || fail "no root prepared at $root"
  findmnt "$root/proc" >/dev/null || root_mount "$root"
  echo "== $1: scripts/test.sh"
  ROOT_PASS="FUZZ_SECONDS CI" in_root "$root" /orvantis/scripts/test.sh
fi
