// RenderModeTest.cpp - the three render mode radio buttons: the driver
// list is refilled for the mode; a driver still listed stays selected and
// the player is left alone, otherwise the first listed driver is applied.
#include "SettingsDialogTest.h"

#include <algorithm>

namespace e2e {
namespace {

typedef std::vector<std::string> Texts;

// Refilling the list asks context 0 which driver it uses, whatever follows.
const Calls kRefill = {"acquire", "ctx0.getindex", "release"};

struct ModeCase {
    const char* name;
    void (*build)(sim::SimEngine&);
    std::vector<RegValue> stored;
    DialogScript before;  // the user's steps before the radio button
    int radio;
    Calls clickCalls;
    // Afterwards:
    Texts drivers;
    std::string shownDriver;
    std::string shownResolution;  // "" for none
    std::vector<int> contextDrivers;
    StoredSettings saved;         // by "&Close"
};

void NoSteps(DialogUser&) {}
void PickSoftwareRenderer(DialogUser& user) { user.PickText(kDriverList, "Software Renderer"); }
void Pick800x600(DialogUser& user) { user.PickText(kResolutionList, "800x600"); }

const Texts kHardwareDrivers = {"Hardware Renderer A", "Hardware Renderer B"};
const Texts kSoftwareDrivers = {"Software Renderer", "Reference Renderer"};
const Texts kUsableDrivers = {"Hardware Renderer A", "Hardware Renderer B", "Software Renderer", "Reference Renderer"};

const ModeCase kModeCases[] = {
    {"Force Software keeps a software driver that is still listed", BuildStandardEngine, {},
     PickSoftwareRenderer, kForceSoftware, kRefill,
     kSoftwareDrivers, "Software Renderer", "640x480", {kSoftware, -1, kSoftware},
     {1, kSoftware, 640, 480, 0, 2}},
    {"Force Software drops a hardware driver: the first software one is applied, 640x480 kept",
     BuildStandardEngine, {}, NoSteps, kForceSoftware, kRefill + DriverChange({0, 2}, kSoftware),
     kSoftwareDrivers, "Software Renderer", "640x480", {kSoftware, -1, kSoftware},
     {1, kSoftware, 640, 480, 0, 2}},
    {"a resolution the new driver lacks falls back to 640x480", BuildStandardEngine, {},
     Pick800x600, kForceSoftware, kRefill + DriverChange({0, 2}, kSoftware),
     kSoftwareDrivers, "Software Renderer", "640x480", {kSoftware, -1, kSoftware},
     {1, kSoftware, 640, 480, 0, 2}},
    {"Force Hardware keeps the hardware driver in use", BuildStandardEngine, {}, NoSteps, kForceHardware,
     kRefill, kHardwareDrivers, "Hardware Renderer A", "640x480", {kHardwareA, -1, kHardwareA},
     {1, kHardwareA, 640, 480, 0, 1}},
    {"back to the page deciding keeps the software driver shown", BuildStandardEngine,
     {DwordValue("ForceRenderMode", 2), DwordValue("RenderEngine", kSoftware)}, NoSteps, kPageDecides, kRefill,
     kUsableDrivers, "Software Renderer", "640x480", {kHardwareA, -1, kHardwareA},
     {1, kSoftware, 640, 480, 0, 0}},
    {"Force Hardware with only software drivers empties both lists and applies nothing",
     BuildSoftwareOnlyEngine, {}, NoSteps, kForceHardware, kRefill + DriverChange({}, 0),
     {}, "", "", {0}, {1, 0xFFFFFFFF, 640, 480, 0, 1}},
    {"a listed name starting with the remembered one, in any case, counts as still listed",
     BuildEngineWithPrefixNames, {DwordValue("fsWidth", 800), DwordValue("fsHeight", 600)}, NoSteps,
     kForceSoftware, kRefill,
     {"TURBO Software Path"}, "TURBO Software Path", "800x600", {0}, {1, 1, 800, 600, 0, 2}},
};

TEST_F(SettingsDialogTest, RenderModeRefillsTheDriverList)
{
    for (const ModeCase& row : kModeCases) {
        SCOPED_TRACE(row.name);
        SeedSettingsKey(row.stored);
        sim::SimEngine engine;
        row.build(engine);

        DialogState shown;
        Run(engine, [&](DialogUser& user) {
            row.before(user);
            user.Mark("click");
            user.Click(row.radio);
            user.Mark("clicked");
            shown = user.State();
            user.Click(kCloseButton);
        });

        const Calls journal = engine.Journal();
        const auto click = std::find(journal.begin(), journal.end(), "# click");
        ASSERT_NE(journal.end(), click) << "the script's mark is missing";
        EXPECT_TRUE(SameCalls(Calls{"# click"} + row.clickCalls + Calls{"# clicked"}, Calls(click, journal.end())));
        EXPECT_EQ(row.drivers, shown.drivers);
        EXPECT_EQ(row.shownDriver, shown.SelectedDriver());
        EXPECT_EQ(row.shownResolution, shown.SelectedResolution());
        EXPECT_EQ(row.contextDrivers, ContextDrivers(engine)) << "drivers of the render contexts";
        EXPECT_EQ(SettingsValues(row.saved), ReadSettingsKey());
    }
}

}  // namespace
}  // namespace e2e
