#!/bin/sh
# Runs one Windows program under wine64 in the build tree's own Wine prefix.
# Used as CMAKE_CROSSCOMPILING_EMULATOR, so CTest runs each Windows test
# program as one Wine process. The prefix is started beforehand by the test
# script (wineboot), so the background services do not hold CTest's pipes.
: "${WINEPREFIX:=${CONFIG_WINEPREFIX:-$(pwd)/wineprefix}}"
export WINEPREFIX
: "${WINEDEBUG:=-all}"
export WINEDEBUG
exec /usr/lib/wine/wine64 "$@"
