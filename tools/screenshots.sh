#!/usr/bin/env bash
# Renders the preferences page, the About box, the Read-Me dialog and the
# Advanced Settings dialog under Wine and Xvfb and writes them as PNG files
# under docs/. Run by
# `make screenshots` after the build; not part of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
root=$(pwd)
out="$root/docs"

. tools/wine-env.sh

xvfb=""
shots=$(mktemp -d)
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$shots"
}
trap cleanup EXIT

# The display must exist before Wine's first program starts its desktop.
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 121 150); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb=$!
        export DISPLAY=":$n"
        break
    done
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break; sleep 0.1; done
fi

mkdir -p "$WINEPREFIX"
wineserver -p
[ -f "$WINEPREFIX/system.reg" ] || "$WINE" wineboot -i >/dev/null 2>&1
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1

"$WINE" "$build/tools/capture_windows.exe" "$("$WINE" winepath -w "$shots")" </dev/null
mkdir -p "$out"
for name in prefs-page about readme advanced; do
    /usr/bin/python3 tools/bmp_to_png.py "$shots/$name.bmp" "$out/$name.png"
    echo "docs/$name.png"
done
