#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test:
# the native core (plain and under ASan/UBSan) and the Windows tests under
# Wine + Xvfb. Ends with one summary line over all of them.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/setup.sh" || exit 1
source "$here/env.sh"

for kind in native asan; do
  "$here/build.sh" "$kind" || { echo "build $kind failed"; exit 1; }
done
# The 32-bit product always builds; its tests run in whichever Windows
# build this machine can execute (see env.sh).
if [ "$WIN_BUILD" = win ]; then
  "$here/build.sh" win || { echo "build win failed"; exit 1; }
else
  "$here/build.sh" win Vantrel vantrel-sim vantrel-cli || { echo "build win failed"; exit 1; }
  "$here/build.sh" win64 || { echo "build win64 failed"; exit 1; }
fi
"$here/wine-prefix.sh"

passed=0; failed=0; status=0
run_ctest() {
  local dir=$1; shift
  local log; log=$(mktemp)
  (cd "$dir" && "$@" ctest --output-on-failure --timeout 1500 ${CTEST_EXTRA:-}) 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  local line; line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
  if [ -n "$line" ]; then
    local total fails
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    fails=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
    passed=$((passed + total - fails)); failed=$((failed + fails))
  else
    failed=$((failed + 1))
  fi
  [ "$rc" -eq 0 ] || status=1
  rm -f "$log"
}

# Every fuzz target for a short while (scripts/fuzz.sh runs them longer).
fuzz_seconds=${VANTREL_FUZZ_SECONDS:-10}
if [ "$fuzz_seconds" -gt 0 ]; then
  if VANTREL_FUZZ_SEED=${VANTREL_FUZZ_SEED:-1} "$here/fuzz.sh" "$fuzz_seconds"; then
    passed=$((passed + 1))
    echo "fuzz targets: passed"
  else
    failed=$((failed + 1)); status=1
    echo "fuzz targets: FAILED"
  fi
fi

run_ctest "$BUILD/native"
ASAN_OPTIONS=detect_leaks=1 run_ctest "$BUILD/asan"

echo "Windows tests: $VANTREL_WIN_ARCH build under Wine ($WINEARCH)"
# A Windows area that fails is run once more: under Wine on a loaded machine
# a window can be slow to appear. A real fault fails both runs.
CTEST_EXTRA="--repeat until-pass:2" run_ctest "$BUILD/$WIN_BUILD" \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$here/wine-session.sh"

echo "${passed} passed, ${failed} failed"
exit $status
