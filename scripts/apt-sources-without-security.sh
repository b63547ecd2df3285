#!/usr/bin/env bash
# Writes this machine's apt sources without the security suite into OUT:
#   apt-sources-without-security.sh SOURCELIST SOURCEPARTS OUT
# SOURCELIST is a one-line sources.list, SOURCEPARTS the folder of *.list and
# *.sources (deb822) files. OUT gets sources.list and parts/ with the same
# entries minus every *-security (or old */updates) suite, for apt-get -o
# Dir::Etc::SourceList=OUT/sources.list -o Dir::Etc::SourceParts=OUT/parts.
# So the retry reaches the packages through the machine's own mirror or proxy.
set -euo pipefail
list=$1; parts=$2; out=$3
mkdir -p "$out/parts"

security='-security$|/updates$'

# One-line entries: "deb [options] URI SUITE COMPONENTS...". Comments and
# other lines stay as they are.
one_line() {
  awk -v sec="$security" '
    /^[ \t]*(deb|deb-src)[ \t]/ {
      n = split($0, f, /[ \t]+/); i = (f[1] == "" ? 2 : 1) + 1
      if (substr(f[i], 1, 1) == "[") { while (i <= n && f[i] !~ /\]$/) i++; i++ }
      if (f[i + 1] ~ sec) next
    }
    { print }'
}

# deb822 stanzas: the security suites leave the Suites field; a stanza with
# no suite left goes. Stanzas are separated by empty lines.
deb822() {
  awk -v sec="$security" '
    function flush() {
      if (n && !(suites_seen && kept == "")) { for (j = 1; j <= n; j++) print lines[j]; print "" }
      n = 0; suites_seen = 0; kept = ""
    }
    /^[ \t]*$/ { flush(); next }
    tolower($1) == "suites:" {
      suites_seen = 1; kept = ""
      for (k = 2; k <= NF; k++) if ($k !~ sec) kept = kept " " $k
      lines[++n] = $1 kept; next
    }
    { lines[++n] = $0 }
    END { flush() }'
}

if [ -f "$list" ]; then one_line < "$list" > "$out/sources.list"; else : > "$out/sources.list"; fi
# apt reads only these names in the parts folder.
for f in "$parts"/*.list "$parts"/*.sources; do
  [ -f "$f" ] || continue
  name=$(basename "$f")
  [[ "$name" =~ ^[A-Za-z0-9_.-]+$ ]] || continue
  case "$name" in
    *.list) one_line < "$f" > "$out/parts/$name" ;;
    *.sources) deb822 < "$f" > "$out/parts/$name" ;;
  esac
done
