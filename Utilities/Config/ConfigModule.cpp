// ConfigModule.cpp - the one export of the module.
#include "ConfigModule.h"

#include "SettingsDialog.h"
#include "resources/resource.h"

plat::Module ModuleInstance = nullptr;
PlayerHost* CurrentPlayerHost = nullptr;

extern "C" CONFIG_EXPORT int CONFIG_CDECL DoConfig(PlayerHost* host, plat::Window parent)
{
    CurrentPlayerHost = host;
    return static_cast<int>(
        plat::DialogBoxParamA(ModuleInstance, IDD_SETTINGS, parent, SettingsDlgProc, 0));
}
