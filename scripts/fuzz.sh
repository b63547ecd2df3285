#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while.
#   scripts/fuzz.sh [seconds per target, default 20] [target name ...]
set -euo pipefail
here=$(dirname "$0")
source "$here/env.sh"
seconds=${1:-20}; shift || true
dir="$BUILD/fuzz"
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTREL_FUZZ=ON -DVANTREL_TESTS=OFF -DVANTREL_BENCH=OFF >/dev/null
cmake --build "$dir" -j "${JOBS:-$(nproc)}" >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$ROOT"/fuzz/*_fuzz.cpp; do [ -e "$f" ] && targets+=("$(basename "$f" .cpp)"); done
fi
for t in "${targets[@]}"; do
  corpus="$ROOT/fuzz/corpus/${t%_fuzz}"
  work="$dir/corpus-${t%_fuzz}"
  mkdir -p "$work"
  echo "== $t for ${seconds}s"
  # New inputs go to the scratch corpus; the checked-in seeds are only read.
  "$dir/$t" -max_total_time="$seconds" -print_final_stats=0 "$work" "$corpus" 2>&1 | tail -2
done
