# Shared by the scripts that keep a Wine in a Debian chroot (wine32.sh, wine10.sh); sourced after
# they define die().

# Runs a command in the chroot with /proc and /dev, in a mount namespace of its own.
in_root() {
  unshare -m sh -c 'mount -t proc proc "$0/proc" && mount --rbind /dev "$0/dev" &&
    exec chroot "$0" "$@"' "$1" "${@:2}"
}

# The Debian mirror this machine's own apt sources name, read at run time so that no project file
# names one.
debian_mirror() {
  local host_suite mirror
  command -v debootstrap >/dev/null || die "debootstrap missing (bash scripts/setup.sh installs it)"
  host_suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  mirror=$(apt-cache policy | awk -v want="$host_suite/main" '$3 == want { print $2; exit }')
  [ -n "$mirror" ] ||
    die "no '$host_suite main' source in this machine's apt sources (apt-get update?)"
  echo "$mirror"
}

# Clears the folder a new chroot is made in, unless something is still mounted there.
clear_new_root() {
  grep -q " $1/" /proc/mounts && die "something is still mounted under $1"
  rm -rf "$1"
}
