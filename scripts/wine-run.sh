#!/bin/bash
# The Wine suite of one Windows build tree, as its CTest test runs it, in the Wine root on an Xvfb
# display: scripts/wine-run.sh BUILD_DIR NAME (build/w32 i686, build/w64 x86_64). The heap canary, then
# the suite; what passes and fails is told in docs/TESTING.md. Its lines go to BUILD_DIR/wine-suite.txt.
set -uo pipefail
for setting in $(compgen -e GTEST_); do unset "$setting"; done  # the suites run whole unless asked
partial=${CONFIG_TEST_FILTER:-}
dir=$(realpath "$1")
name=$2
source=$(realpath "$(dirname "$0")/..")
if [ "${3:-}" != --in-root ]; then
    if [ "$name" = i686 ] && ! how=$("$source/scripts/wine-root.sh" runs-32-bit 2>&1); then
        [ "${CONFIG_ALLOW_SKIP:-}" = 1 ] || { echo "$name suite: NOT RUN: $how" | tee "$dir/wine-suite.txt"; exit 1; }
        echo "$name suite: skipped (CONFIG_ALLOW_SKIP=1): $how" | tee "$dir/wine-suite.txt"
        exit 77
    fi
    [ "$name" = i686 ] && export CONFIG_32_BIT_HOW=" (32-bit code $how)"
    exec "$source/scripts/wine-root.sh" run --prefix "$dir/wineprefix" --xvfb "$source" "$dir" -- \
        bash "$source/scripts/wine-run.sh" "$dir" "$name" --in-root
fi
program=$dir/tests/wine/config_e2e.exe
dll=Z:$dir/Utilities/Config/Config.dll
: >"$dir/wine-suite.txt"
loader=$WINE  # the i686 program runs in Wine's 32-bit loader
[ "$name" = i686 ] && loader=/usr/lib/wine/wine

# The program with WINEDEBUG=$1: $output, $status, $heap_errors (the first printed); Wine's other messages pass.
run_program() {
    local out debug=$1
    out=$(mktemp)
    { WINEDEBUG=$debug "$loader" "$program" "${@:2}" 2>&1 >"$out"; echo $? >"$out.status"; } |
        awk -v errors="$out.heap" '/err:heap/ { print > errors; next } !/:heap:/ { print > "/dev/stderr" }'
    output=$(tr -d '\r' <"$out")
    status=$(cat "$out.status")
    heap_errors=$(cat "$out.heap" 2>/dev/null | grep -c 'err:heap')
    [ "$heap_errors" -gt 0 ] && head -n 20 "$out.heap" >&2
    rm -f "$out" "$out.status" "$out.heap"
}
# gtest's lines of tests that ended "OK" or "FAILED" in $output (its closing list has no times).
counted() { grep -c "^\[  *$1  *\] .* ([0-9]* ms)$" <<<"$output"; }

run_program +heap "--config-dll=$dll" --heap-canary
printf '%s\n' "$output" | grep -q '^config_e2e started' || echo "$name: the program did not start (exit $status)"
guard=$(printf '%s\n' "$output" | sed -n 's/^Guard bytes: \([0-9]*\) overruns reported$/\1/p')
echo "$name canary (overruns made on purpose): Wine heap check $heap_errors errors, guard bytes ${guard:-no} overruns" |
    tee -a "$dir/wine-suite.txt"
ok=$(( heap_errors > 0 && ${guard:-0} > 0 ))

# The tests the program holds, as it lists them: a whole run passes every one.
run_program -all "--config-dll=$dll" --gtest_list_tests
held=$(awk '/^[^ ]/ { suite = $1 } /^  / && suite $1 !~ /(^|[.\/])DISABLED_/ { n++ } END { print n + 0 }' <<<"$output")

# The suite in one process under Wine's heap checking, except where 32-bit code is emulated (eight
# times slower): there the guard bytes alone watch the module's blocks (the canary proves them).
heap=+heap
[[ "${CONFIG_32_BIT_HOW:-}" == *emulated* ]] && heap=-all
run_program "$heap" "--config-dll=$dll" ${partial:+"--gtest_filter=$partial"}
printf '%s\n' "$output"
passed=$(counted OK) failed=$(counted FAILED) wanted=$held problems=()
[ -z "$partial" ] || wanted=$(sed -n 's/^\[==========\] Running \([0-9]*\) tests\? from .*/\1/p' <<<"$output")
if ! grep -q '^\[==========\] [0-9]* tests\? from .* ran\.' <<<"$output"; then
    problems+=("the program ended after $((passed + failed)) of ${wanted:-?} tests (exit $status)")
elif [ "$passed" -ne "${wanted:-0}" ] || [ "$passed" -eq 0 ]; then
    problems+=("$passed of ${wanted:-?} tests passed")
elif [ "$status" -ne 0 ]; then
    problems+=("exit status $status")
fi
# Each sweep mode ends with "[ sweep    ] MODE: SWEPT of ALL fault points swept (HOW), SURVIVED survived".
sweeps=$(sed -n 's/^\[ sweep    \] \([a-z ]*: [0-9]* of [0-9]* fault points swept (.*), [0-9]* survived\)$/\1/p' <<<"$output")
for mode in "one call" "from call k on"; do
    grep -q "^$mode: " <<<"$sweeps" || [ -n "$partial" ] || problems+=("no final line of the sweep \"$mode\"")
done
while IFS='|' read -r mode swept survived; do
    [ "$swept" -gt 0 ] && [ "$survived" -eq "$swept" ] || problems+=("sweep \"$mode\": $survived of $swept survived")
done < <(sed -n 's/^\(.*\): \([0-9]*\) of .*, \([0-9]*\) survived$/\1|\2|\3/p' <<<"$sweeps")

checked="Wine heap check $heap_errors errors"
[ "$heap" = -all ] && checked="Wine heap check off (emulated), guard bytes on"
{
    echo "$name suite${CONFIG_32_BIT_HOW:-}: $passed of ${wanted:-?} tests passed, $failed failed${partial:+ (partial: CONFIG_TEST_FILTER=$partial, of the $held tests)}; $checked"
    [ -z "$sweeps" ] || sed "s/^/$name fault sweep, /" <<<"$sweeps"
    [ ${#problems[@]} -eq 0 ] || printf "$name suite FAILED: %s\n" "${problems[@]}"
} | tee -a "$dir/wine-suite.txt"
[ "$ok" -eq 1 ] && [ "$heap_errors" -eq 0 ] && [ ${#problems[@]} -eq 0 ]
