#!/bin/bash
# Shows the real settings dialog of Config.dll in the simulated Kestrova Dad
# Azizov player (PlayerSim.exe) under Wine 10, on a fresh Debian 12 machine:
#   1. installs the Debian packages it needs when missing, and makes (or
#      reuses) the Wine root of scripts/wine-root.sh;
#   2. builds Config.dll and PlayerSim.exe (no tests: quick);
#   3. lays out an installation of the player in the build tree (a few
#      versioned component libraries, the browser plug-in, the control) and
#      registers it in a Wine prefix inside the build tree;
#   4. with a usable X display, opens the dialog there for you to try, and
#      prints what the module did to the simulated engine once you close it;
#      without one (or with --screenshots), runs it under Xvfb, saves PNG
#      screenshots of the dialog (with the installed components' versions),
#      of its two lists and of the network settings dialog, and prints their
#      paths.
# It shows the shipping i686 DLL (32-bit code emulated where the machine
# cannot run it); where not even that works, it says so and shows the x86_64
# build of the same sources. Needs root (packages, the Wine root's mounts).
# Usage: scripts/demo.sh [--screenshots]
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${CONFIG_DEMO_BUILD_DIR:-$ROOT/build/demo}
JOBS=${CONFIG_JOBS:-2}

headless=0
case "${1:-}" in
    --screenshots) headless=1 ;;
    "") ;;
    *) echo "usage: $0 [--screenshots]" >&2; exit 2 ;;
esac

step() { printf '\n==== %s ====\n' "$*"; }

step "Dependencies and the Wine root"
./scripts/install-deps.sh
# The kernel's runner of 32-bit programs that prepare may register goes again
# when the demo ends, unless it was there before.
emulation=/proc/sys/fs/binfmt_misc/kestrova-i386
[ -e "$emulation" ] || trap '[ -e "$emulation" ] && echo -1 >"$emulation" || true' EXIT
trap 'exit 129' HUP; trap 'exit 130' INT; trap 'exit 143' TERM  # stopped, it still goes
./scripts/wine-root.sh prepare

machine=i686
if ! how=$(./scripts/wine-root.sh runs-32-bit 2>&1); then
    echo "The shipping i686 DLL cannot be shown here: $how. The x86_64 build of the same sources is shown."
    machine=x86_64
elif [ "$how" != natively ]; then
    echo "32-bit code is $how here: the dialog takes a few seconds longer to open."
fi
step "Building Config.dll and the simulated player ($machine)"
cmake -S . -B "$BUILD/$machine" -DCMAKE_BUILD_TYPE=Release -DCONFIG_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$machine.cmake" >/dev/null
cmake --build "$BUILD/$machine" -j"$JOBS" --target Config PlayerSim
PLAYER="$BUILD/$machine/tools/PlayerSim/PlayerSim.exe"
COMPONENTS="$BUILD/$machine/tools/PlayerSim/components"

