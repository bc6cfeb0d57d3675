#!/bin/sh
# Runs the Windows tests of a win64 build under Wine 10 (scripts/wine10.sh sets it up):
#
#   scripts/ctest-wine10.sh <win64-build-dir> [ctest options]
#
# The same programs and ctest entries as under the host's Wine, with prefixes, their state and
# screenshots of their own (names ending in -wine10) and X displays :300..:399.
set -eu
[ $# -ge 1 ] || { echo "usage: ctest-wine10.sh <win64-build-dir> [ctest options]" >&2; exit 2; }
build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")/.." && pwd)
WINE="$here/cmake/wine10/wine" PD_WINE10_BIND="$build" PD_WINE_SUFFIX=-wine10 \
  PD_XVFB_FIRST=300 PD_XVFB_LAST=399 exec ctest --test-dir "$build" "$@"
