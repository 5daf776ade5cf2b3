# Sourced by scripts/test-on-release.sh: a Debian root of any release made
# with debootstrap, entered with chroot, and left again with nothing of it
# running or mounted.

# The archive this machine's apt installs its own release from: the first
# URI of a "deb" entry for the release's code name, in deb822 form
# (sources.list.d/*.sources) or one-line form (sources.list, *.list).
host_archive() {
  local codename file files=()
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [[ ! -f $file ]] || files+=("$file")
  done
  ((${#files[@]})) || files=(/dev/null)
  awk -v want="$codename" '
    function stanza() {
      if (!found && types ~ /(^| )deb( |$)/ && enabled != "no" && (" " suites " ") ~ (" " want " ")) {
        split(uris, u, " "); print u[1]; found = 1
      }
      types = uris = suites = enabled = ""
    }
    FNR == 1 { stanza() }
    /^[ \t]*#/ { next }
    FILENAME !~ /\.sources$/ {
      line = $0; gsub(/\[[^]]*\]/, "", line); split(line, f, " ")
      if (!found && f[1] == "deb" && f[3] == want) { print f[2]; found = 1 }
      next
    }
    NF == 0 { stanza(); next }
    { key = tolower($1); value = $0; sub(/^[^:]*:[ \t]*/, "", value) }
    key == "types:" { types = value }
    key == "uris:" { uris = value }
    key == "suites:" { suites = value }
    key == "enabled:" { enabled = tolower(value) }
    END { stanza() }
  ' "${files[@]}" | grep -m 1 . ||
    { echo "no archive for ${codename:-this release} in /etc/apt/sources*" >&2; return 1; }
}

# The mounts a test run needs: the kernel's views and the host's devices.
# Slave propagation keeps whatever is mounted inside from reaching the host.
root_mount() {
  local root=$1 dir
  mount -t proc proc "$root/proc"
  for dir in sys dev dev/pts dev/shm; do
    mount --bind "/$dir" "$root/$dir"
    mount --make-rslave "$root/$dir"
  done
}

# Ends every process whose root is ROOT (the tests' own, and the X servers
# and buses they may leave) and unmounts everything under it, deepest first,
# including what the tests mounted themselves. Safe to call any number of times.
root_cleanup() {
  local root=$1 round proc at pids mounts
  for round in 1 2 3 4 5 6 7 8; do
    pids=()
    for proc in /proc/[0-9]*; do
      at=$(readlink "$proc/root" 2>/dev/null) || continue
      [[ $at != "$root" && $at != "$root"/* ]] || pids+=("${proc#/proc/}")
    done
    ((${#pids[@]})) || break
    kill -s "$( ((round < 5)) && echo TERM || echo KILL)" "${pids[@]}" 2>/dev/null || true
    sleep 0.5
  done
  for round in 1 2 3 4; do
    mapfile -t mounts < <(findmnt -rn -o TARGET | awk -v r="$root" '$0 == r || index($0, r "/") == 1' | sort -r)
    ((${#mounts[@]})) || return 0
    # Still busy after two rounds: detached now, freed when its last user goes.
    umount $( ((round > 2)) && echo -l) "${mounts[@]}" 2>/dev/null || true
  done
  echo "still mounted: ${mounts[*]}" >&2
  return 1
}

# Removes what an earlier run left at ROOT (minutes for a root with its
# builds, hence through root_wait); never crosses into a file system that is
# still mounted there.
root_remove() {
  root_cleanup "$1" && root_wait rm -rf --one-file-system "$1"
}

# Keeps a second run from using the folder DIR meanwhile; the lock is not
# handed on to the commands root_wait starts, so that one left running after
# a kill -9 of this shell does not hold it.
root_lock() {
  exec {ROOT_LOCK}>"$1/.lock"
  flock -n "$ROOT_LOCK"
}

# Runs a command as a new session in the background and waits for it, so
# that a signal reaches this shell's trap at once, and the trap can end the
# command's whole group (ROOT_CHILD).
ROOT_CHILD=
root_wait() {
  local status=0
  setsid "$@" {ROOT_LOCK}>&- &
  ROOT_CHILD=$!
  wait "$ROOT_CHILD" || status=$?
  ROOT_CHILD=
  return "$status"
}

# Runs a command inside ROOT as a fresh login would see it: no variables of
# this shell's but those named in ROOT_PASS.
in_root() {
  local root=$1 var env=(PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8)
  shift
  for var in ${ROOT_PASS:-}; do
    [[ -z ${!var+set} ]] || env+=("$var=${!var}")
  done
  root_wait env -i "${env[@]}" chroot "$root" "$@"
}
