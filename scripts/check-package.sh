#!/usr/bin/env bash
# End-to-end check of the Debian package: builds it (scripts/package.sh),
# checks its contents and desktop files, installs it with apt-get, runs the
# installed programs - the window on a private X server, with Help opened
# through the menu, and orvantis-calc - and removes the package again,
# together with anything its installation pulled in.
#
# Runs as root, or through sudo, on Debian 12; installs what is missing with
# scripts/install-deps.sh --test first. Leaves the machine as it found it:
# refuses to run when orvantis is installed already, and removes exactly the
# packages it installed. Exits non-zero with a FAIL: line on the first problem.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

app_id=io.github.orvantis.Orvantis
main_title='Orvantis - Lumevarre'
help_title='Orvantis Help'
icon_sizes=(16 32 48 64 128 256)
# The system interpreter: the AT-SPI bindings are a Debian package, which a
# python3 first on PATH (pyenv, a virtualenv) would not see.
python=/usr/bin/python3

SUDO=()
if [[ $(id -u) -ne 0 ]]; then
  SUDO=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive

work=$(mktemp -d)
new_packages=()
xvfb_pid=
dbus_pid=
app_pid=

step() { echo "== $*"; }

fail() {
  echo "FAIL: $*" >&2
  if [[ -s $work/app.log ]]; then
    sed 's/^/  orvantis: /' "$work/app.log" >&2
  fi
  exit 1
}

