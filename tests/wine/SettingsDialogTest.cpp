// SettingsDialogTest.cpp - the settings dialog as the player and the user see it: what it shows,
// what "&Close", Enter and Esc store, what picking a driver or a render mode does to the player.
#include "ConfigTest.h"

#include <atomic>
#include <climits>
#include <thread>

namespace e2e {
namespace {

Tweak Contexts(std::vector<int> drivers, Tweak more = [](Player&) {})
{
    return [=](Player& engine) { ConfigTest::BuildPlayer(engine, drivers), more(engine); };
}

// Hardware drivers named so after the usual four, offering 640x480; a render context on driver 4 + context.
Tweak Named(std::vector<std::string> names, int context)
{
    return Contexts({4 + context}, [=](Player& engine) {
        for (const std::string& name : names)
            engine.AddDriver(sim::HardwareDriver(name, {{640, 480, 32, 60}}));
    });
}
const std::string a1023(1023, 'a'), b1024(1024, 'b'), c5000(5000, 'c');

// Tables reaching for the engine run on the player's own objects and on MSVC-ABI ones (vtables, thiscall).
class EngineTest : public ConfigTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override { ConfigTest::SetUp(), msvcPlayer = GetParam(); }
};
INSTANTIATE_TEST_SUITE_P(Players, EngineTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "MsvcAbi" : "Own"; });
const std::string x1(std::string(1023, 'x') + "1"), x2(std::string(1023, 'x') + "2");
const std::string y1(std::string(1022, 'y') + "1"), y2(std::string(1022, 'y') + "2");
void edge(Player& engine)
{
    engine.AddDriver(sim::HardwareDriver("Edge", {{INT_MIN, INT_MIN, 32, 60}, {INT_MAX, INT_MAX, 32, 60}}));
}

std::string SetsSince(const Player& engine, std::size_t since = 0)
{
    std::string sets;
    const std::vector<std::string> journal = engine.Journal();
    for (std::size_t i = since; i < journal.size(); ++i)
        sets += journal[i].find(".set ") != std::string::npos ? journal[i] + "; " : "";
    return sets;
}