# An installation of the player for the "Advanced Information" group: the
# components under InstallPath (one in a subfolder), the control that the
# class registration names, and the plug-in in a browser's plugins folder,
# found through the browser's version and directory values. The registry
# part is a .reg file the prefix imports.
INSTALL_ROOT="$BUILD/demo-install"
INSTALL_DIR="$INSTALL_ROOT/Kestrova/Dad Azizov"
BROWSER_DIR="$INSTALL_ROOT/Netscape"
REG_FILE="$INSTALL_ROOT/installation.reg"
windows_path() { local path="Z:$1"; printf '%s' "${path//\//\\}"; }
reg_text() { local text=$1; text=${text//\\/\\\\}; printf '"%s"' "${text//\"/\\\"}"; }
seed_installation() {
    rm -rf "$INSTALL_ROOT"
    mkdir -p "$INSTALL_DIR/codecs" "$BROWSER_DIR/plugins"
    cp "$BUILD/$machine/tools/PlayerSim/Config.dll" "$INSTALL_DIR/Config.dll"
    cp "$COMPONENTS/demo_component_3_1_0_412.dll" "$INSTALL_DIR/KestrovaEngine.dll"
    cp "$COMPONENTS/demo_component_3_1_0_412.dll" "$INSTALL_DIR/KestrovaControl.dll"
    cp "$COMPONENTS/demo_component_3_1_0_207.dll" "$INSTALL_DIR/KestrovaAudio.dll"
    cp "$COMPONENTS/demo_component_2_8_4_19.dll" "$INSTALL_DIR/codecs/KestrovaVideo.dll"
    cp "$COMPONENTS/demo_component_2_8_4_19.dll" "$INSTALL_DIR/codecs/KestrovaImage.dll"
    cp "$COMPONENTS/demo_component_3_1_0_412.dll" "$BROWSER_DIR/plugins/zaredazaro.dll"
    cat >"$REG_FILE" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Kestrova\\DadAzizov]
"InstallPath"=$(reg_text "$(windows_path "$INSTALL_DIR")")

[HKEY_CLASSES_ROOT\\CLSID\\{6E3A91D4-2B7C-4F05-A8D1-93C47E52B0A6}\\InprocServer32]
@=$(reg_text "$(windows_path "$INSTALL_DIR/KestrovaControl.dll")")

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Netscape\\Netscape]
"CurrentVersion"="7.2"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Netscape\\Netscape\\7.2\\Main]
"Install Directory"=$(reg_text "$(windows_path "$BROWSER_DIR")")
REG
}
step "Laying out an installation of the player in $INSTALL_ROOT"
seed_installation

# In the Wine session: imports the installation ($0) into the registry view
# of the player's bitness ($1: 32 or 64, as its installer would have
# written it), runs the player with the rest of the arguments.
show='
    "$WINE" reg import "Z:$0" "/reg:$1" </dev/null >/dev/null 2>&1
    shift
    "$WINE" "$@"'
PREFIX="$BUILD/wineprefix"
BITS=64
[ "$machine" = i686 ] && BITS=32

# A display counts when an X client can talk to it; without the usual
# probes installed, a set DISPLAY is taken at its word.
display_usable() {
    [ -n "${DISPLAY:-}" ] || return 1
    if command -v xdpyinfo >/dev/null 2>&1; then
        xdpyinfo >/dev/null 2>&1
    elif command -v xset >/dev/null 2>&1; then
        xset q >/dev/null 2>&1
    fi
}

if [ "$headless" -eq 0 ] && display_usable; then
    step "Opening the settings dialog on $DISPLAY (close it to finish)"
    # The display's socket and its authority go into the root; your window
    # manager frames the windows.
    mounts=("$ROOT" "$BUILD" /tmp/.X11-unix)
    if [ -n "${XAUTHORITY:-}" ]; then cp "$XAUTHORITY" "$BUILD/Xauthority"; export XAUTHORITY="$BUILD/Xauthority"; fi
    # Not exec'd: the exit handler still removes the kernel's runner of 32-bit programs afterwards.
    ./scripts/wine-root.sh run --prefix "$PREFIX" --managed "${mounts[@]}" -- bash -c "$show" "$REG_FILE" "$BITS" "$PLAYER"
    exit
fi

step "No display: photographing the dialog under Xvfb"
SHOTS="$BUILD/screenshots"
rm -rf "$SHOTS"
mkdir -p "$SHOTS"
# Everything on one Xvfb display. Wine draws the windows' title bars itself
# (there is no window manager to do it) and closes them without waiting
# for one. PlayerSim photographs the dialog, drops its lists down, then
# closes it with Esc, so nothing is saved to the registry.
status=0
./scripts/wine-root.sh run --prefix "$PREFIX" --xvfb "$ROOT" "$BUILD" -- \
    bash -c "$show" "$REG_FILE" "$BITS" "$PLAYER" --screenshot "Z:$SHOTS" </dev/null || status=$?

step "Screenshots"
found=0
for bmp in "$SHOTS"/*.bmp; do
    [ -e "$bmp" ] || continue
    png="${bmp%.bmp}.png"
    convert "$bmp" "$png" && rm -f "$bmp"
    echo "$png"
    found=1
done
if [ "$found" -eq 0 ]; then
    echo "no screenshot was saved" >&2
    status=1
fi
exit $status
