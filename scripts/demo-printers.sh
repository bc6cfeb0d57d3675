#!/bin/bash
# Changes the demo printers of the prefix that scripts/run.sh uses, also while its window is open:
# the window's list follows within a second.
#
#   bash scripts/demo-printers.sh add "Kelvo LP-3"        a printer (Wine PostScript Driver, FILE:)
#   bash scripts/demo-printers.sh offline "Kelvo LP-1"    take it offline: it leaves the list
#   bash scripts/demo-printers.sh online "Kelvo LP-1"     back online: it returns
#   bash scripts/demo-printers.sh remove "Kelvo LP-3"
#   bash scripts/demo-printers.sh list                    name, attributes, stored paper size
#   bash scripts/demo-printers.sh show "Kelvo LP-1"       the stored record, key=value
#   bash scripts/demo-printers.sh reset                   the demo set run.sh starts with
#
# add, remove, offline and online take several names. Only printers whose name begins with
# "Kelvo" and that are online are listed in the window. PD_BUILD_DIR as for run.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${PD_BUILD_DIR:-$PWD/build}
tool=$build/win-x86_64/tests/wine/pd_printers.exe
prefix=$build/run/prefix
wine=${WINE:-/usr/lib/wine/wine64}

usage() {
  sed -n '4,14s/^# \{0,1\}//p' "$0" >&2
  exit 2
}

[ $# -ge 1 ] || usage
if [ ! -f "$tool" ] || [ ! -d "$prefix/dosdevices" ]; then
  echo "demo-printers: no run prefix yet; start the tool once with: bash scripts/run.sh" >&2
  exit 1
fi
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}

printers() { "$wine" "$tool" "$@"; }

# The demo set: two printers the window lists, one offline and one of another maker, which it
# leaves out.
reset() {
  local listed
  listed=$(printers list | cut -f1)
  local name
  for name in "Kelvo LP-1" "Kelvo LP-2" "Kelvo Office" "Other"; do
    grep -qxF "$name" <<<"$listed" || printers add "$name"
  done
  printers online "Kelvo LP-1" "Kelvo LP-2" "Other"
  printers offline "Kelvo Office"
}

command=$1
shift
case "$command" in
  add | remove | offline | online)
    [ $# -ge 1 ] || usage
    printers "$command" "$@"
    ;;
  list) [ $# -eq 0 ] || usage; printers list ;;
  show) [ $# -eq 1 ] || usage; printers show "$1" ;;
  reset) [ $# -eq 0 ] || usage; reset ;;
  *) usage ;;
esac
