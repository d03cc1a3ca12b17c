#!/bin/sh
# Installs the Debian packages the build and the tests need, when missing.
# Safe to run again: it does nothing once everything is there.
set -e

missing=""
need() { command -v "$1" >/dev/null 2>&1 || missing="$missing $2"; }
need cmake cmake
need g++ g++
need clang++ clang
# The suite's player built in the MSVC ABI is linked by lld-link.
need lld-link lld
need x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64
need i686-w64-mingw32-g++-posix g++-mingw-w64-i686
need x86_64-w64-mingw32-windres binutils-mingw-w64
# Wine 10 and Xvfb live in a Debian 13 root of their own (scripts/wine-root.sh).
need debootstrap debootstrap
need convert imagemagick
# libFuzzer and the sanitizer runtimes of clang.
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || missing="$missing libclang-rt-dev"
[ -f /usr/src/googletest/CMakeLists.txt ] || missing="$missing googletest"
[ -f /usr/include/gtest/gtest.h ] || missing="$missing libgtest-dev libgmock-dev"
/usr/bin/python3 -c 'import pefile' >/dev/null 2>&1 || missing="$missing python3-pefile"
# The ImageMagick stand-in some machines carry cannot write PNG files.
if command -v convert >/dev/null 2>&1 && ! convert -version 2>/dev/null | grep -q ImageMagick; then
    missing="$missing imagemagick"
fi

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
