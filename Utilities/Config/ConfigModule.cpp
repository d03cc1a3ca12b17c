// ConfigModule.cpp - the module's entry points: process attach and the one
// export, DoConfig.
#include "ConfigModule.h"

#include "SettingsDialog.h"
#include "resources/resource.h"

HINSTANCE ModuleInstance = nullptr;
PlayerHost* CurrentPlayerHost = nullptr;

// libstdc++'s own release of its emergency store for exceptions, the hook it
// offers memory checkers.
namespace __gnu_cxx {
void __freeres();
}

namespace {

// The C++ runtime linked into the module sets aside an emergency store for
// exceptions when the module is loaded (about 19 KiB on i686, 73 KiB on
// x86_64) and never frees it: a player that unloads the module and loads it
// again would lose that much every time. It goes with the module's other
// static objects when the module is unloaded.
struct RuntimeStore {
    ~RuntimeStore() { __gnu_cxx::__freeres(); }
} runtimeStore;

}  // namespace

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
