# Shared by the scripts that build the exe a second time to compare bytes (check-reproducible.sh,
# sign.sh, verify-release.sh); sourced after they define die().

# Builds the exe from the sources in <src> into <work>/build: as nobody when run as root (and
# nobody can read <src>), under another time zone and locale, with no test programs. Sets
# built_as to the user. On failure shows the logs and returns 1.
#   build_elsewhere <src> <work> <toolchain-file> <build-type> [cmake options...]
build_elsewhere() {
  local src=$1 work=$2 toolchain=$3 type=$4
  shift 4
  local as_other=()
  built_as=$(id -un)
  if [ "$(id -u)" -eq 0 ] && id nobody >/dev/null 2>&1; then
    chown nobody "$work"
    if runuser -u nobody -- test -r "$src/CMakeLists.txt"; then
      as_other=(runuser -u nobody --)
      built_as=nobody
    fi
  fi
  "${as_other[@]}" env TZ=Asia/Shanghai LC_ALL=C HOME="$work" sh -ec '
    src=$1 work=$2 type=$3 toolchain=$4
    shift 4
    cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE="$type" \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DBUILD_TESTING=OFF "$@" >"$work/configure.log"
    cmake --build "$work/build" --target PrinterDefaults >"$work/build.log"' \
    sh "$src" "$work" "$type" "$toolchain" "$@" || { cat "$work"/*.log >&2; return 1; }
}

# The shipped exe (i686, MinSizeRel) built from the commit checked out in <src>, exactly as
# committed (uncommitted changes and untracked files left out), in the empty folder <work> (one
# of its own, as build_elsewhere gives it to nobody). Sets
# commit and rebuilt (the exe's path). With PD_REBUILD_CACHE naming a folder, the build is kept
# there by commit and an earlier one reused: delete the folder after a toolchain update.
#   commit_exe <src> <work>
commit_exe() {
  local src=$1 work=$2 cached=
  commit=$(git -C "$src" rev-parse --verify 'HEAD^{commit}' 2>/dev/null) ||
    die "$src is not a git checkout; the exe can only be rebuilt from a commit"
  if [ -n "${PD_REBUILD_CACHE:-}" ]; then
    cached=$PD_REBUILD_CACHE/$commit-i686-MinSizeRel.exe
    if [ -f "$cached" ]; then
      rebuilt=$cached
      return
    fi
  fi
  mkdir "$work/src"
  git -C "$src" archive HEAD | tar -x -C "$work/src" ||
    die "could not export commit $commit"
  build_elsewhere "$work/src" "$work" "$work/src/cmake/toolchain-mingw-i686.cmake" MinSizeRel ||
    die "the rebuild of commit $commit failed"
  echo "rebuilt commit $commit as $built_as" >&2
  rebuilt=$work/build/PrinterDefaults.exe
  if [ -n "$cached" ]; then
    mkdir -p "$PD_REBUILD_CACHE"
    cp "$rebuilt" "$cached.$$"
    mv -f "$cached.$$" "$cached"
    rebuilt=$cached
  fi
}
