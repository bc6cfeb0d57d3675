#!/usr/bin/env bash
# Builds the libFuzzer target for the printer list refresh with clang (fuzzer, ASan, UBSan) and
# runs it for a bounded time from the committed seed corpus.
#   scripts/fuzz.sh [seconds]        default 60; FUZZ_BUILD_DIR overrides the build folder
# New inputs go to a scratch corpus in the build folder; crashes land there too and fail the run.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${FUZZ_BUILD_DIR:-$root/build/figures-fuzz}
CXX=${CXX_FUZZ:-clang++}
mkdir -p "$build/corpus" "$build/artifacts"

# The logic and the headless window layer it draws into, plus the simulated spooler.
sources=("$root/tests/fuzz/refresh_fuzz.cpp" "$root/tests/support/sim_spooler.cpp")
for f in "$root"/printing/*.cpp "$root"/ui/*.cpp "$root"/ui/headless/*.cpp; do
  sources+=("$f")
done

echo "fuzz: building $build/refresh_fuzz"
"$CXX" -std=c++17 -O1 -g -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Wall -Wextra -Werror -I"$root" "${sources[@]}" -o "$build/refresh_fuzz"

echo "fuzz: running for ${seconds}s"
cd "$build/artifacts"
# UBSan findings abort like a crash; leak checks stay on.
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  "$build/refresh_fuzz" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
  -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/artifacts/" \
  "$build/corpus" "$root/tests/fuzz/corpus" >"$build/fuzz.log" 2>&1 && status=0 || status=$?
grep -E '^(Done|stat::)' "$build/fuzz.log" || true
if [ "$status" -ne 0 ]; then
  tail -n 60 "$build/fuzz.log" >&2
  echo "fuzz: FAILED (exit $status); reproduce with: $build/refresh_fuzz <artifact>" >&2
  ls -l "$build/artifacts" >&2
  exit "$status"
fi
echo "fuzz: passed"
