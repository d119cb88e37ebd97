#!/usr/bin/env bash
# Runs the test programs under Wine with everything they need around them:
# one wineserver for the whole run, a display for real windows, and the mail
# lab that serves SMTP servers and scripted peers on loopback addresses.
# Arguments go to ctest, e.g. tests/run.sh -R Settings.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
root=$(pwd)

export WINEPREFIX="$root/$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"

pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wineserver -k 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT

# The display comes first: Wine's desktop process, started with the first
# program, binds to the DISPLAY it sees then, and windows fail without it.
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        pids+=($!)
        export DISPLAY=":$n"
        break
    done
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break; sleep 0.1; done
fi

# The persistent server first, so that a first-time wineboot runs on it
# instead of leaving a server of its own behind that -p would refuse.
mkdir -p "$WINEPREFIX"
wineserver -p
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
# Wine's own service processes start with the first program and would keep
# ctest's output pipes open; start them now, away from those pipes.
wine cmd /c exit </dev/null >/dev/null 2>&1
# Xvfb runs no window manager: with unmanaged windows Wine closes a window at
# once instead of waiting two seconds for a manager that never answers.
grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null ||
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1

if [ -f tests/peers/maillab.py ]; then
    portfile=$(mktemp)
    /usr/bin/python3 tests/peers/maillab.py --port-file "$portfile" &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$portfile" ] && break; sleep 0.1; done
    export TOLVANE_MAILLAB="127.0.0.1:$(cat "$portfile")"
    rm -f "$portfile"
fi

ctest --test-dir "$build" --output-on-failure "$@"
