#!/bin/bash
# Builds the 64-bit Windows exe and runs it under Wine, in a private prefix under the build
# folder with demo printers: "Kelvo LP-1" and "Kelvo LP-2" (listed), "Kelvo Office" (offline)
# and "Other" (another maker's).
#
# With a DISPLAY the window opens there, and this waits until it is closed. Without one it runs
# on a private Xvfb: waits for the window with its list filled, saves a screenshot, says where,
# closes the window and ends with the tool's exit code.
#
# The window's language follows the locale, e.g. LANG=zh_CN.UTF-8 bash scripts/run.sh.
# The prefix is set up as the window tests set theirs, so that the window looks as on Windows:
# Windows' raster system font, a dialog font of Windows' proportions for the language, and
# Marlett for the caption's close button.
# Environment: PD_SKIP_SETUP=1 skips scripts/setup.sh; PD_BUILD_DIR (default build/) holds the
# win-x86_64 build and the run's prefix (run/); PD_XVFB_FIRST..PD_XVFB_LAST the Xvfb displays
# to try (default 90..189); PD_SHOT where the screenshot goes (default run/window.png);
# PD_DEMO_EMPTY=1 takes the Kelvo printers offline first, to show the empty list. Change the
# printers meanwhile with scripts/demo-printers.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${PD_BUILD_DIR:-$root/build}
win=$build/win-x86_64
run=$build/run
prefix=$run/prefix
state=$run/state
shot=${PD_SHOT:-$run/window.png}
wine=${WINE:-/usr/lib/wine/wine64}

if [ "${PD_SKIP_SETUP:-0}" != 1 ]; then
  bash scripts/setup.sh
fi

echo "run: building $win"
mkdir -p "$win" "$run"
cmake -S "$root" -B "$win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" >"$run/configure.log" 2>&1 ||
  { cat "$run/configure.log"; exit 1; }
cmake --build "$win" --target PrinterDefaults pd_printers pd_window >"$run/build.log" 2>&1 ||
  { cat "$run/build.log"; exit 1; }
exe=$win/PrinterDefaults.exe
probe=$win/tests/wine/window/pd_window.exe

export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export PD_PRINTERS_EXE=$win/tests/wine/pd_printers.exe

headless=0
[ -n "${DISPLAY:-}" ] || headless=1
echo "run: preparing the Wine prefix $prefix (the first time takes a while)"
# The prefix's programs (and the Xvfb, when we start one) go when we do, however we end.
trap 'sh tests/wine/prefix.sh stop "$prefix" "$state"' EXIT
# A display (Xvfb without DISPLAY), a fresh resident wineserver on it, the driver and our PPD.
sh tests/wine/prefix.sh up "$prefix" "$state" >/dev/null
DISPLAY=$(cat "$state/display")
export DISPLAY
# In a Chinese locale Wine draws window titles in SimSun, which it does not have: let it use the
# CJK font installed instead. Elsewhere the stand-in would also change the Latin fonts.
fonts='HKCU\Software\Wine\Fonts\Replacements'
case "${LC_ALL:-${LANG:-}}" in
  zh*) "$wine" reg add "$fonts" /v SimSun /t REG_SZ /d 'WenQuanYi Zen Hei' /f ;;
  *) "$wine" reg delete "$fonts" /v SimSun /f ;;
esac </dev/null >/dev/null 2>&1 || true
"$wine" "$probe" dialog-font
PD_BUILD_DIR=$build bash scripts/demo-printers.sh reset
if [ "${PD_DEMO_EMPTY:-0}" = 1 ]; then
  PD_BUILD_DIR=$build bash scripts/demo-printers.sh offline "Kelvo LP-1" "Kelvo LP-2"
fi
PD_BUILD_DIR=$build bash scripts/demo-printers.sh list

if [ "$headless" = 0 ]; then
  echo "run: the window opens on $DISPLAY; change printers with scripts/demo-printers.sh"
  status=0
  "$wine" "$exe" || status=$?
  echo "run: PrinterDefaults ended with exit code $status"
  exit "$status"
fi

echo "run: no DISPLAY; running on Xvfb $DISPLAY"
"$wine" "$exe" &
app=$!
filled=--filled
[ "${PD_DEMO_EMPTY:-0}" = 1 ] && filled=
if ! "$wine" "$probe" wait $filled 60; then
  kill "$app" 2>/dev/null || true
  echo "run: the window did not show with its printers" >&2
  exit 1
fi
"$wine" "$probe" shot "$shot"
echo "run: screenshot saved to $shot"
"$wine" "$probe" close
status=0
wait "$app" || status=$?
echo "run: PrinterDefaults ended with exit code $status"
exit "$status"
