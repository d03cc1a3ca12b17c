#!/bin/bash
# Builds and runs every test of Config.dll on a Debian 12 machine:
#   1. i686 Windows: the shipping Config.dll, checked statically (32-bit
#      programs cannot run here);
#   2. x86_64 Windows: the same sources as a DLL, its static check and the
#      end-to-end tests through the simulated player, under Wine and Xvfb in
#      a Wine prefix inside the build tree.
# Installs the packages it needs first. Exits non-zero if anything failed.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${CONFIG_BUILD_DIR:-$ROOT/build}
JOBS=${CONFIG_JOBS:-2}
failed=0

step() { printf '\n==== %s ====\n' "$*"; }
run() { "$@" || { echo "FAILED: $*"; failed=1; return 1; }; }

step "Dependencies"
./scripts/install-deps.sh || exit 1

step "i686 build (the shipping Config.dll)"
if run cmake -S . -B "$BUILD/w32" -DCMAKE_BUILD_TYPE=Release \
       -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-i686.cmake" >/dev/null &&
   run cmake --build "$BUILD/w32" -j"$JOBS"; then
    step "i686 static checks"
    (cd "$BUILD/w32" && run ctest --output-on-failure) || failed=1
fi

step "x86_64 build"
rm -rf "$BUILD/w64/test-results"
if run cmake -S . -B "$BUILD/w64" -DCMAKE_BUILD_TYPE=Release \
       -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-x86_64.cmake" \
       -DCMAKE_CROSSCOMPILING_EMULATOR="$ROOT/scripts/wine-run.sh" >/dev/null &&
   run cmake --build "$BUILD/w64" -j"$JOBS"; then
    step "Wine tests (x86_64 under wine64 and Xvfb)"
    export CONFIG_WINEPREFIX="$BUILD/w64/wineprefix"
    export WINEPREFIX="$CONFIG_WINEPREFIX" WINEDEBUG=-all
    # One display for the whole run: the wineserver started by wineboot
    # keeps the display it was started with. The prefix and its background
    # services start before CTest with their output sent elsewhere, so they
    # do not hold CTest's pipes open; the server is stopped before Xvfb goes.
    (cd "$BUILD/w64" && run xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
        /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1
        ctest --output-on-failure; status=$?
        /usr/lib/wine/wineserver64 -k 2>/dev/null
        exit $status') || failed=1
fi

step "Summary"
python3 "$ROOT/scripts/summarize-tests.py" wine="$BUILD/w64/test-results" || failed=1
exit $failed
