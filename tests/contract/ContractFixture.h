// ContractFixture.h - what a platform contract scenario needs that differs
// between the two implementations of the platform layer.
//
// The scenarios are compiled twice: natively against the in-memory platform
// (MemoryFixture.cpp) and with mingw against the Win32 platform run under
// Wine (Win32Fixture.cpp). Each build links exactly one of the two fixture
// files, which define the functions below.
#ifndef KESTROVA_TESTS_CONTRACT_FIXTURE_H
#define KESTROVA_TESTS_CONTRACT_FIXTURE_H

#include "platform/Platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace contract {

// ---- The test dialog ------------------------------------------------------
//
// One dialog holding one control of each kind the module drives, with the
// styles the module's own dialogs give them.
const int kComboId = 200;      // unsorted drop-down list
const int kListId = 201;       // report list view, LVS_SORTASCENDING
const int kEditId = 202;
const int kCheckId = 203;      // auto check box
const int kRadioAId = 204;     // three auto radio buttons, one group
const int kRadioBId = 205;
const int kRadioCId = 206;
const int kStaticId = 207;
const int kMissingId = 299;    // no control has this id

const char kTestDialogCaption[] = "Kestrova contract dialog";

struct ControlDef {
    int id;
    const char* className;  // "Button", "Static", "Edit", "ComboBox", "SysListView32"
    std::uint32_t style;    // without WS_CHILD | WS_VISIBLE
    const char* text;
    int x, y, width, height;  // dialog units
};

// In tab order. Defined in ContractDialog.cpp, shared by both fixtures.
const std::vector<ControlDef>& TestDialogControls();

// ---- Per platform: MemoryFixture.cpp or Win32Fixture.cpp --------------------

const char* PlatformName();

// Called before and after every scenario: the scratch registry key is
// removed with its subkeys, so each scenario starts from nothing.
void BeginScenario();
void EndScenario();

// A fresh test dialog (not shown) and its destruction.
plat::Window CreateTestDialog();
void DestroyTestDialog(plat::Window dialog);

// The scratch registry location: ScratchRoot()\ScratchPath(), missing at
// the start of every scenario.
plat::RegKey ScratchRoot();
const char* ScratchPath();

// Optional capabilities.
// The number of keys opened or created and not yet closed (memory only:
// Windows keeps no such count a test could read).
bool CanCountOpenKeys();
int OpenKeyCount();

// Denying access to keys (memory only: a Wine prefix runs as administrator,
// so every key can be opened for writing there).
enum class Access { Full, ReadOnly, Denied };
bool CanDenyAccess();
// path is below ScratchRoot(); applies to the key and everything below it.
void SetKeyAccess(const std::string& path, Access access);

}  // namespace contract

#endif  // KESTROVA_TESTS_CONTRACT_FIXTURE_H
