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

die() {
  echo "check-reproducible: $*" >&2
  exit 1
}
. "$src/scripts/rebuild-common.sh"
build_elsewhere "$src" "$again" "$toolchain" "$type" || die "the second build failed"

second=$again/build/PrinterDefaults.exe
echo "first:  $exe"
echo "second: $second (built as $built_as)"
if ! cmp "$exe" "$second"; then
  echo "check-reproducible: the two builds differ" >&2
  exit 1
fi
echo "byte-identical; SHA-256 $(sha256sum "$exe" | cut -d' ' -f1)"
