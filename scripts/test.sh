#!/bin/bash
# Sets everything up, builds the host, win64 and i686 builds, and runs every test:
# host unit tests with sanitizers, the Windows tests on both Windows builds (x86_64 under the
# host's Wine 8 and under Wine 10, see scripts/wine10.sh; i686 under 32-bit Wine through
# emulation, see scripts/wine32.sh), the exes' imports and hardening, that the shipped exe
# rebuilds to the same bytes, the robustness checks. Each step says how long it took; ends with
# one "N passed, N failed" line.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${PD_BUILD_DIR:-$root/build}
jobs=$(nproc)

if [ "${PD_SKIP_SETUP:-0}" != 1 ]; then
  bash scripts/setup.sh || exit 1
fi

passed=0
failed=0
failures=()
step() {
  local name=$1
  shift
  local start=$SECONDS
  echo
  echo "=== $name"
  if "$@"; then
    passed=$((passed + 1))
    echo "=== $name: passed in $((SECONDS - start)) s"
  else
    failed=$((failed + 1))
    failures+=("$name")
    echo "=== $name: FAILED in $((SECONDS - start)) s"
    return 1
  fi
}

configure_and_build() {
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log"; return 1; }
  cmake --build "$dir" -j "$jobs"
}

# Runs a command into <log>, which ends with its time, and its exit status into <log>.status:
# for steps that run in the background beside others, and say what they did when waited for
# (`reported`).
logged() {
  local log=$1 start=$SECONDS status=0
  shift
  "$@" >"$log" 2>&1 || status=$?
  echo "(ran beside other steps for $((SECONDS - start)) s)" >>"$log"
  echo "$status" >"$log.status"
}
reported() {
  cat "$1"
  return "$(cat "$1.status" 2>/dev/null || echo 1)"
}

mkdir -p "$build"
# The two Wine chroots take minutes of downloading and unpacking when new; they are made in the
# background while the builds run, and their steps below wait for them.
logged "$build/wine10-setup.log" bash scripts/wine10.sh &
wine10_setup=$!
logged "$build/wine32-setup.log" bash scripts/wine32.sh &
wine32_setup=$!

# Runs one suite of Windows tests, named $1, of the build in $2 (the rest: ctest, or
# scripts/ctest-wine10.sh, with its options), then prints its slowest tests with their share of
# their limits.
windows_tests() {
  local junit="$2/junit-$1.xml" dir=$2
  shift 2
  rm -f "$junit"
  local status=0
  "$@" --timeout 600 --output-on-failure --output-junit "$junit" || status=$?
  if [ -f "$junit" ]; then
    ctest --test-dir "$dir" --show-only=json-v1 >"$junit.tests.json" &&
      cmake -DJUNIT="$junit" -DTESTS="$junit.tests.json" -DDEFAULT_TIMEOUT=600 \
        -P "$root/scripts/slowest-tests.cmake"
  fi
  return $status
}

step "host build" configure_and_build "$build/host" -DCMAKE_BUILD_TYPE=Debug
step "host tests" ctest --test-dir "$build/host" -j "$jobs" --output-on-failure

step "i686 build (shipped exe)" configure_and_build "$build/win-i686" \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake"
step "i686 exe imports only Windows system DLLs" \
  bash scripts/check-imports.sh "$build/win-i686/PrinterDefaults.exe"
step "i686 exe hardened" bash scripts/check-hardening.sh "$build/win-i686/PrinterDefaults.exe"
step "i686 exe byte-identical when rebuilt elsewhere" bash scripts/check-reproducible.sh \
  "$build/win-i686/PrinterDefaults.exe" cmake/toolchain-mingw-i686.cmake MinSizeRel

step "win64 build" configure_and_build "$build/win-x86_64" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake"
step "win64 exe hardened" bash scripts/check-hardening.sh "$build/win-x86_64/PrinterDefaults.exe"
# The Windows suites mostly wait (for timers, windows, the emulator's start of each program): the
# Wine 8 one uses about a fifth of the two cores, the emulated i686 one under half. So lint and
# fuzzing run beside the Wine 8 suite, and the Wine 10 suite (the win64 build's folder, like the
# Wine 8 one, so not beside that) beside the i686 one.
(logged "$build/lint.log" bash scripts/lint.sh; logged "$build/fuzz.log" bash scripts/fuzz.sh) &
analysis=$!
step "Windows tests, win64 build under Wine 8" \
  windows_tests wine8 "$build/win-x86_64" ctest --test-dir "$build/win-x86_64"

wait $wine10_setup $wine32_setup
step "Wine 10 (Debian 13)" reported "$build/wine10-setup.log"
wine10_ready=$?
step "32-bit Wine under emulation" reported "$build/wine32-setup.log"
if ((wine10_ready == 0)); then
  logged "$build/wine10-tests.log" windows_tests wine10 "$build/win-x86_64" \
    sh scripts/ctest-wine10.sh "$build/win-x86_64" &
  wine10_tests=$!
fi
step "Windows tests, i686 build under 32-bit Wine" \
  windows_tests i686 "$build/win-i686" ctest --test-dir "$build/win-i686"
[ -z "${wine10_tests:-}" ] || wait "$wine10_tests"
step "Windows tests, win64 build under Wine 10" reported "$build/wine10-tests.log"
step "release signing" bash scripts/check-release-signing.sh "$build"

wait $analysis
step "lint" reported "$build/lint.log"
step "fuzz" reported "$build/fuzz.log"

echo
if ((failed)); then printf 'failed: %s\n' "${failures[@]}"; fi
echo "steps: $passed passed, $failed failed"
((failed == 0))
