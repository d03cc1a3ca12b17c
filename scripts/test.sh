#!/bin/bash
# Builds and runs every test of Config.dll on a Debian 12 machine:
#   1. native: unit tests of the module's system-free functions under
#      AddressSanitizer and UndefinedBehaviorSanitizer, and a short bounded
#      run of each fuzz target (tests/CMakeLists.txt says how to run them
#      for longer);
#   2. both Windows builds, i686 (the shipping Config.dll) and x86_64, each
#      with its static check and its end-to-end suite on the real DLL under
#      Wine 10 and Xvfb, with Wine's heap checking on (scripts/wine-run.sh;
#      Wine 10 runs in a Debian 13 root that scripts/wine-root.sh makes once
#      and keeps). The i686 suite runs in Wine's 32-bit loader, emulated
#      by the root's qemu-i386 where the machine runs no 32-bit code; where
#      neither works, it is reported as skipped, with the reason.
# Installs the packages it needs first; needs root (packages, the root's
# mounts). Exits non-zero if anything failed.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${CONFIG_BUILD_DIR:-$ROOT/build}
JOBS=${CONFIG_JOBS:-2}
failed=0
summary=()

step() { printf '\n==== %s ====\n' "$*"; }
run() { "$@" || { echo "FAILED: $*"; failed=1; return 1; }; }
# CTest in a build tree; its closing count goes to the summary.
tests() {
    local log=$1/ctest.log
    shift
    (cd "${log%/*}" && ctest --output-on-failure --no-tests=error "$@" 2>&1) | tee "$log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || failed=1
    local skipped
    skipped=$(grep -c '(Skipped)$' "$log")
    summary+=("$(basename "${log%/*}"): $(grep -E 'tests passed' "$log" || echo 'no test ran')$(
        [ "$skipped" -gt 0 ] && echo ", of which $skipped skipped")")
}

step "Dependencies and the Wine root"
./scripts/install-deps.sh || exit 1
./scripts/wine-root.sh prepare || exit 1

step "Native unit tests (ASan + UBSan)"
run cmake -S . -B "$BUILD/native" -DCMAKE_BUILD_TYPE=Debug -DCONFIG_SANITIZE=ON >/dev/null &&
    run cmake --build "$BUILD/native" -j"$JOBS" && ASAN_OPTIONS=detect_leaks=1 tests "$BUILD/native"

step "Fuzz targets (clang, ASan + UBSan, a few seconds each)"
CC=clang CXX=clang++ run cmake -S . -B "$BUILD/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCONFIG_FUZZ=ON >/dev/null &&
    run cmake --build "$BUILD/fuzz" -j"$JOBS" --target fuzz_targets >/dev/null && tests "$BUILD/fuzz" -R '^fuzz_'

for machine in i686:w32 x86_64:w64; do
    step "${machine%%:*} build, its static check and its Wine suite (heap checking on)"
    tree=$BUILD/${machine#*:}
    rm -f "$tree/wine-suite.txt"
    run cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-${machine%%:*}.cmake" >/dev/null &&
        run cmake --build "$tree" -j"$JOBS" && tests "$tree"
done

step "Summary"
printf '%s\n' "${summary[@]}"
cat "$BUILD"/w32/wine-suite.txt "$BUILD"/w64/wine-suite.txt 2>/dev/null
[ $failed -eq 0 ] && echo "All tests passed." || echo "FAILED: see above."
exit $failed
