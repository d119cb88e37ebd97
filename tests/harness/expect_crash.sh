#!/usr/bin/env bash
# Runs crash_probe in one mode and passes only when the program ended by
# itself with the failure expected of a crash.
#   expect_crash.sh PROBE plugin   exit code 3, from the test host's filter
#   expect_crash.sh PROBE plain    any non-zero exit code
set -u
probe=$1
mode=$2
output=$("$WINE" "$probe" "$mode" 2>&1 </dev/null)
rc=$?
echo "$output"
echo "crash_probe $mode exited with $rc"
case $mode in
    plugin) [ "$rc" -eq 3 ] && grep -q "unhandled exception" <<<"$output" ;;
    plain) [ "$rc" -ne 0 ] && ! grep -q "no crash happened" <<<"$output" ;;
    *) exit 2 ;;
esac
