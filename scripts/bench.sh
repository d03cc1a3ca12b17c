#!/bin/bash
# Builds and runs the benchmark of the settings dialog and prints its table:
# ConfigInitBench, the real x86_64 Config.dll under wine64 and Xvfb, with the
# simulated player's engine and installations of 200 to 2,000 versioned
# libraries (initialisation, its reference costs, switches).
# Options: --runs=N (default 7), --quick for two sizes only, --breakdown for
# the directory listing's and the components list's own costs per size.
# Build tree: build/bench-w64 (CONFIG_BENCH_BUILD_DIR overrides the parent
# folder).
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${CONFIG_BENCH_BUILD_DIR:-$ROOT/build}
JOBS=${CONFIG_JOBS:-2}
RUNS=7
QUICK=
BREAKDOWN=
for arg in "$@"; do
    case $arg in
        --runs=*) RUNS=${arg#--runs=} ;;
        --quick) QUICK=--quick ;;
        --breakdown) BREAKDOWN=--breakdown ;;
        *) echo "unknown option $arg" >&2; exit 2 ;;
    esac
done

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), $(/usr/lib/wine/wine64 --version 2>/dev/null)"
status=0

W64=$BUILD/bench-w64
cmake -S . -B "$W64" -DCMAKE_BUILD_TYPE=Release -DCONFIG_BUILD_TESTS=OFF -DCONFIG_BUILD_BENCHMARKS=ON \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-x86_64.cmake" >/dev/null &&
cmake --build "$W64" -j"$JOBS" --target ConfigInitBench >/dev/null || exit 1
export WINEPREFIX="$W64/wineprefix" WINEDEBUG=-all
# Wine maps the Unix root to drive Z:.
components=()
for dll in "$W64"/tools/bench/bench_component_*.dll; do components+=("--component=Z:$dll"); done
# The prefix starts inside the same display as the benchmark; windows
# without a window manager are left unmanaged, or every closed dialog
# would wait two seconds for one.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1
    /usr/lib/wine/wine64 reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    /usr/lib/wine/wine64 "$@"; status=$?
    /usr/lib/wine/wineserver -k 2>/dev/null
    exit $status' bench "$W64/tools/bench/ConfigInitBench.exe" "--config-dll=Z:$W64/Utilities/Config/Config.dll" \
    "${components[@]}" --runs="$RUNS" $QUICK $BREAKDOWN || status=1
exit $status
