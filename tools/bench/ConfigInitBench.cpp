// ConfigInitBench.cpp - how quickly the real Config.dll shows its settings
// dialog and switches drivers, measured under Wine through the simulated
// player's engine, for installations and engines of several sizes.
//
// For every size it prints, as medians of repeated runs:
//   init      DoConfig called -> WM_INITDIALOG of the settings dialog handled
//             (a CBT hook wraps the dialog's window procedure as the window
//             is created, and the wrapper notes when WM_INITDIALOG returns);
//   bare      DialogBoxParamA of the same template 101 from the loaded
//             module with a dialog procedure that does nothing, until its
//             WM_INITDIALOG is handled: what any dialog of that shape costs;
//   versions  reading the version of every library of the installation in a
//             plain GetFileVersionInfoSizeA/GetFileVersionInfoA/VerQueryValueA
//             loop: what the components report cannot do without;
//   ratio     init / (bare + versions);
//   driver    one CBN_SELCHANGE of the driver list handled (every render
//             context switched, the resolution list rebuilt);
//   mode      one render-mode radio button handled, when the selected driver
//             is no longer offered (the list is rebuilt and the contexts are
//             switched) and when it still is (the list is rebuilt only).
//
// The settings dialog is driven from inside its own modal loop: the wrapper
// starts a thread timer when initialisation is over, the timer procedure
// plays the user with SendMessage and posts IDCANCEL (Esc: nothing saved).
//
// Usage: ConfigInitBench --config-dll=PATH --component=PATH [--component=PATH ...]
//                        [--runs=N] [--switches=N] [--quick] [--label=NAME] [--no-header]
// --label names the DLL in a first column, so that scripts/bench.sh prints the
// i686 and the x86_64 DLL in one table; --no-header leaves out the heading.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "DialogWindows.h"
#include "RegistryText.h"
#include "Kestrova/PlayerEngine.h"
#include "SimEngine.h"
#include "resources/resource.h"

namespace {

const char kInstallKey[] = "Software\\Kestrova\\DadAzizov";
const char kScratchFolder[] = "KestrovaConfigBench";
const DWORD kWatchdogMs = 120000;

struct Size {
    int libraries;
    int drivers;
    int modes;  // per driver, four entries per distinct resolution
    int contexts;
};

struct RunResult {
    double initMs = -1;
    std::vector<double> driverSwitchMs;
    std::vector<double> modeReplacedMs;
    std::vector<double> modeKeptMs;
    int rows = -1;         // rows of the components list after initialisation
    int resolutions = -1;  // entries of the resolution list after initialisation
};

// ---- Clock -----------------------------------------------------------------------

double NowMs()
{
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// ---- The engine ---------------------------------------------------------------

// A driver's modes as engines list them: every size at two colour depths and
// two refresh rates, depth-major, so equal texts lie far apart in the list.
std::vector<DisplayMode> DriverModes(int count)
{
    std::vector<DisplayMode> modes;
    const int sizes = std::max(1, count / 4);
    for (int depth : {16, 32})
        for (int rate : {60, 75})
            for (int s = 0; s < sizes && static_cast<int>(modes.size()) < count; ++s)
                modes.push_back(DisplayMode{640 + 16 * s, 480 + 12 * s, depth, rate});
    return modes;
}

// Hardware and software drivers alternate, so forcing software mode drops
// the hardware driver every context starts on.
void BuildEngine(sim::SimEngine& engine, const Size& size)
{
    const std::vector<DisplayMode> modes = DriverModes(size.modes);
    for (int d = 0; d < size.drivers; ++d) {
        const std::string name = (d % 2 == 0 ? "Hardware Driver " : "Software Driver ") + std::to_string(d);
        engine.AddDriver(d % 2 == 0 ? sim::HardwareDriver(name, modes) : sim::SoftwareDriver(name, modes));
    }
    for (int c = 0; c < size.contexts; ++c)
        engine.AddContext(0);
}

// ---- The installation -----------------------------------------------------------

std::string TempFolder()
{
    char buffer[MAX_PATH] = "";
    GetTempPathA(sizeof buffer, buffer);
    return buffer;
}

std::string ScratchRoot() { return TempFolder() + kScratchFolder + "\\"; }

std::string LibraryFolder(int count) { return ScratchRoot() + "install_" + std::to_string(count) + "\\"; }

// count copies of the given versioned libraries, round robin; their paths.
std::vector<std::string> MakeInstallation(int count, const std::vector<std::string>& components)
{
    CreateDirectoryA(ScratchRoot().c_str(), nullptr);
    const std::string folder = LibraryFolder(count);
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "component_%05d.dll", i);
        const std::string path = folder + name;
        if (!CopyFileA(components[static_cast<std::size_t>(i) % components.size()].c_str(), path.c_str(), FALSE)) {
            std::fprintf(stderr, "cannot copy a component to %s (error %lu)\n", path.c_str(), GetLastError());
            break;
        }
        paths.push_back(path);
    }
    return paths;
}

