// MemoryPlatform.h - the in-memory implementation of the platform layer.
//
// A real implementation of Platform.h without Windows: a registry tree with
// the three predefined roots, and a small dialog manager with the controls
// the module uses (buttons, static texts, edits, drop-down combo boxes and a
// report list view). It behaves as Windows does wherever the module relies
// on it (the contract tests prove that against the Win32 implementation
// under Wine), and adds what a test needs to play the user and to look
// inside: seeding and reading registry values, denying access to keys,
// counting open keys, registering dialog templates and clicking controls.
//
// Single-threaded, like the module. Reset() returns everything to empty.
#ifndef KESTROVA_CONFIG_MEMORY_PLATFORM_H
#define KESTROVA_CONFIG_MEMORY_PLATFORM_H

#include "Platform.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace memplat {

// Window styles the dialog manager interprets (same values as <windows.h>).
const std::uint32_t kWsGroup = 0x00020000;
const std::uint32_t kWsTabStop = 0x00010000;
const std::uint32_t kWsDisabled = 0x08000000;
const std::uint32_t kBsPushButton = 0x0;
const std::uint32_t kBsDefPushButton = 0x1;
const std::uint32_t kBsAutoCheckBox = 0x3;
const std::uint32_t kBsGroupBox = 0x7;
const std::uint32_t kBsAutoRadioButton = 0x9;
const std::uint32_t kBsTypeMask = 0xF;
const std::uint32_t kCbsDropDownList = 0x3;
const std::uint32_t kCbsSort = 0x100;
const std::uint32_t kEsPassword = 0x20;
const std::uint32_t kEsNumber = 0x2000;
const std::uint32_t kLvsReport = 0x1;
const std::uint32_t kLvsSortAscending = 0x10;

// One control of a dialog template, in tab order. className is one of
// "Button", "Static", "Edit", "ComboBox", "SysListView32". id -1 for
// controls the module never addresses.
struct ControlTemplate {
    int id;
    std::string className;
    std::uint32_t style;
    std::string text;
};

struct DialogTemplate {
    int id;
    std::string caption;
    std::vector<ControlTemplate> controls;
};

// Everything back to empty: registry, access rules, windows, templates,
// modal driver, open-key count.
void Reset();

// ---- Registry ---------------------------------------------------------------

enum class KeyAccess {
    Full,      // the default
    ReadOnly,  // opening for writing, creating below it and writing values fail
    Denied     // any open fails with ERROR_ACCESS_DENIED
};

// Applies to the key at path (which need not exist yet) and everything below
// it, unless a deeper key has a rule of its own.
void SetKeyAccess(plat::RegKey root, const std::string& path, KeyAccess access);

// Keys opened or created and not yet closed.
int OpenKeyCount();

bool KeyExists(plat::RegKey root, const std::string& path);
void DeleteKey(plat::RegKey root, const std::string& path);  // with its subkeys
// Creates the key (and its parents) when missing; ignores access rules.
void PutValue(plat::RegKey root, const std::string& path, const std::string& name,
              plat::Dword type, const std::string& bytes);
void PutDword(plat::RegKey root, const std::string& path, const std::string& name,
              std::uint32_t value);
// False when the key or the value is missing.
bool GetValue(plat::RegKey root, const std::string& path, const std::string& name,
              plat::Dword* type, std::string* bytes);
// Value names of a key in the order they were first written.
std::vector<std::string> ValueNames(plat::RegKey root, const std::string& path);

// Every successful RegSetValueExA, in order, as "name=<type>:<byte count>".
std::vector<std::string> RegistryWrites();
void ClearRegistryWrites();

// Every later RegSetValueExA of a value of this name (letter case ignored,
// in any key) fails with this error and writes nothing: a value a
// policy or another program keeps the user from changing.
void FailValueWrites(const std::string& valueName, plat::Status error);

// ---- Dialogs ------------------------------------------------------------------

void RegisterDialogTemplate(const DialogTemplate& dialogTemplate);

// Called by DialogBoxParamA once the new dialog has handled WM_INITDIALOG,
// inside its "modal loop": the driver plays the user through the functions
// below and must end the dialog. A dialog still open when the driver
// returns (or with no driver set) is destroyed and DialogBoxParamA returns -1.
typedef std::function<void(plat::Window dialog, int templateId)> ModalDriver;
void SetModalDriver(ModalDriver driver);

