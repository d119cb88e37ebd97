#!/usr/bin/env bash
# Installs what building and testing need, when it is missing: the mingw-w64
# cross compilers for 32-bit and 64-bit Windows, Wine with both its halves, a
# virtual display, CMake, GoogleTest's sources, clang for the native build,
# and the Python SMTP server and the Dovecot IMAP server of the mail lab.
# Idempotent, and silent when everything is already there. wine32 installs even where the kernel runs no
# 32-bit code; tools/flavour.sh decides afterwards which build runs.
set -euo pipefail

packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb python3-aiosmtpd
    cmake make googletest clang libclang-rt-14-dev libbenchmark-dev openssl dovecot-imapd)
# An index that fails to download (a mirror in the middle of a sync) is
# tried again this often before the install goes on with what arrived.
UPDATE_TRIES=3

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
for try in $(seq "$UPDATE_TRIES"); do
    $sudo apt-get update >"$log" 2>&1 && break
    if [ "$try" -eq "$UPDATE_TRIES" ]; then
        echo "install-deps: apt-get update failed for some index; going on with what arrived:" >&2
        grep -E '^(E|W):' "$log" >&2 || true
    else
        sleep 5
    fi
done
# The main suite preferred: where the amd64 libraries came from the security
# suite but an index of it failed for i386, multi-arch packages still find one
# version for both architectures.
if ! $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y \
    -o APT::Default-Release="$(. /etc/os-release && echo "$VERSION_CODENAME")" \
    "${missing[@]}" >"$log" 2>&1; then
    cat "$log" >&2
    for p in "${missing[@]}"; do
        installed "$p" || echo "install-deps: could not install $p" >&2
    done
    exit 1
fi
