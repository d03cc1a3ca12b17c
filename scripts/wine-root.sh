#!/bin/bash
# The one Wine that the tests, the demo and the benchmark use: Wine 10 as
# Debian 13 packages it, 64- and 32-bit, in a Debian 13 root of its own, so
# that the shipping 32-bit Config.dll runs in a 32-bit Wine process next to
# the x86_64 build. Debian 12's own Wine 8 cannot create a 32-bit program's
# combo boxes, so it cannot show the dialogs.
#
#   wine-root.sh prepare      make the root, or reuse it while its stamp says
#                             it was made by this recipe (prints the time
#                             taken); then make sure 32-bit programs run
#   wine-root.sh run [--prefix PREFIX [--xvfb] [--managed]] DIR... -- COMMAND [ARGS]
#                             COMMAND inside the root, each DIR bind-mounted at
#                             its own path (with /proc and /dev), in mount and
#                             process namespaces of its own: the mounts are
#                             never seen outside, and they and every process
#                             started inside go when COMMAND ends or this
#                             script is killed, even with SIGKILL. With a
#                             prefix, COMMAND runs in a Wine session: the
#                             prefix (emptied first when another root made
#                             it: its 32-bit half would not load) booted on
#                             the display, WINEPREFIX, WINEDEBUG=-all, the
#                             debugger off and $WINE (the 64-bit loader) set,
#                             Wine's server stopped afterwards (it then writes
#                             the prefix's registry back). --xvfb: on an Xvfb
#                             display of its own. Windows are unmanaged (Wine
#                             would wait 2 s for a window manager on each
#                             close) unless --managed
#   wine-root.sh path         where the root is
#   wine-root.sh runs-32-bit  whether 32-bit programs run here: prints how
#                             (natively, or emulated), else exits non-zero
#                             with the reason on stderr
#
# 32-bit programs. Some machines run no 32-bit code: their processor, or the
# hypervisor they run under, has no usable 32-bit code segment. There the
# root's own qemu-i386 (user-mode emulation, Debian 13's) is registered with
# the kernel as the runner of 32-bit Linux programs, until the next boot;
# the root's 32-bit Wine then runs under it, a few times slower than
# natively. (Debian 12's qemu 7.2 cannot: it ignores the "fixed, do not
# replace" mapping flag that Wine reserves its address space with, and every
# Wine process then takes some 80 s to start.) Wine's experimental mode that
# runs 32-bit Windows code inside a 64-bit process needs the same code
# segment, and no emulator helps it, so it is not used.
#
# The root lives outside the source tree (CONFIG_WINE_ROOT, by default
# /var/cache/kestrova-config/wine10-root, about 2.6 GB) and is kept between
# runs. A root is only ever removed as a whole, within its own file system,
# and only while nothing is mounted at or below it. Making it and entering
# it need root: debootstrap, mount, unshare, chroot and the kernel's
# registry of program formats. Only Debian's packages are used,
# from the mirror apt already uses; the machine's own dpkg architectures and
# sources are left as they are (the 32-bit packages go into the root only).
set -euo pipefail

ROOT=${CONFIG_WINE_ROOT:-/var/cache/kestrova-config/wine10-root}
# Raise when the recipe below changes: a root with another stamp is remade.
RECIPE=2
SUITE=trixie

stamp_wanted() { echo "recipe $RECIPE, Debian $SUITE, wine64, wine32:i386 and qemu-user"; }
# The name of the root's entry in the kernel's registry of program formats.
EMULATION=/proc/sys/fs/binfmt_misc/kestrova-i386

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
    else
        make_root
    fi
    # Registrations do not outlive a boot, so this is checked on every run.
    # Without 32-bit programs the i686 runs are skipped with the reason, and
    # everything else goes on.
    local how
    how=$(enable_32_bit "$ROOT") && echo "32-bit programs: run $how"
    return 0
}