TEST_F(ConfigTest, OpensWithTheStoredSettingsAndTheDriverContextZeroUses)
{
    const std::string all = "drivers: HW One=0*, HW Two=1, SW Raster=3 | modes: ";
    PlayAll({
        {"no key: the defaults", {}, nullptr, nullptr, all + "640x480*, 800x600, 1024x768 | checked: 1000 1022"},
        {"every value stored",
         {Dword("AutoUpdate", 0), Dword("RenderEngine", 1), Dword("fsWidth", 1280), Dword("fsHeight", 1024),
          Dword("Set32bits", 1), Dword("ForceRenderMode", 1)}, Contexts({1, 0}), nullptr,
         "drivers: HW One=0, HW Two=1* | modes: 640x48, 640x480, 1280x1024* | checked: 1004 1021"},
        {"the default size is 640x480 exactly, also beside 640x481", {Dword("RenderEngine", 4)},
         Contexts({4}, [](Player& e) { e.AddDriver(sim::HardwareDriver("Odd", {{640, 481, 32, 60}, {640, 480, 32, 60}})); }),
         nullptr, "drivers: HW One=0, HW Two=1, SW Raster=3, Odd=4* | modes: 640x481, 640x480* | checked: 1000 1022"},
        {"some values, defaults for the rest", {Dword("Set32bits", 7), Dword("fsWidth", 800), Dword("fsHeight", 600)},
         nullptr, nullptr, all + "640x480, 800x600*, 1024x768 | checked: 1000 1004 1022"},
        {"context 0's driver wins, the modes stay the stored driver's",
         {Dword("RenderEngine", 1), Dword("fsWidth", 1280), Dword("fsHeight", 1024)}, nullptr, nullptr,
         all + "640x48, 640x480, 1280x1024* | checked: 1000 1022"},
        {"an unknown render mode checks no button and lists every usable driver", {Dword("ForceRenderMode", 5)},
         nullptr, nullptr, all + "640x480*, 800x600, 1024x768 | checked: 1000"},
        {"software only, the stored size not offered: 640x480",
         {Dword("ForceRenderMode", 2), Dword("RenderEngine", 3), Dword("fsWidth", 1600), Dword("fsHeight", 1200)},
         Contexts({3}), nullptr, "drivers: SW Raster=3* | modes: 320x240, 640x480* | checked: 1000 1020"},
        // A short value replaces the low bytes of the default, a long one is not read, the type is not looked at.
        {"values taken byte for byte whatever their type",
         {{"AutoUpdate", REG_BINARY, std::string(1, '\0')}, {"fsWidth", REG_BINARY, "\x20\x03"},
          {"fsHeight", REG_SZ, "X\x02"}, {"RenderEngine", REG_BINARY, std::string("\x01\0\0\0\0", 5)}},
         nullptr, nullptr, all + "640x480, 800x600*, 1024x768 | checked: 1022"},
        // Read whole, the 64 KiB width would begin with 800 and select 800x600.
        {"values of 0 bytes or 64 KiB are not taken, a number stored as text is its bytes",
         {{"AutoUpdate", REG_BINARY, ""}, {"fsWidth", REG_BINARY, std::string("\x20\x03", 2) + std::string(65534, '\0')},
          Dword("fsHeight", 600), Text("ForceRenderMode", "2")},
         nullptr, nullptr, all + "640x480*, 800x600, 1024x768 | checked: 1000"},
        // At the edges of the texts' buffers: driver names are read back at their full length.
        {"INT_MIN twice fills the 24 bytes of a resolution text, NUL included, and is selected as stored",
         {Dword("RenderEngine", 4), Dword("fsWidth", 0x80000000), Dword("fsHeight", 0x80000000)}, Contexts({4}, edge), nullptr,
         "drivers: HW One=0, HW Two=1, SW Raster=3, Edge=4* | modes: -2147483648x-2147483648*, "
         "2147483647x2147483647 | checked: 1000 1022"},
        {"driver names of 1023, 1024 and 5,000 characters are listed whole", {Dword("RenderEngine", 6)},
         Named({a1023, b1024, c5000}, 2), nullptr,
         "drivers: HW One=0, HW Two=1, SW Raster=3, " + a1023 + "=4, " + b1024 + "=5, " + c5000 +
             "=6* | modes: 640x480* | checked: 1000 1022"},
    }, [](User& user, Player&) {
        // Owned by the player window, at 0,0 of its client area (the template's origin), not centred.
        POINT at = {0, 0};
        MapWindowPoints(user.SettingsDialog(), PlayerWindow(), &at, 1);
        const std::string place = std::to_string(at.x) + "," + std::to_string(at.y) + " of " +
                                  WindowText(GetWindow(user.SettingsDialog(), GW_OWNER));
        return Settings(user) + (place == "0,0 of " + WindowText(PlayerWindow()) ? "" : " | at " + place);
    });
}

