// RuntimeScan.h - numbers read from text as the system's C runtime reads them.
//
// mingw-w64's C++ headers put the toolchain's own ISO sscanf in place of the
// runtime's (libstdc++ turns its ANSI stdio on in every C++ file, and that
// cannot be undone per file). That sscanf saturates a number beyond 32 bits:
// a system proxy of "host:4294967376" would show port 2147483647, where the
// runtime the player runs with keeps the low 32 bits and reads 80. The module
// therefore calls the runtime's own export, which <stdio.h> declares as
// __ms_sscanf. A native build (unit tests, fuzzing) has no such export; its
// C library's sscanf keeps the low 32 bits alike for any number whose digits
// fit in 64 bits.
#ifndef KESTROVA_CONFIG_RUNTIME_SCAN_H
#define KESTROVA_CONFIG_RUNTIME_SCAN_H

#include <cstdio>

#ifdef _WIN32
inline constexpr auto* RuntimeScan = &__ms_sscanf;
#else
inline constexpr auto* RuntimeScan = &std::sscanf;
#endif

#endif  // KESTROVA_CONFIG_RUNTIME_SCAN_H
