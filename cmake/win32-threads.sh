#!/bin/sh
# Runs the -win32 twin of a mingw-w64 -posix compiler driver: the same GCC,
# with the runtime that uses Windows' own threads instead of the POSIX
# threads library. Used as the module's compiler and link launcher.
compiler=$1
shift
case $compiler in
    *-posix) exec "${compiler%-posix}-win32" "$@" ;;
    *) exec "$compiler" "$@" ;;
esac
