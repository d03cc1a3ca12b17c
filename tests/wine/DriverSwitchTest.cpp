// DriverSwitchTest.cpp - picking a render driver in the list: the running
// player's contexts are switched to it at once, the list follows what
// context 0 really uses, and the resolution list is rebuilt for the driver
// shown, keeping the user's resolution where it can.
#include "SettingsDialogTest.h"

namespace e2e {
namespace {

typedef std::vector<std::string> Texts;

const Texts kResolutionsA = {"640x480", "800x600", "1024x768"};
const Texts kResolutionsB = {"1280x1024", "800x600", "1600x1200"};
const Texts kResolutionsSoftware = {"320x240", "640x480", "1024x768"};

void RefuseBInContextZero(sim::SimEngine& engine)
{
    BuildStandardEngine(engine);
    engine.RefuseDriver(kHardwareB, 0);
}

void RefuseBInContextTwo(sim::SimEngine& engine)
{
    BuildStandardEngine(engine);
    engine.RefuseDriver(kHardwareB, 2);
}

void RefuseBEverywhere(sim::SimEngine& engine)
{
    BuildStandardEngine(engine);
    engine.RefuseDriver(kHardwareB);
}

struct PickCase {
    const char* name;
    void (*build)(sim::SimEngine&);
    std::string resolutionBefore;  // picked first; "" leaves the one shown at opening
    std::string driver;            // the entry the user picks
    Calls pickCalls;
    // Afterwards:
    std::string shownDriver;
    Texts resolutions;
    std::string shownResolution;   // "" for none
    std::vector<int> contextDrivers;
    StoredSettings saved;          // by "&Close"
};

const PickCase kPickCases[] = {
    {"every live context gets the driver; the previous resolution stays when offered", BuildStandardEngine,
     "800x600", "Hardware Renderer B", DriverChange({0, 2}, kHardwareB),
     "Hardware Renderer B", kResolutionsB, "800x600", {kHardwareB, -1, kHardwareB},
     {1, kHardwareB, 800, 600, 0, 0}},
    {"a previous resolution the driver lacks gives 640x480", BuildStandardEngine,
     "800x600", "Software Renderer", DriverChange({0, 2}, kSoftware),
     "Software Renderer", kResolutionsSoftware, "640x480", {kSoftware, -1, kSoftware},
     {1, kSoftware, 640, 480, 0, 0}},
    {"neither offered: no resolution, and Close stores 640x480", BuildStandardEngine,
     "1024x768", "Hardware Renderer B", DriverChange({0, 2}, kHardwareB),
     "Hardware Renderer B", kResolutionsB, "", {kHardwareB, -1, kHardwareB},
     {1, kHardwareB, 640, 480, 0, 0}},
    {"picking the driver in use applies it again", BuildStandardEngine,
     "1024x768", "Hardware Renderer A", DriverChange({0, 2}, kHardwareA),
     "Hardware Renderer A", kResolutionsA, "1024x768", {kHardwareA, -1, kHardwareA},
     {1, kHardwareA, 1024, 768, 0, 0}},
    {"the engine index is used, not the list position", BuildStandardEngine,
     "", "Reference Renderer", DriverChange({0, 2}, kReference),
     "Reference Renderer", {"800x600"}, "", {kReference, -1, kReference},
     {1, kReference, 640, 480, 0, 0}},
    {"context 0 refuses: the list shows its driver, resolutions rebuilt for it", RefuseBInContextZero,
     "1024x768", "Hardware Renderer B", DriverChange({0, 2}, kHardwareB),
     "Hardware Renderer A", kResolutionsA, "1024x768", {kHardwareA, -1, kHardwareB},
     {1, kHardwareA, 1024, 768, 0, 0}},
    {"only another context refuses: the pick stands", RefuseBInContextTwo,
     "", "Hardware Renderer B", DriverChange({0, 2}, kHardwareB),
     "Hardware Renderer B", kResolutionsB, "", {kHardwareB, -1, kHardwareA},
     {1, kHardwareB, 640, 480, 0, 0}},
    {"every context refuses", RefuseBEverywhere,
     "", "Hardware Renderer B", DriverChange({0, 2}, kHardwareB),
     "Hardware Renderer A", kResolutionsA, "640x480", {kHardwareA, -1, kHardwareA},
     {1, kHardwareA, 640, 480, 0, 0}},
    {"no render context: nothing to switch, the pick stands", BuildEngineWithoutContexts,
     "", "Hardware Renderer B", DriverChange({}, kHardwareB),
     "Hardware Renderer B", kResolutionsB, "", {},
     {1, kHardwareB, 640, 480, 0, 0}},
};

TEST_F(SettingsDialogTest, APickedDriverIsAppliedToThePlayerAtOnce)
{
    for (const PickCase& row : kPickCases) {
        SCOPED_TRACE(row.name);
        ResetSettingsKey();
        sim::SimEngine engine;
        row.build(engine);

        bool picked = false;
        DialogState shown;
        Run(engine, [&](DialogUser& user) {
            if (!row.resolutionBefore.empty())
                user.PickText(kResolutionList, row.resolutionBefore);
            user.Mark("pick");
            picked = user.PickText(kDriverList, row.driver);
            user.Mark("picked");
            shown = user.State();
            user.Click(kCloseButton);
        });

        ASSERT_TRUE(picked) << row.driver << " is not in the list";
        EXPECT_TRUE(SameCalls(OpenedWith(engine) + Calls{"# pick"} + row.pickCalls + Calls{"# picked"},
                              engine.Journal()));
        EXPECT_EQ(row.shownDriver, shown.SelectedDriver());
        EXPECT_EQ(row.resolutions, shown.resolutions);
        EXPECT_EQ(row.shownResolution, shown.SelectedResolution());
        EXPECT_EQ(row.contextDrivers, ContextDrivers(engine)) << "drivers of the render contexts";
        EXPECT_EQ(SettingsValues(row.saved), ReadSettingsKey());
    }
}

// Opening or closing the list, focus changes and the like are no pick: the
// player keeps its driver even when the selection moved without a pick.
TEST_F(SettingsDialogTest, OnlyASelectionChangeSwitchesTheDriver)
{
    const int kOtherNotifications[] = {CBN_DROPDOWN, CBN_CLOSEUP,     CBN_SETFOCUS, CBN_KILLFOCUS,
                                       CBN_SELENDOK, CBN_SELENDCANCEL, CBN_DBLCLK};
    sim::SimEngine engine;
    BuildStandardEngine(engine);

    DialogState shown;
    Run(engine, [&](DialogUser& user) {
        user.Mark("notifications");
        user.SetSelection(kDriverList, 1);  // "Hardware Renderer B"
        for (int code : kOtherNotifications)
            user.Notify(kDriverList, code);
        user.Mark("done");
        shown = user.State();
        user.PressEnter();
    });

    EXPECT_TRUE(SameCalls(OpenedWithContextZero() + Calls{"# notifications", "# done"}, engine.Journal()));
    EXPECT_EQ(kResolutionsA, shown.resolutions) << "the resolution list must not be rebuilt";
    EXPECT_EQ((std::vector<int>{kHardwareA, -1, kHardwareA}), ContextDrivers(engine));
    // What is stored is the list's selection, applied or not.
    EXPECT_EQ(SettingsValues({1, kHardwareB, 640, 480, 0, 0}), ReadSettingsKey());
}

}  // namespace
}  // namespace e2e