stop() { # pid: ends a process this script started, and waits for it
  [[ -n $1 ]] || return 0
  kill "$1" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "$1" 2>/dev/null || true
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
  stop "$app_pid"
  stop "$dbus_pid"
  stop "$xvfb_pid"
  remove_new_packages || status=1
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT

"$here/scripts/install-deps.sh" --test
for tool in apt-get dpkg-deb dpkg-architecture desktop-file-validate appstreamcli \
            Xvfb xdotool dbus-daemon file gzip "$python"; do
  command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing, though scripts/install-deps.sh --test should have installed it"
done
"$python" -c 'import pyatspi' 2>/dev/null ||
  fail "the AT-SPI bindings are missing (python3-pyatspi, from scripts/install-deps.sh --test)"
if dpkg-query -W -f='${Status}' orvantis 2>/dev/null | grep -q 'install ok installed'; then
  fail "orvantis is installed already; this check installs and removes it, so remove it first"
fi

# ------------------------------------------------------------------ build
step "building the package"
deb=$("$here/scripts/package.sh") || fail "scripts/package.sh failed"
[[ -f $deb ]] || fail "scripts/package.sh named '$deb', which is not a file"
echo "$deb"

# --------------------------------------------------------------- contents
step "checking the package contents"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
progdir=usr/lib/$multiarch/orvantis
root=$work/root
dpkg-deb -x "$deb" "$root" || fail "cannot unpack $deb"

[[ $(dpkg-deb -f "$deb" Package) == orvantis ]] || fail "the package is not named orvantis"
[[ $(dpkg-deb -f "$deb" Section) == utils ]] || fail "the package is not in section utils"
depends=$(dpkg-deb -f "$deb" Depends)
for dep in xdg-utils qt6-qpa-plugins libqt6svg6 libqt6widgets6; do
  [[ ", $depends," == *", $dep"[\ ,]* ]] || fail "Depends lacks $dep: $depends"
done

strays=$(cd "$root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[[ -z $strays ]] || fail "the package installs outside /usr: $strays"

check_file() { # path-in-package description
  [[ -f $root/$1 && ! -L $root/$1 ]] || fail "the package has no $2 at /$1"
}
check_file "$progdir/orvantis" "program"
check_file "$progdir/Orvantis.hlp" "help file beside the program"
check_file usr/bin/orvantis-calc "orvantis-calc"
check_file usr/share/man/man1/orvantis.1.gz "manual page of orvantis"
check_file usr/share/man/man1/orvantis-calc.1.gz "manual page of orvantis-calc"
check_file "usr/share/applications/$app_id.desktop" "desktop entry"
check_file "usr/share/metainfo/$app_id.metainfo.xml" "AppStream metainfo"
check_file "usr/share/icons/hicolor/scalable/apps/$app_id.svg" "scalable icon"
check_file usr/share/doc/orvantis/copyright "copyright file"
[[ -x $root/$progdir/orvantis && -x $root/usr/bin/orvantis-calc ]] ||
  fail "the programs are not executable"
gzip -t "$root"/usr/share/man/man1/orvantis*.1.gz || fail "a manual page is not valid gzip"
for size in "${icon_sizes[@]}"; do
  png=usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  check_file "$png" "${size} pixel icon"
  file "$root/$png" | grep -q "PNG image data, $size x $size," ||
    fail "/$png is not a $size x $size PNG: $(file -b "$root/$png")"
done
link=$(readlink "$root/usr/bin/orvantis") || fail "/usr/bin/orvantis is not a symbolic link"
[[ $link == "../lib/$multiarch/orvantis/orvantis" ]] ||
  fail "/usr/bin/orvantis points to '$link', not to ../lib/$multiarch/orvantis/orvantis"

step "validating the desktop entry and the metainfo"
desktop_file=$root/usr/share/applications/$app_id.desktop
desktop-file-validate "$desktop_file" || fail "desktop-file-validate rejects the desktop entry"
# The whole tree: the metainfo, and the desktop entry and icon it points to.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli rejects the metainfo"
grep -qx "Icon=$app_id" "$desktop_file" || fail "the desktop entry does not name the icon $app_id"
grep -qx "Exec=orvantis" "$desktop_file" || fail "the desktop entry does not start orvantis"
version=$(dpkg-deb -f "$deb" Version)
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "the metainfo lists no release $version"
first=$(zcat "$root/usr/share/doc/orvantis/changelog.gz" | sed -n 1p)
[[ $first == "orvantis ($version)"* ]] || fail "the change log does not begin with version $version"

# ---------------------------------------------------------------- install
step "installing the package"
installed_packages >"$work/before"
# Without recommendations: what Depends names has to be enough to run.
if ! "${SUDO[@]}" apt-get install -y -q --no-install-recommends "$deb" >"$work/install.log" 2>&1; then
  mapfile -t new_packages < <(installed_packages | comm -13 "$work/before" -)
  cat "$work/install.log" >&2
  fail "apt-get could not install $deb"
fi
mapfile -t new_packages < <(installed_packages | comm -13 "$work/before" -)
echo "installed: ${new_packages[*]}"

program=/usr/lib/$multiarch/orvantis/orvantis
[[ $(readlink -f /usr/bin/orvantis) == "$program" ]] ||
  fail "/usr/bin/orvantis does not lead to $program"
[[ -f ${program%/*}/Orvantis.hlp ]] || fail "the help file is not installed beside $program"

# ------------------------------------------------------------------- CLI
step "running the installed orvantis-calc"
/usr/bin/orvantis-calc destiny 1970-03-05 >"$work/calc.out" 2>"$work/calc.err" ||
  fail "orvantis-calc destiny 1970-03-05 failed: $(cat "$work/calc.err")"
want=$'\r\nDestiny Number:7\r\n'
printf '%s' "$want" >"$work/calc.want"
cmp -s -n "${#want}" "$work/calc.want" "$work/calc.out" ||
  fail "orvantis-calc destiny 1970-03-05 does not begin with CR LF 'Destiny Number:7' CR LF:" \
       "$(head -c 40 "$work/calc.out" | od -An -c | tr -s ' \n' ' ')"

# ---------------------------------------------------------------- window
step "starting the installed orvantis on a private X server"
source "$(dirname "${BASH_SOURCE[0]}")/lib/xvfb.sh"
start_xvfb "$work" || { xvfb_pid=$XVFB_PID; fail "no X server"; }
xvfb_pid=$XVFB_PID

export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

# A private session bus, through which the accessibility bus starts on
# demand: the help window's text is read from there.
dbus-daemon --session --fork --nopidfile --print-address=3 --print-pid=4 \
  3>"$work/dbus.address" 4>"$work/dbus.pid" || fail "cannot start a session bus"
dbus_pid=$(head -n1 "$work/dbus.pid")
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/dbus.address")
export DBUS_SESSION_BUS_ADDRESS
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

/usr/bin/orvantis >"$work/app.log" 2>&1 &
app_pid=$!

main=$(timeout 20 xdotool search --sync --onlyvisible --name "^$main_title\$" | head -n1) ||
  fail "no window titled '$main_title' within 20 s"
kill -0 "$app_pid" 2>/dev/null || fail "orvantis ended on its own"
echo "main window $main"

step "opening Help from the menu"
help=
for attempt in 1 2 3; do
  xdotool windowfocus --sync "$main" 2>/dev/null || true
  xdotool key --clearmodifiers alt+h
  sleep 0.5
  xdotool key e
  if help=$(timeout 5 xdotool search --sync --onlyvisible --name "^$help_title\$" | head -n1); then
    break
  fi
  help=
  xdotool key Escape Escape # close a menu left open before trying again
done
[[ -n $help ]] || fail "Alt+H, E opened no window titled '$help_title'"
echo "help window $help"

# The help window shows either the file or a "could not be opened" note
# under the same title; only its text tells them apart.
timeout 30 "$python" - "$help_title" >"$work/help.txt" 2>"$work/help.err" <<'PY' ||
import sys
import time

import pyatspi

title = sys.argv[1]

def texts(node, depth=0):
    if node is None or depth > 25:
        return
    try:
        text = node.queryText()
        yield text.getText(0, text.characterCount)
    except NotImplementedError:
        pass
    for i in range(node.childCount):
        yield from texts(node.getChildAtIndex(i), depth + 1)

def find(node, depth=0):
    if node is None or depth > 4:
        return None
    if node.name == title and node.getRole() != pyatspi.ROLE_APPLICATION:
        return node
    for i in range(node.childCount):
        found = find(node.getChildAtIndex(i), depth + 1)
        if found is not None:
            return found
    return None

deadline = time.monotonic() + 20
while True:
    for app in pyatspi.Registry.getDesktop(0):
        window = find(app)
        if window is not None:
            shown = "\n".join(t for t in texts(window) if t)
            if shown:
                print(shown)
                sys.exit(0)
    if time.monotonic() > deadline:
        sys.exit("no accessible window '%s' with text" % title)
    time.sleep(0.5)
PY
  fail "cannot read the help window's text over AT-SPI: $(cat "$work/help.err")"
if grep -q "could not be opened" "$work/help.txt"; then
  fail "the help window reports: $(head -n1 "$work/help.txt")"
fi
grep -q "Contents" "$work/help.txt" && grep -q "orvantis-calc" "$work/help.txt" ||
  fail "the help window does not show the help file: $(head -c 200 "$work/help.txt")"
echo "help shows: $(head -n1 "$work/help.txt")"
kill -0 "$app_pid" 2>/dev/null || fail "orvantis ended after Help was opened"

stop "$app_pid"
app_pid=

# ----------------------------------------------------------------- remove
step "removing the package"
remove_new_packages || fail "apt-get could not remove the package"
if dpkg-query -W -f='${Status}' orvantis 2>/dev/null | grep -q 'install ok installed'; then
  fail "orvantis is still installed"
fi
[[ ! -e /usr/bin/orvantis && ! -e $program ]] || fail "the package left its programs behind"
echo "PASS: $deb builds, installs, runs and removes cleanly"
