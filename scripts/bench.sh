#!/bin/bash
# Builds and runs the benchmark of the settings dialog and prints its table:
# ConfigInitBench, the real x86_64 Config.dll under wine64 and Xvfb, with the
# simulated player's engine and installations of 200 to 2,000 versioned
# libraries (initialisation, its reference costs, switches), between the
# machine's load averages before and after.
# Options: --runs=N (default 7), --quick for two sizes only.
# Build tree and Wine prefix: build/bench.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=$ROOT/build/bench
JOBS=${CONFIG_JOBS:-2}
RUNS=7
QUICK=
for arg in "$@"; do
    case $arg in
        --runs=*) RUNS=${arg#--runs=} ;;
        --quick) QUICK=--quick ;;
        *) echo "unknown option $arg" >&2; exit 2 ;;
    esac
done

cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DCONFIG_BUILD_TESTS=OFF -DCONFIG_BUILD_BENCHMARKS=ON \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-x86_64.cmake" >/dev/null &&
cmake --build "$BUILD" -j"$JOBS" --target ConfigInitBench >/dev/null || exit 1

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), $(/usr/lib/wine/wine64 --version 2>/dev/null)"
echo "Load before: $(cut -d' ' -f1-3 /proc/loadavg)"
export WINEPREFIX="$BUILD/wineprefix" WINEDEBUG=-all
# Wine maps the Unix root to drive Z:.
components=()
for dll in "$BUILD"/tools/bench/bench_component_*.dll; do components+=("--component=Z:$dll"); done
# The prefix starts inside the same display as the benchmark; windows
# without a window manager are left unmanaged, or every closed dialog
# would wait two seconds for one.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1
    /usr/lib/wine/wine64 reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    /usr/lib/wine/wine64 "$@"; status=$?
    /usr/lib/wine/wineserver -k 2>/dev/null
    exit $status' bench "$BUILD/tools/bench/ConfigInitBench.exe" "--config-dll=Z:$BUILD/Utilities/Config/Config.dll" \
    "${components[@]}" --runs="$RUNS" $QUICK
status=$?
echo "Load after: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $status
