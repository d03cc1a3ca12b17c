// ResourceCyclesTest.cpp - a browser session opens the player's settings many
// times: DoConfig, "&Network Settings", "&Cancel", "&Close", over and over.
// Whatever a session creates (windows, GDI objects, kernel handles) must be
// gone when it ends, or a long-lived browser runs out of them.
//
// Wine 8 answers GetGuiResources and GetProcessHandleCount with 0 whatever
// exists, so the test counts directly: the windows of the process, the
// kernel handle values the system accepts (GetHandleInformation over the
// handle range) and the GDI objects it recognises (GetObjectType over every
// 16-bit handle index). Each count is first shown to follow objects created
// and destroyed here.
#include "ConfigTest.h"

#include <cstdio>

namespace e2e {
namespace {

const int kWarmUp = 5;
const int kSessions = 200;
const int kProbe = 8;
// Wine makes some objects of its own lazily, when timing decides: its cache
// of painting contexts grows to 8-10 (each with a clip region), a system
// brush or a kernel handle appears once. Measured here within the first 60
// sessions, then flat. So the first half may add up to this many; the
// second half must add nothing, which a leak of one object a session fails.
const long kLazyGdiObjects = 32;
const long kLazyHandles = 4;

struct Counts {
    long windows = 0;
    long handles = 0;
    long gdiObjects = 0;
};

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
    Counts counts;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&counts.windows));
    for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
         window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr))
        CountWindow(window, reinterpret_cast<LPARAM>(&counts.windows));
    for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        counts.handles += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    }
    for (std::uintptr_t value = 1; value < 0x10000; ++value)
        counts.gdiObjects += GetObjectType(reinterpret_cast<HGDIOBJ>(value)) != 0 ? 1 : 0;
    return counts;
}

TEST_F(ConfigTest, TwoHundredSessionsLeaveNoWindowsObjectsOrHandlesBehind)
{
    // The counts follow objects created and destroyed here.
    const Counts before = Measure();
    HANDLE events[kProbe];
    HBRUSH brushes[kProbe];
    HWND windows[kProbe];
    for (int i = 0; i < kProbe; ++i) {
        events[i] = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        brushes[i] = CreateSolidBrush(RGB(i, i, i));
        windows[i] = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    }
    const Counts during = Measure();
    for (int i = 0; i < kProbe; ++i) {
        CloseHandle(events[i]);
        DeleteObject(brushes[i]);
        DestroyWindow(windows[i]);
    }
    const Counts after = Measure();
    ASSERT_EQ(during.windows - before.windows, kProbe);
    ASSERT_EQ(during.handles - before.handles, kProbe);
    ASSERT_EQ(during.gdiObjects - before.gdiObjects, kProbe);
    ASSERT_EQ(after.windows + after.handles + after.gdiObjects, before.windows + before.handles + before.gdiObjects);

    sim::SimEngine engine;
    BuildPlayer(engine);
    Counts measured[3];
    const DWORD start = GetTickCount();
    for (int session = 1 - kWarmUp; session <= kSessions; ++session) {
        calls->Forget();
        Run(engine, [](User& user) {
            user.OpenNetworkSettings();
            user.Click(1019);
            user.Click(1);
        });
        ASSERT_FALSE(HasFailure()) << "session " << session;
        if (session == 0 || session == kSessions / 2 || session == kSessions)
            measured[session * 2 / kSessions] = Measure();
    }
    const char* const names[] = {"windows", "kernel handles", "GDI objects"};
    const long Counts::*fields[] = {&Counts::windows, &Counts::handles, &Counts::gdiObjects};
    const long lazy[] = {0, kLazyHandles, kLazyGdiObjects};
    for (int i = 0; i < 3; ++i) {
        const long warm = measured[0].*fields[i], half = measured[1].*fields[i], end = measured[2].*fields[i];
        std::printf("[ figures ] %-14s after warm-up %ld, after %d sessions %ld, after %d %ld\n", names[i], warm,
                    kSessions / 2, half, kSessions, end);
        EXPECT_EQ(end, half) << names[i] << " grew over the last " << kSessions / 2 << " sessions";
        EXPECT_LE(end - warm, lazy[i]) << names[i] << " added since the warm-up";
    }
    std::printf("[ figures ] %d sessions in %lu ms\n", kSessions, GetTickCount() - start);
}

}  // namespace
}  // namespace e2e
