// ResourceCyclesTest.cpp - a browser session opens the player's settings many
// times; what a session creates (windows, GDI objects, kernel handles) must be
// gone when it ends. Wine answers GetGuiResources and GetProcessHandleCount
// with 0, so the test counts itself, each count first shown to follow objects
// made and destroyed here.
#include "ConfigTest.h"

#include <array>
#include <cstdio>

namespace e2e {
namespace {

const int kSessions = 200;
const char* const kCounted[] = {"windows", "kernel handles", "GDI objects"};
// Wine makes a bounded number of objects of its own lazily, when timing
// decides (its cache of 8-10 painting contexts, each with a clip region; once
// a brush or a handle): under load, as late as the last 100 sessions. So the
// 200 sessions may add these; a leak of one a session adds 200.
const long kLazy[] = {0, 4, 32};

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

std::array<long, 3> Measure()
{
    std::array<long, 3> counts = {0, 0, 0};
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&counts[0]));
    for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
         window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr))
        CountWindow(window, reinterpret_cast<LPARAM>(&counts[0]));
    DWORD flags = 0;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4)
        counts[1] += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    for (std::uintptr_t value = 1; value < 0x10000; ++value)
        counts[2] += GetObjectType(reinterpret_cast<HGDIOBJ>(value)) != 0 ? 1 : 0;
    return counts;
}

TEST_F(ConfigTest, TwoHundredSessionsLeaveNoWindowsObjectsOrHandlesBehind)
{
    const std::array<long, 3> before = Measure();
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(Measure(), (std::array<long, 3>{before[0] + 1, before[1] + 1, before[2] + 1}));
    CloseHandle(event), DeleteObject(brush), DestroyWindow(window);
    ASSERT_EQ(Measure(), before);

    // An installation to list, so every session also searches a directory.
    const std::string libs = PlayerDirectory() + "..\\cycles\\";
    WriteFile(libs, "");
    CopyFileA((PlayerDirectory() + "..\\..\\e2e_component_1_2_3_4.dll").c_str(), (libs + "engine.dll").c_str(), FALSE);
    Store(HKEY_LOCAL_MACHINE, kInstallKey, {Text("InstallPath", libs)});
    Player engine;
    BuildPlayer(engine);
    std::array<long, 3> measured[3];
    const DWORD start = GetTickCount();
    for (int session = -4; session <= kSessions; ++session) {  // five to warm up
        calls->Reset();
        Run(engine, [](User& user) {
            user.OpenNetworkSettings();
            user.Click(1019);
            user.Click(1);
        });
        ASSERT_FALSE(HasFailure()) << "session " << session;
        if (session % (kSessions / 2) == 0 && session >= 0)
            measured[session * 2 / kSessions] = Measure();
    }
    for (int i = 0; i < 3; ++i) {
        std::printf("[ figures ] %-14s after warm-up %ld, after %d sessions %ld, after %d %ld\n", kCounted[i],
                    measured[0][i], kSessions / 2, measured[1][i], kSessions, measured[2][i]);
        EXPECT_LE(measured[2][i] - measured[0][i], kLazy[i]) << kCounted[i] << " added since the warm-up";
    }
    std::printf("[ figures ] %d sessions in %lu ms\n", kSessions, GetTickCount() - start);
}

}  // namespace
}  // namespace e2e
