#!/usr/bin/env bash
# Installs the Debian packages (Debian 12 or 13) that building, running and
# testing Orvantis need, and only those that are missing. Safe to run again;
# needs root (or sudo) only when something is actually missing.
#
#   scripts/install-deps.sh            build + run the window and the CLI
#   scripts/install-deps.sh --test     everything the full test suite needs
set -euo pipefail
source "$(dirname "$0")/lib/root.sh"

# Each entry is a package, or alternatives in Debian's dependency syntax
# ("a (>= 2) | b"): the first one installed, or else the first one apt
# offers, is taken, so that one list serves both releases without naming them.
build_pkgs=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins libxcb1-dev
  libfontconfig-dev
  # Qt's SVG image plug-in draws the pictures at sizes the build did not;
  # Debian 13 moved it out of libqt6svg6 into a package of its own.
  'qt6-svg-plugins | libqt6svg6 (<< 6.6)'
  # Liberation 2; fonts-liberation holds it from Debian 13 on, and
  # fonts-liberation2 became an empty transitional package there.
  fonts-dejavu-core 'fonts-liberation (>= 1:2) | fonts-liberation2'
  xdg-utils
)
test_pkgs=(
  libgtest-dev libgmock-dev libbenchmark-dev libxcb-damage0-dev
  xvfb xauth xdotool x11-utils openbox trayer poppler-utils
  xfce4-panel xfconf weston qt6-wayland
  dbus dbus-x11 at-spi2-core python3 python3-pyatspi
  clang libclang-rt-dev
  desktop-file-utils appstream dpkg-dev file
)

want=("${build_pkgs[@]}")
if [[ "${1:-}" == "--test" ]]; then
  want+=("${test_pkgs[@]}")
fi

# The first alternative of dependency $2 that is installed ($1 = installed)
# or that apt can install ($1 = candidate), in the version asked for.
satisfier() {
  local alts alt name op version have
  IFS='|' read -ra alts <<<"$2"
  for alt in "${alts[@]}"; do
    read -r name op version <<<"${alt//[()]/ }"
    if [[ $1 == installed ]]; then
      have=$(dpkg-query -W -f='${Status} ${Version}' "$name" 2>/dev/null) || continue
      [[ $have == "install ok installed "* ]] || continue
      have=${have##* }
    else
      have=$(apt-cache policy "$name" 2>/dev/null | awk '$1 == "Candidate:" { print $2 }')
      [[ -n $have && $have != "(none)" ]] || continue
    fi
    [[ -z $op ]] || dpkg --compare-versions "$have" "$op" "$version" || continue
    echo "$name"
    return 0
  done
  return 1
}

missing=()
for dep in "${want[@]}"; do
  satisfier installed "$dep" >/dev/null || missing+=("$dep")
done

[[ ${#missing[@]} -gt 0 ]] || exit 0

need_root "installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
names=()
for dep in "${missing[@]}"; do
  name=$(satisfier candidate "$dep") || { echo "install-deps.sh: apt offers none of: $dep" >&2; exit 1; }
  names+=("$name")
done
echo "Installing: ${names[*]}"
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${names[@]}"
