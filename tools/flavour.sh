#!/usr/bin/env bash
# Which build the tests, the demo and the rest run on here: prints i686 when
# this machine runs 32-bit Windows programs under Wine, x86_64 otherwise,
# and says on standard error which flavour runs and why.
#   tools/flavour.sh           probe and choose
#   tools/flavour.sh ARCH      ARCH forced: i686 fails at once where it cannot run
set -uo pipefail
cd "$(dirname "$0")/.."
forced=${1:-}

describe() {
    case $1 in
    i686) echo "the i686 build in build/ under 32-bit Wine" ;;
    x86_64) echo "the x86_64 build of the same sources in build-x86_64/ under 64-bit Wine" ;;
    esac
}

# A tiny 32-bit program run in the 32-bit tree's own prefix; any failure
# (typically "Exec format error" from a kernel without 32-bit support)
# means no.
probe() {
    local scratch rc
    scratch=$(mktemp -d)
    printf 'int main(void) { return 0; }\n' >"$scratch/probe.c"
    i686-w64-mingw32-gcc -o "$scratch/probe.exe" "$scratch/probe.c" 2>"$scratch/log" &&
        mkdir -p build/wineprefix &&
        WINEARCH=win32 WINEPREFIX="$PWD/build/wineprefix" WINEDEBUG=-all \
            WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d" \
            timeout 120 wine "$scratch/probe.exe" </dev/null >"$scratch/log" 2>&1
    rc=$?
    WINEPREFIX="$PWD/build/wineprefix" wineserver -k 2>/dev/null
    reason=$(grep -m1 -v '^\s*$' "$scratch/log" | sed 's/^.*: //')
    rm -rf "$scratch"
    return $rc
}

case $forced in
x86_64)
    echo "Flavour: $(describe x86_64) (ARCH=x86_64 given)" >&2 ;;
i686)
    if ! probe; then
        echo "ARCH=i686: this machine cannot run 32-bit Windows programs (${reason:-wine failed})" >&2
        exit 1
    fi
    echo "Flavour: $(describe i686) (ARCH=i686 given)" >&2 ;;
"")
    if probe; then
        forced=i686
        echo "Flavour: $(describe i686) (this machine runs 32-bit Windows programs)" >&2
    else
        forced=x86_64
        echo "Flavour: $(describe x86_64)" \
            "(this machine runs no 32-bit Windows programs: ${reason:-wine failed})" >&2
    fi ;;
*)
    echo "ARCH is i686 or x86_64, not $forced" >&2; exit 2 ;;
esac
echo "$forced"
