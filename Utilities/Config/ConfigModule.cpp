// ConfigModule.cpp - the module's entry points: process attach and the one
// export, DoConfig.
#include "ConfigModule.h"

#include "CallBoundary.h"
#include "SettingsDialog.h"
#include "resources/resource.h"

HINSTANCE ModuleInstance = nullptr;
PlayerHost* CurrentPlayerHost = nullptr;

// libstdc++'s own release of its emergency store for exceptions, the hook it
// offers memory checkers.
namespace __gnu_cxx {
void __freeres();
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        ModuleInstance = instance;
        TakeThreadSlot();
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded while the player goes on (at process exit there is
        // nothing to give back). The C++ runtime linked into the module
        // keeps an emergency store for exceptions (about 19 KiB on i686,
        // 73 KiB on x86_64) that it never frees: a player that loads the
        // module again and again would lose it every time.
        ReleaseThreadSlot();
        __gnu_cxx::__freeres();
    }
    return TRUE;
}

// Shows the settings dialog modally over parent: 1 whichever way the user
// closed it, DialogBoxParamA's failure value when the dialog cannot be
// created (the player has not registered the list view's class).
extern "C" __declspec(dllexport) int __cdecl DoConfig(PlayerHost* host, HWND parent)
{
    CurrentPlayerHost = host;
    // The dialog takes its player from the DoConfig opening it on this
    // thread, and keeps it: a second player's DoConfig, nested in its loop or
    // on another thread, does not take it over.
    CallBoundary boundary;
    ThreadRecord& thread = boundary.Thread();
    PlayerHost* const outerHost = thread.openingHost;
    thread.openingHost = host;
    const INT_PTR result =
        DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_SETTINGS), parent, SettingsDlgProc, 0);
    thread.openingHost = outerHost;
    return static_cast<int>(result);
}

PlayerHost* SettingsDialogHost(HWND dialog)
{
    return reinterpret_cast<PlayerHost*>(GetWindowLongPtrA(dialog, DWLP_USER));
}
