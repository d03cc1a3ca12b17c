#!/bin/bash
# Builds and runs every test of Config.dll on a Debian 12 machine:
#   1. native: unit tests of the module's system-free functions under
#      AddressSanitizer and UndefinedBehaviorSanitizer, and a short bounded
#      run of each fuzz target (scripts/fuzz.sh runs them for longer);
#   2. i686 Windows: the shipping Config.dll, checked statically (32-bit
#      programs cannot run here);
#   3. x86_64 Windows: the same sources, checked statically, then the
#      end-to-end suite on the real DLL under Wine and Xvfb, in a Wine prefix
#      inside the build tree, with Wine's heap checking on.
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

step "Native unit tests (ASan + UBSan)"
rm -rf "$BUILD/native/test-results"
if run cmake -S . -B "$BUILD/native" -DCMAKE_BUILD_TYPE=Debug -DCONFIG_SANITIZE=ON >/dev/null &&
   run cmake --build "$BUILD/native" -j"$JOBS"; then
    (cd "$BUILD/native" && ASAN_OPTIONS=detect_leaks=1 run ctest --output-on-failure) || failed=1
fi

step "Fuzz targets (clang, ASan + UBSan, a few seconds each)"
if CC=clang CXX=clang++ run cmake -S . -B "$BUILD/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCONFIG_FUZZ=ON >/dev/null &&
   run cmake --build "$BUILD/fuzz" -j"$JOBS" --target fuzz_targets >/dev/null; then
    (cd "$BUILD/fuzz" && run ctest -R '^fuzz_' --output-on-failure) || failed=1
fi

step "i686 build (the shipping Config.dll) and its static check"
if run cmake -S . -B "$BUILD/w32" -DCMAKE_BUILD_TYPE=Release \
       -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-i686.cmake" >/dev/null &&
   run cmake --build "$BUILD/w32" -j"$JOBS"; then
    (cd "$BUILD/w32" && run ctest --output-on-failure) || failed=1
fi

step "x86_64 build, its static check and the Wine suite (wine64, Xvfb, heap checking)"
rm -rf "$BUILD/w64/test-results"
if run cmake -S . -B "$BUILD/w64" -DCMAKE_BUILD_TYPE=Release \
       -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-x86_64.cmake" \
       -DCMAKE_CROSSCOMPILING_EMULATOR="$ROOT/scripts/wine-run.sh" >/dev/null &&
   run cmake --build "$BUILD/w64" -j"$JOBS"; then
    export CONFIG_WINEPREFIX="$BUILD/w64/wineprefix"
    export WINEPREFIX="$CONFIG_WINEPREFIX" WINEDEBUG=-all
    export CONFIG_HEAP_REPORT="$BUILD/w64/test-results/wine-heap-check.txt"
    mkdir -p "$BUILD/w64/test-results"
    # One display for the whole run: the wineserver started by wineboot
    # keeps the display it was started with. The prefix and its background
    # services start before CTest with their output sent elsewhere, so they
    # do not hold CTest's pipes open. Without a window manager Wine waits
    # two seconds for every closed dialog unless its windows are unmanaged.
    # The server is stopped before Xvfb goes.
    (cd "$BUILD/w64" && run xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
        /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1
        /usr/lib/wine/wine64 reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /t REG_SZ /d N /f \
            </dev/null >/dev/null 2>&1
        ctest --output-on-failure; status=$?
        /usr/lib/wine/wineserver -k 2>/dev/null
        exit $status') || failed=1
fi

step "Summary"
echo "Wine heap check (WINEDEBUG=+heap):"
sed 's/^/  /' "$BUILD/w64/test-results/wine-heap-check.txt" 2>/dev/null || { echo "  no report"; failed=1; }
python3 "$ROOT/scripts/summarize-tests.py" \
    native="$BUILD/native/test-results" wine="$BUILD/w64/test-results" || failed=1
exit $failed
