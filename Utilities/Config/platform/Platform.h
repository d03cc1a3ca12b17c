// Platform.h - the narrow layer between the module's logic and the system.
//
// Each function is one system call under its own name (with the "A" suffix
// where the system has ANSI and wide forms) and returns that call's own
// result codes; there is no policy in here. Two implementations exist:
//   - Win32Platform.cpp, linked into Config.dll;
//   - MemoryPlatform.cpp, an in-memory registry and dialog manager used by
//     the native tests, the sanitizer runs and the fuzzers. It keeps the
//     Windows behaviour the module relies on, and the contract tests run the
//     same scenarios against both to prove it.
//
// This header never includes <windows.h>. The handle types are declared the
// way <windows.h> declares them under STRICT, so on Windows plat::Window is
// HWND, plat::RegKey is HKEY and plat::DialogProc is DLGPROC: the dialog
// procedures of the module are handed to the system unchanged.
#ifndef KESTROVA_CONFIG_PLATFORM_H
#define KESTROVA_CONFIG_PLATFORM_H

#include <cstddef>
#include <cstdint>

struct HWND__;
struct HKEY__;
struct HINSTANCE__;

#if defined(_WIN32) && !defined(_WIN64)
#define CONFIG_CALLBACK __stdcall
#else
#define CONFIG_CALLBACK
#endif

