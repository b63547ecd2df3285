#!/usr/bin/env bash
# Installs what is missing, builds Vantrel.exe and the simulated sub board,
# and starts the tool against the simulator. On a desktop the window opens on
# your display; without one it runs under Xvfb and saves a screenshot.
#   scripts/run.sh [Vantrel arguments, e.g. -demo2]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/setup.sh"
source "$here/env.sh"
# The 32-bit product; where this machine cannot run 32-bit code (see env.sh)
# the x86-64 build of the same sources is what runs.
"$here/build.sh" "$WIN_BUILD" Vantrel vantrel-sim
"$here/wine-prefix.sh"

bin="$BUILD/$WIN_BUILD"
pipe='\\.\pipe\hid#vid_5e3a&pid_fffd#sim#{4d1e55b2-f16f-11cf-88cb-001111000030}'
export VANTREL_DEVICE="$pipe"

start_sim() {
  if [ -f "$bin/vantrel-sim.exe" ]; then
    "$WINE" "$bin/vantrel-sim.exe" >"$BUILD/sim.log" 2>&1 &
    sim_pid=$!
    sleep 1
  fi
}
stop_sim() { [ -n "${sim_pid:-}" ] && kill "$sim_pid" 2>/dev/null || true; }
trap stop_sim EXIT

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  start_sim
  "$WINE" "$bin/Vantrel.exe" "$@"
else
  shot="$BUILD/screenshot.png"
  seconds=${VANTREL_SHOT_DELAY:-25}
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -e
    "$WINESERVER" -p 2>/dev/null || true
    if [ -f "$0/vantrel-sim.exe" ]; then "$WINE" "$0/vantrel-sim.exe" >"$3/sim.log" 2>&1 & sleep 1; fi
    "$WINE" "$0/Vantrel.exe" "${@:4}" &
    app=$!
    sleep "$2"
    import -window root "$1"
    "$WINESERVER" -k 2>/dev/null || true
    wait $app 2>/dev/null || true
  ' "$bin" "$shot" "$seconds" "$BUILD" "$@"
  echo "No display: ran under Xvfb for ${seconds}s; screenshot saved to $shot"
fi
