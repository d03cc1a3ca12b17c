// ResolutionListOracleTests.cpp - the resolution list keeps the combo box's
// prefix-search rule however many modes an engine reports: an entry is left
// out when an entry already listed begins with its text, ignoring case.
//
// The list is built by the module on the in-memory platform and compared
// with the rule applied by a plain quadratic loop, over mode lists made to
// collide often ("1x1" begins "1x10" and "1x100"; negative sizes; repeats
// far apart), so a faster lookup that answered the prefix question wrongly
// in any order would show.
#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "ConfigModule.h"
#include "MemoryDialogs.h"
#include "RenderLists.h"
#include "SimEngine.h"
#include "platform/MemoryPlatform.h"
#include "resources/resource.h"

namespace {

bool BeginsWithNoCase(const std::string& entry, const std::string& text)
{
    if (text.empty() || entry.size() < text.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(entry[i])) != std::tolower(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

// The rule as the list's own search applies it: every earlier entry is asked.
std::vector<std::string> ExpectedEntries(const std::vector<DisplayMode>& modes)
{
    std::vector<std::string> entries;
    for (const DisplayMode& mode : modes) {
        const std::string text = std::to_string(mode.width) + "x" + std::to_string(mode.height);
        bool listed = false;
        for (const std::string& entry : entries)
            listed = listed || BeginsWithNoCase(entry, text);
        if (!listed)
            entries.push_back(text);
    }
    return entries;
}

std::vector<std::string> BuiltEntries(const std::vector<DisplayMode>& modes)
{
    memplat::Reset();
    RegisterModuleDialogs();
    sim::SimEngine engine;
    engine.AddDriver(sim::HardwareDriver("Only", modes));
    engine.AddContext(0);
    CurrentPlayerHost = engine.Host();
    plat::Window dialog = memplat::CreateDialogWindow(IDD_SETTINGS, nullptr);
    FillDriverList(dialog, RenderModePageDecides);
    FillResolutionList(dialog);
    const std::vector<std::string> entries = memplat::ComboItems(plat::GetDlgItem(dialog, IDC_RESOLUTION));
    EXPECT_TRUE(engine.Balanced());
    memplat::DestroyDialogWindow(dialog);
    CurrentPlayerHost = nullptr;
    memplat::Reset();
    return entries;
}

TEST(ResolutionListOracle, HandPickedPrefixChainsInBothOrders)
{
    const std::vector<std::vector<DisplayMode>> cases = {
        {{1, 100, 0, 0}, {1, 10, 0, 0}, {1, 1, 0, 0}},  // longest first: one entry
        {{1, 1, 0, 0}, {1, 10, 0, 0}, {1, 100, 0, 0}},  // shortest first: three
        {{1, 10, 0, 0}, {1, 1, 0, 0}, {1, 100, 0, 0}, {1, 1, 0, 0}},
        {{-1, 5, 0, 0}, {-1, 50, 0, 0}, {-10, 5, 0, 0}, {-1, 5, 0, 0}},
        {{640, 480, 16, 60}, {640, 48, 16, 60}, {64, 480, 16, 60}, {6, 4, 0, 0}},
    };
    for (const std::vector<DisplayMode>& modes : cases) {
        const std::vector<std::string> expected = ExpectedEntries(modes);
        EXPECT_EQ(expected, BuiltEntries(modes));
    }
}

TEST(ResolutionListOracle, RandomCollidingModesMatchThePrefixRule)
{
    std::mt19937 random(20261205);
    std::uniform_int_distribution<int> width(-12, 130);
    std::uniform_int_distribution<int> height(0, 1100);
    std::uniform_int_distribution<int> count(0, 300);
    for (int round = 0; round < 200; ++round) {
        std::vector<DisplayMode> modes(static_cast<std::size_t>(count(random)));
        for (DisplayMode& mode : modes)
            mode = DisplayMode{width(random), height(random), 16, 60};
        const std::vector<std::string> expected = ExpectedEntries(modes);
        const std::vector<std::string> built = BuiltEntries(modes);
        ASSERT_EQ(expected, built) << "round " << round << " with " << modes.size() << " modes";
    }
}

}  // namespace
