#!/usr/bin/env bash
# Runs the test programs under Wine with everything they need around them:
# one wineserver for the whole run, a display for real windows, and the mail
# lab that serves SMTP servers and scripted peers on loopback addresses.
# Arguments go to ctest, e.g. tests/run.sh -R Settings.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}

. tools/wine-env.sh

# The push services' real names lead to the lab's push address for the run
# only: the entries carry this run's mark and go at exit, pass or fail.
# Wine resolves through /etc/hosts.
hostsmark="tolvane-push-$$"
remove_hosts() {
    if grep -q "$hostsmark" /etc/hosts 2>/dev/null; then
        # In place: /etc/hosts may be a mount point that cannot be replaced.
        grep -v "$hostsmark" /etc/hosts >"/etc/hosts.$hostsmark" || true
        cat "/etc/hosts.$hostsmark" >/etc/hosts
        rm -f "/etc/hosts.$hostsmark"
    fi
}
pids=()
cleanup() {
    remove_hosts
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wineserver -k 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'echo "tests/run.sh: failed: $BASH_COMMAND" >&2' ERR

# A full run begins with a few seconds of each fuzzer of the native build,
# which needs nothing of Wine.
case " $* " in
*" -R "* | *" -E "* | *" -L "* | *" -C "*) ;;
*) BUILD_DIR="$build" FUZZ_JOBS=$(nproc) tests/fuzz/run.sh 3 ;;
esac

# The display comes first: Wine's desktop process starts with the first
# program and keeps the display it found then.
if [ -z "${DISPLAY:-}" ]; then
    displayfile=$(mktemp)
    # Xvfb picks a free display itself, so concurrent runs never collide.
    Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$displayfile" 2>/dev/null &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
    [ -s "$displayfile" ] || { echo "tests/run.sh: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$(head -n1 "$displayfile")"
    rm -f "$displayfile"
fi

# The persistent server first: a wineboot started without one leaves its own
# server lingering, and "wineserver -p" would then refuse to start.
mkdir -p "$WINEPREFIX"
wineserver -p
[ -f "$WINEPREFIX/system.reg" ] || "$WINE" wineboot -i >/dev/null 2>&1
# Wine's own service processes start with the first program and would keep
# ctest's output pipes open; start them now, away from those pipes.
"$WINE" cmd /c exit </dev/null >/dev/null 2>&1
# Xvfb runs no window manager: with unmanaged windows Wine closes a window at
# once instead of waiting two seconds for a manager that never answers.
grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null ||
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
# One hidden window for the whole run keeps Wine's desktop process from
# ending between two test programs; wineserver -k ends it with the rest.
"$WINE" "$build/tests/desktop_keeper.exe" </dev/null >/dev/null 2>&1 &

if [ -f tests/peers/maillab.py ]; then
    portfile=$(mktemp)
    pushfile=$(mktemp -u)
    /usr/bin/python3 tests/peers/maillab.py --port-file "$portfile" --push-host-file "$pushfile" &
    pids+=($!)
    for _ in $(seq 150); do [ -s "$portfile" ] && [ -s "$pushfile" ] && break; sleep 0.1; done
    [ -s "$portfile" ] && [ -s "$pushfile" ] || { echo "tests/run.sh: the mail lab did not start" >&2; exit 1; }
    export TOLVANE_MAILLAB="127.0.0.1:$(cat "$portfile")"
    echo "$(cat "$pushfile") ntfy.sh api.pushover.net api.telegram.org gotify.lab.test # $hostsmark" >>/etc/hosts
    rm -f "$portfile" "$pushfile"
fi

ctest --test-dir "$build" --output-on-failure --no-tests=error "$@"
