#!/usr/bin/env bash
# Static analysis of the product code (app/, ui/, printing/): clang-tidy with the repository's
# .clang-tidy (warnings are errors) and cppcheck, each over the host build and over the Windows
# sources (x86_64 MinGW target). Exits non-zero on any finding.
#   scripts/lint.sh             LINT_BUILD_DIR overrides the folder for the two configured trees
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${LINT_BUILD_DIR:-$root/build/figures-lint}
jobs=$(nproc 2>/dev/null || echo 2)
cd "$root"
failed=0

host_files=(printing/*.cpp ui/*.cpp ui/headless/*.cpp)
win_files=(app/*.cpp printing/*.cpp printing/win32/*.cpp ui/*.cpp ui/win32/*.cpp)

configure() {  # <dir> [cmake args...]: a configured tree is all clang-tidy needs
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "$@" >"$dir.log" 2>&1 ||
    { cat "$dir.log" >&2; echo "lint: cmake failed for $dir" >&2; exit 2; }
}

run_tidy() {  # <label> <compile-db dir> <extra args> -- <files...>
  local label=$1 db=$2 extra=$3
  shift 4
  echo "lint: clang-tidy ($label) over $# files"
  # shellcheck disable=SC2086
  if printf '%s\n' "$@" | xargs -P "$jobs" -n 1 clang-tidy --quiet -p "$db" $extra \
      >"$build-tidy-$label.log" 2>&1; then
    echo "lint: clang-tidy ($label) clean"
  else
    grep -E '(warning|error):' "$build-tidy-$label.log" | sort -u >&2
    echo "lint: clang-tidy ($label) FAILED (full log: $build-tidy-$label.log)" >&2
    failed=1
  fi
}

# The MinGW C++ library headers, as the cross g++ searches them, for clang's mingw target (clang
# brings its own intrinsics; the SDK headers it finds by itself).
mingw_includes() {
  echo | x86_64-w64-mingw32-g++-posix -xc++ -E -v - 2>&1 |
    sed -n '/#include <...> search starts here/,/End of search list/p' | grep '^ .*/c++' |
    while read -r dir; do printf -- '--extra-arg=-isystem%s ' "$(realpath "$dir")"; done
}

mkdir -p "$(dirname "$build")"
configure "$build-host"
run_tidy host "$build-host" "" -- "${host_files[@]}"

if command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  configure "$build-win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake"
  run_tidy win64 "$build-win64" "--extra-arg=--target=x86_64-w64-mingw32 $(mingw_includes)" \
    -- "${win_files[@]}"
else
  echo "lint: x86_64-w64-mingw32-g++-posix missing; cannot check the Windows sources" >&2
  failed=1
fi

# cppcheck: checks that only restate a preference are suppressed, as are the spooler's own
# LocalAlloc (the API the tool must use) and CreateWindowExW, whose handle arrives in WM_NCCREATE.
cppcheck_common=(-I. --std=c++17 --language=c++ --enable=warning,style,performance,portability
  --inline-suppr --quiet --error-exitcode=1
  --template='{file}:{line}: {severity}: {message} [{id}]'
  --suppress=useStlAlgorithm --suppress=LocalAllocCalled
  --suppress=constParameter:ui/headless/vcl_headless.cpp
  --suppress=ignoredReturnValue:ui/win32/form_win32.cpp)
echo "lint: cppcheck (host)"
cppcheck "${cppcheck_common[@]}" "${host_files[@]}" || failed=1
echo "lint: cppcheck (win64)"
cppcheck "${cppcheck_common[@]}" --platform=win64 --library=windows -D_WIN32 -D_WIN64 \
  -DUNICODE -D_UNICODE -D__GNUC__ "${win_files[@]}" || failed=1
echo "lint: cppcheck (win32)"
cppcheck "${cppcheck_common[@]}" --platform=win32A --library=windows -D_WIN32 \
  -DUNICODE -D_UNICODE -D__GNUC__ "${win_files[@]}" || failed=1

if [ "$failed" -ne 0 ]; then
  echo "lint: FAILED" >&2
  exit 1
fi
echo "lint: passed"
