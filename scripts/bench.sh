#!/usr/bin/env bash
# Measures the figures and prints them as one markdown table, with the machine they came from:
#   - host (Release, no sanitizers): one refresh against the simulated spooler at 10, 100 and
#     1,000 printers (half eligible), unchanged and changed set, next to the bare enumeration;
#   - under Wine (x86_64 build, one prefix with the PostScript driver): one refresh of the real
#     code against Wine's spooler at 10, 100 and 500 printers next to its floor (the two bare
#     EnumPrintersA calls); start-up of PrinterDefaults.exe to its shown, filled window next to
#     a floor that reads the printers once and shows one window under the tool's manifest (and
#     next to a bare one-window program); CPU of the open, idle window over 10 s;
#   - footprint: the i686 release exe's size and the DLLs it imports.
#
#   scripts/bench.sh
# Environment: BENCH_BUILD_DIR (default build/figures-bench; -host, -win64, -i686 and -wine are
# appended), BENCH_IDLE_SECONDS (10), BENCH_STARTUP_RUNS (15), BENCH_REFRESH_RUNS (15),
# PD_XVFB_FIRST/PD_XVFB_LAST (31/39: the X displays it may start Xvfb on).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD_DIR:-$root/build/figures-bench}
jobs=$(nproc 2>/dev/null || echo 2)
idle_seconds=${BENCH_IDLE_SECONDS:-10}
startup_runs=${BENCH_STARTUP_RUNS:-15}
refresh_runs=${BENCH_REFRESH_RUNS:-15}
wine=${WINE:-/usr/lib/wine/wine64}
log=$build.log
mkdir -p "$(dirname "$build")"
: >"$log"

say() { echo "bench: $*" >&2; }
fail() {
  say "$*"
  say "log: $log"
  exit 1
}

configure_build() {  # <dir> <targets> -- <cmake args...>
  local dir=$1 targets=$2
  shift 3
  cmake -S "$root" -B "$dir" -G Ninja "$@" >>"$log" 2>&1 || fail "cmake failed for $dir"
  # shellcheck disable=SC2086
  cmake --build "$dir" -j "$jobs" --target $targets >>"$log" 2>&1 || fail "build failed in $dir"
}

# ---- builds
say "building (host Release without sanitizers, win64 Release, i686 MinSizeRel)"
# Testing stays on: the host benchmark runs against the simulated spooler, which comes with the tests.
configure_build "$build-host" pd_bench_host -- -DCMAKE_BUILD_TYPE=Release -DPD_SANITIZE=OFF
configure_build "$build-win64" "PrinterDefaults pd_bench_win pd_floor_window pd_floor_spooler pd_printers" -- \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake"
configure_build "$build-i686" PrinterDefaults -- -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" -DBUILD_TESTING=OFF

declare -A fig

# ---- host
say "host refresh benchmark"
"$build-host/bench/host/pd_bench_host" --benchmark_repetitions=5 --benchmark_min_time=0.2 \
  --benchmark_report_aggregates_only=true --benchmark_format=csv >"$build-host.csv" 2>>"$log" ||
  fail "host benchmark failed"
# name,iterations,real_time,cpu_time,time_unit,...,list_changes,shown (median rows, in ns)
while IFS=, read -r name value changes; do
  fig[$name]=$value
  [ -n "$changes" ] && fig[$name/list_changes]=$changes
done < <(awk -F, 'NR == 1 { for (i = 1; i <= NF; i++) { h = $i; gsub(/"/, "", h); col[h] = i }; next }
  $1 ~ /_median"$/ { n = $1; gsub(/"|_median/, "", n);
    c = ("list_changes" in col) ? $col["list_changes"] : "";
    if (n !~ /Unchanged/) c = "";
    printf "%s,%s,%s\n", n, $col["cpu_time"], c }' "$build-host.csv")

