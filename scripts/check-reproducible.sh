#!/bin/bash
# Builds the exe again from the same sources in another folder, at another time, as another user
# (nobody, when run as root) under another time zone and locale, and fails unless the bytes are the
# same as those of <exe>. Prints the SHA-256 to compare a download or a rebuild with.
#   check-reproducible.sh <exe> <toolchain-file> <build-type>
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: check-reproducible.sh <exe> <toolchain-file> <build-type>" >&2; exit 2; }
exe=$(readlink -f "$1")
toolchain=$(readlink -f "$2")
type=$3
src=$(cd "$(dirname "$0")/.." && pwd)
again=$(mktemp -d /tmp/pd-rebuild.XXXXXX)
trap 'rm -rf "$again"' EXIT

as_other=()
if [ "$(id -u)" -eq 0 ] && id nobody >/dev/null 2>&1 &&
  runuser -u nobody -- test -r "$src/CMakeLists.txt"; then
  chown nobody "$again"
  as_other=(runuser -u nobody --)
fi
"${as_other[@]}" env TZ=Asia/Shanghai LC_ALL=C HOME="$again" sh -ec '
  cmake -S "$1" -B "$2/build" -G Ninja -DCMAKE_BUILD_TYPE="$3" -DCMAKE_TOOLCHAIN_FILE="$4" \
    -DBUILD_TESTING=OFF >"$2/configure.log"
  cmake --build "$2/build" --target PrinterDefaults >"$2/build.log"' \
  sh "$src" "$again" "$type" "$toolchain" ||
  { cat "$again"/*.log >&2; echo "check-reproducible: the second build failed" >&2; exit 1; }

second=$again/build/PrinterDefaults.exe
echo "first:  $exe"
echo "second: $second (built as ${as_other[2]:-$(id -un)})"
if ! cmp "$exe" "$second"; then
  echo "check-reproducible: the two builds differ" >&2
  exit 1
fi
echo "byte-identical; SHA-256 $(sha256sum "$exe" | cut -d' ' -f1)"
