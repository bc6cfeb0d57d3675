#!/bin/bash
# The README's pictures of the window, from scripts/run.sh under Wine on a private Xvfb: in
# English with printers, in Chinese, and the empty list with its text. Written to docs/.
# Environment as for scripts/run.sh (PD_SKIP_SETUP, PD_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p docs
unset DISPLAY
shoot() {  # <png> <locale> [VAR=value...]
  local png=$1 locale=$2
  shift 2
  env LANG="$locale" LC_ALL="$locale" PD_SHOT="$PWD/docs/$png" "$@" bash scripts/run.sh >/dev/null
  echo "readme-pictures: docs/$png"
}
shoot window-en.png en_US.UTF-8
shoot window-zh.png zh_CN.UTF-8
shoot window-empty.png en_US.UTF-8 PD_DEMO_EMPTY=1
