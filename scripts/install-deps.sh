#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Orvantis
# need, and only those that are missing. Safe to run again; needs root (or
# sudo) only when something is actually missing.
#
#   scripts/install-deps.sh            build + run the window and the CLI
#   scripts/install-deps.sh --test     everything the full test suite needs
set -euo pipefail

build_pkgs=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-qpa-plugins libqt6svg6 libxcb1-dev
  libfontconfig-dev
  fonts-dejavu-core fonts-liberation2
  xdg-utils
)
test_pkgs=(
  libgtest-dev libgmock-dev libbenchmark-dev libxcb-damage0-dev
  xvfb xauth xdotool x11-utils openbox trayer poppler-utils
  xfce4-panel xfconf weston qt6-wayland
  dbus dbus-x11 at-spi2-core python3 python3-pyatspi
  clang libclang-rt-14-dev
  desktop-file-utils appstream dpkg-dev file
  nodejs
)

want=("${build_pkgs[@]}")
if [[ "${1:-}" == "--test" ]]; then
  want+=("${test_pkgs[@]}")
fi

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# The machine image may bring Node.js with its own npm; Debian's npm package
# would conflict with that, so only ask for it when the command is absent.
if [[ "${1:-}" == "--test" ]] && ! command -v npm >/dev/null 2>&1; then
  missing+=(npm)
fi

if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=()
if [[ $(id -u) -ne 0 ]]; then
  SUDO=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
