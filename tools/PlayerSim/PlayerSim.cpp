// PlayerSim.cpp - the simulated Kestrova Dad Azizov player: a main window,
// Config.dll loaded the way the player loads it, and DoConfig called with
// a simulated engine, whose objects it hands over in the MSVC ABI as the real
// player does (MsvcPlayer.dll). Prints what DoConfig returned, what the module did to
// the engine and the settings it left in the registry.
//
// Usage: PlayerSim.exe [--screenshot DIR] [PATH\Config.dll]
//   Without a path, Config.dll is taken from beside PlayerSim.exe.
//   --screenshot DIR: photograph the dialog into DIR, then close it with Esc.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "DemoEngine.h"
#include "MsvcHost.h"
#include "RegistryText.h"
#include "ScreenshotTour.h"
#include "SimEngine.h"

namespace {

const char kMainWindowClass[] = "KestrovaPlayerSimWindow";
const char kMainWindowTitle[] = "Kestrova Dad Azizov Player (simulated)";
const char kSettingsKey[] = "Software\\Kestrova\\DadAzizov\\Config";
const char kNetworkKey[] = "Software\\Kestrova\\Network";

struct Options {
    std::string dllPath;
    std::string screenshotDir;
    bool ok = true;
};

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc)
            options.screenshotDir = argv[++i];
        else if (argv[i][0] != '-' && options.dllPath.empty())
            options.dllPath = argv[i];
        else
            options.ok = false;
    }
    return options;
}

std::string ModuleBesideExe()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string result = path;
    const std::string::size_type slash = result.find_last_of("\\/");
    result.erase(slash == std::string::npos ? 0 : slash + 1);
    return result + "Config.dll";
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        const char text[] = "Simulated player: a 3D scene would be rendered here.";
        TextOutA(dc, 12, 12, text, static_cast<int>(std::strlen(text)));
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateMainWindow()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA(kMainWindowClass, kMainWindowTitle, WS_OVERLAPPEDWINDOW, 20, 20, 760, 620, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return window;
}

// What the module left in the registry: the display settings and the
// user's proxy settings, value by value with their types.
void PrintStoredSettings()
{
    std::printf("Stored settings, HKLM\\%s: %s\n", kSettingsKey, sim::KeyText(HKEY_LOCAL_MACHINE, kSettingsKey).c_str());
    std::printf("Proxy settings, HKCU\\%s: %s\n", kNetworkKey, sim::KeyText(HKEY_CURRENT_USER, kNetworkKey).c_str());
}

void PrintJournal(const sim::SimEngine& engine)
{
    std::printf("Engine calls made by Config.dll:\n");
    for (const std::string& entry : engine.Journal())
        std::printf("  %s\n", entry.c_str());
    const bool balanced = engine.Balanced();
    std::printf("Acquire/release balanced: %s\n", balanced ? "yes" : "NO");
    for (const std::string& violation : engine.Violations())
        std::printf("  %s\n", violation.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);
    if (!options.ok) {
        std::fprintf(stderr, "usage: PlayerSim.exe [--screenshot DIR] [PATH\\Config.dll]\n");
        return 2;
    }

    // The dialog holds a list view: the player registers its class first.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    const std::string dllPath = options.dllPath.empty() ? ModuleBesideExe() : options.dllPath;
    HMODULE module = LoadLibraryA(dllPath.c_str());
    if (module == nullptr) {
        std::fprintf(stderr, "cannot load %s (error %lu)\n", dllPath.c_str(), GetLastError());
        return 1;
    }
    DoConfigFunction doConfig = reinterpret_cast<DoConfigFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "DoConfig")));
    if (doConfig == nullptr) {
        std::fprintf(stderr, "%s has no DoConfig export\n", dllPath.c_str());
        return 1;
    }

    sim::SimEngine engine;
    sim::BuildDemoEngine(engine);
    // The player is built with the Microsoft compiler: its engine objects
    // reach the module in that compiler's ABI (MsvcPlayer.dll beside this
    // program), whatever compiler built the module.
    sim::MsvcHost msvc;
    PlayerHost* host = msvc.Loaded() ? msvc.For(engine) : engine.Host();
    HWND mainWindow = CreateMainWindow();

    std::printf("Opening the settings dialog of %s; the engine's objects %s\n", dllPath.c_str(),
                msvc.Loaded() ? "built in the MSVC ABI (MsvcPlayer.dll)" : "the simulated player's own (no MsvcPlayer.dll)");
    std::fflush(stdout);
    sim::ScreenshotTour tour;
    tour.directory = options.screenshotDir;
    int result = 0;
    if (tour.directory.empty()) {
        result = doConfig(host, mainWindow);
    } else {
        const sim::Session session = sim::RunDoConfig(doConfig, host, mainWindow, std::ref(tour));
        result = static_cast<int>(session.returned);
        if (!session.shown || session.leftOpen)
            tour.problems.push_back(session.shown ? "the tour left a dialog open" : "the dialog did not appear");
    }

    std::printf("DoConfig returned %d\n", result);
    PrintJournal(engine);
    PrintStoredSettings();
    for (const std::string& dialog : tour.seen)
        std::printf("%s\n", dialog.c_str());
    for (const std::string& path : tour.saved)
        std::printf("Screenshot: %s\n", path.c_str());

    DestroyWindow(mainWindow);
    FreeLibrary(module);
    for (const std::string& problem : tour.problems)
        std::fprintf(stderr, "screenshots: %s\n", problem.c_str());
    if (!tour.problems.empty())
        return 1;
    return result == 1 && engine.Balanced() ? 0 : 1;
}
