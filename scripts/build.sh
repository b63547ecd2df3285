#!/usr/bin/env bash
# Configures and builds one configuration:
#   native  portable core, tests and benchmarks (Release)
#   asan    portable core and tests under AddressSanitizer + UBSan
#   tsan    portable core, companion flows and tests under ThreadSanitizer
#   win     the product: 32-bit Vantrel.exe and its companions (i686)
#   win64   the same sources for x86-64 (Wine tests where 32-bit cannot run)
set -euo pipefail
source "$(dirname "$0")/env.sh"
kind=${1:-win}; shift || true
jobs=${JOBS:-$(nproc)}
case "$kind" in
  native) args=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan)   args=(-DCMAKE_BUILD_TYPE=Debug -DVANTREL_SANITIZE=ON -DVANTREL_BENCH=OFF) ;;
  tsan)   args=(-DCMAKE_BUILD_TYPE=Debug -DVANTREL_TSAN=ON -DVANTREL_BENCH=OFF) ;;
  win)    args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake") ;;
  win64)  args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake") ;;
  *) echo "usage: $0 native|asan|tsan|win|win64 [targets...]" >&2; exit 2 ;;
esac
cmake -S "$ROOT" -B "$BUILD/$kind" "${args[@]}" >/dev/null
if [ $# -gt 0 ]; then
  for t in "$@"; do cmake --build "$BUILD/$kind" -j "$jobs" --target "$t"; done
else
  cmake --build "$BUILD/$kind" -j "$jobs"
fi
