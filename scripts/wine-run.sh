#!/bin/bash
# The Wine suite of one Windows build tree, as its CTest test runs it, in the
# Wine root on an Xvfb display (from :120 up):
#   scripts/wine-run.sh BUILD_DIR NAME      (build/w32 i686, build/w64 x86_64)
# Where 32-bit programs cannot run, the i686 suite fails with the reason, or
# with CONFIG_ALLOW_SKIP=1 is skipped (exit 77). First the heap canary: both
# heap checks must report its overruns; then the suite, which fails on a heap
# error or when no test ran. A line per run goes to BUILD_DIR/wine-suite.txt.
set -uo pipefail
dir=$(realpath "$1")
name=$2
source=$(realpath "$(dirname "$0")/..")
if [ "${3:-}" != --in-root ]; then
    if [ "$name" = i686 ]; then
        if ! how=$("$source/scripts/wine-root.sh" runs-32-bit 2>&1); then
            [ "${CONFIG_ALLOW_SKIP:-}" = 1 ] || { echo "$name suite: NOT RUN: $how" | tee "$dir/wine-suite.txt"; exit 1; }
            echo "$name suite: skipped (CONFIG_ALLOW_SKIP=1): $how" | tee "$dir/wine-suite.txt"
            exit 77
        fi
        export CONFIG_32_BIT_HOW=" (32-bit code $how)"
    fi
    exec "$source/scripts/wine-root.sh" run --prefix "$dir/wineprefix" "$source" "$dir" -- \
        xvfb-run -a -n 120 -s "-screen 0 1280x1024x24" bash "$0" "$dir" "$name" --in-root
fi
program=$dir/tests/wine/config_e2e.exe
dll=Z:$dir/Utilities/Config/Config.dll
: >"$dir/wine-suite.txt"
export WINEPREFIX=$dir/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="winedbg.exe=d"
WINE=/usr/lib/wine/wine64
loader=$WINE  # the i686 program runs in Wine's 32-bit loader
[ "$name" = i686 ] && loader=/usr/lib/wine/wine

# Windows unmanaged: else Wine waits 2 s for a window manager on each close.
"$WINE" wineboot </dev/null >/dev/null 2>&1
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1

# The program with WINEDEBUG=$1: $output, $status, $heap_errors (the first printed); Wine's other messages pass.
run_program() {
    local out debug=$1
    shift
    out=$(mktemp)
    { WINEDEBUG=$debug "$loader" "$program" "$@" 2>&1 >"$out"; echo $? >"$out.status"; } |
        awk -v errors="$out.heap" '/err:heap/ { print > errors; next } !/:heap:/ { print > "/dev/stderr" }'
    output=$(tr -d '\r' <"$out")
    status=$(cat "$out.status")
    heap_errors=$(cat "$out.heap" 2>/dev/null | grep -c 'err:heap')
    [ "$heap_errors" -gt 0 ] && head -n 20 "$out.heap" >&2
    rm -f "$out" "$out.status" "$out.heap"
}
# gtest's count of "PASSED" or "FAILED" tests in $output, 0 when it has none.
counted() { printf '%s\n' "$output" | sed -n "s/^\[  $1  \] \([0-9]*\) tests\?[.,].*/\1/p" | grep . || echo 0; }

run_program +heap "--config-dll=$dll" --heap-canary
printf '%s\n' "$output" | grep -q '^config_e2e started' || echo "$name: the program did not start (exit $status)"
guard=$(printf '%s\n' "$output" | sed -n 's/^Guard bytes: \([0-9]*\) overruns reported$/\1/p')
echo "$name canary (overruns made on purpose): Wine heap check $heap_errors errors, guard bytes ${guard:-no} overruns" |
    tee -a "$dir/wine-suite.txt"
ok=$(( heap_errors > 0 && ${guard:-0} > 0 ))

# The suite in one process under Wine's heap checking, except where 32-bit code is emulated (eight
# times slower): there the guard bytes alone watch the module's blocks (the canary proves them).
heap=+heap
[[ "${CONFIG_32_BIT_HOW:-}" == *emulated* ]] && heap=-all
run_program "$heap" "--config-dll=$dll"
printf '%s\n' "$output"
[ "$status" -eq 0 ] && [ "$(counted PASSED)" -gt 0 ] || ok=0
sweep=$(printf '%s\n' "$output" | sed -n 's/^\[ sweep    \] \(.* swept .*\)$/\1/p')
checked="Wine heap check $heap_errors errors"
[ "$heap" = -all ] && checked="Wine heap check off (emulated), guard bytes on"
echo "$name suite${CONFIG_32_BIT_HOW:-}: $(counted PASSED) passed, $(counted FAILED) failed; $checked; fault sweep: ${sweep:-did not finish}" |
    tee -a "$dir/wine-suite.txt"
"${WINE%wine64}wineserver" -k 2>/dev/null
[ "$ok" -eq 1 ] && [ "$heap_errors" -eq 0 ]
