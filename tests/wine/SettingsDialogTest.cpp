// SettingsDialogTest.cpp - the settings dialog as the player and the user
// see it: what it shows when it opens, what "&Close", Enter and Esc store,
// and what picking a driver or a render mode does to the running player.
#include "ConfigTest.h"

namespace e2e {
namespace {

using Script = std::function<void(User&)>;
using Tweak = std::function<void(sim::SimEngine&)>;

struct OpeningRow {
    const char* scenario;
    std::vector<Stored> stored;  // none: no key at all
    std::vector<int> contexts;
    const char* shown;
};

TEST_F(ConfigTest, OpensWithTheStoredSettingsAndTheDriverContextZeroUses)
{
    const std::string all = "drivers: HW One=0*, HW Two=1, SW Raster=3 | modes: ";
    const OpeningRow rows[] = {
        {"no key: the defaults", {}, {0, 0}, "640x480*, 800x600, 1024x768 | checked: 1000 1022"},
        {"every value stored",
         {Dword("AutoUpdate", 0), Dword("RenderEngine", 1), Dword("fsWidth", 1280), Dword("fsHeight", 1024),
          Dword("Set32bits", 1), Dword("ForceRenderMode", 1)},
         {1, 0},
         "drivers: HW One=0, HW Two=1* | modes: 640x48, 640x480, 1280x1024* | checked: 1004 1021"},
        {"some values, defaults for the rest", {Dword("Set32bits", 7), Dword("fsWidth", 800), Dword("fsHeight", 600)},
         {0}, "640x480, 800x600*, 1024x768 | checked: 1000 1004 1022"},
        {"context 0's driver wins, the modes stay the stored driver's",
         {Dword("RenderEngine", 1), Dword("fsWidth", 1280), Dword("fsHeight", 1024)}, {0},
         "640x48, 640x480, 1280x1024* | checked: 1000 1022"},
        {"an unknown render mode checks no button and lists every usable driver", {Dword("ForceRenderMode", 5)}, {0},
         "640x480*, 800x600, 1024x768 | checked: 1000"},
        {"software only, stored size not offered: 640x480",
         {Dword("ForceRenderMode", 2), Dword("RenderEngine", 3), Dword("fsWidth", 1600), Dword("fsHeight", 1200)},
         {3}, "drivers: SW Raster=3* | modes: 320x240, 640x480* | checked: 1000 1020"},
        // A short value replaces the low bytes of the default, a long one is
        // not read, and the stored type is never looked at.
        {"values taken byte for byte whatever their type",
         {{"AutoUpdate", REG_BINARY, std::string(1, '\0')}, {"fsWidth", REG_BINARY, "\x20\x03"},
          {"fsHeight", REG_SZ, "X\x02"}, {"RenderEngine", REG_BINARY, std::string("\x01\0\0\0\0", 5)}},
         {0}, "640x480, 800x600*, 1024x768 | checked: 1022"},
    };
    for (const OpeningRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        DeleteKey(HKEY_LOCAL_MACHINE, kSettingsKey);
        if (!row.stored.empty())
            Store(HKEY_LOCAL_MACHINE, kSettingsKey, row.stored);
        const std::string before = KeyText(HKEY_LOCAL_MACHINE, kSettingsKey);
        sim::SimEngine engine;
        BuildPlayer(engine, row.contexts);
        std::string shown;
        Run(engine, [&](User& user) {
            shown = user.Settings();
            user.Press(VK_ESCAPE);
        });
        const std::string expected = row.shown;
        EXPECT_EQ(shown, expected.rfind("drivers", 0) == 0 ? expected : all + expected);
        EXPECT_EQ(KeyText(HKEY_LOCAL_MACHINE, kSettingsKey), before) << "Esc stores nothing";
    }
}

struct ClosingRow {
    const char* scenario;
    Tweak tweak;
    std::vector<Stored> stored;
    Script edit;
    WPARAM key;            // 0: a click on "&Close"
    DWORD saved[6];        // AutoUpdate ... ForceRenderMode; none after Esc
};

TEST_F(ConfigTest, CloseAndEnterStoreWhatTheDialogShowsAndEscStoresNothing)
{
    const std::string key = "HKLM\\Software\\Kestrova\\DadAzizov\\Config";
    const char* const names[] = {"AutoUpdate", "RenderEngine", "fsWidth", "fsHeight", "Set32bits", "ForceRenderMode"};
    const ClosingRow rows[] = {
        {"&Close after the user's changes", nullptr, {},
         [](User& user) {
             user.Click(1000);
             user.Click(1004);
             user.Pick(1003, "1024x768");
             user.Click(1021);
             user.Pick(1001, "HW Two");  // offers no 1024x768: back to 640x480
         },
         0, {0, 1, 640, 480, 1, 1}},
        {"Enter on a key with an unknown render mode", nullptr, {Dword("ForceRenderMode", 5)}, nullptr, VK_RETURN,
         {1, 0, 640, 480, 0, 0}},
        {"no driver and no mode listed: -1 and 640x480",
         [](sim::SimEngine& engine) { engine.SetHasRenderManager(false); }, {}, nullptr, 0,
         {1, 0xFFFFFFFF, 640, 480, 0, 0}},
        {"Esc after changes", nullptr, {}, [](User& user) { user.Click(1000); }, VK_ESCAPE, {}},
    };
    for (const ClosingRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        DeleteKey(HKEY_LOCAL_MACHINE, kSettingsKey);
        if (!row.stored.empty())
            Store(HKEY_LOCAL_MACHINE, kSettingsKey, row.stored);
        sim::SimEngine engine;
        BuildPlayer(engine);
        if (row.tweak)
            row.tweak(engine);
        Run(engine, [&](User& user) {
            if (row.edit)
                row.edit(user);
            calls->Forget();
            row.key != 0 ? user.Press(row.key) : user.Click(1);
        });
        std::string expected;
        if (row.key != VK_ESCAPE) {
            expected = "RegOpenKeyExA " + key + " 0xf003f; " + (row.stored.empty() ? "RegCreateKeyA " + key + "; " : "");
            for (int i = 0; i < 6; ++i)
                expected += "RegSetValueExA " + key + " " + names[i] + " REG_DWORD " + std::to_string(row.saved[i]) + "; ";
            expected += "RegCloseKey " + key;
        }
        EXPECT_EQ(Joined(calls->Calls({"Reg*"})), expected);
    }
}

struct SwitchRow {
    const char* scenario;
    std::vector<int> contexts;
    Tweak tweak;
    Script act;
    std::string journal;  // the engine calls the action made
    const char* shown;
};

TEST_F(ConfigTest, APickedDriverSwitchesEveryLiveRenderContextAtOnce)
{
    const std::string switchBoth =
        "acquire; manager; context count; context 0; ctx0.begin; ctx0.set 1; ctx0.reconfigure 0,0,0,0,0; ctx0.end; "
        "ctx0.getindex; context 1; ctx1.begin; ctx1.set 1; ctx1.reconfigure 0,0,0,0,0; ctx1.end; "
        "acquire; manager; driver desc 1; release; release";
    const SwitchRow rows[] = {
        {"both contexts take HW Two", {0, 0}, nullptr, [](User& user) { user.Pick(1001, "HW Two"); },
         switchBoth, "drivers: HW One=0, HW Two=1*, SW Raster=3 | modes: 640x48, 640x480*, 1280x1024"},
        {"context 0 refuses: the list shows the driver it kept", {0, 0},
         [](sim::SimEngine& engine) { engine.RefuseDriver(1, 0); }, [](User& user) { user.Pick(1001, "HW Two"); },
         switchBoth.substr(0, switchBoth.size() - 31) + "driver desc 0; release; release", "drivers: HW One=0*, HW Two=1, SW Raster=3 | modes: 640x480*, 800x600, 1024x768"},
        {"a null context is skipped", {0, -1, 0}, nullptr, [](User& user) { user.Pick(1001, "SW Raster"); },
         "acquire; manager; context count; context 0; ctx0.begin; ctx0.set 3; ctx0.reconfigure 0,0,0,0,0; "
         "ctx0.end; ctx0.getindex; context 1; context 2; ctx2.begin; ctx2.set 3; ctx2.reconfigure 0,0,0,0,0; "
         "ctx2.end; acquire; manager; driver desc 3; release; release",
         "drivers: HW One=0, HW Two=1, SW Raster=3* | modes: 320x240, 640x480*"},
        {"no render context: only the modes are rebuilt", {}, nullptr,
         [](User& user) { user.Pick(1001, "HW Two"); },
         "acquire; manager; context count; acquire; manager; driver desc 1; release; release",
         "drivers: HW One=0, HW Two=1*, SW Raster=3 | modes: 640x48, 640x480*, 1280x1024"},
        {"opening and closing the list switch nothing", {0, 0}, nullptr,
         [](User& user) {
             user.Notify(1001, CBN_DROPDOWN);
             user.Notify(1001, CBN_CLOSEUP);
         },
         "", "drivers: HW One=0*, HW Two=1, SW Raster=3 | modes: 640x480*, 800x600, 1024x768"},
    };
    for (const SwitchRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        sim::SimEngine engine;
        BuildPlayer(engine, row.contexts);
        if (row.tweak)
            row.tweak(engine);
        std::string journal, shown;
        Run(engine, [&](User& user) {
            engine.Mark("act");
            row.act(user);
            journal = JournalAfter(engine, "act");
            shown = user.Settings();
            user.Press(VK_ESCAPE);
        });
        EXPECT_EQ(journal, row.journal);
        EXPECT_EQ(shown, std::string(row.shown) + " | checked: 1000 1022");
    }
}

struct ModeRow {
    const char* scenario;
    std::vector<int> contexts;
    std::vector<Stored> stored;
    Script act;
    const char* switches;  // the engine's SetDriver calls
    const char* shown;
};

TEST_F(ConfigTest, RenderModeButtonsOfferOnlyTheDriversOfTheMode)
{
    const ModeRow rows[] = {
        {"the selected driver stays when the mode offers it", {0}, {}, [](User& user) { user.Click(1021); }, "",
         "drivers: HW One=0*, HW Two=1 | modes: 640x480*, 800x600, 1024x768 | checked: 1000 1021"},
        {"back to every driver from hardware only", {1}, {Dword("ForceRenderMode", 1), Dword("RenderEngine", 1)},
         [](User& user) { user.Click(1022); }, "",
         "drivers: HW One=0, HW Two=1*, SW Raster=3 | modes: 640x48, 640x480*, 1280x1024 | checked: 1000 1022"},
        {"software only drops the hardware driver: every context switches", {0, 0}, {},
         [](User& user) { user.Click(1020); }, "ctx0.set 3; ctx1.set 3",
         "drivers: SW Raster=3* | modes: 320x240, 640x480* | checked: 1000 1020"},
        {"hardware only on a software engine: nothing to offer", {3}, {Dword("ForceRenderMode", 2)},
         [](User& user) { user.Click(1021); }, "", "drivers:  | modes:  | checked: 1000 1021"},
        {"any notification of a radio button counts", {0}, {},
         [](User& user) {
             SendMessageA(user.Item(1022), BM_SETCHECK, BST_UNCHECKED, 0);
             SendMessageA(user.Item(1020), BM_SETCHECK, BST_CHECKED, 0);
             user.Notify(1020, BN_DOUBLECLICKED);
         },
         "ctx0.set 3", "drivers: SW Raster=3* | modes: 320x240, 640x480* | checked: 1000 1020"},
    };
    for (const ModeRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        DeleteKey(HKEY_LOCAL_MACHINE, kSettingsKey);
        Store(HKEY_LOCAL_MACHINE, kSettingsKey, row.stored);
        sim::SimEngine engine;
        BuildPlayer(engine, row.contexts);
        if (row.contexts == std::vector<int>{3})  // a player with software drivers only
            for (int hardware : {0, 1, 2})
                engine.HideDriverDesc(hardware);
        std::string shown;
        Run(engine, [&](User& user) {
            engine.Mark("act");
            row.act(user);
            shown = user.Settings();
            user.Press(VK_ESCAPE);
        });
        std::vector<std::string> switches;
        for (const std::string& call : engine.Journal())
            if (call.find(".set ") != std::string::npos)
                switches.push_back(call);
        EXPECT_EQ(Joined(switches), row.switches);
        EXPECT_EQ(shown, row.shown);
    }
}

struct PlayerRow {
    const char* scenario;
    Tweak tweak;
    const char* shown;
};

TEST_F(ConfigTest, FaultyOrMissingPlayerObjectsStillGiveAWorkingDialog)
{
    const PlayerRow rows[] = {
        {"no render manager", [](sim::SimEngine& engine) { engine.SetHasRenderManager(false); },
         "drivers:  | modes:  | checked: 1000 1022"},
        {"no engine context", [](sim::SimEngine& engine) { engine.SetAcquireYieldsNull(true); },
         "drivers:  | modes:  | checked: 1000 1022"},
        {"a driver without description, one without name",
         [](sim::SimEngine& engine) {
             engine.HideDriverDesc(1);
             engine.AddDriver(sim::SimDriver{"", false, 1, RENDER_DRIVER_CAP_USABLE, {}});
         },
         "drivers: HW One=0*, SW Raster=3, =4 | modes: 640x480*, 800x600, 1024x768 | checked: 1000 1022"},
        {"negative counts", [](sim::SimEngine& engine) {
             engine.SetDriverCountOverride(-1);
             engine.SetContextCountOverride(-3);
         },
         "drivers:  | modes:  | checked: 1000 1022"},
    };
    for (const PlayerRow& row : rows) {
        SCOPED_TRACE(row.scenario);
        sim::SimEngine engine;
        BuildPlayer(engine);
        row.tweak(engine);
        std::string shown;
        Run(engine, [&](User& user) {
            shown = user.Settings();
            user.Click(1020);
            user.Click(1022);
            user.Notify(1001, CBN_SELCHANGE);
            user.Click(1);
        });
        EXPECT_EQ(shown, row.shown);
    }
    // A player that hands over no host at all.
    std::string shown;
    const Session session = RunDoConfig(nullptr, [&](User& user) {
        shown = user.Settings();
        user.Click(1020);
        user.Click(1);
    });
    EXPECT_EQ(session.returned, 1);
    EXPECT_EQ(shown, "drivers:  | modes:  | checked: 1000 1022");
}

TEST_F(ConfigTest, DoConfigShowsDialog101OverThePlayerAndPassesOnTheSystemsFailure)
{
    sim::SimEngine engine;
    Run(engine, [](User& user) { user.Press(VK_ESCAPE); });
    EXPECT_EQ(Joined(calls->Calls({"DialogBoxParamA*"})),
              "DialogBoxParamA 101 owner Kestrova Dad Azizov Player (test) param 0");
    // A player that has not registered the list view's class gets no dialog.
    calls->Fail("DialogBoxParamA 101*", -1);
    const Session failed = RunDoConfig(engine.Host(), [](User&) {});
    EXPECT_FALSE(failed.shown);
    EXPECT_EQ(failed.returned, -1);
}

}  // namespace
}  // namespace e2e
