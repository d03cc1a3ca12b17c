// SettingsDialogTest.cpp - see SettingsDialogTest.h.
#include "SettingsDialogTest.h"

namespace e2e {

DialogRun SettingsDialogTest::Run(sim::SimEngine& engine, const DialogScript& script)
{
    const DialogRun run = RunSettingsDialog(engine, script);
    EXPECT_TRUE(run.shown) << "the settings dialog never became visible; DoConfig returned " << run.returned;
    EXPECT_FALSE(run.endedByWatchdog)
        << "the dialog was still open some seconds after the user's last step; the watchdog ended it";
    EXPECT_EQ(1, run.returned) << "DoConfig's result";
    EXPECT_EQ(0, engine.AcquireDepth()) << "AcquireContext calls without their ReleaseContext";
    EXPECT_EQ(std::vector<std::string>(), engine.Violations())
        << "engine accesses outside an AcquireContext/ReleaseContext pair";
    return run;
}

std::vector<int> SettingsDialogTest::ContextDrivers(const sim::SimEngine& engine)
{
    std::vector<int> drivers;
    for (int i = 0; i < engine.ContextSlotCount(); ++i)
        drivers.push_back(engine.ContextDriver(i));
    return drivers;
}

}  // namespace e2e
