#!/usr/bin/env bash
# Builds the Debian package of Orvantis: a Release build for /usr, packed by
# CPack. The build talks on stderr; stdout gets one line, the path of the
# .deb, so that callers can write  deb=$(scripts/package.sh).
#
#   scripts/package.sh                 builds in build-pkg inside the checkout
#   ORVANTIS_PKG_BUILD=DIR scripts/package.sh
#
# Needs the build packages and dpkg-dev (scripts/install-deps.sh --test).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVANTIS_PKG_BUILD:-$here/build-pkg}

fail() {
  echo "package.sh: $*" >&2
  exit 1
}

for tool in cmake ninja cpack dpkg-shlibdeps dpkg-buildflags; do
  command -v "$tool" >/dev/null 2>&1 ||
    fail "$tool is missing; run scripts/install-deps.sh --test"
done

# Debian's hardening flags (fortified functions, stack protector, full
# RELRO with immediate binding), as its own packages are built with.
flags() { (cd "$here" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"); }
cxxflags="$(flags CPPFLAGS) $(flags CXXFLAGS)"
ldflags=$(flags LDFLAGS)

# Every option is named, so that a build folder configured otherwise before
# cannot slip tests, sanitizers or fuzzers into the package.
cmake -S "$here" -B "$build" -G Ninja \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
      -DORVANTIS_GUI=ON -DORVANTIS_TESTS=OFF -DORVANTIS_BENCH=OFF \
      -DORVANTIS_FUZZ=OFF -DORVANTIS_SANITIZE=OFF >&2 ||
  fail "configuring in $build failed"
cmake --build "$build" -j"$(nproc)" >&2 || fail "the build failed"

# A package left from an earlier version would make the result ambiguous.
rm -f "$build"/orvantis_*.deb
(cd "$build" && cpack -G DEB) >&2 || fail "cpack failed"

shopt -s nullglob
debs=("$build"/orvantis_*.deb)
[[ ${#debs[@]} -eq 1 ]] || fail "expected one orvantis_*.deb in $build, found ${#debs[@]}"
echo "${debs[0]}"
