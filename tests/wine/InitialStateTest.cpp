// InitialStateTest.cpp - what the settings dialog shows when it opens:
// the stored settings (or their defaults) against the drivers and render
// contexts of the running player.
#include "SettingsDialogTest.h"

namespace e2e {
namespace {

typedef std::vector<std::string> Texts;

struct OpeningCase {
    const char* name;
    void (*build)(sim::SimEngine&);
    std::vector<RegValue> stored;
    // What the user sees:
    Texts drivers;
    std::vector<std::intptr_t> driverData;
    std::string selectedDriver;
    Texts resolutions;
    std::string selectedResolution;
    std::vector<int> checked;
    Calls opening;
};

const Texts kUsableDrivers = {"Hardware Renderer A", "Hardware Renderer B", "Software Renderer", "Reference Renderer"};
const std::vector<std::intptr_t> kUsableDriverData = {kHardwareA, kHardwareB, kSoftware, kReference};
const Texts kResolutionsA = {"640x480", "800x600", "1024x768"};
const Texts kResolutionsB = {"1280x1024", "800x600", "1600x1200"};
const Texts kResolutionsSoftware = {"320x240", "640x480", "1024x768"};

const OpeningCase kOpeningCases[] = {
    {"no key: defaults, the driver of context 0, 640x480",
     BuildStandardEngine, {},
     kUsableDrivers, kUsableDriverData, "Hardware Renderer A", kResolutionsA, "640x480",
     {kAutoUpdate, kPageDecides}, OpenedWithContextZero()},
    {"stored values; context 0's driver wins, the resolutions stay the stored driver's",
     BuildStandardEngine,
     {DwordValue("AutoUpdate", 0), DwordValue("RenderEngine", kHardwareB), DwordValue("fsWidth", 1600),
      DwordValue("fsHeight", 1200), DwordValue("Set32bits", 1), DwordValue("ForceRenderMode", 1)},
     {"Hardware Renderer A", "Hardware Renderer B"}, {kHardwareA, kHardwareB}, "Hardware Renderer A",
     kResolutionsB, "1600x1200", {kColor32, kForceHardware}, OpenedWithContextZero()},
    {"software only, context 0 on a hardware driver: the stored software driver is selected",
     BuildStandardEngine,
     {DwordValue("RenderEngine", kSoftware), DwordValue("ForceRenderMode", 2), DwordValue("fsWidth", 1024),
      DwordValue("fsHeight", 768)},
     {"Software Renderer", "Reference Renderer"}, {kSoftware, kReference}, "Software Renderer",
     kResolutionsSoftware, "1024x768", {kAutoUpdate, kForceSoftware}, OpenedWithContextZero()},
    {"software only, neither context 0's nor the stored driver listed: nothing selected",
     BuildStandardEngine, {DwordValue("ForceRenderMode", 2)},
     {"Software Renderer", "Reference Renderer"}, {kSoftware, kReference}, "", {}, "",
     {kAutoUpdate, kForceSoftware}, OpenedWithContextZero()},
    {"an unknown render mode checks no radio button and lists every usable driver",
     BuildStandardEngine, {DwordValue("ForceRenderMode", 5)},
     kUsableDrivers, kUsableDriverData, "Hardware Renderer A", kResolutionsA, "640x480",
     {kAutoUpdate}, OpenedWithContextZero()},
    {"a stored resolution the driver lacks falls back to 640x480",
     BuildStandardEngine, {DwordValue("fsWidth", 1280), DwordValue("fsHeight", 1024)},
     kUsableDrivers, kUsableDriverData, "Hardware Renderer A", kResolutionsA, "640x480",
     {kAutoUpdate, kPageDecides}, OpenedWithContextZero()},
    {"neither the stored resolution nor 640x480 offered: no resolution selected",
     BuildStandardEngine,
     {DwordValue("RenderEngine", kReference), DwordValue("fsWidth", 1024), DwordValue("fsHeight", 768)},
     kUsableDrivers, kUsableDriverData, "Hardware Renderer A", {"800x600"}, "",
     {kAutoUpdate, kPageDecides}, OpenedWithContextZero()},
    {"no render contexts: the stored driver stays selected",
     BuildEngineWithoutContexts, {DwordValue("RenderEngine", kHardwareB)},
     kUsableDrivers, kUsableDriverData, "Hardware Renderer B", kResolutionsB, "",
     {kAutoUpdate, kPageDecides}, OpenedWithoutContextZero()},
    {"no render manager: both lists empty",
     BuildEngineWithoutRenderManager, {},
     {}, {}, "", {}, "", {kAutoUpdate, kPageDecides}, OpenedWithoutContextZero()},
    {"a driver without a name is listed as an empty entry",
     BuildEngineWithUnnamedDriver, {},
     {"", "Named Renderer"}, {0, 1}, "Named Renderer", {"640x480"}, "640x480",
     {kAutoUpdate, kPageDecides}, OpenedWithContextZero()},
};

TEST_F(SettingsDialogTest, OpensWithTheStoredSettingsAndThePlayersDrivers)
{
    for (const OpeningCase& row : kOpeningCases) {
        SCOPED_TRACE(row.name);
        SeedSettingsKey(row.stored);
        sim::SimEngine engine;
        row.build(engine);

        DialogState shown;
        Run(engine, [&](DialogUser& user) {
            shown = user.State();
            user.PressEsc();
        });

        EXPECT_EQ(row.drivers, shown.drivers);
        EXPECT_EQ(row.driverData, shown.driverData) << "item data of the driver entries";
        EXPECT_EQ(row.selectedDriver, shown.SelectedDriver());
        EXPECT_EQ(row.resolutions, shown.resolutions);
        EXPECT_EQ(row.selectedResolution, shown.SelectedResolution());
        EXPECT_EQ(row.checked, shown.checked) << "checked buttons";
        EXPECT_TRUE(SameCalls(row.opening, engine.Journal()));
        // Opening and Esc write nothing.
        EXPECT_EQ(SortedByName(row.stored), ReadSettingsKey()) << "the settings key after Esc";
    }
}

}  // namespace
}  // namespace e2e
