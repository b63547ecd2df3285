# Sourced by the scripts: where things live and how Wine is set up.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${VANTREL_BUILD:-$ROOT/build}
export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
