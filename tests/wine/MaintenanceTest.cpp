// MaintenanceTest.cpp - see MaintenanceTest.h.
#include "MaintenanceTest.h"

#include <cstdio>

namespace e2e {

const char kComponent1234[] = "e2e_component_1_2_3_4.dll";
const char kComponent2017[] = "e2e_component_2_0_1_7.dll";
const char kComponent4567[] = "e2e_component_4_5_6_7.dll";
const char kComponent65535001[] = "e2e_component_65535_0_0_1.dll";
const char kComponentNoFixedPart[] = "e2e_component_no_fixed_part.dll";
const char kComponentNoVersion[] = "e2e_component_no_version.dll";

std::string ScratchRoot()
{
    char temp[MAX_PATH] = "";
    const DWORD length = GetTempPathA(sizeof temp, temp);
    return JoinPath(std::string(temp, length), "KestrovaMaintenanceE2e");
}

std::string PlayerFolder() { return JoinPath(ScratchRoot(), "Player"); }
std::string MediaCacheFolder() { return JoinPath(PlayerFolder(), "MediaCache"); }
std::string DiagnosticLogFile() { return JoinPath(PlayerFolder(), "KestrovaWebPlayer.log"); }

std::string InstallModuleCopy(const std::string& builtModule)
{
    const std::string copy = JoinPath(PlayerFolder(), "Config.dll");
    if (!MakeFolders(PlayerFolder()) || !CopyFileA(builtModule.c_str(), copy.c_str(), FALSE)) {
        std::fprintf(stderr, "cannot copy %s to %s (error %lu)\n", builtModule.c_str(), copy.c_str(), GetLastError());
        return std::string();
    }
    return copy;
}

void RemoveScratch() { RemoveTree(ScratchRoot()); }

void MaintenanceTest::TearDown()
{
    registry_.Restore();
    SettingsDialogTest::TearDown();
}

}  // namespace e2e