make_root() {
    local start=$SECONDS work="$ROOT.making"
    command -v debootstrap >/dev/null || { echo "debootstrap is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
    echo "Wine root: making $ROOT from $(debian_mirror) (Debian $SUITE, about 3 minutes)"
    remove_root "$work"
    remove_root "$ROOT"
    mkdir -p "$(dirname "$ROOT")"
    debootstrap --variant=minbase --include=wine64,xvfb,xauth,qemu-user "$SUITE" "$work" "$(debian_mirror)" \
        >"$work.log" 2>&1 || { tail -n 20 "$work.log" >&2; echo "debootstrap failed (log: $work.log)" >&2; exit 1; }
    # The 32-bit Wine of the same version. Its packages' own scripts may run
    # 32-bit programs, so those are made to run first where they can.
    enable_32_bit "$work" >/dev/null || true
    chroot "$work" sh -e -c '
        version=$(dpkg-query -W -f="\${Version}" wine64)
        dpkg --add-architecture i386
        apt-get update -q >/dev/null
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "wine32:i386=$version" >/tmp/wine32.log 2>&1 ||
            { tail -n 20 /tmp/wine32.log; exit 1; }
        apt-get clean
        rm -rf /tmp/wine32.log /var/lib/apt/lists/*
        echo "wine64 and wine32:i386 $version, qemu-user $(dpkg-query -W -f="\${Version}" qemu-user)"' >"$work.stamp" ||
        { cat "$work.stamp" >&2; echo "installing the 32-bit Wine failed" >&2; exit 1; }
    { stamp_wanted; cat "$work.stamp"; } >"$work/.kestrova-stamp"
    rm -f "$work.stamp" "$work.log"
    mv "$work" "$ROOT"
    echo "Wine root: made in $((SECONDS - start)) s ($(sed -n 2p "$ROOT/.kestrova-stamp"))"
}

# Whether a 32-bit Linux program starts here (a tiny one that only exits);
# when it does, prints how it ran (how_32_bit_ran). It is built and run on a
# file system of a mount namespace of its own: nothing of it outlives the
# probe, however this script ends.
probe_32_bit() {
    local source='void _start(void) { __asm__ volatile("movl $1, %eax; xorl %ebx, %ebx; int $0x80"); }'
    local header status=0
    header=$(unshare --mount --propagation private sh -c 'mount -t tmpfs probe /mnt && cd /mnt && echo "$0" >exit.c &&
        gcc -m32 -nostdlib -static -o exit exit.c && ./exit && od -An -v -tx1 -N 512 exit' "$source" 2>/dev/null) ||
        status=$?
    [ $status -ne 0 ] || how_32_bit_ran "$(tr -d ' \n' <<<"$header")"
    return $status
}

# How the 32-bit program whose first bytes are $1 (in hex) ran: "natively",
# or "emulated by" the runner of each enabled entry of the kernel's registry
# of program formats that claims it (the kernel asks those entries, the
# newest first, before it runs an ELF program itself), whoever registered
# it. An entry claims a program when the program's bytes at its offset equal
# its magic under its mask.
how_32_bit_ran() {
    local formats=${EMULATION%/*} header=$1 entry magic mask offset i m claims=""
    [ "$(cat "$formats/status" 2>/dev/null)" = enabled ] || { echo natively; return; }
    for entry in "$formats"/*; do
        case ${entry##*/} in register|status) continue ;; esac
        [ "$(head -n 1 "$entry" 2>/dev/null)" = enabled ] || continue
        magic=$(sed -n 's/^magic //p' "$entry")   # none: the entry claims file name extensions
        offset=$(sed -n 's/^offset //p' "$entry")
        mask=$(sed -n 's/^mask //p' "$entry")
        [ -n "$magic" ] && [ $((2 * ${offset:-0} + ${#magic})) -le ${#header} ] || continue
        for ((i = 0; i < ${#magic}; i += 2)); do
            m=${mask:i:2}
            (( (0x${header:2 * ${offset:-0} + i:2} ^ 0x${magic:i:2}) & 0x${m:-ff} )) && continue 2
        done
        claims+="${claims:+, or }by $(sed -n 's/^interpreter //p' "$entry") (binfmt_misc entry ${entry##*/})"
    done
    echo "${claims:+emulated }${claims:-natively}"
}

# Makes 32-bit programs run, natively where the machine can, else under the
# qemu-i386 of the root at $1, and prints how; the reason on stderr when
# neither works.
enable_32_bit() {
    local qemu=$1/usr/bin/qemu-i386 formats=${EMULATION%/*} how status=0 no
    # The machine itself is asked first: a native run is several times faster.
    if [ -e "$EMULATION" ]; then echo -1 >"$EMULATION" || true; fi
    how=$(probe_32_bit) || status=$?
    [ "$how" = natively ] && { echo natively; return 0; }
    # Where another emulator runs them (qemu-user-binfmt's, say), the root's
    # still takes over: an older qemu takes over a minute to start each Wine
    # process, and one registered without F is looked for inside the root.
    # The kernel asks the newest entry first.
    no="this machine runs no 32-bit code (a 32-bit program does not start: exit $status)"
    [ $status -eq 0 ] && no="this machine runs 32-bit code only $how"
    [ -x "$qemu" ] || { echo "$no, and the Wine root has no qemu-i386" >&2; return 1; }
    if [ ! -e "$formats/register" ] && ! mount -t binfmt_misc binfmt_misc "$formats" 2>/dev/null; then
        echo "$no, and the kernel's registry of program formats cannot be mounted to emulate it" >&2
        return 1
    fi
    # 32-bit little-endian i386 executables and shared libraries. F: the
    # kernel opens the emulator now, so it also runs inside the root.
    if ! printf ':%s:M::%s:%s:%s:F' "${EMULATION##*/}" \
            '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00' \
            '\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff' \
            "$qemu" 2>/dev/null >"$formats/register"; then
        echo "$no, and the kernel refused qemu-i386 as the runner of 32-bit programs" >&2
        return 1
    fi
    how=$(probe_32_bit) || { echo "$no, not even under qemu-i386 (exit $?)" >&2; return 1; }
    echo "$how"
}

runs_32_bit() {
    local how status=0
    how=$(probe_32_bit) || status=$?
    if [ $status -ne 0 ]; then
        echo "this machine runs no 32-bit code (a 32-bit program does not start: exit $status; $0 prepare says why it cannot emulate it)" >&2
        return $status
    fi
    echo "$how"
}

# A Wine prefix remembers the root that made it: one made by another root
# is emptied, to be made again by the next wineboot.
prefix() {
    local stamp
    stamp=$(head -n 1 "$ROOT/.kestrova-stamp" 2>/dev/null) || { echo "no Wine root at $ROOT" >&2; exit 1; }
    [ "$(cat "$1/.kestrova-root" 2>/dev/null)" = "$stamp" ] && return
    rm -rf --one-file-system -- "$1"
    mkdir -p "$1"
    echo "$stamp" >"$1/.kestrova-root"
}

# Every mount point of this mount namespace, one a line: the kernel's
# escapes (\040 for a space, \134 for a backslash, ...) undone, so that paths
# compare literally.
mount_points() {
    local id parent devices root target rest
    while read -r id parent devices root target rest; do
        printf '%b\n' "${target//\\/\\0}"
    done </proc/self/mountinfo
}

# Removes a root as a whole, refusing a system folder and a root with
# anything mounted at or below it (rm would delete through a bind mount of
# the source tree or /dev); never leaves its own file system.
remove_root() {
    local root target
    [ -e "$1" ] || return 0
    root=$(realpath -m -- "$1")
    if [ "$(dirname -- "$root")" = / ] || [ "$root" = / ]; then
        echo "refusing to remove $root: a system folder is no Wine root" >&2
        exit 1
    fi
    while IFS= read -r target; do
        if [ "$target" = "$root" ] || [[ "$target" == "$root"/* ]]; then
            echo "not removing $root: $target is mounted there (umount it first)" >&2
            exit 1
        fi
    done < <(mount_points)
    rm -rf --one-file-system -- "$root"
}

# A Wine session inside the root: $1 Y or N for managed windows, then the command.
WINE_SESSION='
    "$WINE" wineboot </dev/null >/dev/null 2>&1
    "$WINE" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /t REG_SZ /d "$1" /f </dev/null >/dev/null 2>&1
    shift
    "$@"; status=$?
    "${WINE%wine64}wineserver" -k 2>/dev/null
    exit $status'

run() {
    # Mount and process namespaces of their own, private: the mounts below
    # vanish with the namespace, and the kernel ends every process inside
    # when the first one goes, however this script ends.
    if [ -z "${KESTROVA_WINE_ROOT_NAMESPACE:-}" ]; then
        KESTROVA_WINE_ROOT_NAMESPACE=1 exec unshare --mount --propagation private --pid --fork --kill-child \
            "$0" run "$@"
    fi
    unset KESTROVA_WINE_ROOT_NAMESPACE
    local dirs=() dir session=() display=() managed=N
    if [ "${1:-}" = --prefix ] && [ $# -gt 1 ]; then
        prefix "$2"
        session=(WINEPREFIX="$(realpath "$2")" WINEDEBUG=-all WINEDLLOVERRIDES=winedbg.exe=d WINE=/usr/lib/wine/wine64)
        shift 2
        while [ "${1:-}" = --xvfb ] || [ "${1:-}" = --managed ]; do
            [ "$1" = --xvfb ] && display=(xvfb-run -a -s "-screen 0 1280x1024x24") || managed=Y
            shift
        done
    fi
    while [ $# -gt 0 ] && [ "$1" != -- ]; do dirs+=("$(realpath "$1")"); shift; done
    [ "${1:-}" = -- ] && [ $# -gt 1 ] || { echo "usage: $0 run [--prefix PREFIX [--xvfb] [--managed]] DIR... -- COMMAND [ARGS]" >&2; exit 2; }
    shift
    [ ${#session[@]} -eq 0 ] || set -- "${session[@]}" "${display[@]}" bash -c "$WINE_SESSION" wine-session "$managed" "$@"
    [ -f "$ROOT/.kestrova-stamp" ] || { echo "no Wine root at $ROOT: run '$0 prepare' first" >&2; exit 1; }
    mount -t proc proc "$ROOT/proc"
    mount --rbind /dev "$ROOT/dev"
    for dir in "${dirs[@]}"; do
        mkdir -p "$ROOT$dir"
        mount --bind "$dir" "$ROOT$dir"
    done
    chroot "$ROOT" /usr/bin/env PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"
}

case "${1:-}" in
    prepare) prepare ;;
    runs-32-bit) runs_32_bit ;;
    run) shift; run "$@" ;;
    path) echo "$ROOT" ;;
    *) echo "usage: $0 prepare | run [--prefix PREFIX [--xvfb] [--managed]] DIR... -- COMMAND [ARGS] | path | runs-32-bit" >&2; exit 2 ;;
esac
