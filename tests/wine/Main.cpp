// Main.cpp - config_e2e: the test program plays the Kestrova Dad Azizov
// player around the real Config.dll, as the player sets it up: common
// controls registered, the module loaded from the player's directory, a
// player window to own the dialog.
//
// Usage: config_e2e.exe --config-dll=PATH [gtest options]
//        config_e2e.exe --heap-canary  (overruns a heap block on purpose, so
//                                       the test command can prove that
//                                       Wine's heap checking reports it)
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "Views.h"

namespace e2e {

namespace {

HMODULE configModule = nullptr;
HWND playerWindow = nullptr;
std::string playerDirectory;

}  // namespace

HMODULE ConfigModule() { return configModule; }
HWND PlayerWindow() { return playerWindow; }
const std::string& PlayerDirectory() { return playerDirectory; }

}  // namespace e2e

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    std::string dllPath;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--heap-canary") == 0) {
            // volatile: the writes must not be dropped as dead before free.
            volatile char* block = static_cast<volatile char*>(std::malloc(16));
            for (int i = 0; i < 24; ++i)
                block[i] = 0x5A;
            std::free(const_cast<char*>(block));
            return 0;
        }
        if (std::strncmp(argv[i], "--config-dll=", 13) == 0)
            dllPath = argv[i] + 13;
    }

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    // The module finds its media cache and its log beside itself: the
    // player's directory here is a scratch folder beside this program.
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    e2e::playerDirectory = std::filesystem::path(self).parent_path().string() + "\\scratch\\player\\";
    std::filesystem::remove_all(e2e::playerDirectory);
    std::filesystem::create_directories(e2e::playerDirectory);
    const std::string installed = e2e::playerDirectory + "Config.dll";
    if (!CopyFileA(dllPath.c_str(), installed.c_str(), FALSE) ||
        (e2e::configModule = LoadLibraryA(installed.c_str())) == nullptr) {
        std::fprintf(stderr, "usage: config_e2e --config-dll=PATH\\Config.dll (cannot load \"%s\")\n", dllPath.c_str());
        return 2;
    }

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KestrovaTestPlayer";
    RegisterClassA(&windowClass);
    // Away from the screen's corner, so a dialog placed at its owner's
    // origin is told apart from one at the screen's.
    e2e::playerWindow = CreateWindowA(windowClass.lpszClassName, "Kestrova Dad Azizov Player (test)",
                                      WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 30, 480, 360, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
    if (e2e::playerWindow == nullptr) {
        std::fprintf(stderr, "cannot create a window: is there a display, and was the Wine prefix started on it?\n");
        return 2;
    }
    const int result = RUN_ALL_TESTS();
    DestroyWindow(e2e::playerWindow);
    FreeLibrary(e2e::configModule);
    return result;
}
