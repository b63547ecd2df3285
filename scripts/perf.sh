#!/usr/bin/env bash
# The dialog's figures under Wine (not part of the test run): a large log
# loaded from the system-menu path, memory after it, time per reading at that
# size, the receive thread with a silent board, and the flash frame times.
# The programs: bench/win/perf_dialog.cpp (win_perf) and the flash write test.
#   [VANTREL_PERF_ROWS=N] scripts/perf.sh
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
"$here/build.sh" "$WIN_BUILD" win_perf win_flash_tests || exit 1
"$here/wine-prefix.sh" || exit 1
cd "$BUILD/$WIN_BUILD" &&
  xvfb-run -a -s "-screen 0 1280x1024x24" "$here/wine-session.sh" sh -c \
    "'$here/wine-run.sh' ./win_perf.exe; '$here/wine-run.sh' ./win_flash_tests.exe --gtest_filter='*ImagesAreWritten*'" |
  grep -E '^\[(perf|soak| flash)'
