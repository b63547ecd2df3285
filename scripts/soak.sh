#!/usr/bin/env bash
# The long run (not part of the test run): a million readings from the
# simulated board at full speed with the receive interval at 0, then the log
# stored and loaded back; prints memory, handles and threads as it goes.
# The program: bench/win/soak.cpp (win_soak).
#   scripts/soak.sh [readings, default 1000000]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
"$here/build.sh" "$WIN_BUILD" win_soak || exit 1
"$here/wine-prefix.sh" || exit 1
export VANTREL_SOAK_READINGS=${1:-1000000}
cd "$BUILD/$WIN_BUILD" &&
  xvfb-run -a -s "-screen 0 1280x1024x24" "$here/wine-session.sh" \
    "$here/wine-run.sh" ./win_soak.exe
