#!/usr/bin/env bash
# The demo (make demo): tolvane.dll, driven by the host simulator, forwards a
# sample conversation to a real SMTP server on 127.0.0.1 port 25, and every
# mail is shown as the server received it. Expects a finished build.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}

. tools/wine-env.sh

for program in "$build/tolvane.dll" "$build/host_simulator.exe"; do
    [ -f "$program" ] || { echo "demo: $program is missing: run make build first" >&2; exit 1; }
done

# demo.py stops what it starts; this also covers an interrupted run.
trap 'wineserver -k 2>/dev/null || true' EXIT
/usr/bin/python3 tools/demo.py --build "$build" --start-wine "$@"
