#!/usr/bin/env bash
# Configures and builds one configuration: native | asan | win.
set -euo pipefail
source "$(dirname "$0")/env.sh"
kind=${1:-win}
jobs=${JOBS:-$(nproc)}
case "$kind" in
  native) args=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan)   args=(-DCMAKE_BUILD_TYPE=Debug -DVANTREL_SANITIZE=ON -DVANTREL_BENCH=OFF) ;;
  win)    args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake") ;;
  *) echo "usage: $0 native|asan|win" >&2; exit 2 ;;
esac
cmake -S "$ROOT" -B "$BUILD/$kind" "${args[@]}" >/dev/null
cmake --build "$BUILD/$kind" -j "$jobs"
