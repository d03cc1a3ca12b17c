#!/bin/bash
# The one Wine that the tests, the demo and the benchmark use: Wine 10 as
# Debian 13 packages it, in a Debian 13 root of its own, with Wine's 32-bit
# Windows libraries beside its 64-bit ones, so that the shipping 32-bit
# Config.dll runs in WoW64 (inside a 64-bit process, with nothing 32-bit on
# the Unix side) next to the x86_64 build. Debian 12's own Wine 8 cannot
# create a 32-bit program's combo boxes, so it cannot show the dialogs.
#
#   wine-root.sh prepare      make the root, or reuse it while its stamp says
#                             it was made by this recipe; prints the time taken
#   wine-root.sh run DIR... -- COMMAND [ARGS]
#                             COMMAND inside the root, each DIR bind-mounted at
#                             its own path (with /proc and /dev); the mounts
#                             are undone when COMMAND ends, however it ends
#   wine-root.sh path         where the root is
#   wine-root.sh runs-32-bit  whether this machine runs 32-bit code at all
#                             (exit 0 if so, else the reason on stderr)
#
# The root lives outside the source tree (CONFIG_WINE_ROOT, by default
# /var/cache/kestrova-config/wine10-root, about 2.3 GB) and is kept between
# runs. Making it and entering it need root: debootstrap, mount and chroot.
# Only Debian's packages are used, from the mirror apt already uses; the
# machine's own dpkg architectures and sources are left as they are (the
# 32-bit libraries are fetched by the root's own apt).
set -euo pipefail

ROOT=${CONFIG_WINE_ROOT:-/var/cache/kestrova-config/wine10-root}
# Raise when the recipe below changes: a root with another stamp is remade.
RECIPE=1
SUITE=trixie

stamp_wanted() { echo "recipe $RECIPE, Debian $SUITE, wine64 and libwine:i386"; }

# The Debian mirror apt uses here (not its security archive).
debian_mirror() {
    local uri
    uri=$(grep -h -E '^(URIs:|deb )' /etc/apt/sources.list /etc/apt/sources.list.d/*.sources \
              /etc/apt/sources.list.d/*.list 2>/dev/null |
          grep -o -E 'https?://[^ ]*/debian/?( |$)' | grep -v security | head -n 1 | tr -d ' ')
    echo "${uri:-http://deb.debian.org/debian}"
}

prepare() {
    if [ -f "$ROOT/.kestrova-stamp" ] && [ "$(head -n 1 "$ROOT/.kestrova-stamp")" = "$(stamp_wanted)" ]; then
        echo "Wine root: $ROOT, kept ($(sed -n 2p "$ROOT/.kestrova-stamp"))"
        return
    fi
    local start=$SECONDS work="$ROOT.making"
    command -v debootstrap >/dev/null || { echo "debootstrap is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
    echo "Wine root: making $ROOT from $(debian_mirror) (Debian $SUITE, about 3 minutes)"
    # A run that was killed may have left the source tree mounted inside: it
    # must not be deleted with the old root.
    umount_below "$work"
    umount_below "$ROOT"
    if grep -q -e " $(realpath -m "$ROOT")/" -e " $(realpath -m "$work")/" /proc/mounts; then
        echo "something is still mounted below $ROOT; not removing it" >&2
        exit 1
    fi
    rm -rf "$work" "$ROOT"
    mkdir -p "$(dirname "$ROOT")"
    debootstrap --variant=minbase --include=wine64,xvfb,xauth "$SUITE" "$work" "$(debian_mirror)" \
        >"$work.log" 2>&1 || { tail -n 20 "$work.log" >&2; echo "debootstrap failed (log: $work.log)" >&2; exit 1; }
    # Wine's 32-bit Windows libraries come from the libwine:i386 package of
    # the same version; only its PE files are taken, nothing 32-bit is
    # installed on the Unix side.
    chroot "$work" sh -e -c '
        version=$(dpkg-query -W -f="\${Version}" libwine)
        dpkg --add-architecture i386
        apt-get update -q >/dev/null
        cd /tmp && apt-get download -q "libwine:i386=$version" >/dev/null
        dpkg -x /tmp/libwine_*_i386.deb /tmp/libwine-i386
        cp -a /tmp/libwine-i386/usr/lib/i386-linux-gnu/wine/i386-windows/. /usr/lib/x86_64-linux-gnu/wine/i386-windows/
        rm -rf /tmp/libwine* /var/lib/apt/lists/* /var/cache/apt/archives/*.deb
        echo "wine64 and libwine:i386 $version"' >"$work.stamp" ||
        { echo "fetching Wine's 32-bit libraries failed" >&2; exit 1; }
    { stamp_wanted; cat "$work.stamp"; } >"$work/.kestrova-stamp"
    rm -f "$work.stamp" "$work.log"
    mv "$work" "$ROOT"
    echo "Wine root: made in $((SECONDS - start)) s ($(sed -n 2p "$ROOT/.kestrova-stamp"))"
}

# Every mount below a directory, deepest first.
umount_below() {
    local target
    [ -d "$1" ] || return 0
    for target in $(awk -v root="$(realpath "$1")" 'index($2, root "/") == 1 { print $2 }' /proc/mounts | sort -r); do
        umount -l "$target" 2>/dev/null || true
    done
}

mounted=()
run() {
    local dirs=() dir
    while [ $# -gt 0 ] && [ "$1" != -- ]; do dirs+=("$(realpath "$1")"); shift; done
    [ "${1:-}" = -- ] && [ $# -gt 1 ] || { echo "usage: $0 run DIR... -- COMMAND [ARGS]" >&2; exit 2; }
    shift
    [ -f "$ROOT/.kestrova-stamp" ] || { echo "no Wine root at $ROOT: run '$0 prepare' first" >&2; exit 1; }
    # Undone in reverse order on every way out, an interrupt included.
    trap 'for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done' EXIT
    mount -t proc proc "$ROOT/proc" && mounted+=("$ROOT/proc")
    mount --rbind /dev "$ROOT/dev" && mount --make-rslave "$ROOT/dev" && mounted+=("$ROOT/dev")
    for dir in "${dirs[@]}"; do
        mkdir -p "$ROOT$dir"
        mount --bind "$dir" "$ROOT$dir" && mounted+=("$ROOT$dir")
    done
    local status=0
    chroot "$ROOT" /usr/bin/env PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@" || status=$?
    return $status
}

# Some machines run no 32-bit code: their processor, or the hypervisor they
# run under, has no usable 32-bit code segment. WoW64 needs one as much as a
# 32-bit Linux program does, so a tiny one is tried (it only exits).
runs_32_bit() {
    local probe status
    probe=$(mktemp -d)
    echo 'void _start(void) { __asm__ volatile("movl $1, %eax; xorl %ebx, %ebx; int $0x80"); }' >"$probe/exit.c"
    status=0
    { gcc -m32 -nostdlib -static -o "$probe/exit" "$probe/exit.c" && "$probe/exit"; } 2>/dev/null || status=$?
    rm -rf "$probe"
    [ $status -eq 0 ] || echo "this machine runs no 32-bit code (a 32-bit program does not start: exit $status)" >&2
    return $status
}

case "${1:-}" in
    prepare) prepare ;;
    runs-32-bit) runs_32_bit ;;
    run) shift; run "$@" ;;
    path) echo "$ROOT" ;;
    *) echo "usage: $0 prepare | run DIR... -- COMMAND [ARGS] | path | runs-32-bit" >&2; exit 2 ;;
esac