namespace plat {

typedef HWND__* Window;
typedef HKEY__* RegKey;
typedef HINSTANCE__* Module;

// DWORD and LONG as the registry functions declare them.
#ifdef _WIN32
typedef unsigned long Dword;
typedef long Status;
#else
typedef std::uint32_t Dword;
typedef std::int32_t Status;
#endif

// WPARAM and LPARAM: on 32-bit Windows LPARAM is a long, not an int.
#if defined(_WIN32) && !defined(_WIN64)
typedef long LParam;
#else
typedef std::intptr_t LParam;
#endif
typedef std::uintptr_t WParam;

typedef std::intptr_t(CONFIG_CALLBACK* DialogProc)(Window dialog, unsigned int message, WParam wParam,
                                                    LParam lParam);

// ---- Values the module uses, identical to the system's --------------------

const Status kErrorSuccess = 0;
const Status kErrorFileNotFound = 2;
const Status kErrorAccessDenied = 5;
const Status kErrorInvalidHandle = 6;
const Status kErrorMoreData = 234;

const Dword kKeyRead = 0x20019;
const Dword kKeyWrite = 0x20006;
const Dword kKeyAllAccess = 0xF003F;

const Dword kRegNone = 0;
const Dword kRegSz = 1;
const Dword kRegExpandSz = 2;
const Dword kRegBinary = 3;
const Dword kRegDword = 4;

const unsigned int kWmSetRedraw = 0x000B;
const unsigned int kWmInitDialog = 0x0110;
const unsigned int kWmCommand = 0x0111;

const int kIdOk = 1;
const int kIdCancel = 2;

const unsigned int kBnClicked = 0;
const unsigned int kCbnSelChange = 1;

const unsigned int kBstUnchecked = 0;
const unsigned int kBstChecked = 1;

const std::intptr_t kCbErr = -1;

const unsigned int kMbOk = 0x00000000;

// The predefined root keys, with the values <windows.h> gives them
// (sign-extended on 64-bit Windows).
inline RegKey PredefinedKey(std::uint32_t id)
{
    return reinterpret_cast<RegKey>(static_cast<std::intptr_t>(static_cast<std::int32_t>(id)));
}
inline RegKey HKeyClassesRoot() { return PredefinedKey(0x80000000u); }
inline RegKey HKeyCurrentUser() { return PredefinedKey(0x80000001u); }
inline RegKey HKeyLocalMachine() { return PredefinedKey(0x80000002u); }

inline unsigned int LowWord(std::uintptr_t value) { return static_cast<unsigned int>(value & 0xFFFF); }
inline unsigned int HighWord(std::uintptr_t value) { return static_cast<unsigned int>((value >> 16) & 0xFFFF); }
inline std::uintptr_t MakeWParam(unsigned int low, unsigned int high)
{
    return static_cast<std::uintptr_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}

// ---- Registry (ADVAPI32) -------------------------------------------------

// RegOpenKeyExA(root, subKey, 0, access, result)
Status RegOpenKeyExA(RegKey root, const char* subKey, Dword options, Dword access, RegKey* result);
// RegCreateKeyA(root, subKey, result): creates the key, or opens it when it exists.
Status RegCreateKeyA(RegKey root, const char* subKey, RegKey* result);
// RegCreateKeyExA(root, subKey, 0, NULL, 0, access, NULL, result, NULL):
// no class, non-volatile, default security, disposition not asked for.
Status RegCreateKeyExA(RegKey root, const char* subKey, Dword access, RegKey* result);
// RegQueryValueExA(key, valueName, NULL, type, data, size); valueName null or
// "" names the key's default value.
Status RegQueryValueExA(RegKey key, const char* valueName, Dword* type, unsigned char* data,
                        Dword* size);
// RegSetValueExA(key, valueName, 0, type, data, size)
Status RegSetValueExA(RegKey key, const char* valueName, Dword type, const unsigned char* data,
                      Dword size);
Status RegCloseKey(RegKey key);

// ---- Windows and dialogs (USER32) -----------------------------------------

// DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, proc, param)
std::intptr_t DialogBoxParamA(Module instance, int templateId, Window owner, DialogProc proc,
                              std::intptr_t param);
int EndDialog(Window dialog, std::intptr_t result);
Window GetDlgItem(Window dialog, int id);
int EnableWindow(Window window, int enable);
int IsWindowEnabled(Window window);
int CheckDlgButton(Window dialog, int id, unsigned int check);
unsigned int IsDlgButtonChecked(Window dialog, int id);
int SetDlgItemTextA(Window dialog, int id, const char* text);
int SetWindowTextA(Window window, const char* text);
// Copies at most maxCount - 1 characters and a NUL; returns the count copied.
int GetWindowTextA(Window window, char* buffer, int maxCount);
int MessageBoxA(Window owner, const char* text, const char* caption, unsigned int type);
// InvalidateRect(window, NULL, erase)
int InvalidateWholeRect(Window window, int erase);
// WM_SETREDRAW
void SetRedraw(Window window, int redraw);

// ---- Buttons: one message each -------------------------------------------

std::intptr_t ButtonGetCheck(Window button);                      // BM_GETCHECK
void ButtonSetCheck(Window button, unsigned int check);           // BM_SETCHECK

// ---- Combo boxes: one message each -----------------------------------------

std::intptr_t ComboResetContent(Window combo);                                   // CB_RESETCONTENT
std::intptr_t ComboAddString(Window combo, const char* text);                    // CB_ADDSTRING
std::intptr_t ComboSetItemData(Window combo, std::intptr_t index, std::intptr_t data); // CB_SETITEMDATA
std::intptr_t ComboGetItemData(Window combo, std::intptr_t index);               // CB_GETITEMDATA
std::intptr_t ComboGetCount(Window combo);                                       // CB_GETCOUNT
std::intptr_t ComboGetCurSel(Window combo);                                      // CB_GETCURSEL
std::intptr_t ComboSetCurSel(Window combo, std::intptr_t index);                 // CB_SETCURSEL
std::intptr_t ComboGetLBTextLen(Window combo, std::intptr_t index);              // CB_GETLBTEXTLEN
// CB_GETLBTEXT: the buffer must hold ComboGetLBTextLen + 1 bytes.
std::intptr_t ComboGetLBText(Window combo, std::intptr_t index, char* buffer);
std::intptr_t ComboFindString(Window combo, std::intptr_t startAfter, const char* text); // CB_FINDSTRING

// ---- List view (report view): one message each ------------------------------

// LVM_INSERTCOLUMNA with an LVCOLUMNA of mask LVCF_WIDTH | LVCF_TEXT.
std::intptr_t ListViewInsertColumn(Window list, int index, int width, const char* text);
// LVM_INSERTITEMA with an LVITEMA of mask LVIF_TEXT, subitem 0.
std::intptr_t ListViewInsertItem(Window list, int index, const char* text);
// LVM_SETITEMTEXTA with wParam = index and an LVITEMA of the given subitem.
std::intptr_t ListViewSetItemText(Window list, int index, int subItem, const char* text);
std::intptr_t ListViewGetItemCount(Window list);                                 // LVM_GETITEMCOUNT
// LVM_GETITEMTEXTA into buffer of bufferSize bytes; returns the length copied.
std::intptr_t ListViewGetItemText(Window list, int index, int subItem, char* buffer, int bufferSize);

// ---- The module's own file (KERNEL32) ---------------------------------------

// Copies the module's path and a NUL; returns the length copied, 0 on
// failure. A path that does not fit fills the buffer with no NUL and
// returns size (Windows XP and Wine; later Windows versions end it with a
// NUL instead).
Dword GetModuleFileNameA(Module module, char* buffer, Dword size);

// ---- Files and the shell (KERNEL32, SHELL32) -----------------------------------

const Dword kInvalidFileAttributes = 0xFFFFFFFF;
const Dword kFileAttributeReadOnly = 0x01;
const Dword kFileAttributeDirectory = 0x10;

Dword GetFileAttributesA(const char* path);
void Sleep(Dword milliseconds);

// SHFILEOPSTRUCTA, field for field.
struct FileOperation {
    Window hwnd;
    unsigned int wFunc;
    const char* pFrom;  // names, each with its NUL, ending with an empty name
    const char* pTo;
    unsigned short fFlags;
    int fAnyOperationsAborted;
    void* hNameMappings;
    const char* lpszProgressTitle;
};
const unsigned int kFoDelete = 3;
const unsigned short kFofNoConfirmation = 0x0010;
const unsigned short kFofSimpleProgress = 0x0100;
const unsigned short kFofNoErrorUi = 0x0400;

int SHFileOperationA(FileOperation* operation);

// FindFirstFileA / FindNextFileA / FindClose over WIN32_FIND_DATAA's
// attributes and long name.
struct FindData {
    Dword attributes;
    char name[260];
};
typedef void* FindHandle;  // null when nothing was found
FindHandle FindFirstFileA(const char* pattern, FindData* data);
int FindNextFileA(FindHandle find, FindData* data);
int FindClose(FindHandle find);

// The C runtime's streams, for the diagnostic log: fopen, fputs, fclose.
// Text mode ("t" or no "b") writes each line feed as CR LF.
typedef void* FileStream;  // null when the file cannot be opened
FileStream OpenFileStream(const char* path, const char* mode);
int PutText(FileStream stream, const char* text);
int CloseFileStream(FileStream stream);

// ---- Version information (VERSION) and movable memory (KERNEL32) --------------

// VS_FIXEDFILEINFO.
struct FixedFileInfo {
    Dword dwSignature;
    Dword dwStrucVersion;
    Dword dwFileVersionMS;
    Dword dwFileVersionLS;
    Dword dwProductVersionMS;
    Dword dwProductVersionLS;
    Dword dwFileFlagsMask;
    Dword dwFileFlags;
    Dword dwFileOS;
    Dword dwFileType;
    Dword dwFileSubtype;
    Dword dwFileDateMS;
    Dword dwFileDateLS;
};

Dword GetFileVersionInfoSizeA(const char* path, Dword* handle);
int GetFileVersionInfoA(const char* path, Dword handle, Dword size, void* block);
int VerQueryValueA(const void* block, const char* subBlock, void** buffer, unsigned int* length);

typedef void* GlobalHandle;
const unsigned int kGmemMoveable = 0x0002;
GlobalHandle GlobalAlloc(unsigned int flags, std::size_t bytes);
void* GlobalLock(GlobalHandle memory);
int GlobalUnlock(GlobalHandle memory);
GlobalHandle GlobalFree(GlobalHandle memory);

}  // namespace plat

#endif  // KESTROVA_CONFIG_PLATFORM_H
