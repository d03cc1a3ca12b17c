#!/bin/bash
# Builds and runs every test of Config.dll on a Debian 12 machine:
#   1. native: unit tests of the module's system-free functions under
#      AddressSanitizer and UndefinedBehaviorSanitizer, and a short bounded
#      run of each fuzz target (tests/CMakeLists.txt says how to run them
#      for longer);
#   2. both Windows builds, i686 (the shipping Config.dll) and x86_64, each
#      checked statically;
#   3. the end-to-end suite of each build on its real DLL under Wine 10 and
#      Xvfb, in a Wine prefix inside its build tree, with Wine's heap
#      checking on (scripts/wine-run.sh); Wine 10 runs in a Debian 13 root
#      that scripts/wine-root.sh makes once and keeps.
# Installs the packages it needs first; needs root (packages, the root's
# mounts). Exits non-zero if anything failed.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${CONFIG_BUILD_DIR:-$ROOT/build}
JOBS=${CONFIG_JOBS:-2}
failed=0

step() { printf '\n==== %s ====\n' "$*"; }
run() { "$@" || { echo "FAILED: $*"; failed=1; return 1; }; }

step "Dependencies and the Wine root"
./scripts/install-deps.sh || exit 1
./scripts/wine-root.sh prepare || exit 1

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

built=()
for machine in i686:w32 x86_64:w64; do
    step "${machine%%:*} build and its static check"
    tree=$BUILD/${machine#*:}
    if run cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=Release \
           -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-${machine%%:*}.cmake" >/dev/null &&
       run cmake --build "$tree" -j"$JOBS"; then
        (cd "$tree" && run ctest --output-on-failure) || failed=1
        rm -rf "$tree/test-results"
        # Where no 32-bit code runs the i686 suite cannot run either: said in
        # the summary, not failed.
        if [ "${machine%%:*}" = i686 ] && ! reason=$(./scripts/wine-root.sh runs-32-bit 2>&1); then
            mkdir -p "$tree/test-results" && echo "$reason" >"$tree/test-results/not-run.txt"
        else
            built+=("$tree" "${machine%%:*}")
        fi
    fi
done

step "The Wine suites of both builds (Wine 10, Xvfb, heap checking)"
# One display for both: each build's prefix has its own wineserver, started
# on that display and stopped before Xvfb goes.
./scripts/wine-root.sh run "$ROOT" "$BUILD" -- xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    status=0
    while [ $# -gt 1 ]; do bash "$0" "$1" "$2" || status=1; shift 2; done
    exit $status' "$ROOT/scripts/wine-run.sh" "${built[@]}" || failed=1

step "Summary"
echo "Heap checks (overruns made on purpose first, then the suite):"
cat "$BUILD"/w32/test-results/wine-heap-check.txt "$BUILD"/w64/test-results/wine-heap-check.txt 2>/dev/null | sed 's/^/  /'
python3 "$ROOT/scripts/summarize-tests.py" native="$BUILD/native/test-results" \
    i686="$BUILD/w32/test-results" x86_64="$BUILD/w64/test-results" || failed=1
exit $failed
