#!/usr/bin/env bash
# Installs what building and testing need, when it is missing: the mingw-w64
# cross compiler, Wine with its 32-bit part, a virtual display, CMake,
# GoogleTest's sources and the Python SMTP server of the mail lab.
# Idempotent, and silent when everything is already there.
set -euo pipefail

packages=(g++-mingw-w64-i686 wine wine32:i386 xvfb python3-aiosmtpd cmake make googletest clang libclang-rt-14-dev libbenchmark-dev)

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Shows apt's own words only when something goes wrong.
quietly() {
    "$@" >"$log" 2>&1 || { cat "$log" >&2; echo "install-deps: failed: $*" >&2; exit 1; }
}
# wine32 exists only once the i386 architecture is known.
dpkg --print-foreign-architectures | grep -qx i386 || quietly $sudo dpkg --add-architecture i386
quietly $sudo apt-get update
quietly $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y \
    "${missing[@]}"
