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

// ---- Files -----------------------------------------------------------------
//
// A scratch folder, fresh at the start of every scenario and removed with
// its contents at its end: a made-up "C:\\..." folder in memory, a real
// folder under the temporary folder on Win32. Paths given to the functions
// below are full paths inside it; they set things up and look at the result
// with the platform's own means, never through plat::.
std::string ScratchFolder();  // without a trailing separator

void MakeFolder(const std::string& path);  // its parent must exist
void MakeFile(const std::string& path, const std::string& bytes);
void MakeReadOnly(const std::string& path);  // a file
// Keeps the file open with no sharing until the scenario ends, as another
// program using it would.
void HoldOpen(const std::string& path);

// Every path below folder, relative to it, folders included, sorted.
std::vector<std::string> FolderTree(const std::string& folder);
// False when path is missing or a folder.
bool ReadFileBytes(const std::string& path, std::string* bytes);

// A read-only file refuses to be written (memory only: the Wine prefix runs
// as root, whose writes ignore the read-only attribute).
bool CanRefuseWritingReadOnlyFiles();
// A folder that takes no new files (memory only: Windows ignores the
// read-only attribute of a folder, and root ignores folder permissions).
bool CanMakeReadOnlyFolder();
void MakeReadOnlyFolder(const std::string& path);

// Files with a version resource: a library whose file version is the four
// 16-bit numbers; one whose resource has no fixed part; one with no version
// resource at all. False when this platform cannot make such a file.
bool MakeVersionedFile(const std::string& path, int major, int minor, int build, int revision);
bool MakeFileWithoutFixedVersionPart(const std::string& path);
bool MakeLibraryWithoutVersion(const std::string& path);

// What GetModuleFileNameA should report for the running program (a null
// module), found without that function: the test program's file on Win32,
// the path the fixture sets in memory.
std::string ProgramPath();

// Find handles, streams and movable blocks handed out and not given back
// (memory only: Windows keeps no such count a test could read).
bool CanCountFileResources();
int OpenFileResourceCount();

// ---- The C runtime (Win32 only) -----------------------------------------------
//
// Where the module carries its own version of a runtime function, the Win32
// build checks the runtime against the same expectations the module's
// version is held to. Native builds have no such runtime.
bool HasWindowsRuntime();
// sscanf(text, "%d", &value) of the system's msvcrt.dll.
int RuntimeScanDecimal(const char* text, int* value);
// _splitpath: drive, directory, name, extension.
void RuntimeSplitPath(const char* path, std::string parts[4]);
std::string RuntimeMakePath(const char* drive, const char* directory, const char* name, const char* extension);
int RuntimeStricmp(const char* a, const char* b);

}  // namespace contract

#endif  // KESTROVA_TESTS_CONTRACT_FIXTURE_H
