# Sourced by the scripts: where things live and how Wine is set up.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${VANTREL_BUILD:-$ROOT/build}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

# The product is a 32-bit exe. Some Linux kernels run without 32-bit
# emulation (ia32_emulation off), and then 32-bit Wine cannot start at all;
# there the same sources are built for x86-64 and run under 64-bit Wine.
if [ -z "${VANTREL_WIN_ARCH:-}" ]; then
  if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    VANTREL_WIN_ARCH=i686
  else
    VANTREL_WIN_ARCH=x86_64
  fi
fi
export VANTREL_WIN_ARCH
if [ "$VANTREL_WIN_ARCH" = i686 ]; then
  export WINEARCH=win32
  WINE=/usr/lib/wine/wine
  WIN_BUILD=win
  export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix}
else
  export WINEARCH=win64
  WINE=/usr/lib/wine/wine64
  WIN_BUILD=win64
  export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix64}
fi
export WINELOADER=$WINE WINE WIN_BUILD
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver32
export WINESERVER
