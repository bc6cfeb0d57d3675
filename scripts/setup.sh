#!/bin/bash
# Installs everything the builds and tests need on Debian 12 (run as root). Safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64
  wine wine64 fonts-wine xvfb xdotool x11-utils imagemagick fonts-wqy-zenhei locales debootstrap
  fonts-open-sans fonts-noto-cjk  # stand-ins for Windows' dialog fonts in the test prefixes
  clang clang-tidy clang-format cppcheck libclang-rt-14-dev
  softhsm2 libengine-pkcs11-openssl  # a throwaway hardware token for the signing tests
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages (${missing[*]}); run this as root" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q "${missing[@]}"
fi

# Wine takes the user's language from the Unix locale, and only from a generated one.
wanted=(en_US.UTF-8 zh_CN.UTF-8 zh_TW.UTF-8)
have=$(locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | sed 's/utf-8/utf8/')
for loc in "${wanted[@]}"; do
  key=$(echo "$loc" | tr '[:upper:]' '[:lower:]' | sed 's/utf-8/utf8/')
  if ! grep -qx "$key" <<<"$have"; then
    if [ "$(id -u)" -ne 0 ]; then
      echo "setup: locale $loc missing; run this as root" >&2
      exit 1
    fi
    sed -i "s/^# *\($loc UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$loc UTF-8" /etc/locale.gen || echo "$loc UTF-8" >>/etc/locale.gen
    regenerate=1
  fi
done
if [ "${regenerate:-0}" = 1 ]; then locale-gen >/dev/null; fi

# Signing needs osslsigncode 2.9 or later (built-in time-stamping authority, -login, -readpass);
# Debian 12 has 2.5, its backports 2.9. The backports source is named for this install only, from
# the mirror this machine's apt sources name, so that nothing else is upgraded from it.
osslsigncode_version() {
  osslsigncode --version 2>/dev/null | sed -n '1s/^osslsigncode \([0-9.]*\).*/\1/p'
}
if ! dpkg --compare-versions "$(osslsigncode_version)" ge 2.9 2>/dev/null; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: osslsigncode 2.9 or later missing; run this as root" >&2
    exit 1
  fi
  die() {
    echo "setup: $*" >&2
    exit 1
  }
  . "$(dirname "$0")/chroot-common.sh"
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  mirror=$(debian_mirror)
  sources=$(mktemp -d /tmp/pd-apt.XXXXXX)
  trap 'rm -rf "$sources"' EXIT
  mkdir "$sources/parts"
  printf 'deb %s %s main\ndeb %s %s-backports main\n' "$mirror" "$suite" "$mirror" "$suite" \
    >"$sources/backports.list"
  apt_backports=(-o Dir::Etc::SourceList="$sources/backports.list"
    -o Dir::Etc::SourceParts="$sources/parts" -o APT::Get::List-Cleanup=0)
  export DEBIAN_FRONTEND=noninteractive
  apt-get "${apt_backports[@]}" update -q
  apt-get "${apt_backports[@]}" install -y -q -t "$suite-backports" osslsigncode
  dpkg --compare-versions "$(osslsigncode_version)" ge 2.9 ||
    die "osslsigncode is still older than 2.9 after installing it from $suite-backports"
fi
echo "setup: all tools present"
