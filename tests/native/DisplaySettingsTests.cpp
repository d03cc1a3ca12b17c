// Loading the stored display settings into the dialog and saving them back.
#include "ModuleFixture.h"

#include "DisplaySettings.h"
#include "resources/resource.h"

namespace {

struct StoredValue {
    const char* name;
    std::uint32_t value;
};

struct LoadCase {
    const char* what;
    std::vector<StoredValue> stored;
    bool autoUpdate, color32, pageDecides, hardware, software;
    std::vector<std::string> drivers;
    std::string driver;
    std::string resolution;
};

}  // namespace

TEST_F(ModuleTest, LoadShowsStoredValuesAndDefaultsForTheRest)
{
    const std::string t = "Hardware Accelerated T&L", r = "Hardware Rasterizer", s = "Software Rasterizer";
    const LoadCase cases[] = {
        {"no key at all", {}, true, false, true, false, false, {t, r, s}, t, "640x480"},
        {"only some values", {{"Set32bits", 1}, {"fsWidth", 1024}, {"fsHeight", 768}},
         true, true, true, false, false, {t, r, s}, t, "1024x768"},
        {"every value", {{"AutoUpdate", 0}, {"RenderEngine", 1}, {"fsWidth", 1600}, {"fsHeight", 1200},
                         {"Set32bits", 1}, {"ForceRenderMode", 1}},
         false, true, false, true, false, {t, r}, r, "1600x1200"},
        {"software only", {{"ForceRenderMode", 2}, {"RenderEngine", 2}, {"fsWidth", 320}, {"fsHeight", 240}},
         true, false, false, false, true, {s}, s, "320x240"},
        {"mode out of range", {{"ForceRenderMode", 5}}, true, false, false, false, false, {t, r, s}, t, "640x480"},
        {"resolution not offered", {{"fsWidth", 1152}, {"fsHeight", 864}},
         true, false, true, false, false, {t, r, s}, t, "640x480"},
        {"neither it nor 640x480 offered", {{"RenderEngine", 1}, {"fsWidth", 1152}},
         true, false, true, false, false, {t, r, s}, r, ""},
        {"stored driver not offered", {{"RenderEngine", 3}}, true, false, true, false, false, {t, r, s}, t, "640x480"},
        {"no driver stored", {{"RenderEngine", 0xFFFFFFFFu}}, true, false, true, false, false, {t, r, s}, t, "640x480"},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.what);
        memplat::Reset();
        SetUp();
        for (const StoredValue& value : c.stored)
            StoreDword(value.name, value.value);
        LoadDisplaySettings(BareSettings());

        EXPECT_EQ(c.autoUpdate, Checked(IDC_AUTO_UPDATE));
        EXPECT_EQ(c.color32, Checked(IDC_USE_32BIT_COLOR));
        EXPECT_EQ(c.pageDecides, Checked(IDC_PAGE_DECIDES));
        EXPECT_EQ(c.hardware, Checked(IDC_FORCE_HARDWARE));
        EXPECT_EQ(c.software, Checked(IDC_FORCE_SOFTWARE));
        EXPECT_EQ(c.drivers, Items(IDC_RENDER_DRIVER));
        EXPECT_EQ(c.driver, Selected(IDC_RENDER_DRIVER));
        EXPECT_EQ(c.resolution, Selected(IDC_RESOLUTION));
        EXPECT_EQ(0, memplat::OpenKeyCount());
        EXPECT_TRUE(Switches().empty()) << "loading must not switch drivers";
        memplat::DestroyDialogWindow(dialog_);
        dialog_ = nullptr;
    }
}

// Values are read into their 32-bit fields byte for byte, whatever their
// registry type: a short value replaces only the low bytes of the default,
// one that does not fit in 4 bytes is not read at all.
TEST_F(ModuleTest, LoadTakesValuesByteForByteWhateverTheirType)
{
    NewEngine({Driver("Modes", 1, 1, {{544, 480, 16, 0}, {640, 480, 16, 0}, {544, 88, 16, 0}})}, {0});
    memplat::PutValue(plat::HKeyLocalMachine(), kConfigKey, "fsWidth", plat::kRegBinary, std::string("\x20", 1));
    memplat::PutValue(plat::HKeyLocalMachine(), kConfigKey, "fsHeight", plat::kRegSz, std::string("X\0\0\0", 4));
    memplat::PutValue(plat::HKeyLocalMachine(), kConfigKey, "AutoUpdate", plat::kRegBinary,
                      std::string("\0\0\0\0\0", 5));
    LoadDisplaySettings(BareSettings());
    // fsWidth: 640 = 0x280 with its low byte replaced by 0x20 is 544;
    // fsHeight: "X" is 88; the 5-byte AutoUpdate keeps its default, 1.
    EXPECT_EQ("544x88", Selected(IDC_RESOLUTION)) << "a misread value falls back to 640x480";
    EXPECT_TRUE(Checked(IDC_AUTO_UPDATE));
}

