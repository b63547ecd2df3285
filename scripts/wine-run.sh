#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's prefix (ctest's emulator).
source "$(dirname "$0")/env.sh"
if [ "$VANTREL_WIN_ARCH" = x86_64 ] && [ -f "$1" ] && file -b "$1" | grep -q 'Intel 80386'; then
  echo "This machine cannot run 32-bit programs (kernel without ia32 emulation)." >&2
  echo "Build the Windows tests for x86-64 instead: -DCMAKE_TOOLCHAIN_FILE=$ROOT/cmake/mingw-x86_64.cmake" >&2
  exit 126
fi
"$(dirname "$0")/wine-prefix.sh"
exec "$WINE" "$@"
