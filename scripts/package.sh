#!/bin/bash
# The release package of Config.dll, what a player team takes over:
#   scripts/package.sh               builds the shipping i686 DLL and the x86_64 DLL
#                                    through the presets (CMake and mingw-w64 only:
#                                    no root, no Wine), writes
#                                    <build>/package/Config-<version>.zip and checks it
#   scripts/package.sh --verify ZIP  checks a package: it holds exactly the files its
#                                    SHA256SUMS lists, each with its checksum
# <build> is CONFIG_BUILD_DIR (default build/, where the presets build: build/i686
# and build/x86_64); CONFIG_JOBS compile jobs (default 2). The package unpacks to
# Config-<version>/ holding:
#   Config.dll, Config.map                 the shipping i686 DLL and its link map
#   x86_64/Config.dll, x86_64/Config.map   the same sources built for 64-bit Windows
#   include/Kestrova/PlayerEngine.h        the interfaces a player implements
#   SHA256SUMS                             the checksums of the files above
# <version> is the project's (project(... VERSION) in CMakeLists.txt), the version
# the DLLs' version block carries.
set -euo pipefail
case "${1:-}" in
    --verify) [ $# -eq 2 ] || { echo "usage: $0 [--verify ZIP]" >&2; exit 2; }; check=$(realpath "$2") ;;
    "") check= ;;
    *) echo "usage: $0 [--verify ZIP]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=$(realpath -m "${CONFIG_BUILD_DIR:-$ROOT/build}")
JOBS=${CONFIG_JOBS:-2}

# Unpacks the package at $1 beside it and checks it there; the unpacked copy goes again.
verify() {
    local zip=$1 scratch=${1%.zip}.checking status=0
    rm -rf --one-file-system -- "$scratch"
    mkdir -p "$scratch"
    (cd "$scratch" && cmake -E tar xf "$zip") && checksums_hold "$zip" "$scratch" || status=$?
    rm -rf --one-file-system -- "$scratch"
    return $status
}

checksums_hold() {
    local zip=$1 folder listed held
    folder=$(find "$2" -mindepth 1 -maxdepth 1)
    if [ ! -f "$folder/SHA256SUMS" ]; then
        echo "$zip holds no single folder with a SHA256SUMS" >&2
        return 1
    fi
    listed=$(sed 's/^[0-9a-f]\{64\}  //' "$folder/SHA256SUMS" | sort)
    held=$(cd "$folder" && find . -type f ! -path ./SHA256SUMS -printf '%P\n' | sort)
    if [ "$listed" != "$held" ]; then
        echo "$zip: the files it holds are not those its SHA256SUMS lists:" >&2
        diff <(echo "$listed") <(echo "$held") | sed -n 's/^< /  listed only: /p; s/^> /  held only: /p' >&2
        return 1
    fi
    (cd "$folder" && sha256sum --strict --quiet -c SHA256SUMS) &&
        echo "$zip: ${folder##*/}/, $(wc -l <"$folder/SHA256SUMS") files, each matching SHA256SUMS"
}

if [ -n "$check" ]; then
    verify "$check"
    exit
fi

for preset in i686 x86_64; do
    echo "== Config.dll, $preset ($BUILD/$preset)"
    cmake --preset "$preset" -B "$BUILD/$preset" >/dev/null
    cmake --build "$BUILD/$preset" --target Config -j"$JOBS"
done
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/i686/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in $BUILD/i686/CMakeCache.txt" >&2; exit 1; }

name=Config-$version
folder=$BUILD/package/$name
rm -rf --one-file-system -- "$folder" "$folder.zip"
mkdir -p "$folder/x86_64" "$folder/include/Kestrova"
cp "$BUILD/i686/Utilities/Config/Config.dll" "$BUILD/i686/Utilities/Config/Config.map" "$folder/"
cp "$BUILD/x86_64/Utilities/Config/Config.dll" "$BUILD/x86_64/Utilities/Config/Config.map" "$folder/x86_64/"
cp Utilities/Config/include/Kestrova/PlayerEngine.h "$folder/include/Kestrova/"
files=(Config.dll Config.map x86_64/Config.dll x86_64/Config.map include/Kestrova/PlayerEngine.h)
(cd "$folder" && sha256sum "${files[@]}" >SHA256SUMS)
(cd "$BUILD/package" && cmake -E tar cf "$name.zip" --format=zip "${files[@]/#/$name/}" "$name/SHA256SUMS")
verify "$folder.zip"
