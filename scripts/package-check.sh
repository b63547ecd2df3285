#!/usr/bin/env bash
# The two release artefacts checked as their users meet them:
#   deb      the Debian package built by cpack: lintian (no error, no warning),
#            the companion's manual page still what its --help says, the
#            bench unit through systemd-analyze verify, and the unit's
#            command run as the unit runs it against the native simulator
#   archive  the Windows zip(s): file list, imports (system DLLs only), and
#            the companion run under Wine from an unpacked folder whose
#            path holds a space and non-ASCII characters
# Prints one "package check: NAME: passed|FAILED" line per check and exits
# non-zero when one failed. Expects build/win (and build/$WIN_BUILD) built.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

report() {  # name status
  if [ "$2" -eq 0 ]; then echo "package check: $1: passed"; else echo "package check: $1: FAILED"; failures=$((failures + 1)); fi
}
fail() { echo "  $*" >&2; return 1; }

# ---------------------------------------------------------------- Debian package
deb_dir="$BUILD/package"
check_lintian() {
  cmake -S "$ROOT" -B "$deb_dir" -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=OFF -DVANTREL_BENCH=OFF >/dev/null || return 1
  cmake --build "$deb_dir" -j "${JOBS:-2}" >/dev/null || return 1
  rm -f "$deb_dir"/*.deb
  (cd "$deb_dir" && cpack >/dev/null) || return 1
  deb=$(ls "$deb_dir"/vantrel-cli_*.deb) || return 1
  echo "  $deb"
  lintian --fail-on error,warning "$deb" 2>&1 | grep -v 'running with root privileges' || true
  lintian --fail-on error,warning "$deb" >/dev/null 2>&1 || fail "lintian reports errors or warnings"
}
check_man_page() {
  # help2man writes the month into the title line: compare the rest.
  help2man --no-info --section=1 --version-string="$(sed -n 's/^project(Vantrel VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")" \
    --include="$ROOT/packaging/linux/vantrel-cli.h2m" --output="$work/vantrel-cli.1" "$deb_dir/vantrel-cli" || return 1
  diff <(grep -v '^\.TH\|^\.\\"' "$ROOT/packaging/linux/vantrel-cli.1") <(grep -v '^\.TH\|^\.\\"' "$work/vantrel-cli.1") ||
    fail "packaging/linux/vantrel-cli.1 is not what vantrel-cli --help says: make it again with help2man (see this script)"
}
check_unit() {
  # The package's files in a root of their own, beside the system's units
  # (verify needs the targets the unit reaches), so the command it names is
  # checked in the package, not on this machine.
  root="$work/root"
  mkdir -p "$root/etc/vantrel" && dpkg-deb -x "$deb" "$root" || return 1
  cp -n -a /lib/systemd/system/. "$root/usr/lib/systemd/system/" || return 1
  systemd-analyze verify --root="$root" --man=no vantrel-bench@lab1.service || fail "systemd-analyze verify failed"
}
# The unit's ExecStart with the unit's environment (the conf file, as
# systemd reads it: no shell), against a native simulator; SIGTERM as
# systemctl stop sends it. Two runs: each gets a log file of its own.
check_bench_run() {
  local sock="$work/bench sim.sock" out="$work/out dir" prom="$work/textfile/vantrel-lab1.prom"
  mkdir -p "$work/textfile"
  "$root/usr/bin/vantrel-sim" --path "$sock" --period 50 >/dev/null &
  local sim=$!
  for _ in $(seq 100); do [ -S "$sock" ] && break; sleep 0.1; done
  printf '[Comm]\nReceiveInterval=0\n' > "$work/Vantrel.ini"
  # Odd values on purpose: spaces, an ampersand, a semicolon.
  cat > "$root/etc/vantrel/bench-lab1.conf" <<EOF
VANTREL_DEVICE=$sock
DEVICE=$sock
SETTINGS=$work/Vantrel.ini
OUTPUT_DIR=$out/a & b; c
METRICS_FILE=$prom
EOF
  local exec; exec=$(sed -n 's/^ExecStart=//p' "$root/usr/lib/systemd/system/vantrel-bench@.service")
  local rc=0 run
  for run in 1 2; do
    rm -f "$prom"  # run 1's file would say run 2 had readings before it started
    # systemd passes the file's assignments as they are; so does env.
    mapfile -t assignments < <(grep -v '^#' "$root/etc/vantrel/bench-lab1.conf")
    env -i PATH=/usr/bin:/bin VANTREL_CLI="$root/usr/bin/vantrel-cli" "${assignments[@]}" "$root$exec" 2>"$work/err$run" &
    local bench=$!
    for _ in $(seq 200); do grep -q '^vantrel_readings_total{.*} [3-9]' "$prom" 2>/dev/null && break; sleep 0.1; done
    kill -TERM "$bench"; wait "$bench"; local code=$?
    [ "$code" -eq 0 ] || { fail "run $run: SIGTERM ended it with $code: $(cat "$work/err$run")"; rc=1; }
    grep -q '^vantrel_measuring{.*} 0' "$prom" || { fail "run $run: metrics file does not say the run ended"; rc=1; }
    sleep 1.1  # the next run starts in another second, as after RestartSec
  done
  kill "$sim"; wait "$sim" 2>/dev/null
  local logs; logs=$(ls "$out/a & b; c"/run-*.txt 2>/dev/null | wc -l)
  [ "$logs" -eq 2 ] || { fail "expected 2 log files, found $logs"; rc=1; }
  for f in "$out/a & b; c"/run-*.txt; do
    grep -qE '^[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9:]{8}, ' "$f" || { fail "$f holds no reading"; rc=1; }
    echo "  $(basename "$f"): $(wc -l < "$f") readings"
  done
  return $rc
}

check_lintian; report "Debian package lintian" $?
if [ -n "${deb:-}" ]; then
  check_man_page; report "manual page of vantrel-cli matches --help" $?
  check_unit; report "systemd-analyze verify vantrel-bench@.service" $?
  check_bench_run; report "bench unit's command against the simulator, SIGTERM" $?
fi

# ---------------------------------------------------------------- Windows archive
# What a Windows program may import: the system's own DLLs.
system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|msimg32|advapi32|setupapi|hid|version|winmm|shell32|ole32|msvcrt)\.dll$'
expected_files=$(printf '%s\n' LICENSE.txt ReadMe.txt "Try with simulated board.cmd" Vantrel.exe vantrel-cli.exe vantrel-sim.exe)
make_archive() {  # build-kind -> prints the zip's path
  local dir="$BUILD/$1"
  cmake --build "$dir" -j "${JOBS:-2}" --target Vantrel vantrel-cli vantrel-sim win_archive_check >/dev/null || return 1
  rm -f "$dir"/Vantrel-*.zip
  (cd "$dir" && cpack -G ZIP >/dev/null) || return 1
  ls "$dir"/Vantrel-*.zip
}
check_archive_files() {  # zip
  local listed; listed=$(unzip -Z1 "$1" | sort)
  [ "$listed" = "$(sort <<<"$expected_files")" ] || fail "$(basename "$1") holds: $listed" || return 1
  unzip -q -d "$work/imports" -o "$1" '*.exe' || return 1
  local exe dll rc=0
  for exe in "$work/imports"/*.exe; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p'); do
      grep -qiE "$system_dlls" <<<"$dll" || { fail "$(basename "$exe") imports $dll"; rc=1; }
    done
  done
  rm -rf "$work/imports"
  return $rc
}
# Unpacked as a user would, into a folder with a space and non-ASCII text:
# the companion from there against the simulator from there, then the batch
# file under cmd (win_archive_check: "USB Connected", a row, the settings
# file beside the exe at shutdown, the simulator ended).
check_archive_run() {  # zip
  local folder="$work/Vantrel Prüfung ü€"
  mkdir -p "$folder" && unzip -q -d "$folder" "$1" || return 1
  xvfb-run -a -s "-screen 0 1280x1024x24" "$here/wine-session.sh" bash -c '
    cd "$1" || exit 1
    export VANTREL_DEVICE="\\\\.\\pipe\\hid#vid_5e3a&pid_fffd#sim#{4d1e55b2-f16f-11cf-88cb-001111000030}"
    "$WINE" vantrel-sim.exe >/dev/null 2>&1 &
    sim=$!
    for i in $(seq 50); do "$WINE" vantrel-cli.exe list >list.out 2>/dev/null && break; sleep 0.2; done
    "$WINE" vantrel-cli.exe measure --count 2 --interval 1 >measure.out 2>measure.err
    code=$?
    kill $sim; wait $sim 2>/dev/null
    [ $code -eq 0 ] || exit $code
    # Then the batch file a user double-clicks, with the tool driven by a
    # test program built beside the archive (not part of it).
    VANTREL_ARCHIVE_DIR="$("$WINE" winepath -w "$1" 2>/dev/null | tr -d "\r")" "$WINE" "$2"' _ "$folder" "$(dirname "$1")/win_archive_check.exe"
  local code=$?
  echo "  exit code of the Wine session: $code"
  echo "  list: $(tr -d '\r' < "$folder/list.out")"
  [ "$code" -eq 0 ] || fail "ended with $code: $(cat "$folder/measure.err")" || return 1
  grep -q 'pipe\\hid#vid_5e3a&pid_fffd#sim' "$folder/list.out" || fail "list did not show the simulator" || return 1
  [ "$(grep -cE '^[0-9]{4}/[0-9]{2}/[0-9]{2} [0-9:]{8}, ' "$folder/measure.out")" -eq 2 ] ||
    fail "measure --count 2 printed: $(cat "$folder/measure.out")"
}

[ "${VANTREL_PACKAGE_CHECK:-all}" = deb ] && exit $((failures > 0))
zip32=$(make_archive win); report "Windows archive (i686) made" $?
[ -n "$zip32" ] && echo "  $zip32" && { check_archive_files "$zip32"; report "i686 archive: file list, system DLLs only" $?; }
zip_run=$zip32
if [ "$WIN_BUILD" != win ]; then
  zip_run=$(make_archive "$WIN_BUILD"); report "Windows archive ($WIN_BUILD) made" $?
  [ -n "$zip_run" ] && { check_archive_files "$zip_run"; report "$WIN_BUILD archive: file list, system DLLs only" $?; }
fi
if [ -n "$zip_run" ]; then
  check_archive_run "$zip_run"; rc=$?  # before any $(...) below resets $?
  report "$(basename "$zip_run") unpacked and run under Wine" $rc
fi

exit $((failures > 0))
