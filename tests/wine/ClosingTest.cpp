// ClosingTest.cpp - the three ways out of the settings dialog: "&Close" and
// Enter store what the dialog shows as six REG_DWORDs, Esc stores nothing;
// all three report 1 to the player.
#include "SettingsDialogTest.h"

namespace e2e {
namespace {

enum CloseBy { kByCloseButton, kByEnter, kByEsc };

struct ClosingCase {
    const char* name;
    void (*build)(sim::SimEngine&);
    std::vector<RegValue> stored;
    DialogScript steps;       // what the user does before closing
    CloseBy closeBy;
    Calls stepCalls;          // engine calls the steps cause
    std::vector<RegValue> key; // the whole key afterwards; empty: no key
};

const RegValue kOtherValue = {"InstallDir", REG_SZ, {'C', ':', '\\', 0}};

void NoSteps(DialogUser&) {}

void TickBothCheckBoxes(DialogUser& user)
{
    user.Click(kColor32);
    user.Click(kAutoUpdate);
}

void PickHardwareRendererB(DialogUser& user) { user.PickText(kDriverList, "Hardware Renderer B"); }

void ChangeEverything(DialogUser& user)
{
    TickBothCheckBoxes(user);
    user.PickText(kResolutionList, "800x600");
    user.Click(kForceSoftware);
}

// The standard player's live contexts (slot 1 is empty) switched to driver.
Calls SwitchAllTo(int driver) { return DriverChange({0, 2}, driver); }

const std::vector<RegValue> kStoredSix = {
    DwordValue("AutoUpdate", 0), DwordValue("RenderEngine", kHardwareB), DwordValue("fsWidth", 1600),
    DwordValue("fsHeight", 1200), DwordValue("Set32bits", 1),           DwordValue("ForceRenderMode", 1)};

std::vector<RegValue> With(std::vector<RegValue> values, const RegValue& extra)
{
    values.push_back(extra);
    return SortedByName(values);
}

const ClosingCase kClosingCases[] = {
    {"Close with no key stores the defaults and context 0's driver", BuildStandardEngine, {}, NoSteps,
     kByCloseButton, {}, SettingsValues({1, kHardwareA, 640, 480, 0, 0})},
    {"Enter stores the changed check boxes", BuildStandardEngine, {}, TickBothCheckBoxes, kByEnter, {},
     SettingsValues({0, kHardwareA, 640, 480, 1, 0})},
    {"Close stores a picked driver and its engine index, not its list position", BuildStandardEngine, {},
     PickHardwareRendererB, kByCloseButton, SwitchAllTo(kHardwareB),
     SettingsValues({1, kHardwareB, 640, 480, 0, 0})},
    {"Close right away keeps the stored values, with context 0's driver", BuildStandardEngine, kStoredSix, NoSteps,
     kByCloseButton, {}, SettingsValues({0, kHardwareA, 1600, 1200, 1, 1})},
    {"no resolution selected stores 640x480", BuildStandardEngine,
     {DwordValue("RenderEngine", kReference), DwordValue("fsWidth", 1024), DwordValue("fsHeight", 768)}, NoSteps,
     kByEnter, {}, SettingsValues({1, kHardwareA, 640, 480, 0, 0})},
    {"no driver selected stores 0xFFFFFFFF", BuildStandardEngine, {DwordValue("ForceRenderMode", 2)}, NoSteps,
     kByCloseButton, {}, SettingsValues({1, 0xFFFFFFFF, 640, 480, 0, 2})},
    {"no render manager stores 0xFFFFFFFF", BuildEngineWithoutRenderManager, {}, NoSteps, kByEnter, {},
     SettingsValues({1, 0xFFFFFFFF, 640, 480, 0, 0})},
    {"an unknown render mode is stored as 0", BuildStandardEngine, {DwordValue("ForceRenderMode", 5)}, NoSteps,
     kByCloseButton, {}, SettingsValues({1, kHardwareA, 640, 480, 0, 0})},
    {"a 4-byte value of another type is read, then rewritten as REG_DWORD; other values stay",
     BuildStandardEngine, {RegValue{"Set32bits", REG_BINARY, {1, 0, 0, 0}}, kOtherValue}, NoSteps, kByEnter, {},
     With(SettingsValues({1, kHardwareA, 640, 480, 1, 0}), kOtherValue)},
    {"Esc with no key leaves no key, though the picked driver stays in use", BuildStandardEngine, {},
     PickHardwareRendererB, kByEsc, SwitchAllTo(kHardwareB), {}},
    {"Esc leaves every stored value as it was", BuildStandardEngine, With(kStoredSix, kOtherValue),
     ChangeEverything, kByEsc,
     Calls{"acquire", "ctx0.getindex", "release"} + SwitchAllTo(kSoftware), With(kStoredSix, kOtherValue)},
};

TEST_F(SettingsDialogTest, CloseAndEnterSaveWhatIsShownEscSavesNothing)
{
    for (const ClosingCase& row : kClosingCases) {
        SCOPED_TRACE(row.name);
        SeedSettingsKey(row.stored);
        sim::SimEngine engine;
        row.build(engine);

        Run(engine, [&](DialogUser& user) {
            user.Mark("user");
            row.steps(user);
            user.Mark("close");
            if (row.closeBy == kByCloseButton)
                user.Click(kCloseButton);
            else if (row.closeBy == kByEnter)
                user.PressEnter();
            else
                user.PressEsc();
        });

        EXPECT_TRUE(SameCalls(OpenedWith(engine) + Calls{"# user"} + row.stepCalls + Calls{"# close"}, engine.Journal()));
        EXPECT_EQ(!row.key.empty(), SettingsKeyExists()) << "whether the settings key exists";
        EXPECT_EQ(row.key, ReadSettingsKey());
    }
}

}  // namespace
}  // namespace e2e
