#!/bin/sh
# scripts/fuzz.sh [seconds] - builds the fuzz targets with clang in build/fuzz
# and runs each for the given seconds (default 600) on a scratch copy of its
# seed corpus. Prints the executions and any crash input of each target;
# exits non-zero when a target crashed.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-600}
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCONFIG_FUZZ=ON -DCONFIG_BUILD_TESTS=ON >/dev/null
cmake --build build/fuzz --target fuzz_targets >/dev/null
failed=0
for target in parse_proxy_server file_names; do
    work=build/fuzz/fuzz-run/$target
    rm -rf "$work" && mkdir -p "$work/corpus" && cp tests/fuzz/corpus/$target/* "$work/corpus/"
    status=0
    build/fuzz/tests/fuzz_$target -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$work/" "$work/corpus" >"$work/log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
    echo "fuzz_$target: ${runs:-?} executions"
    if [ "$status" -ne 0 ]; then
        failed=1
        echo "  CRASHED (exit $status): $(ls "$work" | grep -E '^(crash|leak|timeout|oom)-' || true); log: $work/log"
        grep -m 1 -E 'invariant violated|ERROR: ' "$work/log" | sed 's/^/  /' || true
    fi
done
exit $failed
