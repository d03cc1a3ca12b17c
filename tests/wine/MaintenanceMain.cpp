// MaintenanceMain.cpp - entry point of config_maintenance_e2e: the player's
// maintenance functions (media cache, installed components) through the
// real Config.dll, run from a copy in a scratch installation.
//
// Usage: config_maintenance_e2e.exe --config-dll=PATH [gtest options]
// (CONFIG_DLL in the environment works too). PATH is the built module; the
// tests load a copy of it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "E2eEnvironment.h"
#include "MaintenanceTest.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);

    const char kOption[] = "--config-dll=";
    std::string builtModule;
    if (const char* fromEnvironment = std::getenv("CONFIG_DLL"))
        builtModule = fromEnvironment;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kOption, sizeof kOption - 1) == 0)
            builtModule = argv[i] + sizeof kOption - 1;
    }
    if (builtModule.empty()) {
        std::fprintf(stderr, "usage: config_maintenance_e2e --config-dll=PATH\\Config.dll [gtest options]\n");
        return 2;
    }

    // Whatever an interrupted run left behind goes first.
    e2e::RemoveScratch();
    const std::string copy = e2e::InstallModuleCopy(builtModule);
    if (copy.empty())
        return 1;
    if (!e2e::SetUpEnvironment(copy.c_str()))
        return 1;
    // The module must be the copy: the cache and the log are found beside it.
    if (GetModuleHandleA(copy.c_str()) == nullptr) {
        std::fprintf(stderr, "%s was not the module loaded\n", copy.c_str());
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    e2e::TearDownEnvironment();
    e2e::RemoveScratch();
    return result;
}
