// ResourceCyclesTest.cpp - the player opens its settings many times in one
// browser session: DoConfig, "&Network Settings", "&Cancel", "&Close", over
// and over. Whatever the module creates for a session (windows, GDI
// objects, kernel handles) must be gone when the session ends, or a
// long-lived browser process runs out of them.
//
// Each counter is first proven to respond here: a few objects of its kind
// are created and destroyed, and the counter must move by exactly that
// many. Wine 8 answers GetGuiResources and GetProcessHandleCount with 0
// whatever exists; a counter that does not respond is reported as such and
// not asserted. Three direct counts stand in: the windows of the process
// (top-level, child and message-only), the kernel handle values the
// system accepts (GetHandleInformation over the handle range), and the
// GDI objects the system recognises (GetObjectType over every 16-bit
// handle index, which Wine accepts without the handle's upper word).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <cstdio>
#include <memory>
#include <string>

#include "DialogUser.h"
#include "NetworkRegistry.h"
#include "NetworkUser.h"
#include "TestEngines.h"

namespace e2e {
namespace {

const int kWarmUpCycles = 5;
const int kMeasuredCycles = 200;
const int kCalibrationObjects = 8;
const int kTrajectoryStep = 20;
// Wine makes some objects of its own lazily, the first time a session
// needs them, and when that happens depends on timing: its cache of device
// contexts for painting grows to its working size (each with its clip
// region), a system colour brush or a kernel handle appears once (measured
// here: up to 10 DCs, 10 regions, 1 brush and 1 handle, all within the
// first 60 sessions, then flat; the cache's size varies from run to run).
// So the first half of the measured sessions may add up to these many; the
// second half must add nothing at all, which a leak of even one object per
// session cannot pass.
const long kLazyGdiObjects = 32;
const long kLazyHandles = 4;
const long kLazyWindows = 0;
// Handle values probed: kernel handles are multiples of 4 below this, GDI
// handles are identified by their low 16 bits.
const std::uintptr_t kHandleRange = 0x10000;

struct Counts {
    DWORD userObjects = 0;
    DWORD gdiObjects = 0;
    DWORD handles = 0;
    bool handleCountRead = false;
    long windows = 0;  // top-level, child and message-only windows of this process
    long probedHandles = 0;
    long probedGdiObjects = 0;
};

BOOL CALLBACK CountChild(HWND, LPARAM param)
{
    ++*reinterpret_cast<long*>(param);
    return TRUE;
}

bool IsOurs(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param)
{
    if (!IsOurs(window))
        return TRUE;
    long* count = reinterpret_cast<long*>(param);
    ++*count;
    EnumChildWindows(window, CountChild, param);
    return TRUE;
}

long CountWindows()
{
    long count = 0;
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
    // EnumWindows leaves out message-only windows.
    for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
         window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) {
        if (IsOurs(window)) {
            ++count;
            EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&count));
        }
    }
    return count;
}

