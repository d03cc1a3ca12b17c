// ModuleFixture.h - the module on the in-memory platform: its dialogs
// registered from the shared layouts, a recording engine as the player, and
// a check after every test that no registry key stayed open and every
// acquire of the engine was released.
#ifndef KESTROVA_TESTS_MODULE_FIXTURE_H
#define KESTROVA_TESTS_MODULE_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "RecordingEngine.h"
#include "platform/MemoryPlatform.h"

extern const char kConfigKey[];  // the display settings key, spelled out

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

    RecordingEngine engine;
    plat::Window dialog_ = nullptr;
};

#endif  // KESTROVA_TESTS_MODULE_FIXTURE_H
