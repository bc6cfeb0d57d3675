#!/bin/sh
# Runs a Windows test program under Wine in the test prefix (see tests/wine/prefix.sh).
# WINEPREFIX names the prefix; without DISPLAY, the display recorded in $PD_WINE_STATE is used.
# A run under another Wine sets PD_WINE_SUFFIX (see tests/wine/prefix.sh): the prefix, its state
# folder and the screenshot's name then end in it.
: "${WINEPREFIX:?WINEPREFIX must name the test prefix}"
if [ -n "${PD_WINE_SUFFIX:-}" ]; then
  WINEPREFIX=$WINEPREFIX$PD_WINE_SUFFIX
  [ -z "${PD_WINE_STATE:-}" ] || export PD_WINE_STATE="$PD_WINE_STATE$PD_WINE_SUFFIX"
  [ -z "${PD_SCREENSHOT:-}" ] || export PD_SCREENSHOT="${PD_SCREENSHOT%.png}$PD_WINE_SUFFIX.png"
fi
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
if [ -z "${DISPLAY:-}" ] && [ -n "${PD_WINE_STATE:-}" ] && [ -f "$PD_WINE_STATE/display" ]; then
  DISPLAY=$(cat "$PD_WINE_STATE/display")
  export DISPLAY
fi
if [ -z "${WINE:-}" ]; then
  if [ -x /usr/lib/wine/wine64 ]; then
    WINE=/usr/lib/wine/wine64
  else
    WINE=wine64
  fi
fi
exec "$WINE" "$@"