# ---- Wine
prefix=$build-wine/prefix
state=$build-wine/state
mkdir -p "$build-wine"
export WINEPREFIX=$prefix WINEDEBUG=-all
export PD_XVFB_FIRST=${PD_XVFB_FIRST:-31} PD_XVFB_LAST=${PD_XVFB_LAST:-39}
export PD_PRINTERS_EXE=$build-win64/tests/wine/pd_printers.exe
unset DISPLAY
cleanup() { sh "$root/tests/wine/prefix.sh" stop "$prefix" "$state" >/dev/null 2>&1 || true; }
trap cleanup EXIT
say "Wine prefix with the PostScript driver"
sh "$root/tests/wine/prefix.sh" up "$prefix" "$state" >>"$log" 2>&1 || fail "Wine prefix failed"
DISPLAY=$(cat "$state/display")
export DISPLAY
windows_path() { "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
bench_win=$build-win64/pd_bench_win.exe
app=$build-win64/PrinterDefaults.exe
floor_exe=$build-win64/pd_floor_window.exe
floor_spooler_exe=$build-win64/pd_floor_spooler.exe

read_figures() {  # collects "figure <name> <value>" lines
  local name value
  while read -r _ name value; do fig[$name]=$value; done < <(grep '^figure ' | tr -d '\r')
}

say "refresh under Wine at 10, 100 and 500 printers ($refresh_runs runs each)"
read_figures < <("$wine" "$bench_win" refresh "$refresh_runs" 10 100 500 2>>"$log" ||
  echo "figure refresh_failed 1")
[ -z "${fig[refresh_failed]:-}" ] || fail "refresh benchmark under Wine failed"

# Start-up and idle with 10 printers, 5 of them listed.
"$wine" "$bench_win" printers 10 >>"$log" 2>&1 || fail "could not set 10 printers"
say "start-up under Wine ($startup_runs runs each)"
read_figures < <("$wine" "$bench_win" startup "$startup_runs" "$(windows_path "$app")" \
  "$(windows_path "$floor_exe")" 5 "$(windows_path "$floor_spooler_exe")" 2>>"$log" ||
  echo "figure startup_failed 1")
[ -z "${fig[startup_failed]:-}" ] || fail "start-up benchmark under Wine failed"

say "idle CPU under Wine over ${idle_seconds}s"
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }  # utime + stime
wineserver_pid() {
  local p
  for p in /proc/[0-9]*; do
    case "$(cat "$p/comm" 2>/dev/null)" in wineserver*) ;; *) continue ;; esac
    if tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$prefix"; then
      echo "${p#/proc/}"
      return
    fi
  done
}
"$wine" "$app" >>"$log" 2>&1 &
app_pid=$!
"$wine" "$bench_win" wait 5 >>"$log" 2>&1 || fail "the tool's window did not appear"
sleep 1
server_pid=$(wineserver_pid)
hz=$(getconf CLK_TCK)
app_before=$(cpu_ticks "$app_pid")
server_before=$([ -n "$server_pid" ] && cpu_ticks "$server_pid" || echo 0)
start_ns=$(date +%s%N)
sleep "$idle_seconds"
app_after=$(cpu_ticks "$app_pid")
server_after=$([ -n "$server_pid" ] && cpu_ticks "$server_pid" || echo 0)
elapsed_ns=$(($(date +%s%N) - start_ns))
"$wine" "$bench_win" close - >>"$log" 2>&1 || true
wait "$app_pid" || true
fig[idle_app]=$(awk -v t=$((app_after - app_before)) -v hz="$hz" -v ns="$elapsed_ns" \
  'BEGIN { printf "%.2f", 100 * t / hz / (ns / 1e9) }')
fig[idle_server]=$(awk -v t=$((server_after - server_before)) -v hz="$hz" -v ns="$elapsed_ns" \
  'BEGIN { printf "%.2f", 100 * t / hz / (ns / 1e9) }')