void RemoveInstallation(int count, const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
        DeleteFileA(path.c_str());
    RemoveDirectoryA(LibraryFolder(count).c_str());
}

bool SetInstallPath(const std::string& folder)
{
    return sim::Store(HKEY_LOCAL_MACHINE, kInstallKey, {sim::Text("InstallPath", folder)});
}

void RemoveInstallPath()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "InstallPath");
        RegCloseKey(key);
    }
}

// ---- The reference costs ---------------------------------------------------------

double g_bareInitEnd = 0;

INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        g_bareInitEnd = NowMs();
        EndDialog(dialog, 0);
    }
    return FALSE;
}

double BareTemplateMs(HMODULE config)
{
    const double start = NowMs();
    g_bareInitEnd = 0;
    if (DialogBoxParamA(config, MAKEINTRESOURCEA(IDD_SETTINGS), nullptr, BareDialogProc, 0) == -1 ||
        g_bareInitEnd == 0)
        return -1;
    return g_bareInitEnd - start;
}

// The number of versions read is returned through read, so a copy that
// failed would show.
double ReadVersionsMs(const std::vector<std::string>& paths, int& read)
{
    read = 0;
    const double start = NowMs();
    for (const std::string& path : paths) {
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
        if (size == 0)
            continue;
        std::vector<char> block(size);
        if (!GetFileVersionInfoA(path.c_str(), handle, size, block.data()))
            continue;
        void* info = nullptr;
        UINT length = 0;
        if (VerQueryValueA(block.data(), "\\", &info, &length) && info != nullptr && length >= sizeof(VS_FIXEDFILEINFO))
            ++read;
    }
    return NowMs() - start;
}

// ---- Driving the settings dialog -------------------------------------------------

// What the hook and the timer procedure share with the run; one run at a time.
struct DialogRun {
    double initEnd = 0;
    HWND dialog = nullptr;
    int switches = 0;
    RunResult* result = nullptr;
};
DialogRun g_run;

double SendCommandMs(HWND dialog, int id, int code)
{
    HWND control = GetDlgItem(dialog, id);
    const double start = NowMs();
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    return NowMs() - start;
}

void CALLBACK PlayUser(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND dialog = g_run.dialog;
    RunResult& result = *g_run.result;
    result.rows = static_cast<int>(SendDlgItemMessageA(dialog, IDC_INSTALLED_COMPONENTS, LVM_GETITEMCOUNT, 0, 0));
    result.resolutions = static_cast<int>(SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_GETCOUNT, 0, 0));

    // Entries 1 and 0 in turn, so every switch really changes the driver.
    for (int k = 0; k < g_run.switches; ++k) {
        SendDlgItemMessageA(dialog, IDC_RENDER_DRIVER, CB_SETCURSEL, k % 2 == 0 ? 1 : 0, 0);
        result.driverSwitchMs.push_back(SendCommandMs(dialog, IDC_RENDER_DRIVER, CBN_SELCHANGE));
    }
    // The switches end on the first (hardware) driver: software-only mode
    // drops it, and going back to "page decides" keeps the software one.
    for (int k = 0; k < g_run.switches; ++k) {
        const int button = k % 2 == 0 ? IDC_FORCE_SOFTWARE : IDC_PAGE_DECIDES;
        CheckRadioButton(dialog, IDC_FORCE_SOFTWARE, IDC_PAGE_DECIDES, button);
        const double ms = SendCommandMs(dialog, button, BN_CLICKED);
        (k % 2 == 0 ? result.modeReplacedMs : result.modeKeptMs).push_back(ms);
        if (k % 2 != 0) {
            // Back on the hardware driver for the next replacement.
            SendDlgItemMessageA(dialog, IDC_RENDER_DRIVER, CB_SETCURSEL, 0, 0);
            SendCommandMs(dialog, IDC_RENDER_DRIVER, CBN_SELCHANGE);
        }
    }
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

