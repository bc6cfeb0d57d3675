#!/bin/sh
# The private Wine prefix and X display the Windows tests run in.
#
#   prefix.sh create <prefix-dir>
#       Creates the prefix if it is missing and installs the Wine PostScript Driver with
#       tests/wine/test-printer.ppd. Safe to repeat. Needs the printer tool: set PD_PRINTERS_EXE
#       to the pd_printers.exe of the build that Wine runs (e.g. build/win-x86_64/tests/wine/
#       pd_printers.exe); it is not searched for.
#   prefix.sh display <state-dir>
#       Prints the X display to use: $DISPLAY when set; otherwise starts Xvfb on a free display
#       number (PD_XVFB_FIRST..PD_XVFB_LAST, default 90..189; the i686 tests use 200..299,
#       the run under Wine 10 300..399),
#       records it in <state-dir> and prints its DISPLAY value, e.g. ":90".
#   prefix.sh stop <prefix-dir> [<state-dir>]
#       Stops the prefix's wineserver and the Xvfb that `display` started.
#   prefix.sh up <prefix-dir> <state-dir>
#       display, then create on that display, with the prefix's wineserver kept running until
#       `stop` so the tests do not each pay for starting it, and with windows left unmanaged by
#       the X window manager and with Windows' font linking (tests/wine/prefix.reg), and with a
#       program of the printer tool's that keeps the prefix's desktop and services running until
#       `stop`. The tests use this.
#
# PD_WINE_SUFFIX, when set, is appended to the folders given, so that a run under another Wine
# (a $WINE of its own, e.g. cmake/wine10/wine) keeps prefixes of its own.
#
# Wine is called as $WINE (default /usr/lib/wine/wine64, else wine64 or wine on PATH; the i686
# tests set cmake/wine32/wine) and $WINESERVER (default: wineserver next to it, else on PATH). Nothing is written outside the
# given directories: menu entries, Mono and Gecko are switched off while the prefix is created.
set -eu

here=$(cd "$(dirname "$0")" && pwd)

die() {
  echo "prefix.sh: $*" >&2
  exit 1
}

find_wine() {
  if [ -n "${WINE:-}" ]; then
    echo "$WINE"
  elif [ -x /usr/lib/wine/wine64 ]; then
    echo /usr/lib/wine/wine64
  elif command -v wine64 >/dev/null 2>&1; then
    command -v wine64
  elif command -v wine >/dev/null 2>&1; then
    command -v wine
  else
    die "no Wine found (install wine and wine64, or set WINE)"
  fi
}

find_wineserver() {
  if [ -n "${WINESERVER:-}" ]; then
    echo "$WINESERVER"
  elif [ -x "$(dirname "$(find_wine)")/wineserver" ]; then
    echo "$(dirname "$(find_wine)")/wineserver"
  elif command -v wineserver >/dev/null 2>&1; then
    command -v wineserver
  else
    die "no wineserver found (set WINESERVER)"
  fi
}

absolute() {
  mkdir -p "$1"
  (cd "$1" && pwd)
}

# Sets prefix, tool and wine, and the environment the prefix's programs run in.
prepare() {
  prefix=$(absolute "$1")
  tool=${PD_PRINTERS_EXE:-}
  [ -n "$tool" ] || die "set PD_PRINTERS_EXE to the pd_printers.exe of the build Wine runs"
  [ -f "$tool" ] || die "PD_PRINTERS_EXE: no such file: $tool"
  wine=$(find_wine)
  export WINEPREFIX="$prefix"
  export WINEDEBUG="${WINEDEBUG:--all}"
  # No desktop menu entries in the user's home, no Mono or Gecko installer dialogs.
  export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
}

# Makes the prefix once; the registry files appear only when the server saves them, so
# completion has a mark of our own.
boot() {
  [ ! -f "$prefix/.pd-created" ] || return 0
  "$wine" wineboot -i >"$prefix/wineboot.log" 2>&1 ||
    die "wineboot failed in $prefix; see $prefix/wineboot.log"
  : >"$prefix/.pd-created"
}

