# Sourced by the scripts that change the system's packages.
#
# need_root WHAT: sets SUDO to what runs a command as root (nothing as root,
# else sudo); without sudo says in one line what to do and exits 1.
need_root() {
  SUDO=()
  [[ $(id -u) -ne 0 ]] || return 0
  if ! command -v sudo >/dev/null 2>&1; then
    echo "${0##*/}: $1 needs root: run it as root, or install sudo" >&2
    exit 1
  fi
  SUDO=(sudo)
}
