#!/usr/bin/env bash
# Installs what building, running and testing Vantrel need on Debian 12.
# Idempotent: apt runs only when a package is missing.
set -euo pipefail

PACKAGES=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 file xvfb xauth x11-utils
  fonts-ipafont-gothic fonts-wine cmake make g++ googletest libgtest-dev
  libbenchmark-dev imagemagick clang libclang-rt-14-dev libhidapi-dev pkg-config
  prometheus prometheus-node-exporter lintian help2man systemd zip unzip)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
install() { $SUDO apt-get "$@" install -y --no-install-recommends "${missing[@]}"; }
$SUDO apt-get update || true
if ! install; then
  # A security mirror caught mid-sync can list amd64 updates without their
  # i386 twins, which multiarch refuses. Retry from the machine's own
  # sources (its mirror, its proxy) without the security suite.
  fallback=$(mktemp -d)
  eval "$(apt-config shell source_list Dir::Etc::sourcelist/f source_parts Dir::Etc::sourceparts/d)"
  "$(dirname "$0")/apt-sources-without-security.sh" "${source_list:-/etc/apt/sources.list}" \
    "${source_parts:-/etc/apt/sources.list.d}" "$fallback"
  opts=(-o "Dir::Etc::SourceList=$fallback/sources.list" -o "Dir::Etc::SourceParts=$fallback/parts")
  $SUDO apt-get "${opts[@]}" update
  install "${opts[@]}"
  rm -rf "$fallback"
fi

# Where an init system runs, these packages start their services on install.
# The test run starts its own on free loopback ports, so none is left running.
for service in prometheus prometheus-node-exporter; do
  [[ " ${missing[*]} " == *" $service "* ]] || continue
  if [ -d /run/systemd/system ]; then
    $SUDO systemctl disable --now "$service" || true
  elif [ -x "/etc/init.d/$service" ] && "/etc/init.d/$service" status >/dev/null 2>&1; then
    $SUDO "/etc/init.d/$service" stop || true
  fi
done