# ---- footprint
exe32=$build-i686/PrinterDefaults.exe
exe_bytes=$(stat -c %s "$exe32")
imports=$(i686-w64-mingw32-objdump -p "$exe32" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')
# The verdict is the shipped exe's check itself.
system_only=yes
if ! bash "$root/scripts/check-imports.sh" "$exe32" >/dev/null 2>"$build-imports.log"; then
  system_only="no ($(tr '\n' ' ' <"$build-imports.log"))"
fi

# ---- table
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
meets() {  # <value> <op> <limit>
  awk -v v="$1" -v l="$3" -v op="$2" 'BEGIN {
    ok = (op == "<=") ? v <= l : (op == "<") ? v < l : v == l; print ok ? "met" : "**missed**" }'
}
us() { awk -v n="$1" 'BEGIN { printf "%.2f µs", n / 1000 }'; }

cpu=$(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)
echo
echo "Machine: $(uname -srm); ${cpu:-unknown CPU}, $(nproc) cores, $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo); $("$wine" --version 2>/dev/null || echo wine); $(date -u '+%Y-%m-%d %H:%M UTC')"
echo
echo "| figure | measured | floor | ratio | target | result |"
echo "|---|---|---|---|---|---|"
for n in 10 100 1000; do
  f=${fig[BM_EnumFloor/$n]}
  u=${fig[BM_RefreshUnchanged/$n]}
  c=${fig[BM_RefreshChanged/$n]}
  echo "| host refresh, $n printers, unchanged set (sim spooler) | $(us "$u") | $(us "$f") | $(ratio "$u" "$f") | - | - |"
  echo "| host refresh, $n printers, changed set (sim spooler) | $(us "$c") | $(us "$f") | $(ratio "$c" "$f") | - | - |"
  echo "| host list-box changes per unchanged refresh, $n printers | ${fig[BM_RefreshUnchanged/$n/list_changes]} | - | - | 0 | $(meets "${fig[BM_RefreshUnchanged/$n/list_changes]}" == 0) |"
done
for n in 10 100 500; do
  r=${fig[refresh_ms/$n]}
  f=${fig[floor_ms/$n]}
  q=$(ratio "$r" "$f")
  if [ "$n" = 10 ]; then target="-" result="-"; else target="≤ 1.10× floor" result=$(meets "$q" "<=" 1.10); fi
  echo "| Wine refresh, $n printers (${fig[shown/$n]} listed), median of ${fig[runs/$n]} | $r ms | $f ms | $q | $target | $result |"
done
changes=$((${fig[list_changes/10]} + ${fig[list_changes/100]} + ${fig[list_changes/500]}))
echo "| Wine list-box changes over all unchanged refreshes | $changes | - | - | 0 | $(meets "$changes" == 0) |"
q=$(ratio "${fig[startup_ms]}" "${fig[startup_floor_spooler_ms]}")
echo "| Wine start-up to shown, filled window (10 printers), median of $startup_runs, next to a floor that reads the printers once and shows one window under the same manifest | ${fig[startup_ms]} ms | ${fig[startup_floor_spooler_ms]} ms | $q | ≤ 1.10× floor | $(meets "$q" "<=" 1.10) |"
q=$(ratio "${fig[startup_ms]}" "${fig[startup_floor_ms]}")
echo "| Wine start-up, next to a bare empty window (no manifest, no spooler) | ${fig[startup_ms]} ms | ${fig[startup_floor_ms]} ms | $q | - | - |"
echo "| Wine idle CPU of the open window over ${idle_seconds} s (10 printers) | ${fig[idle_app]} % of a core | - | - | < 1 % | $(meets "${fig[idle_app]}" "<" 1) |"
echo "| Wine idle CPU of the prefix's wineserver meanwhile | ${fig[idle_server]} % of a core | - | - | - | - |"
kb=$(awk -v b="$exe_bytes" 'BEGIN { printf "%.1f", b / 1024 }')
echo "| i686 release exe (MinSizeRel) | $kb KB ($exe_bytes bytes) | - | - | ≤ 300 KB | $(meets "$kb" "<=" 300) |"
echo "| i686 exe imports | ${imports% } | - | - | KnownDLLs and comctl32 only | $([ "$system_only" = yes ] && echo met || echo "**missed**: $system_only") |"
