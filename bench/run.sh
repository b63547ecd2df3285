#!/usr/bin/env bash
# Builds the native benchmarks (Release) and runs them, median of 5 runs each.
# Prints each median next to the one in bench/baseline.txt. Extra arguments go to
# the benchmark program, e.g. --benchmark_filter=Log.
# Save a new baseline: bench/run.sh > bench/baseline.txt
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${VANTREL_BUILD:-$root/build}/bench
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=OFF >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target core_bench >/dev/null
out=$(mktemp)
"$build/core_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_display_aggregates_only=true "$@" 2>/dev/null | grep '_median' | tee "$out"
if [ -f "$here/baseline.txt" ] && [ -t 1 ]; then
  echo
  echo "median now | median in baseline.txt"
  while read -r name rest; do
    base=$(grep -F -- "$name " "$here/baseline.txt" | head -1 | cut -d' ' -f2- | tr -s ' ')
    printf '%s\n  now:  %s\n  base: %s\n' "$name" "$(tr -s ' ' <<<"$rest")" "${base:-(none)}"
  done < "$out"
fi
rm -f "$out"