create() {
  [ $# -eq 1 ] || die "usage: prefix.sh create <prefix-dir>"
  prepare "$1"
  boot
  # Windows always has its raster "System" font, drawn only at its designed sizes or whole
  # multiples of them; without it Wine would scale a TrueType stand-in to any size. Wine's model
  # of the Western one; not its Chinese model svgasys.fon, which lacks the Chinese glyphs that
  # Chinese Windows' own has.
  font=/usr/share/wine/fonts/vgasys.fon
  [ -f "$font" ] || die "no $font (install fonts-wine)"
  [ -f "$prefix/drive_c/windows/Fonts/vgasys.fon" ] || cp "$font" "$prefix/drive_c/windows/Fonts/"
  # Every Windows has Marlett, which draws the caption's buttons; Wine finds it only in the
  # prefix, and draws a plain "r" for the close button without it.
  font=/usr/share/wine/fonts/marlett.ttf
  [ -f "$font" ] || die "no $font (install fonts-wine)"
  [ -f "$prefix/drive_c/windows/Fonts/marlett.ttf" ] || cp "$font" "$prefix/drive_c/windows/Fonts/"
  # Faces with the proportions of Windows' dialog fonts (Segoe UI, Microsoft YaHei UI), whose
  # lines are taller than Wine's stand-ins'; the window tests make them the message font. In the
  # prefix rather than found through fontconfig, so that every Wine that runs it, in a chroot
  # or not, has them.
  for font in /usr/share/fonts/truetype/open-sans/OpenSans-Regular.ttf \
    /usr/share/fonts/truetype/open-sans/OpenSans-Bold.ttf \
    /usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc \
    /usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc; do
    [ -f "$font" ] || die "no $font (install fonts-open-sans and fonts-noto-cjk)"
    copy="$prefix/drive_c/windows/Fonts/$(basename "$font")"
    [ -f "$copy" ] || ln "$font" "$copy" 2>/dev/null || cp "$font" "$copy"
  done
  # Into a log, not our output: Wine's service processes started here inherit these streams
  # and may outlive us.
  if ! "$wine" "$tool" install-driver "$here/test-printer.ppd" >"$prefix/install-driver.log" 2>&1
  then
    cat "$prefix/install-driver.log" >&2
    die "could not install the PostScript driver in $prefix"
  fi
}

display_in_use() {
  [ -e "/tmp/.X11-unix/X$1" ] || [ -e "/tmp/.X$1-lock" ]
}

display() {
  [ $# -eq 1 ] || die "usage: prefix.sh display <state-dir>"
  state=$(absolute "$1")
  if [ -n "${DISPLAY:-}" ]; then
    echo "$DISPLAY" >"$state/display"
    echo "$DISPLAY"
    return
  fi
  # One we started earlier for this state directory and that still runs.
  if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
    cat "$state/display"
    return
  fi
  command -v Xvfb >/dev/null 2>&1 || die "no DISPLAY and no Xvfb (install xvfb)"
  n=${PD_XVFB_FIRST:-90}
  last=${PD_XVFB_LAST:-189}
  while [ "$n" -le "$last" ]; do
    if ! display_in_use "$n"; then
      rm -f "$state/xvfb.ready"
      # Detached from our output streams, so that whoever waits for them is not kept waiting.
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -displayfd 3 \
        3>"$state/xvfb.ready" </dev/null >"$state/xvfb.log" 2>&1 &
      pid=$!
      # Xvfb writes the display number once it accepts clients; it exits if the number is taken.
      tries=0
      while [ $tries -lt 100 ] && kill -0 "$pid" 2>/dev/null && [ ! -s "$state/xvfb.ready" ]; do
        sleep 0.1
        tries=$((tries + 1))
      done
      if [ -s "$state/xvfb.ready" ] && kill -0 "$pid" 2>/dev/null; then
        echo "$pid" >"$state/xvfb.pid"
        echo ":$n" >"$state/display"
        echo ":$n"
        return
      fi
      kill "$pid" 2>/dev/null || true
    fi
    n=$((n + 1))
  done
  die "no free X display between :${PD_XVFB_FIRST:-90} and :$last"
}

stop() {
  [ $# -ge 1 ] && [ $# -le 2 ] || die "usage: prefix.sh stop <prefix-dir> [<state-dir>]"
  if [ -d "$1" ]; then
    WINEPREFIX=$(cd "$1" && pwd) "$(find_wineserver)" -k 2>/dev/null || true
  fi
  if [ $# -eq 2 ] && [ -f "$2/xvfb.pid" ]; then
    pid=$(cat "$2/xvfb.pid")
    kill "$pid" 2>/dev/null || true
    rm -f "$2/xvfb.pid" "$2/xvfb.ready" "$2/display"
  fi
}

up() {
  [ $# -eq 2 ] || die "usage: prefix.sh up <prefix-dir> <state-dir>"
  DISPLAY=$(display "$2")
  export DISPLAY
  server=$(find_wineserver)
  # A server left from earlier may have started the desktop without this display; start over.
  WINEPREFIX=$(absolute "$1") "$server" -k 2>/dev/null || true
  WINEPREFIX=$(absolute "$1") "$server" -w 2>/dev/null || true
  prepare "$1"
  # A new prefix is made first, under a server that ends with it.
  if [ ! -f "$prefix/.pd-created" ]; then
    boot
    "$server" -w 2>/dev/null || true
  fi
  # A resident server: later programs find the prefix's services running. It stays until `stop`.
  "$server" -p </dev/null >/dev/null 2>&1 || die "could not start a wineserver for $1"
  # A second after a prefix's last program ends, Wine closes its desktop; the next program starts
  # it again, and it inherits that program's output streams, so whoever reads them (ctest, a
  # script) waits until the desktop closes again: seconds, and under emulation tens of seconds,
  # for every program. The first program of the session is therefore one that stays until
  # `stop`, holding the desktop, which it starts with streams that nobody reads.
  rm -f "$prefix/hold.log"
  setsid "$wine" "$tool" hold </dev/null >"$prefix/hold.log" 2>&1 &
  tries=0
  until grep -q '^holding' "$prefix/hold.log" 2>/dev/null; do
    [ $tries -lt 1200 ] || die "the printer tool's hold did not start in $1; see $1/hold.log"
    sleep 0.1
    tries=$((tries + 1))
  done
  create "$1"
  settings="Z:$(echo "$here/prefix.reg" | tr / '\\')"
  "$wine" reg import "$settings" >"$1/settings.log" 2>&1 ||
    die "could not change the settings of $1; see $1/settings.log"
  echo "Wine prefix $1 ready on display $DISPLAY"
}

[ $# -ge 1 ] || die "usage: prefix.sh create|display|stop|up ..."
command=$1
shift
if [ -n "${PD_WINE_SUFFIX:-}" ]; then
  for dir; do
    shift
    set -- "$@" "$dir$PD_WINE_SUFFIX"
  done
fi
case "$command" in
  create) create "$@" ;;
  display) display "$@" ;;
  stop) stop "$@" ;;
  up) up "$@" ;;
  *) die "unknown command: $command" ;;
esac