long ProbeKernelHandles()
{
    long count = 0;
    for (std::uintptr_t value = 4; value < kHandleRange; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

// GDI objects by type (OBJ_PEN, OBJ_BRUSH, OBJ_DC, OBJ_FONT, ...).
std::map<DWORD, long> ProbeGdiObjectsByType()
{
    std::map<DWORD, long> byType;
    for (std::uintptr_t value = 1; value < kHandleRange; ++value) {
        const DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(value));
        if (type != 0)
            ++byType[type];
    }
    return byType;
}

long ProbeGdiObjects()
{
    long count = 0;
    for (const auto& type : ProbeGdiObjectsByType())
        count += type.second;
    return count;
}

// "type 3: +2, type 6: -1": what changed between two counts by type.
std::string GdiDifference(const std::map<DWORD, long>& before, const std::map<DWORD, long>& after)
{
    std::map<DWORD, long> difference;
    for (const auto& type : after)
        difference[type.first] += type.second;
    for (const auto& type : before)
        difference[type.first] -= type.second;
    std::string text;
    for (const auto& type : difference) {
        if (type.second == 0)
            continue;
        text += (text.empty() ? "" : ", ") + std::string("type ") + std::to_string(type.first) + ": " +
                (type.second > 0 ? "+" : "") + std::to_string(type.second);
    }
    return text.empty() ? "none" : text;
}

Counts Measure()
{
    Counts counts;
    counts.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    counts.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    counts.handleCountRead = GetProcessHandleCount(GetCurrentProcess(), &counts.handles) != FALSE;
    counts.windows = CountWindows();
    counts.probedHandles = ProbeKernelHandles();
    counts.probedGdiObjects = ProbeGdiObjects();
    return counts;
}

// Which counters follow objects really created and destroyed here.
struct Responding {
    bool userObjects = false;
    bool gdiObjects = false;
    bool handles = false;
    bool windows = false;
    bool probedHandles = false;
    bool probedGdiObjects = false;
};

Responding Calibrate()
{
    const Counts before = Measure();
    HANDLE events[kCalibrationObjects];
    HBRUSH brushes[kCalibrationObjects];
    HWND windows[kCalibrationObjects];
    for (int i = 0; i < kCalibrationObjects; ++i) {
        events[i] = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        brushes[i] = CreateSolidBrush(RGB(i, i, i));
        windows[i] = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, GetModuleHandleA(nullptr),
                                   nullptr);
    }
    const Counts during = Measure();
    for (int i = 0; i < kCalibrationObjects; ++i) {
        CloseHandle(events[i]);
        DeleteObject(brushes[i]);
        DestroyWindow(windows[i]);
    }
    const Counts after = Measure();

    std::printf("[ calibration ] %d events, brushes and windows: USER objects %lu -> %lu -> %lu, GDI objects %lu -> "
                "%lu -> %lu, handles %lu -> %lu -> %lu, windows %ld -> %ld -> %ld, probed handles %ld -> %ld -> %ld, "
                "probed GDI objects %ld -> %ld -> %ld\n",
                kCalibrationObjects, before.userObjects, during.userObjects, after.userObjects, before.gdiObjects,
                during.gdiObjects, after.gdiObjects, before.handles, during.handles, after.handles, before.windows,
                during.windows, after.windows, before.probedHandles, during.probedHandles, after.probedHandles,
                before.probedGdiObjects, during.probedGdiObjects, after.probedGdiObjects);
    const DWORD n = kCalibrationObjects;
    Responding responding;
    // A window is a USER object; a window class or menu is not created here.
    responding.userObjects = during.userObjects >= before.userObjects + n && after.userObjects == before.userObjects;
    responding.gdiObjects = during.gdiObjects == before.gdiObjects + n && after.gdiObjects == before.gdiObjects;
    responding.handles = before.handleCountRead && during.handles == before.handles + n &&
                         after.handles == before.handles;
    const long m = kCalibrationObjects;
    responding.windows = during.windows == before.windows + m && after.windows == before.windows;
    responding.probedHandles =
        during.probedHandles == before.probedHandles + m && after.probedHandles == before.probedHandles;
    responding.probedGdiObjects =
        during.probedGdiObjects == before.probedGdiObjects + m && after.probedGdiObjects == before.probedGdiObjects;
    return responding;
}

// Prints a counter's readings and, when the counter responds, checks that
// it stays flat: nothing added over the second half of the sessions, at
// most the system's lazy objects over the first.
void CheckFlat(const char* what, bool responds, long warm, long half, long end, long lazyAllowance)
{
    if (!responds) {
        std::printf("[ figures ] %-14s not measurable here: the counter does not follow objects created and "
                    "destroyed (reads %ld, %ld, %ld); not asserted\n",
                    what, warm, half, end);
        return;
    }
    std::printf("[ figures ] %-14s after warm-up %ld, after %d sessions %ld, after %d sessions %ld\n", what, warm,
                kMeasuredCycles / 2, half, kMeasuredCycles, end);
    EXPECT_EQ(half, end) << what << " over the last " << kMeasuredCycles / 2 << " sessions: expected " << half
                         << " (as after the first half), actual " << end;
    EXPECT_LE(end - warm, lazyAllowance) << what << " added since the warm-up: expected at most " << lazyAllowance
                                         << ", actual " << end - warm;
}

class ResourceCyclesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        machineKey_.reset(new KeyTreeSnapshot(HKEY_LOCAL_MACHINE, kPlayerKey));
        userKey_.reset(new KeyTreeSnapshot(HKEY_CURRENT_USER, kPlayerKey));
        ASSERT_TRUE(machineKey_->Taken()) << "HKLM\\" << kPlayerKey << " could not be put aside";
        ASSERT_TRUE(userKey_->Taken()) << "HKCU\\" << kPlayerKey << " could not be put aside";
        barrier_.reset(new DialogThreadBarrier);
    }
    void TearDown() override
    {
        barrier_.reset();
        userKey_.reset();
        machineKey_.reset();
    }

    // One session; false with the reason when a step did not happen.
    bool Cycle(sim::SimEngine& engine, std::string& failure)
    {
        bool networkShown = false;
        bool networkClosed = false;
        const DialogRun run = RunSettingsDialog(engine, [&](DialogUser& settings) {
            {
                NetworkUser network(settings, *barrier_);
                networkShown = network.Shown();
                if (networkShown)
                    networkClosed = network.Press(kProxyCancel) && !IsWindow(network.Dialog());
            }
            settings.Click(kCloseButton);
        });
        if (!run.shown)
            failure = "the settings dialog did not appear";
        else if (!networkShown)
            failure = "the network dialog did not appear";
        else if (!networkClosed)
            failure = "\"&Cancel\" did not close the network dialog";
        else if (run.endedByWatchdog)
            failure = "\"&Close\" did not end the settings dialog";
        else if (run.returned != 1)
            failure = "DoConfig returned " + std::to_string(run.returned) + ", expected 1";
        return failure.empty();
    }

    std::unique_ptr<KeyTreeSnapshot> machineKey_;
    std::unique_ptr<KeyTreeSnapshot> userKey_;
    std::unique_ptr<DialogThreadBarrier> barrier_;
};

TEST_F(ResourceCyclesTest, TwoHundredSessionsLeaveNoWindowsObjectsOrHandlesBehind)
{
    const Responding responding = Calibrate();
    ASSERT_TRUE(responding.windows) << "the window count does not follow windows created and destroyed";

    sim::SimEngine engine;
    BuildStandardEngine(engine);
    std::string failure;
    for (int i = 0; i < kWarmUpCycles; ++i)
        ASSERT_TRUE(Cycle(engine, failure)) << "warm-up session " << i << ": " << failure;
    const Counts warm = Measure();
    const std::map<DWORD, long> warmGdi = ProbeGdiObjectsByType();
    Counts half;
    std::map<DWORD, long> halfGdi;
    std::string trajectory = std::to_string(warm.probedGdiObjects);
    DWORD elapsed = 0;
    for (int i = 1; i <= kMeasuredCycles; ++i) {
        const DWORD start = GetTickCount();
        ASSERT_TRUE(Cycle(engine, failure)) << "session " << i << ": " << failure;
        elapsed += GetTickCount() - start;
        if (i == kMeasuredCycles / 2) {
            half = Measure();
            halfGdi = ProbeGdiObjectsByType();
        }
        if (i % kTrajectoryStep == 0)
            trajectory += " " + std::to_string(ProbeGdiObjects());
    }
    const Counts end = Measure();
    const std::map<DWORD, long> endGdi = ProbeGdiObjectsByType();

    std::printf("[ figures ] %d sessions in %lu ms\n", kMeasuredCycles, static_cast<unsigned long>(elapsed));
    std::printf("[ figures ] probed GDI objects every %d sessions: %s; by type over all sessions: %s; over the "
                "second half: %s\n",
                kTrajectoryStep, trajectory.c_str(), GdiDifference(warmGdi, endGdi).c_str(),
                GdiDifference(halfGdi, endGdi).c_str());
    CheckFlat("windows", responding.windows, warm.windows, half.windows, end.windows, kLazyWindows);
    CheckFlat("USER objects", responding.userObjects, warm.userObjects, half.userObjects, end.userObjects,
              kLazyWindows);
    CheckFlat("GDI objects", responding.gdiObjects, warm.gdiObjects, half.gdiObjects, end.gdiObjects,
              kLazyGdiObjects);
    CheckFlat("handles", responding.handles, warm.handles, half.handles, end.handles, kLazyHandles);
    CheckFlat("probed handles", responding.probedHandles, warm.probedHandles, half.probedHandles, end.probedHandles,
              kLazyHandles);
    CheckFlat("probed GDI", responding.probedGdiObjects, warm.probedGdiObjects, half.probedGdiObjects,
              end.probedGdiObjects, kLazyGdiObjects);
    EXPECT_TRUE(responding.handles || responding.probedHandles) << "no way to count kernel handles here";
    EXPECT_TRUE(responding.gdiObjects || responding.probedGdiObjects) << "no way to count GDI objects here";
    EXPECT_TRUE(engine.Balanced()) << "AcquireContext/ReleaseContext unbalanced over the sessions";
    EXPECT_EQ(0, engine.AcquireDepth());
}

}  // namespace
}  // namespace e2e
