#!/bin/sh
# A test prefix like the shared one (tests/wine/prefix.sh up) whose screen takes other dpi
# settings in turn.
#
#   dpi-prefix.sh up <prefix-dir> <state-dir> <dpi>
#       Creates and starts the prefix with its screen at <dpi>. Stop it with prefix.sh stop.
#   dpi-prefix.sh set <prefix-dir> <state-dir> <dpi>
#       Puts the started prefix's screen at <dpi> and starts the prefix afresh: programs read it
#       as they start, and the desktop would otherwise go on telling others the old one.
set -eu

[ $# -eq 4 ] || { echo "usage: dpi-prefix.sh up|set <prefix-dir> <state-dir> <dpi>" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
prefix_sh="$here/../prefix.sh"
wine=${WINE:-/usr/lib/wine/wine64}

DISPLAY=$(sh "$prefix_sh" display "$3")
export DISPLAY
if [ "$1" = up ]; then
  # A resident server left from an earlier up would keep the wait below from ever ending.
  sh "$prefix_sh" stop "$2"
  sh "$prefix_sh" create "$2"
fi
# prefix.sh adds PD_WINE_SUFFIX to the folders it is given; the calls below name the prefix here.
prefix=$(cd "$2${PD_WINE_SUFFIX:-}" && pwd)
WINEPREFIX=$prefix WINEDEBUG=-all \
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$4" /f \
  </dev/null >/dev/null 2>&1
# Let a server started for this end on its own, writing the registry out, before up starts a
# new one; a resident one writes it as up stops it.
[ "$1" = set ] || WINEPREFIX=$prefix "$(dirname "$wine")/wineserver" -w
sh "$prefix_sh" up "$2" "$3"
echo "screen at $4 dpi"
