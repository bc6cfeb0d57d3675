#!/bin/bash
# Sets up 32-bit Wine for the i686 tests (run as root; safe to run again, quick once done).
# This machine runs no 32-bit code natively, so i386 programs go through qemu-user (8 or later)
# registered with binfmt_misc. Wine 32 lives in a Debian chroot (PD_WINE32_ROOT, default
# /var/cache/printerdefaults/wine32) so that the host's 64-bit Wine stays as it is;
# cmake/wine32/wine runs it there. The chroot is made once per machine from the Debian mirror
# this machine's apt sources name; the emulator is registered only when no suitable one is.
set -euo pipefail
root=${PD_WINE32_ROOT:-/var/cache/printerdefaults/wine32}
here=$(cd "$(dirname "$0")/.." && pwd)
binfmt=/proc/sys/fs/binfmt_misc
entry=pd-qemu-i386
# The X libraries Wine would take through recommends, so that it draws as the host's does.
packages="wine wine32 wine64 libwine:i386 locales fonts-wine fonts-liberation fonts-wqy-zenhei
  libxrender1:i386 libxrandr2:i386 libxcursor1:i386 libxi6:i386 libxcomposite1:i386
  libxinerama1:i386 libxxf86vm1:i386 libxfixes3:i386"

die() {
  echo "wine32: $*" >&2
  exit 1
}
[ "$(id -u)" -eq 0 ] || die "needs root (chroot, mounts and binfmt_misc)"

. "$here/scripts/chroot-common.sh"

make_root() {
  local new=$root.new suite mirror
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  mirror=$(debian_mirror)
  clear_new_root "$new"
  echo "wine32: creating $root from $mirror ($suite)"
  debootstrap --variant=minbase --arch=amd64 "$suite" "$new" "$mirror" \
    >/tmp/wine32-debootstrap.log 2>&1 || die "debootstrap failed; see /tmp/wine32-debootstrap.log"
  echo "deb $mirror $suite-backports main" >"$new/etc/apt/sources.list.d/backports.list"
  printf '%s UTF-8\n' en_US.UTF-8 zh_CN.UTF-8 zh_TW.UTF-8 >"$new/etc/locale.gen"
  in_root "$new" sh -ec '
    export DEBIAN_FRONTEND=noninteractive
    dpkg --add-architecture i386
    apt-get update -q
    apt-get install -y -q --no-install-recommends $1
    apt-get install -y -q --no-install-recommends -t $2-backports qemu-user-static
    apt-get clean
    locale-gen' sh "$packages" "$suite" >/tmp/wine32-packages.log 2>&1 ||
    die "installing into $new failed; see /tmp/wine32-packages.log"
  echo "$packages" >"$new/.pd-packages"
  rm -rf "$root"
  mv "$new" "$root"
}

# A registered i386 handler is suitable when it is enabled, opened at registration (F, so it
# works inside the chroot) and qemu 8 or later: older ones take about a minute per Wine process.
suitable() {
  local file=$1 qemu version
  grep -qx enabled "$file" && grep -q '^flags: .*F' "$file" || return 1
  qemu=$(sed -n 's/^interpreter //p' "$file")
  version=$("$(readlink -f "$qemu")" --version 2>/dev/null |
    sed -n 's/.*version \([0-9]*\)\..*/\1/p')
  [ "${version:-0}" -ge 8 ]
}

register() {
  [ -e $binfmt/register ] || mount -t binfmt_misc binfmt_misc $binfmt ||
    die "cannot mount binfmt_misc"
  local file
  for file in $binfmt/*; do
    # i386 ELF executables: e_ident class 1, data 1; e_machine 3.
    grep -Eq '^magic 7f454c460101.{24}0300' "$file" 2>/dev/null || continue
    if suitable "$file"; then
      echo "wine32: i386 programs run through $(sed -n 's/^interpreter //p' "$file")"
      return
    fi
    if grep -qx enabled "$file"; then
      echo "wine32: disabling the unsuitable i386 handler $file"
      echo 0 >"$file"
    fi
  done
  [ -e "$binfmt/$entry" ] && echo -1 >"$binfmt/$entry"
  # The kernel reads the \x escapes.
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":$entry:M::$magic:$mask:$root/usr/bin/qemu-i386-static:F" >$binfmt/register ||
    die "cannot register qemu-i386 with binfmt_misc"
  echo "wine32: registered $root/usr/bin/qemu-i386-static for i386 programs"
}

[ "$(cat "$root/.pd-packages" 2>/dev/null)" = "$packages" ] || make_root
register
version=$("$here/cmake/wine32/wine" --version 2>&1) ||
  die "32-bit Wine does not start under emulation: $version"
echo "wine32: $version (32-bit, emulated) ready in $root"