// The settings dialog's own window procedure, wrapped: the end of its
// WM_INITDIALOG is the end of initialisation. Wrapping the one window costs
// nothing measurable; a hook that sees every sent message (WH_CALLWNDPROCRET)
// would add a round trip to the Wine server to each of the thousands of
// messages the lists take, and inflate what it measures.
WNDPROC g_dialogWindowProc = nullptr;
HHOOK g_creationHook = nullptr;

LRESULT CALLBACK WrappedDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CallWindowProcA(g_dialogWindowProc, window, message, wParam, lParam);
    if (message == WM_INITDIALOG && g_run.initEnd == 0) {
        g_run.initEnd = NowMs();
        SetTimer(nullptr, 0, 0, PlayUser);
    }
    return result;
}

bool IsDialogClass(HWND window)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    return std::strcmp(className, "#32770") == 0;
}

// The first dialog window DoConfig creates is the settings dialog: it is
// wrapped as it is created, before its controls and WM_INITDIALOG.
LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && g_run.dialog == nullptr && IsDialogClass(reinterpret_cast<HWND>(wParam))) {
        HWND dialog = reinterpret_cast<HWND>(wParam);
        g_run.dialog = dialog;
        g_dialogWindowProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WrappedDialogProc)));
    }
    return CallNextHookEx(g_creationHook, code, wParam, lParam);
}

// A dialog that nobody closed (it was never initialised) is closed from
// here, so the benchmark reports a failure instead of hanging.
struct WatchdogArgs {
    DWORD threadId;
    HANDLE done;  // signalled when DoConfig has returned
};

DWORD WINAPI Watchdog(LPVOID param)
{
    const WatchdogArgs& args = *static_cast<const WatchdogArgs*>(param);
    if (WaitForSingleObject(args.done, kWatchdogMs) != WAIT_TIMEOUT)
        return 0;
    HWND dialog = sim::FindThreadDialog(args.threadId, sim::kSettingsDialogCaption);
    if (dialog != nullptr)
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return 0;
}

typedef int(__cdecl* DoConfigFunction)(PlayerHost*, HWND);

RunResult RunSettingsDialog(DoConfigFunction doConfig, const Size& size, int switches)
{
    RunResult result;
    sim::SimEngine engine;
    BuildEngine(engine, size);
    g_run = DialogRun();
    g_run.switches = switches;
    g_run.result = &result;

    g_creationHook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    WatchdogArgs watchdogArgs = {GetCurrentThreadId(), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE watchdog = CreateThread(nullptr, 0, Watchdog, &watchdogArgs, 0, nullptr);
    const double start = NowMs();
    const int returned = doConfig(engine.Host(), nullptr);
    UnhookWindowsHookEx(g_creationHook);
    SetEvent(watchdogArgs.done);
    WaitForSingleObject(watchdog, INFINITE);
    CloseHandle(watchdog);
    CloseHandle(watchdogArgs.done);

    if (returned != 1 || g_run.dialog == nullptr || g_run.initEnd == 0) {
        std::fprintf(stderr, "DoConfig returned %d, dialog %s\n", returned,
                     g_run.initEnd != 0 ? "initialised" : "never initialised");
        return result;
    }
    if (!engine.Balanced())
        std::fprintf(stderr, "engine acquire/release unbalanced\n");
    result.initMs = g_run.initEnd - start;
    return result;
}

// ---- The table ----------------------------------------------------------------

std::string Argument(int argc, char** argv, const char* name, const std::string& fallback)
{
    const std::string prefix = std::string("--") + name + "=";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0)
            return argv[i] + prefix.size();
    return fallback;
}

