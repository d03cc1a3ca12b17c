// E2eEnvironment.cpp - see E2eEnvironment.h.
#include "E2eEnvironment.h"

#include <commctrl.h>

#include <cstdio>

namespace e2e {

namespace {

const char kPlayerWindowClass[] = "KestrovaE2ePlayerWindow";
HMODULE configModule = nullptr;
DoConfigFunction doConfig = nullptr;
HWND playerWindow = nullptr;

}  // namespace

DoConfigFunction DoConfig() { return doConfig; }
HWND PlayerWindow() { return playerWindow; }

bool SetUpEnvironment(const char* configDllPath)
{
    // The dialog holds a list view: the player registers its class first.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    if (!InitCommonControlsEx(&controls)) {
        std::fprintf(stderr, "InitCommonControlsEx failed\n");
        return false;
    }
    configModule = LoadLibraryA(configDllPath);
    if (configModule == nullptr) {
        std::fprintf(stderr, "cannot load %s (error %lu)\n", configDllPath, GetLastError());
        return false;
    }
    doConfig = reinterpret_cast<DoConfigFunction>(reinterpret_cast<void*>(GetProcAddress(configModule, "DoConfig")));
    if (doConfig == nullptr) {
        std::fprintf(stderr, "%s exports no DoConfig\n", configDllPath);
        return false;
    }

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kPlayerWindowClass;
    RegisterClassA(&windowClass);
    // Away from the screen's corner, so "placed at the owner's client
    // origin" differs from "placed at the screen origin".
    playerWindow = CreateWindowA(kPlayerWindowClass, "Kestrova Dad Azizov Player (test)", WS_OVERLAPPEDWINDOW, 40,
                                 30, 480, 360, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (playerWindow == nullptr) {
        // Seen when the Wine prefix was started (wineboot) without the X
        // display the tests run on: no window can be created at all.
        std::fprintf(stderr,
                     "cannot create the player window (error %lu): is there a display, and was the Wine "
                     "prefix started on it?\n",
                     GetLastError());
        return false;
    }
    ShowWindow(playerWindow, SW_SHOWNORMAL);
    return true;
}

void TearDownEnvironment()
{
    if (playerWindow != nullptr)
        DestroyWindow(playerWindow);
    if (configModule != nullptr)
        FreeLibrary(configModule);
}

}  // namespace e2e