TEST_F(ConfigTest, CloseAndEnterStoreWhatTheDialogShowsAndEscStoresNothing)
{
    const std::string key = "HKLM\\Software\\Kestrova\\DadAzizov\\Config";
    const auto saved = [&](bool created, std::vector<DWORD> values) {
        const char* const names[] = {"AutoUpdate", "RenderEngine", "fsWidth", "fsHeight", "Set32bits", "ForceRenderMode"};
        std::string writes = "RegOpenKeyExA " + key + " 0xf003f; " + (created ? "RegCreateKeyA " + key + "; " : "");
        for (int i = 0; i < 6; ++i)
            writes += "RegSetValueExA " + key + " " + names[i] + " REG_DWORD " + std::to_string(values[i]) + "; ";
        return writes + "RegCloseKey " + key;
    };
    const auto closing = [&](Script edit, WPARAM key) {
        return [=](User& user) {
            if (edit)
                edit(user);
            calls->Reset();
            key != 0 ? user.Press(key) : user.Click(1);
        };
    };
    PlayAll({
        {"&Close after the user's changes", {}, nullptr, closing([](User& user) {
             user.Click(1000), user.Click(1004), user.Pick(1003, "1024x768"), user.Click(1021);
             user.Pick(1001, "HW Two");  // offers no 1024x768: back to 640x480
         }, 0),
         saved(true, {0, 1, 640, 480, 1, 1})},
        {"Enter on a key with an unknown render mode", {Dword("ForceRenderMode", 5)}, nullptr,
         closing(nullptr, VK_RETURN), saved(false, {1, 0, 640, 480, 0, 0})},
        {"the smallest mode selected", {Dword("RenderEngine", 4)}, Contexts({4}, edge),
         closing([](User& user) { user.Pick(1003, "-2147483648x-2147483648"); }, 0),
         saved(false, {1, 4, 0x80000000, 0x80000000, 0, 0})},
        {"Esc after changes", {}, nullptr, closing([](User& user) { user.Click(1000); }, VK_ESCAPE), ""},
    }, [&](User& user, Player&) { return Joined(calls->Calls({"Reg*"})) + (user.Open() ? " (left open)" : ""); });
}

TEST_P(EngineTest, APickedDriverSwitchesEveryLiveRenderContextAtOnce)
{
    const auto pick = [](const char* driver) { return [=](User& user) { user.Pick(1001, driver); }; };
    const std::string switchBoth =
        "acquire; manager; context count; context 0; ctx0.begin; ctx0.set 1; ctx0.reconfigure 0,0,0,0,0; ctx0.end; "
        "ctx0.getindex; context 1; ctx1.begin; ctx1.set 1; ctx1.reconfigure 0,0,0,0,0; ctx1.end; ";
    const std::string toHwTwo = "drivers: HW One=0, HW Two=1*, SW Raster=3 | modes: 640x48, 640x480*, 1280x1024";
    const std::string stays = "drivers: HW One=0*, HW Two=1, SW Raster=3 | modes: 640x480*, 800x600, 1024x768";
    const std::string checked = " | checked: 1000 1022";
    PlayAll({
        {"both contexts take HW Two", {}, nullptr, pick("HW Two"),
         switchBoth + "acquire; manager; driver desc 1; release; release || " + toHwTwo + checked},
        {"context 0 refuses: the list shows the driver it kept", {},
         Contexts({0, 0}, [](Player& engine) { engine.refused = {{0, 1}}; }), pick("HW Two"),
         switchBoth + "acquire; manager; driver desc 0; release; release || " + stays + checked},
        {"a null context is skipped", {}, Contexts({0, -1, 0}), pick("SW Raster"),
         "acquire; manager; context count; context 0; ctx0.begin; ctx0.set 3; ctx0.reconfigure 0,0,0,0,0; "
         "ctx0.end; ctx0.getindex; context 1; context 2; ctx2.begin; ctx2.set 3; ctx2.reconfigure 0,0,0,0,0; "
         "ctx2.end; acquire; manager; driver desc 3; release; release || "
         "drivers: HW One=0, HW Two=1, SW Raster=3* | modes: 320x240, 640x480*" + checked},
        {"the chosen size stays when the new driver offers it too", {},
         Contexts({0}, [](Player& engine) {
             engine.AddDriver(sim::HardwareDriver("HW Three", {{1024, 768, 32, 60}, {800, 600, 32, 60}}));
         }),
         [](User& user) { user.Pick(1003, "800x600"), user.Pick(1001, "HW Three"); },
         "acquire; manager; context count; context 0; ctx0.begin; ctx0.set 4; ctx0.reconfigure 0,0,0,0,0; "
         "ctx0.end; ctx0.getindex; acquire; manager; driver desc 4; release; release || drivers: HW One=0, "
         "HW Two=1, SW Raster=3, HW Three=4* | modes: 1024x768, 800x600*" + checked},
        {"no render context: only the modes are rebuilt", {}, Contexts({}), pick("HW Two"),
         "acquire; manager; context count; acquire; manager; driver desc 1; release; release || " + toHwTwo + checked},
        {"opening and closing the list switch nothing", {}, nullptr,
         [](User& user) { user.Notify(1001, CBN_DROPDOWN), user.Notify(1001, CBN_CLOSEUP); }, " || " + stays + checked},
    }, [](User& user, Player& engine) { return JournalOfAct(engine) + " || " + Settings(user); });
}

