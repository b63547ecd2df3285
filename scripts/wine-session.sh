#!/usr/bin/env bash
# Runs a command (e.g. ctest) inside the current display with one persistent
# wineserver, so that each Wine start costs milliseconds. The server must be
# started here, with DISPLAY set: one started without a display cannot open
# windows later.
source "$(dirname "$0")/env.sh"
"$(dirname "$0")/wine-prefix.sh"
"$WINESERVER" -p
"$WINE" cmd /c exit >/dev/null 2>&1
"$@"
rc=$?
"$WINESERVER" -k 2>/dev/null
"$WINESERVER" -w 2>/dev/null
exit $rc