bool HasFlag(int argc, char** argv, const char* flag)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], flag) == 0)
            return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string configPath = Argument(argc, argv, "config-dll", "Config.dll");
    const int runs = std::max(1, std::atoi(Argument(argc, argv, "runs", "7").c_str()));
    const int switches = std::max(2, std::atoi(Argument(argc, argv, "switches", "10").c_str()) / 2 * 2);
    std::vector<std::string> components;
    const std::string componentPrefix = "--component=";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], componentPrefix.c_str(), componentPrefix.size()) == 0)
            components.push_back(argv[i] + componentPrefix.size());
    if (components.empty()) {
        std::fprintf(stderr, "usage: ConfigInitBench --config-dll=PATH --component=PATH... [--runs=N]\n");
        return 2;
    }

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    HMODULE config = LoadLibraryA(configPath.c_str());
    DoConfigFunction doConfig =
        config != nullptr ? reinterpret_cast<DoConfigFunction>(reinterpret_cast<void*>(GetProcAddress(config, "DoConfig"))) : nullptr;
    if (doConfig == nullptr) {
        std::fprintf(stderr, "cannot load DoConfig from %s\n", configPath.c_str());
        return 1;
    }

    std::vector<Size> sizes = {
        {200, 4, 100, 2}, {1000, 4, 100, 2}, {2000, 4, 100, 2}, {200, 16, 400, 8}, {2000, 16, 400, 8},
    };
    if (HasFlag(argc, argv, "--quick"))
        sizes = {{200, 4, 100, 2}, {2000, 16, 400, 8}};

    int failures = 0;
    const std::string label = Argument(argc, argv, "label", "");
    if (!HasFlag(argc, argv, "--no-header")) {
        std::printf("median of %d runs (switches: median of %d per run x %d runs); times in ms\n", runs,
                    switches / 2, runs);
        std::printf("%-7s %6s %8s %6s %4s | %8s %8s %9s %6s | %8s %10s %10s | %5s %5s\n", "DLL", "DLLs", "drivers",
                    "modes", "ctx", "init", "bare", "versions", "ratio", "driver", "mode:repl", "mode:kept", "rows",
                    "res");
    }
    for (const Size& size : sizes) {
        const std::vector<std::string> paths = MakeInstallation(size.libraries, components);
        if (static_cast<int>(paths.size()) != size.libraries || !SetInstallPath(LibraryFolder(size.libraries))) {
            std::fprintf(stderr, "cannot lay out %d libraries\n", size.libraries);
            RemoveInstallation(size.libraries, paths);
            ++failures;
            continue;
        }
        // One untimed round first: files and code are then as warm as in a
        // player that has been running a while.
        int read = 0;
        RunSettingsDialog(doConfig, size, 2);
        BareTemplateMs(config);
        ReadVersionsMs(paths, read);

        std::vector<double> init, bare, versions, driver, modeReplaced, modeKept;
        int rows = -1, resolutions = -1;
        for (int r = 0; r < runs; ++r) {
            const RunResult result = RunSettingsDialog(doConfig, size, switches);
            if (result.initMs < 0) {
                ++failures;
                continue;
            }
            init.push_back(result.initMs);
            driver.push_back(Median(result.driverSwitchMs));
            modeReplaced.push_back(Median(result.modeReplacedMs));
            modeKept.push_back(Median(result.modeKeptMs));
            rows = result.rows;
            resolutions = result.resolutions;
            bare.push_back(BareTemplateMs(config));
            versions.push_back(ReadVersionsMs(paths, read));
        }
        if (read != size.libraries || rows != size.libraries) {
            std::fprintf(stderr, "expected %d versioned libraries: read %d, listed %d\n", size.libraries, read, rows);
            ++failures;
        }
        const double initMedian = Median(init);
        const double reference = Median(bare) + Median(versions);
        std::printf("%-7s %6d %8d %6d %4d | %8.1f %8.1f %9.1f %6.2f | %8.2f %10.2f %10.2f | %5d %5d\n",
                    label.c_str(), size.libraries,
                    size.drivers, size.modes, size.contexts, initMedian, Median(bare), Median(versions),
                    reference > 0 ? initMedian / reference : -1.0, Median(driver), Median(modeReplaced),
                    Median(modeKept), rows, resolutions);
        std::fflush(stdout);
        RemoveInstallation(size.libraries, paths);
    }
    RemoveInstallPath();
    RemoveDirectoryA(ScratchRoot().c_str());
    return failures == 0 ? 0 : 1;
}
