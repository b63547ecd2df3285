#!/usr/bin/env bash
# Creates the Wine prefix once: no window manager wait, and Japanese fonts
# for "MS UI Gothic" / "MS Shell Dlg".
set -euo pipefail
source "$(dirname "$0")/env.sh"
[ -f "$WINEPREFIX/.vantrel-ready" ] && exit 0
mkdir -p "$WINEPREFIX"
"$WINE" wineboot -i >/dev/null 2>&1 || true
reg=$(mktemp --suffix=.reg)
cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS UI Gothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"MS PGothic"="IPAPGothic"
REG
"$WINE" regedit /S "$reg" >/dev/null 2>&1
"$WINESERVER" -w
rm -f "$reg"
touch "$WINEPREFIX/.vantrel-ready"