TEST_P(EngineTest, RenderModeButtonsOfferOnlyTheDriversOfTheMode)
{
    const auto click = [this](int id) { return [=](User& user) { calls->Reset(), user.Click(id); }; };
    // A render-mode click takes no memory, however long the driver's name: it cannot fail half-way.
    const auto switches = [this](User& user, Player& engine) {
        return SetsSince(engine) + Settings(user) + Joined(calls->Calls({"malloc *", "calloc *", "realloc *"}));
    };
    PlayAll({
        {"back to every driver from hardware only", {Dword("ForceRenderMode", 1), Dword("RenderEngine", 1)},
         Contexts({1}), click(1022),
         "drivers: HW One=0, HW Two=1*, SW Raster=3 | modes: 640x48, 640x480*, 1280x1024 | checked: 1000 1022"},
        {"software only drops the hardware driver: every context switches", {}, nullptr, click(1020),
         "ctx0.set 3; ctx1.set 3; drivers: SW Raster=3* | modes: 320x240, 640x480* | checked: 1000 1020"},
        {"hardware only on a software player: nothing to offer", {Dword("ForceRenderMode", 2)},
         [](Player& e) { e.AddDriver(sim::SoftwareDriver("SW Raster", {{640, 480, 16, 60}})), e.AddContext(0); },
         click(1021), "drivers:  | modes:  | checked: 1000 1021"},
        // The selected name is remembered as 1023 characters and searched as a prefix: a longer
        // name is found again, but among names alike in their first 1023 the first is selected.
        {"a driver named with 5,000 characters stays selected", {Dword("RenderEngine", 6)},
         Named({a1023, b1024, c5000}, 2), click(1021),
         "drivers: HW One=0, HW Two=1, " + a1023 + "=4, " + b1024 + "=5, " + c5000 +
             "=6* | modes: 640x480* | checked: 1000 1021"},
        {"of names alike in their first 1023 characters the first is selected", {Dword("RenderEngine", 5)},
         Named({x1, x2}, 1), click(1021),
         "drivers: HW One=0, HW Two=1, " + x1 + "=4*, " + x2 + "=5 | modes: 640x480* | checked: 1000 1021"},
        {"names alike in their first 1022 characters are told apart by the 1023rd", {Dword("RenderEngine", 5)},
         Named({y1, y2}, 1), click(1021),
         "drivers: HW One=0, HW Two=1, " + y1 + "=4, " + y2 + "=5* | modes: 640x480* | checked: 1000 1021"},
    }, switches);
}

TEST_P(EngineTest, FaultyOrMissingPlayerObjectsStillGiveAWorkingDialog)
{
    const std::string empty = "drivers:  | modes:  | checked: 1000 1022";
    PlayAll({
        {"no host at all", {}, [](Player& e) { e.handsOverNoHost = true; }, nullptr, empty},
        {"no render manager", {}, Contexts({0}, [](Player& e) { e.hasRenderManager = false; }), nullptr, empty},
        {"no engine context", {}, Contexts({0}, [](Player& e) { e.acquireYieldsNull = true; }), nullptr, empty},
        {"a driver without description, one without name", {}, Contexts({0}, [](Player& e) {
             e.undescribed = {1}, e.AddDriver(sim::SimDriver{"", false, 1, RENDER_DRIVER_CAP_USABLE, {}});
         }),
         nullptr, "drivers: HW One=0*, SW Raster=3, =4 | modes: 640x480*, 800x600, 1024x768 | checked: 1000 1022 -> "
                  "drivers: HW One=0, SW Raster=3*, =4 | modes: 320x240, 640x480* | checked: 1000 1022"},
        {"display modes counted but not handed over: none listed", {},
         Contexts({0}, [](Player& e) { e.modesWithheld = {0, 3}; }), nullptr,
         "drivers: HW One=0*, HW Two=1, SW Raster=3 | modes:  | checked: 1000 1022 -> "
         "drivers: HW One=0, HW Two=1, SW Raster=3* | modes:  | checked: 1000 1022"},
    }, [](User& user, Player&) {
        const std::string shown = Settings(user);
        // Everything that reaches for the engine changes nothing more.
        user.Click(1020), user.Click(1022), user.Notify(1001, CBN_SELCHANGE);
        return shown + (Settings(user) == shown ? "" : " -> " + Settings(user));
    });
}

