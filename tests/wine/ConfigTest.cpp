// ConfigTest.cpp - see ConfigTest.h.
#include "ConfigTest.h"

#include <algorithm>

namespace e2e {

const char kSettingsKey[] = "Software\\Kestrova\\DadAzizov\\Config";
const char kNetworkKey[] = "Software\\Kestrova\\Network";
const char kSystemProxyKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const char kInstallKey[] = "Software\\Kestrova\\DadAzizov";

namespace {

DisplayMode Mode(int width, int height, int bits = 32) { return DisplayMode{width, height, bits, 60}; }

}  // namespace

void ConfigTest::SetUp()
{
    DeleteKey(HKEY_LOCAL_MACHINE, "Software\\Kestrova");
    DeleteKey(HKEY_CURRENT_USER, "Software\\Kestrova");
    DeleteKey(HKEY_CLASSES_ROOT, "CLSID\\{6E3A91D4-2B7C-4F05-A8D1-93C47E52B0A6}");
    DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape");
    DeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\mozilla.org");
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSystemProxyKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "ProxyEnable");
        RegDeleteValueA(key, "ProxyServer");
        RegCloseKey(key);
    }
    RemoveTree(PlayerDirectory() + "MediaCache");
    DeleteFileA((PlayerDirectory() + "KestrovaWebPlayer.log").c_str());
    calls = std::make_unique<SystemCalls>(ConfigModule());
}

void ConfigTest::TearDown()
{
    EXPECT_EQ(calls->Held(), std::vector<std::string>()) << "left open by the module";
    calls.reset();
}

void ConfigTest::BuildPlayer(sim::SimEngine& engine, const std::vector<int>& contexts)
{
    engine.AddDriver(sim::HardwareDriver("HW One", {Mode(640, 480, 16), Mode(640, 480), Mode(800, 600),
                                                    Mode(640, 48), Mode(1024, 768)}));
    engine.AddDriver(sim::HardwareDriver("HW Two", {Mode(640, 48), Mode(640, 480), Mode(1280, 1024)}));
    sim::SimDriver overlay = sim::HardwareDriver("Overlay", {Mode(720, 576)});
    overlay.capabilities = 0;
    engine.AddDriver(overlay);
    engine.AddDriver(sim::SoftwareDriver("SW Raster", {Mode(320, 240, 16), Mode(640, 480, 16)}));
    for (int driver : contexts)
        driver < 0 ? engine.AddNullContext() : engine.AddContext(driver);
}

Session ConfigTest::Run(sim::SimEngine& engine, const std::function<void(User&)>& script)
{
    const Session session = RunDoConfig(engine.Host(), script);
    EXPECT_TRUE(session.shown) << "the settings dialog did not appear";
    EXPECT_FALSE(session.leftOpen) << "the script could not close the dialog";
    EXPECT_EQ(session.returned, 1);
    EXPECT_EQ(session.problems, std::vector<std::string>());
    EXPECT_TRUE(engine.Balanced()) << ::testing::PrintToString(engine.Violations());
    return session;
}

std::string ConfigTest::Play(const Scenario& row, const std::function<std::string(User&, sim::SimEngine&)>& look)
{
    DeleteKey(HKEY_LOCAL_MACHINE, kSettingsKey);
    if (!row.settings.empty())
        Store(HKEY_LOCAL_MACHINE, kSettingsKey, row.settings);
    sim::SimEngine engine;
    row.player ? row.player(engine) : BuildPlayer(engine);
    std::string seen;
    Run(engine, [&](User& user) {
        engine.Mark("act");
        if (row.act)
            row.act(user);
        if (look && user.Open())
            seen = look(user, engine);
        if (user.Open())
            user.Press(VK_ESCAPE);
    });
    return seen;
}

std::string ConfigTest::JournalOfAct(const sim::SimEngine& engine)
{
    const std::vector<std::string> journal = engine.Journal();
    const auto marked = std::find(journal.begin(), journal.end(), "# act");
    return Joined(std::vector<std::string>(marked == journal.end() ? marked : marked + 1, journal.end()));
}

std::string ConfigTest::Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "; ") + line;
    return text;
}

}  // namespace e2e
