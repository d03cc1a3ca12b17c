// ConfigModule.cpp - the module's entry points: process attach and the one
// export, DoConfig.
#include "ConfigModule.h"

#include "SettingsDialog.h"
#include "resources/resource.h"

HINSTANCE ModuleInstance = nullptr;
PlayerHost* CurrentPlayerHost = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    if (reason == DLL_PROCESS_ATTACH)
        ModuleInstance = instance;
    return TRUE;
}

// Shows the settings dialog modally over parent: 1 whichever way the user
// closed it, DialogBoxParamA's failure value when the dialog cannot be
// created (the player has not registered the list view's class).
extern "C" __declspec(dllexport) int __cdecl DoConfig(PlayerHost* host, HWND parent)
{
    CurrentPlayerHost = host;
    return static_cast<int>(
        DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_SETTINGS), parent, SettingsDlgProc, 0));
}
