#!/usr/bin/env bash
# Checks the Debian package as installed: builds it (scripts/package.sh), or
# packs it from the build folder given (made for /usr), installs it with
# apt-get, checks where its files landed - the program with
# its help file beside it, the link in /usr/bin, the desktop entry, the icons,
# the manual pages - runs the installed orvantis-calc, and purges the package
# again, together with anything its installation pulled in. (The desktop
# entry and the metainfo are validated by ctest, label packaging.)
#
# Runs as root, or through sudo, on Debian 12 or 13; installs what is missing with
# scripts/install-deps.sh --test first. Leaves the machine as it found it:
# refuses to run when orvantis is installed already, and removes exactly the
# packages it installed. Exits non-zero with a FAIL: line on the first problem.
#
#   scripts/check-package.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/lib/root.sh"

app_id=io.github.orvantis.Orvantis

need_root "installing the package"
export DEBIAN_FRONTEND=noninteractive

work=$(mktemp -d)
new_packages=()

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

installed_packages() {
  dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' | awk '$1 == "ii" { print $2 }' | sort
}

remove_new_packages() {
  [[ ${#new_packages[@]} -gt 0 ]] || return 0
  echo "== removing ${new_packages[*]}"
  "${SUDO[@]}" apt-get purge -y -qq "${new_packages[@]}" >"$work/remove.log" 2>&1 || {
    cat "$work/remove.log" >&2
    return 1
  }
  new_packages=()
}

cleanup() {
  local status=$?
  remove_new_packages || status=1
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT

"$here/scripts/install-deps.sh" --test
! dpkg-query -W -f='${Status}' orvantis 2>/dev/null | grep -q 'install ok installed' ||
  fail "orvantis is installed already; this check installs and removes it, so remove it first"

echo "== building the package"
if [[ -n ${1:-} ]]; then
  # Packed from a build folder made for /usr (scripts/test.sh's), without a
  # second build: the installed layout does not depend on how it was built.
  rm -f "$1"/orvantis_*.deb
  (cd "$1" && cpack -G DEB) >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack failed in $1"; }
  deb=$(realpath "$1"/orvantis_*.deb)
else
  deb=$("$here/scripts/package.sh") || fail "scripts/package.sh failed"
fi
echo "$deb"

# Qt loads its SVG image plug-in at run time, unseen by dpkg-shlibdeps; the
# package that holds it differs between releases.
svg_holder=$(dpkg -S "qt6/plugins/imageformats/libqsvg.so" | cut -d: -f1)
dpkg-deb -f "$deb" Depends | grep -qw -- "$svg_holder" ||
  fail "$deb does not depend on $svg_holder, which holds Qt's SVG image plug-in here"

echo "== installing it"
installed_packages >"$work/before"
# Without recommendations: what Depends names has to be enough to run.
status=0
"${SUDO[@]}" apt-get install -y -q --no-install-recommends "$deb" >"$work/install.log" 2>&1 ||
  status=$?
mapfile -t new_packages < <(installed_packages | comm -13 "$work/before" -)
((status == 0)) || { cat "$work/install.log" >&2; fail "apt-get could not install $deb"; }
echo "installed: ${new_packages[*]}"

echo "== checking the installed files"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
program=/usr/lib/$multiarch/orvantis/orvantis
[[ -x $program && -x /usr/bin/orvantis-calc ]] || fail "no $program or /usr/bin/orvantis-calc"
[[ $(readlink /usr/bin/orvantis) == "../lib/$multiarch/orvantis/orvantis" ]] ||
  fail "/usr/bin/orvantis is not a relative link to $program"
# The help file and print module beside the program; the desktop entry,
# metadata and icon.
for path in "${program%/*}/Orvantis.hlp" "${program%/*}/orvantis-print.so" \
  "/usr/share/applications/$app_id.desktop" "/usr/share/metainfo/$app_id.metainfo.xml" \
  "/usr/share/icons/hicolor/scalable/apps/$app_id.svg"; do
  [[ -f $path ]] || fail "no file $path"
done
for size in 16 32 48 64 128 256; do
  png=/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  file "$png" | grep -q "PNG image data, $size x $size," || fail "no $size pixel PNG icon at $png"
done
for page in orvantis orvantis-calc; do
  gzip -t "/usr/share/man/man1/$page.1.gz" 2>/dev/null || fail "no manual page $page(1)"
done

echo "== running the installed orvantis-calc"
# What it prints is the built program's, checked by tests/cli: here only
# that it runs as installed.
/usr/bin/orvantis-calc destiny 1970-03-05 >"$work/calc.out" 2>&1 ||
  fail "orvantis-calc destiny 1970-03-05 failed: $(cat "$work/calc.out")"

echo "== removing the package"
remove_new_packages || fail "apt-get could not remove the package"
echo "PASS: $deb installs, runs and purges cleanly"
