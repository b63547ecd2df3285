#!/usr/bin/env bash
# The setup script's fallback sources: the machine's own entries, one-line
# and deb822, without the security suite; and no mirror address of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/parts"
cat > "$work/sources.list" <<'SRC'
# a comment stays
deb http://mirror.example/debian bookworm main
deb [ arch=amd64 signed-by=/k.gpg ] http://mirror.example/debian-security bookworm-security main
  deb http://security.example/debian-security buster/updates main
deb-src http://mirror.example/debian bookworm-updates main
SRC
cat > "$work/parts/debian.sources" <<'SRC'
Types: deb
URIs: http://proxy.example:3142/debian
Suites: bookworm bookworm-updates
Components: main

Types: deb deb-src
URIs: http://proxy.example:3142/debian-security
suites: bookworm-security
Components: main

Types: deb
URIs: http://proxy.example:3142/mixed
Suites: bookworm-security bookworm-backports
Components: main
SRC
echo "deb [arch=amd64] http://other.example/apt stable main" > "$work/parts/other.list"
echo "deb http://ignored.example/x stable main" > "$work/parts/old.list.disabled"
echo "deb http://ignored.example/y stable main" > "$work/parts/bad name.list"

"$root/scripts/apt-sources-without-security.sh" "$work/sources.list" "$work/parts" "$work/out"

fail=0
expect() {  # file, expected text
  if ! diff -u <(printf '%s' "$2") "$1"; then echo "FAILED: $1"; fail=1; fi
}
expect "$work/out/sources.list" '# a comment stays
deb http://mirror.example/debian bookworm main
deb-src http://mirror.example/debian bookworm-updates main
'
expect "$work/out/parts/debian.sources" 'Types: deb
URIs: http://proxy.example:3142/debian
Suites: bookworm bookworm-updates
Components: main

Types: deb
URIs: http://proxy.example:3142/mixed
Suites: bookworm-backports
Components: main

'
expect "$work/out/parts/other.list" 'deb [arch=amd64] http://other.example/apt stable main
'
listed=$(cd "$work/out/parts" && ls)
[ "$listed" = $'debian.sources\nother.list' ] || { echo "FAILED: parts holds: $listed"; fail=1; }
# No mirror address belongs in the setup script.
if grep -nE '[a-z]+://' "$root/scripts/setup.sh"; then echo "FAILED: setup.sh names an address"; fail=1; fi
[ $fail -eq 0 ] && echo "apt sources fallback: passed"
exit $fail
