#!/bin/bash
# Sets up Wine 10 for a second run of the x86-64 Windows tests (run as root; safe to run again,
# quick once done). Wine 10 comes from Debian 13 (trixie) and lives in a Debian chroot
# (PD_WINE10_ROOT, default /var/cache/printerdefaults/wine10) so that the host's Wine 8 stays as
# it is; cmake/wine10/wine runs it there. The chroot is made from the Debian mirror this
# machine's apt sources name, and made again when the package list below changes.
set -euo pipefail
root=${PD_WINE10_ROOT:-/var/cache/printerdefaults/wine10}
here=$(cd "$(dirname "$0")/.." && pwd)
suite=trixie
# 64-bit Wine only (Debian 13's wine64 has no 32-bit side; the tests run 64-bit programs), the
# raster fonts the test prefixes copy, and the X libraries Wine would take through recommends,
# so that it draws as the host's does. The host's Xvfb serves it.
packages="wine wine64 locales fonts-wine fonts-liberation fonts-wqy-zenhei
  libxrender1 libxrandr2 libxcursor1 libxi6 libxcomposite1 libxinerama1 libxxf86vm1 libxfixes3"

die() {
  echo "wine10: $*" >&2
  exit 1
}
[ "$(id -u)" -eq 0 ] || die "needs root (chroot and mounts)"

. "$here/scripts/chroot-common.sh"

make_root() {
  local new=$root.new mirror
  mirror=$(debian_mirror)
  clear_new_root "$new"
  echo "wine10: creating $root from $mirror ($suite)"
  debootstrap --variant=minbase --arch=amd64 "$suite" "$new" "$mirror" \
    >/tmp/wine10-debootstrap.log 2>&1 || die "debootstrap failed; see /tmp/wine10-debootstrap.log"
  printf '%s UTF-8\n' en_US.UTF-8 zh_CN.UTF-8 zh_TW.UTF-8 >"$new/etc/locale.gen"
  in_root "$new" sh -ec '
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends $1
    apt-get clean
    locale-gen' sh "$packages" >/tmp/wine10-packages.log 2>&1 ||
    die "installing into $new failed; see /tmp/wine10-packages.log"
  echo "$packages" >"$new/.pd-packages"
  rm -rf "$root"
  mv "$new" "$root"
}

[ "$(cat "$root/.pd-packages" 2>/dev/null)" = "$packages" ] || make_root
version=$("$here/cmake/wine10/wine" --version 2>&1) || die "Wine 10 does not start: $version"
echo "wine10: $version ready in $root"
