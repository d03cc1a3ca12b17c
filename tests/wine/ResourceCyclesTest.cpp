// ResourceCyclesTest.cpp - the 50 reloads of docs/TESTING.md: windows, kernel handles, GDI objects and
// memory counted by the test itself (Wine answers GetGuiResources and GetProcessHandleCount with 0).
#include "ConfigTest.h"

#include <array>
#include <cstdio>

namespace e2e {
namespace {

const int kReloads = 50;
const char* const kCounted[] = {"windows", "kernel handles", "GDI objects", "heap bytes"};
using Counts = std::array<long, 4>;

BOOL CALLBACK CountWindow(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        ++*reinterpret_cast<long*>(count);
        EnumChildWindows(window, CountWindow, count);
    }
    return TRUE;
}

Counts Measure()
{
    Counts counts = {0, 0, 0, 0};
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&counts[0]));
    for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
         window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr))
        CountWindow(window, reinterpret_cast<LPARAM>(&counts[0]));
    DWORD flags = 0;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4)
        counts[1] += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    for (std::uintptr_t value = 1; value < 0x10000; ++value)
        counts[2] += GetObjectType(reinterpret_cast<HGDIOBJ>(value)) != 0 ? 1 : 0;
    HANDLE heaps[64];
    const DWORD heapCount = GetProcessHeaps(64, heaps);
    for (DWORD h = 0; h < heapCount && h < 64; ++h) {  // the bytes in use in every heap
        // Wine's heap checking holds a heap's last 1,024 freed blocks aside, still counted: pushed out.
        for (int i = 0; i < 1100; ++i)
            HeapFree(heaps[h], 0, HeapAlloc(heaps[h], 0, 8));
        PROCESS_HEAP_ENTRY entry = {};
        HeapLock(heaps[h]);
        while (HeapWalk(heaps[h], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                counts[3] += static_cast<long>(entry.cbData);
        HeapUnlock(heaps[h]);
    }
    return counts;
}

TEST_F(ConfigTest, FiftyReloadsCatchAndLogTheReadersExceptionAndLeaveNothingBehind)
{
    const std::string copy = PlayerDirectory() + "..\\reload\\Config.dll";
    const std::string log = PlayerDirectory() + "..\\reload\\KestrovaWebPlayer.log";
    const std::string entry = "\tCatched Exception\t(\\SetupUtils.cpp : Line 291)\r\n";
    WriteFile(copy, "");
    ASSERT_TRUE(CopyFileA((PlayerDirectory() + "Config.dll").c_str(), copy.c_str(), FALSE));
    DeleteFileA(log.c_str());
    Store(HKEY_CLASSES_ROOT, kControlKey, {Text("", PlayerDirectory() + "a control of the player.dll")});
    Install("1_2_3_4", PlayerDirectory() + "..\\reload\\engine.dll");  // a directory listed at every load
    Store(HKEY_LOCAL_MACHINE, kInstallKey, {Text("InstallPath", PlayerDirectory() + "..\\reload\\")});
    calls.reset();  // each loaded module is watched on its own
    Player engine;
    Counts measured[3];
    for (int reload = -4; reload <= kReloads; ++reload) {  // five to warm up
        SCOPED_TRACE("reload " + std::to_string(reload));
        HMODULE module = LoadLibraryA(copy.c_str());
        ASSERT_NE(module, nullptr);
        {
            SystemCalls watched(module);
            // The first load meets its first exception with memory exhausted (its unwinder's tables unsorted).
            watched.Reset(reload > -4 ? StarvingAfter("RegQueryValueExA HKCR\\*") : [](SystemCalls& faults) {
                faults.FailFrom(1, {{"malloc *", 0}, {"calloc *", 0}, {"realloc *", 0}});
            });
            const auto doConfig = reinterpret_cast<DoConfigFunction>(reinterpret_cast<void*>(GetProcAddress(module, "DoConfig")));
            EXPECT_EQ(sim::RunDoConfig(doConfig, engine.Host(), PlayerWindow(), [](User& user) {
                          user.OpenNetworkSettings(), user.Click(1019), user.Press(VK_ESCAPE);
                      }).returned, 1);
            EXPECT_EQ(watched.Unfired(), std::vector<std::string>());
            EXPECT_EQ(watched.Calls({"DialogBoxParamA 102 *"}).size(), 1u) << "the network settings were not opened";
            watched.Unload();
            EXPECT_EQ(watched.Held(), std::vector<std::string>()) << "left behind by the unloaded module";
        }
        // One entry a load; the first, out of memory, also logs the installation path's read.
        ASSERT_EQ(ReadFile(log).size(), (reload + 6) * entry.size()) << "one entry a load";
        if (reload % (kReloads / 2) == 0 && reload >= 0)
            measured[reload * 2 / kReloads] = Measure();
    }
    EXPECT_EQ(ReadFile(log).substr(0, entry.size()), entry);
    EXPECT_TRUE(engine.Balanced());
    // Allowed in all (half of it in the second half): on i686 the runtime's semaphore of every load, Wine's lazy
    // objects (4 handles, 32 GDI objects), 64 KiB of heap. A handle or GDI object of the module's own adds 50;
    // the runtime's emergency store, not released, 19 KiB (i686) or 73 KiB (x86_64) a load.
    const Counts allowed = {0, (sizeof(void*) == 4 ? kReloads : 0) + 4, 32, 64 << 10};
    for (int i = 0; i < 4; ++i) {
        std::printf("[ figures  ] %-14s after warm-up %ld, after 25 reloads %ld, after 50 %ld\n", kCounted[i],
                    measured[0][i], measured[1][i], measured[2][i]);
        EXPECT_LE(measured[2][i] - measured[1][i], allowed[i] / 2) << kCounted[i] << " added in the second half";
    }
    calls = std::make_unique<SystemCalls>(LoadedModule());
}

}  // namespace
}  // namespace e2e
