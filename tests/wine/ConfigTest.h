// ConfigTest.h - the fixture of every scenario: the registry keys, files and
// engine of the player as a fresh installation has them, the module's
// system calls watched (SystemCalls), and after the scenario the checks
// that hold on every path: the module gave back every key, memory block,
// stream and directory search it took, and every AcquireContext of the
// engine had its ReleaseContext with no engine access outside the pair.
#ifndef KESTROVA_TESTS_CONFIG_TEST_H
#define KESTROVA_TESTS_CONFIG_TEST_H

#include <gtest/gtest.h>

#include <memory>

#include "Views.h"
#include "SimEngine.h"
#include "SystemCalls.h"

namespace e2e {

extern const char kSettingsKey[];      // HKLM, the display settings
extern const char kNetworkKey[];       // HKCU, the proxy settings
extern const char kSystemProxyKey[];   // HKCU, the system's Internet settings
extern const char kInstallKey[];       // HKLM, "InstallPath"

using Script = std::function<void(User&)>;
using Tweak = std::function<void(sim::SimEngine&)>;

// One row of a scenario table: what is stored, which player, what the user
// does, and what is expected of it.
struct Scenario {
    const char* name;
    std::vector<Stored> settings;  // the display settings; none: no key at all
    Tweak player;                  // the player; the one of BuildPlayer() when null
    Script act;
    std::string expected;
};

class ConfigTest : public ::testing::Test {
public:

    // The player most scenarios use:
    //   0 "HW One"    hardware 640x480 (16 and 32 bits), 800x600, 640x48, 1024x768
    //   1 "HW Two"    hardware 640x48, 640x480, 1280x1024
    //   2 "Overlay"   hardware without the usable capability: never listed
    //   3 "SW Raster" software 320x240, 640x480
    // and one render context on each driver of contexts (-1: a null slot).
    static void BuildPlayer(sim::SimEngine& engine, const std::vector<int>& contexts = {0, 0});
    // DoConfig over the player window; the dialog must appear and be closed
    // by the script, and DoConfig must return 1.
    Session Run(sim::SimEngine& engine, const std::function<void(User&)>& script);
    // Plays a row: the user acts, then look reads what it is about, and the
    // settings dialog is closed with Esc unless the act closed it.
    std::string Play(const Scenario& row, const std::function<std::string(User&, sim::SimEngine&)>& look);
    // The engine's journal since the act began, joined by "; ".
    static std::string JournalOfAct(const sim::SimEngine& engine);
    static std::string Joined(const std::vector<std::string>& lines);

protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<SystemCalls> calls;
};

}  // namespace e2e

#endif  // KESTROVA_TESTS_CONFIG_TEST_H
