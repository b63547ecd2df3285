#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for a while.
#   scripts/fuzz.sh [seconds per target, default 20] [target name ...]
# VANTREL_FUZZ_SEED fixes libFuzzer's random seed (the test run sets it, so a
# finding there can be reproduced); unset, every run explores anew.
# Prints one line per target (runs, runs per second, corpus size, result) and
# exits non-zero when a target failed; a failing input is saved under
# $BUILD/fuzz/artifacts/ and can be replayed with: $BUILD/fuzz/fuzz/<target> <file>
set -uo pipefail
here=$(dirname "$0")
source "$here/env.sh"
seconds=${1:-20}; shift || true
dir="$BUILD/fuzz"
mkdir -p "$dir/artifacts"
log="$dir/build.log"
if ! { CC=clang CXX=clang++ cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
         -DVANTREL_FUZZ=ON -DVANTREL_TESTS=OFF -DVANTREL_BENCH=OFF &&
       cmake --build "$dir" -j "${JOBS:-$(nproc)}"; } >"$log" 2>&1; then
  tail -40 "$log"
  echo "fuzz build failed (full log: $log)"
  exit 1
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$ROOT"/fuzz/*_fuzz.cpp; do [ -e "$f" ] && targets+=("$(basename "$f" .cpp)"); done
fi
failed=0
printf '%-22s %12s %10s %8s  %s\n' target runs exec/s corpus result
for t in "${targets[@]}"; do
  name=${t%_fuzz}
  seeds="$ROOT/fuzz/corpus/$name"
  work="$dir/corpus-$name"
  mkdir -p "$work" "$seeds"
  out="$dir/$name.log"
  dict=()
  seed=()
  [ -n "${VANTREL_FUZZ_SEED:-}" ] && seed=(-seed="$VANTREL_FUZZ_SEED")
  [ -f "$ROOT/fuzz/$name.dict" ] && dict=(-dict="$ROOT/fuzz/$name.dict")
  # New inputs go to the scratch corpus; the checked-in seeds are only read.
  "$dir/fuzz/$t" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 "${dict[@]}" "${seed[@]}" \
    -artifact_prefix="$dir/artifacts/$name-" "$work" "$seeds" >"$out" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out" | tail -1)
  speed=$(sed -n 's/.*exec\/s: *\([0-9]*\).*/\1/p' "$out" | tail -1)
  corpus=$(find "$work" -type f | wc -l)
  if [ $rc -eq 0 ]; then result=ok; else result="FAILED (rc $rc, log $out)"; failed=1; fi
  printf '%-22s %12s %10s %8s  %s\n' "$t" "${runs:-?}" "${speed:-?}" "$corpus" "$result"
  if [ $rc -ne 0 ]; then grep -m5 -E 'ERROR|invariant broken|runtime error|Test unit written' "$out"; fi
done
exit $failed
