#!/usr/bin/env bash
# Runs fuzzers of the native build for a bounded time each, over their
# committed seeds (tests/fuzz/corpus/NAME) and what earlier runs found
# (BUILD_DIR/fuzz/NAME/corpus). An input that breaks a property is kept in
# BUILD_DIR/fuzz/NAME/artifacts/ and fails the run. FUZZ_JOBS fuzzers run
# at a time (default 1).
#   tests/fuzz/run.sh SECONDS [NAME...]    NAME as in tests/fuzz/NAMEFuzz.cpp
set -uo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath -m "${BUILD_DIR:-build}")
seconds=${1:?seconds per fuzzer}
shift
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for source in tests/fuzz/*Fuzz.cpp; do
        name=${source##*/}
        names+=("${name%Fuzz.cpp}")
    done
fi

if [ "${FUZZ_JOBS:-1}" -gt 1 ] && [ ${#names[@]} -gt 1 ]; then
    printf '%s\n' "${names[@]}" |
        BUILD_DIR="$build" FUZZ_JOBS=1 xargs -P "$FUZZ_JOBS" -I{} "$0" "$seconds" {}
    exit
fi

failed=()
for name in "${names[@]}"; do
    work="$build/fuzz/$name"
    mkdir -p "$work/corpus" "$work/artifacts"
    log="$work/last-run.log"
    if "$build/native/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$work/artifacts/" "$work/corpus" "tests/fuzz/corpus/$name" >"$log" 2>&1; then
        echo "fuzz $name: $(grep -Eo 'Done [0-9]+ runs in [0-9]+ second' "$log" | tail -1)s, no property broken"
    else
        echo "fuzz $name: FAILED, see $log"
        grep -E 'property failed|ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -10
        failed+=("$name")
    fi
done
[ ${#failed[@]} -eq 0 ]
