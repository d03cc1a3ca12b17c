// The driver and resolution lists and driver switching on the running
// player, observed through the lists and the engine's call journal.
#include "ModuleFixture.h"

#include "DisplaySettings.h"
#include "RenderLists.h"
#include "resources/resource.h"

namespace {

// The four calls of one driver switch on one context.
Calls Switch(int context, int driver)
{
    const std::string c = "ctx" + std::to_string(context) + ".";
    return {c + "begin", c + "set " + std::to_string(driver), c + "reconfigure 0,0,0,0,0", c + "end"};
}

Calls Concat(std::initializer_list<Calls> parts)
{
    Calls all;
    for (const Calls& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<sim::SimDriver> MixedDrivers()
{
    const std::vector<DisplayMode> modes = {{640, 480, 16, 0}};
    sim::SimDriver unnamed = Driver("", 0, 1, modes);
    unnamed.hasName = false;
    return {
        Driver("Alpha HW", 1, 1, modes),   // 0
        Driver("Null Desc", 1, 1, modes),  // 1: the engine gives no description
        unnamed,                           // 2: software, no name
        Driver("Beta", 1, 2, modes),       // 3: capability bit 0 clear
        Driver("Gamma HW", 7, 3, modes),   // 4: any non-zero hardware flag
    };
}

}  // namespace

TEST_F(ModuleTest, DriverListOffersDriversByModeAndCapability)
{
    struct ModeCase {
        int mode;
        std::vector<std::string> names;
        std::vector<std::intptr_t> indexes;
    };
    const ModeCase cases[] = {
        {RenderModePageDecides, {"Alpha HW", "", "Gamma HW"}, {0, 2, 4}},
        {RenderModeHardwareOnly, {"Alpha HW", "Gamma HW"}, {0, 4}},
        {RenderModeSoftwareOnly, {""}, {2}},
        {7, {"Alpha HW", "", "Gamma HW"}, {0, 2, 4}},
    };
    NewEngine(MixedDrivers(), {4}).HideDriverDesc(1);
    BareSettings();
    for (const ModeCase& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        FillDriverList(dialog_, c.mode);
        EXPECT_EQ(c.names, Items(IDC_RENDER_DRIVER));
        std::vector<std::intptr_t> indexes;
        for (std::size_t i = 0; i < c.names.size(); ++i)
            indexes.push_back(plat::ComboGetItemData(Item(IDC_RENDER_DRIVER), static_cast<std::intptr_t>(i)));
        EXPECT_EQ(c.indexes, indexes);
        // Context 0 renders with driver 4: selected wherever it is listed.
        EXPECT_EQ(c.mode == RenderModeSoftwareOnly ? -1 : 4, SelectedDriver());
    }
    const Calls fill = {"acquire", "ctx0.getindex", "release"};
    EXPECT_EQ(Concat({fill, fill, fill, fill}), engine().Journal());
}

TEST_F(ModuleTest, WithoutRenderManagerBothListsStayEmptyAndEveryAcquireIsReleased)
{
    engine().SetHasRenderManager(false);
    OpenSettings();
    EXPECT_TRUE(Items(IDC_RENDER_DRIVER).empty());
    EXPECT_TRUE(Items(IDC_RESOLUTION).empty());
    EXPECT_EQ("", Selected(IDC_RESOLUTION));
    memplat::Click(dialog_, IDC_FORCE_HARDWARE);
    memplat::SendCommand(dialog_, IDC_RENDER_DRIVER, plat::kCbnSelChange);
    EXPECT_TRUE(Switches().empty());
    EXPECT_EQ(0, engine().AcquireDepth());
    EXPECT_EQ(2, engine().MaxAcquireDepth()) << "a driver change rebuilds the resolutions inside its own pair";
}

// Resolutions are de-duplicated with the list's own prefix search, so a
// mode whose text is a prefix of an earlier entry is not added either.
TEST_F(ModuleTest, ResolutionListKeepsFirstOccurrenceOfEachText)
{
    struct ModesCase {
        const char* what;
        std::vector<DisplayMode> modes;
        std::vector<std::string> expected;
    };
    const ModesCase cases[] = {
        {"depths and rates collapse",
         {{800, 600, 16, 60}, {640, 480, 16, 60}, {800, 600, 32, 60}, {1024, 768, 32, 85}, {640, 480, 32, 75}},
         {"800x600", "640x480", "1024x768"}},
        {"a prefix of an earlier entry", {{640, 480, 16, 0}, {640, 48, 16, 0}}, {"640x480"}},
        {"an entry that extends an earlier one", {{640, 48, 16, 0}, {640, 480, 16, 0}}, {"640x48", "640x480"}},
        {"negative and zero sizes", {{-1, 0, 0, 0}, {0, 0, 0, 0}}, {"-1x0", "0x0"}},
        {"no modes", {}, {}},
    };
    BareSettings();
    for (const ModesCase& c : cases) {
        SCOPED_TRACE(c.what);
        NewEngine({Driver("Only", 1, 1, c.modes)}, {0, 0});
        FillDriverList(dialog_, RenderModePageDecides);
        FillResolutionList(dialog_);
        EXPECT_EQ(c.expected, Items(IDC_RESOLUTION));
    }
}

TEST_F(ModuleTest, PickedDriverIsAppliedToEveryLiveContext)
{
    NewEngine(StandardDrivers(), {0, -1, 0});
    StoreDword("fsWidth", 1024);
    StoreDword("fsHeight", 768);
    OpenSettings();
    engine().ClearJournal();
    const int countQueries = engine().ContextCountQueries();

    SelectDriverEntry("Hardware Rasterizer");

    EXPECT_EQ(Concat({{"acquire"}, Switch(0, 1), {"ctx0.getindex"}, Switch(2, 1), {"acquire", "release", "release"}}),
              engine().Journal());
    EXPECT_EQ(countQueries + 1, engine().ContextCountQueries()) << "the context count is read once per change";
    EXPECT_EQ(1, engine().ContextDriver(0));
    EXPECT_EQ(1, engine().ContextDriver(2));
    EXPECT_EQ(Calls({"1024x768", "1600x1200"}), Items(IDC_RESOLUTION));
    EXPECT_EQ("1024x768", Selected(IDC_RESOLUTION)) << "the resolution chosen before stays when offered";

    SelectDriverEntry("Software Rasterizer");
    EXPECT_EQ("640x480", Selected(IDC_RESOLUTION)) << "else 640x480";
    SelectDriverEntry("Hardware Rasterizer");
    EXPECT_EQ("", Selected(IDC_RESOLUTION)) << "else nothing";
}

TEST_F(ModuleTest, RefusedDriverPutsTheListBackToContextZerosDriver)
{
    NewEngine(StandardDrivers(), {0, 0}).RefuseDriver(2, 0);
    StoreDword("fsWidth", 800);
    StoreDword("fsHeight", 600);
    OpenSettings();
    engine().ClearJournal();

    SelectDriverEntry("Software Rasterizer");

    EXPECT_EQ(Concat({{"acquire"}, Switch(0, 2), {"ctx0.getindex"}, Switch(1, 2), {"acquire", "release", "release"}}),
              engine().Journal());
    EXPECT_EQ(0, engine().ContextDriver(0));
    EXPECT_EQ(2, engine().ContextDriver(1)) << "other contexts are not checked";
    EXPECT_EQ("Hardware Accelerated T&L", Selected(IDC_RENDER_DRIVER));
    EXPECT_EQ(Calls({"640x480", "800x600", "1024x768", "1280x1024"}), Items(IDC_RESOLUTION))
        << "built for the driver context 0 really uses";
    EXPECT_EQ("800x600", Selected(IDC_RESOLUTION));
}

TEST_F(ModuleTest, DriverChangeWithoutContextsOnlyRebuildsResolutions)
{
    NewEngine(StandardDrivers(), {});
    OpenSettings();
    SelectDriverEntry("Software Rasterizer");
    EXPECT_TRUE(Switches().empty());
    EXPECT_EQ(Calls({"800x600", "640x480", "320x240"}), Items(IDC_RESOLUTION));
    EXPECT_EQ("640x480", Selected(IDC_RESOLUTION));
}

TEST_F(ModuleTest, RenderModeSwitchKeepsOrReplacesTheSelectedDriver)
{
    StoreDword("ForceRenderMode", 1);
    StoreDword("fsWidth", 800);
    StoreDword("fsHeight", 600);
    OpenSettings();
    ASSERT_EQ("Hardware Accelerated T&L", Selected(IDC_RENDER_DRIVER));
    engine().ClearJournal();

    // Still listed under the new mode: found again, the engine untouched.
    memplat::Click(dialog_, IDC_PAGE_DECIDES);
    EXPECT_FALSE(Checked(IDC_FORCE_HARDWARE)) << "auto radio buttons clear each other";
    EXPECT_EQ(Calls({"Hardware Accelerated T&L", "Hardware Rasterizer", "Software Rasterizer"}), Items(IDC_RENDER_DRIVER));
    EXPECT_EQ("Hardware Accelerated T&L", Selected(IDC_RENDER_DRIVER));
    EXPECT_TRUE(Switches().empty());
    EXPECT_EQ("800x600", Selected(IDC_RESOLUTION));

    // Gone under the new mode: the first entry is selected and applied.
    engine().ClearJournal();
    memplat::Click(dialog_, IDC_FORCE_SOFTWARE);
    EXPECT_EQ(Calls({"Software Rasterizer"}), Items(IDC_RENDER_DRIVER));
    EXPECT_EQ("Software Rasterizer", Selected(IDC_RENDER_DRIVER));
    EXPECT_EQ(Concat({Switch(0, 2), Switch(1, 2)}), Switches());
    EXPECT_EQ("800x600", Selected(IDC_RESOLUTION)) << "the resolution chosen before is kept when offered";
}

TEST_F(ModuleTest, HardwareOnlyOnASoftwareEngineLeavesEverythingEmpty)
{
    NewEngine({Driver("Soft A", 0, 1, {{640, 480, 16, 0}}), Driver("Soft B", 0, 1, {{800, 600, 16, 0}})}, {0, 0});
    OpenSettings();
    ASSERT_EQ("Soft A", Selected(IDC_RENDER_DRIVER));
    engine().ClearJournal();

    memplat::Click(dialog_, IDC_FORCE_HARDWARE);

    EXPECT_TRUE(Items(IDC_RENDER_DRIVER).empty());
    EXPECT_EQ(-1, plat::ComboGetCurSel(Item(IDC_RENDER_DRIVER)));
    EXPECT_TRUE(Switches().empty());
    EXPECT_TRUE(Items(IDC_RESOLUTION).empty());
}

TEST_F(ModuleTest, ReadSelectedResolutionKeepsWhatDoesNotScan)
{
    struct ScanCase {
        std::vector<std::string> entries;  // added to the list as they are
        int select;
        int width, height;
    };
    const ScanCase cases[] = {
        {{"800x600"}, 0, 800, 600},
        {{"1024x"}, 0, 1024, 480},
        {{"x768"}, 0, 640, 480},
        {{"800x600"}, -1, 640, 480},
    };
    BareSettings();
    for (const ScanCase& c : cases) {
        plat::ComboResetContent(Item(IDC_RESOLUTION));
        for (const std::string& entry : c.entries)
            plat::ComboAddString(Item(IDC_RESOLUTION), entry.c_str());
        plat::ComboSetCurSel(Item(IDC_RESOLUTION), c.select);
        int width = 640, height = 480;
        ReadSelectedResolution(dialog_, width, height);
        EXPECT_EQ(c.width, width) << c.entries[0];
        EXPECT_EQ(c.height, height) << c.entries[0];
    }
}
