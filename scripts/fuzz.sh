#!/bin/bash
# Builds the libFuzzer targets of the module's logic (clang, in-memory
# platform, AddressSanitizer and UndefinedBehaviorSanitizer) and runs each
# one for the given number of seconds on its own corpus.
#
#   scripts/fuzz.sh [seconds-per-target] [target...]
#
# Default 600 seconds, every target. Each target works in
# $CONFIG_FUZZ_WORK_DIR/<target> (default: <build dir>/fuzz-work): the seeds
# of tests/fuzz/corpus/<target> are copied into its corpus/, which keeps
# growing from run to run; a crash input stays in its crashes/ folder and
# its output in fuzz.log. Prints executions, time and crashes per target and
# exits non-zero when any target crashed. Build folder:
# $CONFIG_FUZZ_BUILD_DIR (default build/fuzz); jobs: $CONFIG_JOBS (default 2).
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
SECONDS_PER_TARGET=${1:-600}
shift || true
BUILD=${CONFIG_FUZZ_BUILD_DIR:-$ROOT/build/fuzz}
WORK=${CONFIG_FUZZ_WORK_DIR:-$BUILD/fuzz-work}
JOBS=${CONFIG_JOBS:-2}
ALL_TARGETS="parse_proxy_server proxy_settings read_registry_string network_dialog log_message paths"
TARGETS=${*:-$ALL_TARGETS}

case "$SECONDS_PER_TARGET" in
    ''|*[!0-9]*) echo "usage: $0 [seconds-per-target] [target...]" >&2; exit 2 ;;
esac
command -v clang++ >/dev/null 2>&1 || { echo "clang++ is needed (Debian package clang)" >&2; exit 1; }

echo "==== Building the fuzz targets in $BUILD"
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCONFIG_FUZZ=ON >/dev/null || exit 1
cmake --build "$BUILD" -j"$JOBS" --target fuzz_targets >/dev/null || {
    echo "build failed; run: cmake --build $BUILD --target fuzz_targets" >&2
    exit 1
}

failed=0
printf '\n%-22s %12s %8s %8s  %s\n' target executions seconds crashes kept
for target in $TARGETS; do
    binary="$BUILD/tests/fuzz/fuzz_$target"
    seeds="$ROOT/tests/fuzz/corpus/$target"
    if [ ! -x "$binary" ] || [ ! -d "$seeds" ]; then
        echo "unknown target: $target (known: $ALL_TARGETS)" >&2
        failed=1
        continue
    fi
    dir="$WORK/$target"
    mkdir -p "$dir/corpus" "$dir/crashes"
    cp "$seeds"/* "$dir/corpus/"
    touch "$dir/.started"
    start=$(date +%s)
    "$binary" -max_total_time="$SECONDS_PER_TARGET" -timeout=20 -rss_limit_mb=2048 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$dir/crashes/" "$dir/corpus" >"$dir/fuzz.log" 2>&1
    status=$?
    elapsed=$(( $(date +%s) - start ))
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/fuzz.log" | tail -n 1)
    [ -n "$executions" ] || executions=$(grep -oE '^#[0-9]+' "$dir/fuzz.log" | tail -n 1 | tr -d '#')
    # crash-, leak-, timeout- and oom- inputs written by this run
    found=$(find "$dir/crashes" -type f -newer "$dir/.started")
    crashes=$(printf '%s' "$found" | grep -c . || true)
    kept=""
    if [ "$status" -ne 0 ] || [ "$crashes" -gt 0 ]; then
        failed=1
        [ "$crashes" -gt 0 ] || crashes=1
        kept="$(printf '%s' "$found" | tr '\n' ' ') (log: $dir/fuzz.log)"
    fi
    printf '%-22s %12s %8s %8s  %s\n' "$target" "${executions:-?}" "$elapsed" "$crashes" "$kept"
done

if [ "$failed" -ne 0 ]; then
    echo
    echo "FAILED: see the crash inputs and logs above; rerun one with: <target binary> <crash file>"
    for target in $TARGETS; do
        log="$WORK/$target/fuzz.log"
        [ -f "$log" ] && grep -q -E 'invariant violated|ERROR: ' "$log" &&
            { echo "---- $target"; grep -m 1 -A 3 -E 'invariant violated|ERROR: ' "$log"; }
    done
    exit 1
fi
echo
echo "No crashes."