TEST_F(ConfigTest, EachDialogServesThePlayerThatOpenedIt)
{
    // Nested: a second player opens and closes its settings inside the first dialog's loop; a driver picked
    // in the first then reaches the first player only, and the second, gone, hears nothing more.
    Player first, second;
    BuildPlayer(first), BuildPlayer(second, {3, 3});
    HWND secondWindow = CreateWindowA("STATIC", "second player", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 80, 60, 320, 240,
                                      nullptr, nullptr, nullptr, nullptr);
    volatile LONG secondReturned = 0;
    std::size_t heardBySecond = 0, heardByFirst = 0;
    Run(first, [&](User& user) {
        const auto doConfig =
            reinterpret_cast<DoConfigFunction>(reinterpret_cast<void*>(GetProcAddress(LoadedModule(), "DoConfig")));
        user.OnPlayerThread([&] { secondReturned = doConfig(second.Host(), secondWindow); });
        HWND nested = nullptr;
        for (int wait = 0; wait < 500 && (nested == nullptr || !IsWindowVisible(nested)); ++wait, Sleep(10))
            nested = FindOtherDialog(GetWindowThreadProcessId(user.SettingsDialog(), nullptr), user.SettingsDialog(), nullptr);
        PostMessageA(nested, WM_COMMAND, IDCANCEL, 0);
        for (int wait = 0; wait < 500 && secondReturned == 0; ++wait)
            Sleep(10);
        heardBySecond = second.Journal().size(), heardByFirst = first.Journal().size();
        user.Pick(1001, "HW Two");
        user.Click(1);
    });
    DestroyWindow(secondWindow);
    EXPECT_EQ(secondReturned, 1);
    EXPECT_EQ(SetsSince(first, heardByFirst), "ctx0.set 1; ctx1.set 1; ");
    EXPECT_NE(heardBySecond, 0u) << "the second dialog did not fill its lists from its own player";
    EXPECT_EQ(second.Journal().size(), heardBySecond) << "the second player was called after its dialog closed";
    EXPECT_TRUE(second.Balanced());

    // Concurrent: two players' UI threads, each with its own window and dialog, switching drivers at once.
    Player engines[2];
    const char* const picks[] = {"HW Two", "SW Raster"};
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 2; ++i) {
        BuildPlayer(engines[i]);
        threads.emplace_back([&, i] {
            HWND window = CreateWindowA("STATIC", "a player of its own", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100 + 200 * i,
                                        80, 320, 240, nullptr, nullptr, nullptr, nullptr);
            Run(engines[i], [&](User& user) {
                for (++ready; ready < 2;)  // both dialogs open, then both switch at once
                    Sleep(1);
                for (int round = 0; round < 3; ++round)
                    user.Pick(1001, picks[i]), user.Pick(1001, "HW One");
                user.Click(1);
            }, window);
            DestroyWindow(window);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int i = 0; i < 2; ++i) {
        const std::string driver = i == 0 ? "1" : "3";
        const std::string round = "ctx0.set " + driver + "; ctx1.set " + driver + "; ctx0.set 0; ctx1.set 0; ";
        EXPECT_EQ(SetsSince(engines[i]), round + round + round) << picks[i];
    }
}

}  // namespace
}  // namespace e2e
