// ConfigTest.h - the test program plays the Kestrova Dad Azizov player around the real Config.dll. Each
// scenario reads its outcome as text a table row expects; after it the module holds nothing, has overrun
// no block, and touched the engine only while it held a context.
#ifndef KESTROVA_TESTS_CONFIG_TEST_H
#define KESTROVA_TESTS_CONFIG_TEST_H

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "DialogUser.h"
#include "DialogView.h"
#include "RegistryText.h"
#include "SimEngine.h"
#include "SystemCalls.h"

namespace e2e {

using namespace sim;  // the simulated player's user, engine and registry text

inline constexpr char kSettingsKey[] = "Software\\Kestrova\\DadAzizov\\Config";  // HKLM
inline constexpr char kNetworkKey[] = "Software\\Kestrova\\Network";             // HKCU
inline constexpr char kSystemProxyKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";  // HKCU
inline constexpr char kInstallKey[] = "Software\\Kestrova\\DadAzizov";           // HKLM, "InstallPath"
inline constexpr char kControlKey[] = "CLSID\\{6E3A91D4-2B7C-4F05-A8D1-93C47E52B0A6}\\InprocServer32";  // HKCR

class Player : public sim::SimEngine {
public:
    bool handsOverNoHost = false;                  // DoConfig gets a null host
    bool hasRenderManager = true;
    bool acquireYieldsNull = false;                // AcquireContext hands out no context
    std::set<int> undescribed, nullContexts;       // drivers without a description, empty slots
    std::set<int> modesWithheld;                   // drivers whose counted modes come as a null array
    std::set<std::pair<int, int>> refused;         // (context, driver): SetDriver is ignored

    // Each call still reaches the engine, so that the journal shows it.
    EngineContext* AcquireContext() override { return Unless(acquireYieldsNull, SimEngine::AcquireContext()); }
    RenderManager* QueryRenderManager() override { return Unless(!hasRenderManager, SimEngine::QueryRenderManager()); }
    RenderDriverDesc* GetDriverDesc(int d) override;
    RenderContext* GetRenderContext(int c) override { return Unless(nullContexts.count(c), SimEngine::GetRenderContext(c)); }

protected:
    bool Refuses(int context, int driver) const override { return refused.count({context, driver}) != 0; }

private:
    RenderDriverDesc withheld_ = {};
    template <typename T>
    static T* Unless(bool fault, T* answer) { return fault ? nullptr : answer; }
};

HWND PlayerWindow();
HMODULE LoadedModule();  // the Config.dll the player loaded at its start
const std::string& PlayerDirectory();  // ends with a backslash

inline void DeleteKey(HKEY root, const std::string& key) { RegDeleteTreeA(root, key.c_str()); }
void ClearPlayer();  // as installed: no settings, browser, system proxy, media cache or log

void WriteFile(const std::string& path, const std::string& bytes);  // ending with a backslash: a folder
std::string ReadFile(const std::string& path);  // "(no file)" when missing
// Lays out at path a library built beside this program: "1_2_3_4" (its file version) or "no_fixed_part".
void Install(const std::string& which, const std::string& path);
inline void RemoveTree(const std::string& path) { std::error_code ignored; std::filesystem::remove_all(path, ignored); }

using Script = std::function<void(User&)>;
using Tweak = std::function<void(Player&)>;
using Look = std::function<std::string(User&, Player&)>;

// A row of a scenario table: what is stored, which player, what the user does, what is expected.
struct Scenario {
    const char* name;
    std::vector<Stored> settings;  // the display settings; none: no key at all
    Tweak player;                  // the player; the one of BuildPlayer() when null
    Script act;
    std::string expected;
    Faults faults = nullptr;       // how the system fails the module
};

class ConfigTest : public ::testing::Test {
public:
    // The player most scenarios use:
    //   0 "HW One"    hardware 640x480 (16 and 32 bits), 800x600, 640x48, 1024x768
    //   1 "HW Two"    hardware 640x48, 640x480, 1280x1024
    //   2 "Overlay"   hardware without the usable capability: never listed
    //   3 "SW Raster" software 320x240, 640x480
    // and one render context on each driver of contexts (-1: a null slot).
    static void BuildPlayer(Player& engine, const std::vector<int>& contexts = {0, 0});
    // DoConfig over the player window: the dialog appears, the script closes it, DoConfig returns 1. On
    // i686 each call enters at the next of 0, 4, 8 and 12 mod 16 (a 32-bit caller promises only 4).
    Session Run(Player& engine, const Script& script, HWND parent = PlayerWindow());
    // Plays a row: the user acts, look reads the outcome, Esc closes the settings dialog if still open;
    // then every fault of the row has failed a call, and the module holds nothing and damaged no block.
    std::string Play(const Scenario& row, const Look& look, HWND parent = PlayerWindow());
    // Plays each row from a fresh journal with its faults, expecting what look reads.
    void PlayAll(const std::vector<Scenario>& rows, const Look& look);
    bool msvcPlayer = false;  // the player's objects built in the MSVC ABI (MsvcPlayer.dll), not its own
    static std::string JournalOfAct(const Player& engine);
    static std::string Joined(const std::vector<std::string>& lines, const char* separator = "; ");

    std::unique_ptr<SystemCalls> calls;  // the module's imports, watched for the whole test

protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace e2e

#endif  // KESTROVA_TESTS_CONFIG_TEST_H