// Creates a dialog from a registered template without a modal loop and
// sends it WM_INITDIALOG (when proc is not null). For tests that call the
// module's functions on a dialog directly.
plat::Window CreateDialogWindow(int templateId, plat::DialogProc proc, plat::Window owner = nullptr);
void DestroyDialogWindow(plat::Window dialog);

int TemplateIdOf(plat::Window dialog);
bool IsDialogEnded(plat::Window dialog);
std::intptr_t DialogResult(plat::Window dialog);
// What the dialog procedure returned for the last message delivered.
std::intptr_t LastProcResult(plat::Window dialog);

// What the user's actions make the system do:
// a click: auto check boxes toggle, an auto radio button checks itself and
// clears the other auto radio buttons of its group (controls between two
// WS_GROUP controls), then the dialog gets WM_COMMAND(id, BN_CLICKED).
// Disabled controls ignore clicks.
void Click(plat::Window dialog, int id);
// A selection in a drop-down list: CB_SETCURSEL, then WM_COMMAND(id, CBN_SELCHANGE).
void SelectComboItem(plat::Window dialog, int id, int index);
// WM_COMMAND(id, notification) sent to the dialog as a control would.
std::intptr_t SendCommand(plat::Window dialog, int id, unsigned int notification);
// Enter: the default push button's id, else IDOK. Esc: IDCANCEL.
void PressEnter(plat::Window dialog);
void PressEscape(plat::Window dialog);

// Inspection.
std::string WindowText(plat::Window window);
std::vector<std::string> ComboItems(plat::Window combo);
std::string ComboSelectedText(plat::Window combo);  // "" when nothing is selected
// One entry per row: the texts of its columns.
std::vector<std::vector<std::string>> ListViewRows(plat::Window list);
std::vector<std::string> ListViewColumns(plat::Window list);
// WM_SETREDRAW and InvalidateRect calls of a window, as "redraw 0", "redraw 1", "invalidate 1".
std::vector<std::string> PaintJournal(plat::Window window);

// Message boxes: shown ones are recorded and answered with IDOK.
struct MessageBoxRecord {
    plat::Window owner;
    std::string text;
    std::string caption;
    unsigned int type;
};
std::vector<MessageBoxRecord> MessageBoxes();

// ---- Files, the module's own path and the shell ------------------------------------
//
// A file system of Windows paths ("C:\\dir\\file", "\\" or "/" between names,
// letter case ignored). Directories must exist before files go in them.

// What GetModuleFileNameA reports for any module; "" makes it fail.
void SetModulePath(const std::string& path);
void PutDirectory(const std::string& path);  // with its parents
void PutFile(const std::string& path, const std::string& bytes = std::string());  // parents too

// Version information of a file: the four 16-bit numbers of its file version
// (major, minor, build, revision), or a version resource without the fixed
// part.
struct FileVersion {
    std::uint16_t major, minor, build, revision;
    bool hasFixedInfo;
};
void PutVersionedFile(const std::string& path, const FileVersion& version);

// A read-only file cannot be written or deleted; a read-only directory
// takes no new files (the in-memory model of a folder the user may not
// write to). A locked file cannot be opened or deleted (in use elsewhere).
void SetReadOnly(const std::string& path, bool readOnly);
void SetLocked(const std::string& path, bool locked);

bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);
std::string FileBytes(const std::string& path);
// Every path below directory, relative to it, in sorted order.
std::vector<std::string> ListTree(const std::string& directory);

// Each SHFileOperationA call as it was made; pFrom with all its NULs.
struct FileOperationRecord {
    plat::Window owner;
    unsigned int function;
    std::string from;
    bool hasTo;
    unsigned short flags;
    int anyOperationsAborted;
    bool hasNameMappings;
    std::string title;
};
std::vector<FileOperationRecord> FileOperations();
std::vector<plat::Dword> Sleeps();

// Resources handed out and not yet given back.
int OpenStreamCount();
int OpenFindCount();
int GlobalBlockCount();

// The next GlobalAlloc fails.
void FailNextGlobalAlloc();

// Fault injection: the (skip + 1)-th next call of the named platform
// function ("RegOpenKeyExA", "RegQueryValueExA", "RegSetValueExA",
// "OpenFileStream", "GetFileVersionInfoSizeA") throws std::runtime_error
// instead.
void ThrowOnCall(const std::string& function, int skip = 0);

}  // namespace memplat

#endif  // KESTROVA_CONFIG_MEMORY_PLATFORM_H
