#!/bin/bash
# Runs one Windows program under wine64 in the build tree's own Wine prefix.
# Used as CMAKE_CROSSCOMPILING_EMULATOR, so CTest runs each Windows test
# program as one Wine process. The prefix is started beforehand by the test
# script (wineboot), so its background services do not hold CTest's pipes.
#
# Wine's heap checking is on (WINEDEBUG=+heap; CONFIG_HEAP_CHECK=0 turns it
# off): every heap block is validated when it is released, and an overrun is
# reported as "err:heap:...". The trace it writes is huge, so only those
# error lines are kept: printed, counted in a closing line, and any of them
# fails the run. A crash ends the program rather than waiting in Wine's
# debugger.
: "${WINEPREFIX:=${CONFIG_WINEPREFIX:-$(pwd)/wineprefix}}"
export WINEPREFIX WINEDLLOVERRIDES="winedbg.exe=d"
if [ "${CONFIG_HEAP_CHECK:-1}" != 1 ]; then
    WINEDEBUG=${WINEDEBUG:--all} exec /usr/lib/wine/wine64 "$@"
fi
status_file=$(mktemp)
errors=$( { WINEDEBUG=+heap /usr/lib/wine/wine64 "$@" 2>&1 1>&3 3>&-; echo $? >"$status_file"; } 3>&1 |
          awk '/err:heap/ { print; next } !/:heap:/ { print > "/dev/stderr" }' )
status=$(cat "$status_file")
rm -f "$status_file"
count=$(printf '%s' "$errors" | grep -c 'err:heap')
[ "$count" -gt 0 ] && printf '%s\n' "$errors" | head -n 20
echo "Wine heap check: $count heap errors"
# The test script collects the closing lines for its summary.
label=$(basename "$1")
[ "${2:-}" = --heap-canary ] && label="$label --heap-canary (an overrun made on purpose)"
[ -n "${CONFIG_HEAP_REPORT:-}" ] && echo "$label: $count heap errors" >>"$CONFIG_HEAP_REPORT"
[ "$count" -eq 0 ] || exit 1
exit "$status"
