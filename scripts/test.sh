#!/bin/bash
# Builds and runs every test of Config.dll on a Debian 12 machine (as root: it installs what it
# needs): native unit tests and fuzz targets, each Windows build's static check and Wine suite, and
# the release package built again from a copy of the sources, its DLLs and maps the tested ones byte for byte.
# CONFIG_TEST_FILTER (a gtest filter; GTEST_* are dropped) runs part of each suite: "partial".
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${CONFIG_BUILD_DIR:-$PWD/build}")
JOBS=${CONFIG_JOBS:-2}
failed=0
for setting in $(compgen -e GTEST_); do unset "$setting"; done  # the suites run whole unless asked
partial=${CONFIG_TEST_FILTER:-}

step() { printf '\n==== %s ====\n' "$*"; }
run() { "$@" || { echo "FAILED: $*"; failed=1; return 1; }; }
# CTest in a build tree, shown as it runs and kept in ctest.log there for the summary.
tests() { local tree=$1; shift; (cd "$tree" && ctest --output-on-failure --no-tests=error "$@" 2>&1) | tee "$tree/ctest.log"; }

step "Dependencies and the Wine root"
./scripts/install-deps.sh || exit 1
# The kernel's runner of 32-bit programs that prepare may register goes when this run ends.
emulation=/proc/sys/fs/binfmt_misc/kestrova-i386
[ -e "$emulation" ] || trap '[ -e "$emulation" ] && echo -1 >"$emulation" || true' EXIT
trap 'exit 129' HUP; trap 'exit 130' INT; trap 'exit 143' TERM  # stopped, it still goes
./scripts/wine-root.sh prepare || exit 1

step "Native unit tests and fuzz targets (clang, ASan + UBSan; each target a few seconds)"
unit=$BUILD/host/tests/config_unit
rm -f "$BUILD/host/ctest.log" "$unit.json"
run cmake --preset host -B "$BUILD/host" >/dev/null && run cmake --build "$BUILD/host" -j"$JOBS" >/dev/null &&
    { (export ASAN_OPTIONS=detect_leaks=1 GTEST_OUTPUT=json:$unit.json
       [ -z "$partial" ] || export GTEST_FILTER=$partial
       tests "$BUILD/host") || failed=1; }
# The unit tests the program lists are what a whole run runs.
held=$("$unit" --gtest_list_tests 2>/dev/null | grep -c '^  ')
ran=$(sed -n 's/^  "tests": \([0-9]*\),$/\1/p' "$unit.json" 2>/dev/null)
units="unit tests: ${ran:-none} of the $held run${partial:+ (partial: CONFIG_TEST_FILTER=$partial)}"
[ -n "$partial" ] || [ "${ran:-0}" -eq "$held" ] || { units+="; FAILED: all must"; failed=1; }

trees=()
for machine in i686:w32 x86_64:w64; do
    step "${machine%%:*} build"
    tree=$BUILD/${machine#*:}
    rm -f "$tree/wine-suite.txt" "$tree/ctest.log"
    # The shipping build's own settings (CMakePresets.json), with the tests.
    run cmake --preset "${machine%%:*}" -B "$tree" -DCONFIG_BUILD_TESTS=ON >/dev/null &&
        run cmake --build "$tree" -j"$JOBS" && trees+=("$tree")
done

# The release package, built again on one core beside the Wine suites, from a copy of the sources
# in a folder whose path holds spaces.
reproduce=$BUILD/reproduce
copy="$reproduce/a copy of the sources"
rm -rf --one-file-system -- "$copy" "$reproduce/package"
mkdir -p "$copy"
cp -a CMakeLists.txt CMakePresets.json cmake scripts tools Utilities "$copy/"
CONFIG_BUILD_DIR=$reproduce CONFIG_JOBS=1 "$copy/scripts/package.sh" >"$reproduce/package.log" 2>&1 &
packaging=$!

# One suite at a time: side by side, the x86_64 suite once met a heap error (README, Reliability).
for tree in "${trees[@]}"; do
    step "$(basename "$tree"): static check and Wine suite"
    tests "$tree" || failed=1
done

step "The release package, built from \"$copy\""
wait $packaging || { cat "$reproduce/package.log"; echo "FAILED: scripts/package.sh"; failed=1; }
same=()
for dll in i686:w32: x86_64:w64:x86_64/; do
    IFS=: read -r name tree folder <<<"$dll"
    tested=$BUILD/$tree/Utilities/Config/Config
    packed=$(echo "$reproduce"/package/Config-*/)${folder}Config
    if cmp "$tested.dll" "$packed.dll" && cmp "$tested.map" "$packed.map"; then
        same+=("Config.dll $name: SHA-256 $(sha256sum <"$tested.dll" | cut -c1-64), the same bytes and link map in $tree and in the package")
    else
        echo "FAILED: the $name DLL or its map built from \"$copy\" is not the one tested in $tree"; failed=1
    fi
done

step "Summary"
grep -H '% tests passed' "$BUILD"/{host,w32,w64}/ctest.log 2>/dev/null
echo "$units"
cat "$BUILD"/w32/wine-suite.txt "$BUILD"/w64/wine-suite.txt 2>/dev/null
grep -h 'each matching SHA256SUMS' "$reproduce/package.log"
printf '%s\n' "${same[@]}"
# A suite that did not run failed (and said why), unless CONFIG_ALLOW_SKIP=1 let it be skipped.
skipped=$(grep -l 'skipped' "$BUILD"/{w32,w64}/wine-suite.txt 2>/dev/null | wc -l)
for tree in w32 w64; do
    grep -q 'suite' "$BUILD/$tree/wine-suite.txt" 2>/dev/null || { echo "$tree: the Wine suite did not run"; failed=1; }
done
if [ $failed -ne 0 ]; then
    echo "FAILED: see above."
elif [ -n "$partial" ]; then
    echo "PARTIAL run (CONFIG_TEST_FILTER=$partial): the tests that ran passed; not a full pass."
elif [ "$skipped" -gt 0 ]; then
    echo "The tests that ran passed; $skipped Wine suite(s) SKIPPED (see above), so this is not a full pass."
else
    echo "All tests passed."
fi
exit $failed
