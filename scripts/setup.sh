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
echo "setup: all tools present"