namespace {

struct SaveCase {
    const char* what;
    std::vector<StoredValue> stored;
    std::vector<int> clicks;  // controls the user clicks after the dialog opened
    std::string driverToPick;
    bool onlySoftwareDrivers;
    std::uint32_t autoUpdate, renderEngine, width, height, color32, mode;
};

}  // namespace

TEST_F(ModuleTest, CloseStoresWhatTheDialogShows)
{
    const SaveCase cases[] = {
        {"defaults", {}, {}, "", false, 1, 0, 640, 480, 0, 0},
        {"check boxes and a picked driver", {}, {IDC_AUTO_UPDATE, IDC_USE_32BIT_COLOR}, "Hardware Rasterizer", false,
         0, 1, 640, 480, 1, 0},
        {"software forced", {{"fsWidth", 800}, {"fsHeight", 600}}, {IDC_FORCE_SOFTWARE}, "", false, 1, 2, 800, 600, 0, 2},
        {"hardware forced", {{"ForceRenderMode", 2}, {"RenderEngine", 2}}, {IDC_FORCE_HARDWARE}, "", false,
         1, 0, 640, 480, 0, 1},
        {"mode out of range is stored as 0", {{"ForceRenderMode", 5}, {"fsWidth", 1280}, {"fsHeight", 1024}}, {}, "", false,
         1, 0, 1280, 1024, 0, 0},
        {"no driver listed: -1 and 640x480", {{"ForceRenderMode", 1}, {"fsWidth", 800}, {"fsHeight", 600}},
         {}, "", true, 1, 0xFFFFFFFFu, 640, 480, 0, 1},
    };
    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.what);
        memplat::Reset();
        SetUp();
        if (c.onlySoftwareDrivers)
            NewEngine({Driver("Software Only", 0, 1, {{800, 600, 16, 0}})}, {0, 0});
        for (const StoredValue& value : c.stored)
            StoreDword(value.name, value.value);
        OpenSettings();
        for (int id : c.clicks)
            memplat::Click(dialog_, id);
        if (!c.driverToPick.empty())
            SelectDriverEntry(c.driverToPick);
        memplat::ClearRegistryWrites();
        memplat::PressEnter(dialog_);

        EXPECT_TRUE(memplat::IsDialogEnded(dialog_));
        EXPECT_EQ(c.autoUpdate, StoredDword("AutoUpdate"));
        EXPECT_EQ(c.renderEngine, StoredDword("RenderEngine"));
        EXPECT_EQ(c.width, StoredDword("fsWidth"));
        EXPECT_EQ(c.height, StoredDword("fsHeight"));
        EXPECT_EQ(c.color32, StoredDword("Set32bits"));
        EXPECT_EQ(c.mode, StoredDword("ForceRenderMode"));
        const std::vector<std::string> order = {"AutoUpdate=4:4", "RenderEngine=4:4", "fsWidth=4:4",
                                                "fsHeight=4:4",   "Set32bits=4:4",    "ForceRenderMode=4:4"};
        EXPECT_EQ(order, memplat::RegistryWrites());
        memplat::DestroyDialogWindow(dialog_);
        dialog_ = nullptr;
    }
}

// A user who may not write to HKEY_LOCAL_MACHINE: the dialog still closes,
// nothing is stored and nothing that was stored is lost.
TEST_F(ModuleTest, SaveWithoutWriteAccessFailsSilently)
{
    struct AccessCase {
        const char* what;
        bool keyExists;
        memplat::KeyAccess access;
    };
    const AccessCase cases[] = {
        {"existing key, read only", true, memplat::KeyAccess::ReadOnly},
        {"existing key, denied", true, memplat::KeyAccess::Denied},
        {"no key, HKLM read only", false, memplat::KeyAccess::ReadOnly},
    };
    for (const AccessCase& c : cases) {
        SCOPED_TRACE(c.what);
        memplat::Reset();
        SetUp();
        if (c.keyExists)
            StoreDword("AutoUpdate", 1);
        memplat::SetKeyAccess(plat::HKeyLocalMachine(), "Software", c.access);
        OpenSettings();
        memplat::Click(dialog_, IDC_AUTO_UPDATE);
        memplat::PressEnter(dialog_);

        EXPECT_TRUE(memplat::IsDialogEnded(dialog_));
        EXPECT_EQ(1, memplat::DialogResult(dialog_));
        EXPECT_TRUE(memplat::RegistryWrites().empty());
        EXPECT_EQ(c.keyExists, memplat::KeyExists(plat::HKeyLocalMachine(), kConfigKey));
        if (c.keyExists) {
            EXPECT_EQ(1u, StoredDword("AutoUpdate"));
        }
        EXPECT_TRUE(memplat::MessageBoxes().empty()) << "no message for a failed save";
        memplat::DestroyDialogWindow(dialog_);
        dialog_ = nullptr;
    }
}
