#!/bin/sh
# Runs a Windows test program under Wine in the test prefix (see tests/wine).
: "${WINEPREFIX:?WINEPREFIX must name the test prefix}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
exec /usr/lib/wine/wine64 "$@"
