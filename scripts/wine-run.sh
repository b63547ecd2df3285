#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's prefix (ctest's emulator).
source "$(dirname "$0")/env.sh"
"$(dirname "$0")/wine-prefix.sh"
exec wine "$@"
