// ModuleFixture.h - the module on the in-memory platform: its dialogs
// registered from the shared layouts, a recording engine as the player, and
// a check after every test that no registry key stayed open and every
// acquire of the engine was released.
#ifndef KESTROVA_TESTS_MODULE_FIXTURE_H
#define KESTROVA_TESTS_MODULE_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "SimEngine.h"
#include "platform/MemoryPlatform.h"

extern const char kConfigKey[];  // the display settings key, spelled out

typedef std::vector<std::string> Calls;

sim::SimDriver Driver(const std::string& name, int hardware, unsigned int capabilities,
                      const std::vector<DisplayMode>& modes);
// A realistic line-up: a hardware driver with many modes (duplicates at two
// depths), a second hardware driver, a software driver, and a driver that
// cannot be offered.
std::vector<sim::SimDriver> StandardDrivers();

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Dialog 101 with SettingsDlgProc, after WM_INITDIALOG.
    plat::Window OpenSettings();
    // Dialog 101 without a procedure: the controls alone, for calling one
    // function at a time.
    plat::Window BareSettings();

    plat::Window Item(int id) const { return plat::GetDlgItem(dialog_, id); }
    std::vector<std::string> Items(int id) const { return memplat::ComboItems(Item(id)); }
    std::string Selected(int id) const { return memplat::ComboSelectedText(Item(id)); }
    bool Checked(int id) const { return plat::IsDlgButtonChecked(dialog_, id) == plat::kBstChecked; }
    // The item data of the selected driver entry, or -1.
    std::intptr_t SelectedDriver() const;
    void SelectDriverEntry(const std::string& name);

    void StoreDword(const std::string& name, std::uint32_t value);
    // The stored REG_DWORD, or a test failure when the value is missing or
    // not a 4-byte REG_DWORD.
    std::uint32_t StoredDword(const std::string& name) const;

    // A new engine with these drivers and contexts (-1 leaves a slot
    // without a context); it becomes the player the module talks to.
    sim::SimEngine& NewEngine(const std::vector<sim::SimDriver>& drivers, const std::vector<int>& contexts);
    sim::SimEngine& engine() { return *engine_; }
    // The engine's journal without acquire, release and the driver index
    // queries: the calls that change the running player.
    Calls Switches() const;

    std::unique_ptr<sim::SimEngine> engine_;
    plat::Window dialog_ = nullptr;
};

#endif  // KESTROVA_TESTS_MODULE_FIXTURE_H
