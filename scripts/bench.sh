#!/bin/bash
# Builds and runs the benchmark of the settings dialog and prints one table
# for both DLLs: ConfigInitBench with the real Config.dll of each build, the
# shipping i686 one and the x86_64 one, under Wine 10 (the root of
# scripts/wine-root.sh) and Xvfb, with the simulated player's engine and
# installations of 200 to 2,000 versioned libraries (initialisation, its
# reference costs, switches), between the machine's load averages before
# and after. Where 32-bit code runs emulated or not at all, a line says so.
# Options: --runs=N (default 7), --quick for two sizes only.
# Build trees and Wine prefix: build/bench. Needs root (the Wine root).
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=$ROOT/build/bench
JOBS=${CONFIG_JOBS:-2}
options=()
for arg in "$@"; do
    case $arg in
        --runs=*|--quick) options+=("$arg") ;;
        *) echo "unknown option $arg" >&2; exit 2 ;;
    esac
done

./scripts/install-deps.sh >/dev/null || exit 1
# The kernel's runner of 32-bit programs that prepare may register goes again when the benchmark ends,
# unless it was there before.
emulation=/proc/sys/fs/binfmt_misc/kestrova-i386
[ -e "$emulation" ] || trap '[ -e "$emulation" ] && echo -1 >"$emulation" || true' EXIT
trap 'exit 129' HUP; trap 'exit 130' INT; trap 'exit 143' TERM  # stopped, it still goes
./scripts/wine-root.sh prepare >/dev/null || exit 1
programs=()
machines=(x86_64)
# Emulated, the i686 rows time the emulator as much as the module: their
# ratios still compare like with like, their milliseconds do not.
if ! how=$(./scripts/wine-root.sh runs-32-bit 2>&1); then note="i686: not run: $how"
else
    machines=(i686 x86_64)
    [ "$how" = natively ] || note="i686: 32-bit code $how here: its times are the emulator's, only its ratios compare"
fi
for machine in "${machines[@]}"; do
    cmake -S . -B "$BUILD/$machine" -DCMAKE_BUILD_TYPE=Release -DCONFIG_BUILD_TESTS=OFF -DCONFIG_BUILD_BENCHMARKS=ON \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$machine.cmake" >/dev/null &&
    cmake --build "$BUILD/$machine" -j"$JOBS" --target ConfigInitBench >/dev/null || exit 1
    programs+=("$machine" "$BUILD/$machine")
done

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), $(sed -n 2p "$(./scripts/wine-root.sh path)/.kestrova-stamp")"
echo "Load before: $(cut -d' ' -f1-3 /proc/loadavg)"
# One Wine session on an Xvfb display of its own; Wine maps the Unix root to
# drive Z:.
./scripts/wine-root.sh run --prefix "$BUILD/wineprefix" --xvfb "$ROOT" "$BUILD" -- bash -c '
    options=()
    while [ "$1" != -- ]; do options+=("$1"); shift; done
    shift
    status=0 header=
    while [ $# -gt 1 ]; do
        components=()
        for dll in "$2"/tools/bench/bench_component_*.dll; do components+=("--component=Z:$dll"); done
        "$WINE" "$2/tools/bench/ConfigInitBench.exe" "--config-dll=Z:$2/Utilities/Config/Config.dll" \
            "${components[@]}" --label="$1" $header "${options[@]}" >"$0/$1.out" 2>&1
        code=$?
        tr -d "\\r" <"$0/$1.out"; header=--no-header; [ $code -eq 0 ] || status=1
        shift 2
    done
    exit $status' "$BUILD" "${options[@]}" -- "${programs[@]}"
status=$?
[ -n "${note:-}" ] && echo "$note"
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $status
