// ConfigE2eMain.cpp - entry point of config_e2e: the test program plays the
// Kestrova Dad Azizov player around the real Config.dll.
//
// Usage: config_e2e.exe --config-dll=PATH [gtest options]
// (CONFIG_DLL in the environment works too).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "E2eEnvironment.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);

    const char kOption[] = "--config-dll=";
    std::string dllPath;
    if (const char* fromEnvironment = std::getenv("CONFIG_DLL"))
        dllPath = fromEnvironment;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kOption, sizeof kOption - 1) == 0)
            dllPath = argv[i] + sizeof kOption - 1;
    }
    if (dllPath.empty()) {
        std::fprintf(stderr, "usage: config_e2e --config-dll=PATH\\Config.dll [gtest options]\n");
        return 2;
    }
    if (!e2e::SetUpEnvironment(dllPath.c_str()))
        return 1;
    const int result = RUN_ALL_TESTS();
    e2e::TearDownEnvironment();
    return result;
}
