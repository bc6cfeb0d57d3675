#!/bin/sh
# A test prefix like the shared one (tests/wine/prefix.sh up), with its screen at another dpi.
#
#   dpi-prefix.sh <prefix-dir> <state-dir> <dpi>
#
# Programs read the dpi as they start, so it is set before prefix.sh up starts the prefix's
# resident server and services afresh. Stop it with prefix.sh stop.
set -eu

[ $# -eq 3 ] || { echo "usage: dpi-prefix.sh <prefix-dir> <state-dir> <dpi>" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
prefix_sh="$here/../prefix.sh"
wine=${WINE:-/usr/lib/wine/wine64}

DISPLAY=$(sh "$prefix_sh" display "$2")
export DISPLAY
sh "$prefix_sh" create "$1"
# prefix.sh adds PD_WINE_SUFFIX to the folders it is given; the calls below name the prefix here.
prefix=$(cd "$1${PD_WINE_SUFFIX:-}" && pwd)
WINEPREFIX=$prefix WINEDEBUG=-all \
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$3" /f \
  </dev/null >/dev/null 2>&1
# Let the server end on its own, writing the registry out, before up starts a new one.
WINEPREFIX=$prefix "$(dirname "$wine")/wineserver" -w
sh "$prefix_sh" up "$1" "$2"
echo "screen at $3 dpi"
