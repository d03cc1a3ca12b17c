// ListBuildingBench.cpp - how the cost of building the settings dialog's
// lists grows with what the player and the installation hold, on the
// in-memory platform: no Wine, no window system, only the module's own work
// and the platform calls it makes.
//
// Each benchmark reports its complexity over N (Google Benchmark fits
// O(N), O(N log N), O(N^2) to the timings).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ComponentInfo.h"
#include "ConfigModule.h"
#include "MemoryDialogs.h"
#include "RenderLists.h"
#include "SimEngine.h"
#include "platform/MemoryPlatform.h"
#include "resources/resource.h"

namespace {

// N modes as engines list them: every size at two depths and two rates,
// depth-major, so a quarter of the entries are distinct texts and equal
// texts lie far apart.
std::vector<DisplayMode> DriverModes(int count)
{
    std::vector<DisplayMode> modes;
    const int sizes = count / 4 > 0 ? count / 4 : 1;
    for (int depth : {16, 32})
        for (int rate : {60, 75})
            for (int s = 0; s < sizes && static_cast<int>(modes.size()) < count; ++s)
                modes.push_back(DisplayMode{640 + 16 * s, 480 + 12 * s, depth, rate});
    return modes;
}

// A fresh in-memory platform with the module's dialogs and an engine made
// by build; the settings dialog's controls without its procedure.
class Bench {
public:
    template <typename Build>
    explicit Bench(Build build)
    {
        memplat::Reset();
        RegisterModuleDialogs();
        build(engine_);
        CurrentPlayerHost = engine_.Host();
        dialog_ = memplat::CreateDialogWindow(IDD_SETTINGS, nullptr);
    }
    ~Bench()
    {
        memplat::DestroyDialogWindow(dialog_);
        CurrentPlayerHost = nullptr;
        memplat::Reset();
    }
    plat::Window Dialog() const { return dialog_; }
    std::intptr_t Count(int id) const { return plat::ComboGetCount(plat::GetDlgItem(dialog_, id)); }

private:
    sim::SimEngine engine_;
    plat::Window dialog_ = nullptr;
};

void BM_FillResolutionList(benchmark::State& state)
{
    const int modes = static_cast<int>(state.range(0));
    Bench bench([&](sim::SimEngine& engine) {
        engine.AddDriver(sim::HardwareDriver("Hardware", DriverModes(modes)));
        engine.AddContext(0);
    });
    FillDriverList(bench.Dialog(), RenderModePageDecides);
    for (auto _ : state)
        FillResolutionList(bench.Dialog());
    if (bench.Count(IDC_RESOLUTION) != modes / 4)
        state.SkipWithError("resolution list does not hold one entry per distinct size");
    state.SetComplexityN(modes);
}
BENCHMARK(BM_FillResolutionList)->RangeMultiplier(4)->Range(100, 6400)->Complexity();

void BM_FillDriverList(benchmark::State& state)
{
    const int drivers = static_cast<int>(state.range(0));
    Bench bench([&](sim::SimEngine& engine) {
        for (int d = 0; d < drivers; ++d)
            engine.AddDriver(sim::HardwareDriver("Driver " + std::to_string(d), DriverModes(4)));
        engine.AddContext(0);
    });
    for (auto _ : state)
        FillDriverList(bench.Dialog(), RenderModePageDecides);
    if (bench.Count(IDC_RENDER_DRIVER) != drivers)
        state.SkipWithError("driver list does not hold every driver");
    state.SetComplexityN(drivers);
}
BENCHMARK(BM_FillDriverList)->RangeMultiplier(4)->Range(4, 1024)->Complexity();

// A driver switch with N modes per driver and 8 contexts: the engine calls
// and the rebuilt resolution list.
void BM_DriverSwitch(benchmark::State& state)
{
    const int modes = static_cast<int>(state.range(0));
    Bench bench([&](sim::SimEngine& engine) {
        for (int d = 0; d < 16; ++d)
            engine.AddDriver(sim::HardwareDriver("Driver " + std::to_string(d), DriverModes(modes)));
        for (int c = 0; c < 8; ++c)
            engine.AddContext(0);
    });
    FillDriverList(bench.Dialog(), RenderModePageDecides);
    plat::Window drivers = plat::GetDlgItem(bench.Dialog(), IDC_RENDER_DRIVER);
    int entry = 0;
    for (auto _ : state) {
        entry = 1 - entry;
        plat::ComboSetCurSel(drivers, entry);
        OnDriverChanged(bench.Dialog());
    }
    state.SetComplexityN(modes);
}
BENCHMARK(BM_DriverSwitch)->RangeMultiplier(4)->Range(100, 6400)->Complexity();

void BM_FillComponentInfo(benchmark::State& state)
{
    const int files = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Bench> bench(new Bench([](sim::SimEngine&) {}));
        memplat::PutDirectory("C:\\Player");
        memplat::PutValue(plat::HKeyLocalMachine(), kInstallKey, "InstallPath", plat::kRegSz,
                          std::string("C:\\Player\\") + '\0');
        for (int i = 0; i < files; ++i) {
            char name[48];
            std::snprintf(name, sizeof name, "C:\\Player\\component_%05d.dll", (i * 7919) % files);
            memplat::PutVersionedFile(name, memplat::FileVersion{1, 2, 3, static_cast<std::uint16_t>(i), true});
        }
        state.ResumeTiming();

        FillComponentInfo(bench->Dialog());

        state.PauseTiming();
        const std::size_t rows = memplat::ListViewRows(plat::GetDlgItem(bench->Dialog(), IDC_INSTALLED_COMPONENTS)).size();
        if (rows != static_cast<std::size_t>(files))
            state.SkipWithError("components list does not hold every library");
        bench.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(files);
}
BENCHMARK(BM_FillComponentInfo)->RangeMultiplier(4)->Range(50, 3200)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
