// Win32Platform.cpp - the platform layer on the real system, linked into
// Config.dll. One system call per function, its own result unchanged.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>

#include "Platform.h"

#include <cstring>
#include <type_traits>

// The portable declarations must be the system's own types, so the module's
// dialog procedures go to DialogBoxParamA as they are.
static_assert(std::is_same<plat::Window, HWND>::value, "plat::Window must be HWND");
static_assert(std::is_same<plat::RegKey, HKEY>::value, "plat::RegKey must be HKEY");
static_assert(std::is_same<plat::Module, HINSTANCE>::value, "plat::Module must be HINSTANCE");
static_assert(std::is_same<plat::DialogProc, DLGPROC>::value, "plat::DialogProc must be DLGPROC");
static_assert(std::is_same<plat::Dword, DWORD>::value, "plat::Dword must be DWORD");
static_assert(std::is_same<plat::Status, LONG>::value, "plat::Status must be LONG");
static_assert(plat::kErrorMoreData == ERROR_MORE_DATA && plat::kErrorFileNotFound == ERROR_FILE_NOT_FOUND &&
                  plat::kErrorAccessDenied == ERROR_ACCESS_DENIED && plat::kErrorInvalidHandle == ERROR_INVALID_HANDLE,
              "error codes");
static_assert(plat::kKeyRead == KEY_READ && plat::kKeyWrite == KEY_WRITE && plat::kKeyAllAccess == KEY_ALL_ACCESS,
              "access masks");
static_assert(plat::kRegSz == REG_SZ && plat::kRegDword == REG_DWORD && plat::kRegBinary == REG_BINARY &&
                  plat::kRegExpandSz == REG_EXPAND_SZ && plat::kRegNone == REG_NONE,
              "value types");
static_assert(plat::kWmInitDialog == WM_INITDIALOG && plat::kWmCommand == WM_COMMAND &&
                  plat::kWmSetRedraw == WM_SETREDRAW,
              "messages");
static_assert(sizeof(plat::FixedFileInfo) == sizeof(VS_FIXEDFILEINFO), "VS_FIXEDFILEINFO layout");
static_assert(plat::kFoDelete == FO_DELETE && plat::kFofNoConfirmation == FOF_NOCONFIRMATION &&
                  plat::kFofSimpleProgress == FOF_SIMPLEPROGRESS && plat::kFofNoErrorUi == FOF_NOERRORUI &&
                  plat::kGmemMoveable == GMEM_MOVEABLE && plat::kInvalidFileAttributes == INVALID_FILE_ATTRIBUTES &&
                  plat::kFileAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY &&
                  plat::kFileAttributeReadOnly == FILE_ATTRIBUTE_READONLY,
              "shell, file and memory constants");
static_assert(plat::kIdOk == IDOK && plat::kIdCancel == IDCANCEL && plat::kBnClicked == BN_CLICKED &&
                  plat::kCbnSelChange == CBN_SELCHANGE && plat::kBstChecked == BST_CHECKED &&
                  plat::kBstUnchecked == BST_UNCHECKED && plat::kCbErr == CB_ERR && plat::kMbOk == MB_OK,
              "command and notification codes");

namespace plat {

namespace {

inline intptr_t Send(Window window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return static_cast<intptr_t>(::SendMessageA(window, message, wParam, lParam));
}

}  // namespace

// ---- Registry ---------------------------------------------------------------

Status RegOpenKeyExA(RegKey root, const char* subKey, Dword options, Dword access, RegKey* result)
{
    return ::RegOpenKeyExA(root, subKey, options, access, result);
}

Status RegCreateKeyA(RegKey root, const char* subKey, RegKey* result)
{
    return ::RegCreateKeyA(root, subKey, result);
}

Status RegCreateKeyExA(RegKey root, const char* subKey, Dword access, RegKey* result)
{
    return ::RegCreateKeyExA(root, subKey, 0, nullptr, 0, access, nullptr, result, nullptr);
}

Status RegQueryValueExA(RegKey key, const char* valueName, Dword* type, unsigned char* data, Dword* size)
{
    return ::RegQueryValueExA(key, valueName, nullptr, type, data, size);
}

Status RegSetValueExA(RegKey key, const char* valueName, Dword type, const unsigned char* data, Dword size)
{
    return ::RegSetValueExA(key, valueName, 0, type, data, size);
}

Status RegCloseKey(RegKey key) { return ::RegCloseKey(key); }

// ---- Windows and dialogs --------------------------------------------------

intptr_t DialogBoxParamA(Module instance, int templateId, Window owner, DialogProc proc, intptr_t param)
{
    return ::DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, proc, param);
}

int EndDialog(Window dialog, intptr_t result) { return ::EndDialog(dialog, result); }
Window GetDlgItem(Window dialog, int id) { return ::GetDlgItem(dialog, id); }
int EnableWindow(Window window, int enable) { return ::EnableWindow(window, enable); }
int IsWindowEnabled(Window window) { return ::IsWindowEnabled(window); }
int CheckDlgButton(Window dialog, int id, unsigned int check) { return ::CheckDlgButton(dialog, id, check); }
unsigned int IsDlgButtonChecked(Window dialog, int id) { return ::IsDlgButtonChecked(dialog, id); }
int SetDlgItemTextA(Window dialog, int id, const char* text) { return ::SetDlgItemTextA(dialog, id, text); }
int SetWindowTextA(Window window, const char* text) { return ::SetWindowTextA(window, text); }
int GetWindowTextA(Window window, char* buffer, int maxCount) { return ::GetWindowTextA(window, buffer, maxCount); }

int MessageBoxA(Window owner, const char* text, const char* caption, unsigned int type)
{
    return ::MessageBoxA(owner, text, caption, type);
}

int InvalidateWholeRect(Window window, int erase) { return ::InvalidateRect(window, nullptr, erase); }
void SetRedraw(Window window, int redraw) { Send(window, WM_SETREDRAW, redraw ? TRUE : FALSE, 0); }

// ---- Buttons ------------------------------------------------------------------

intptr_t ButtonGetCheck(Window button) { return Send(button, BM_GETCHECK, 0, 0); }
void ButtonSetCheck(Window button, unsigned int check) { Send(button, BM_SETCHECK, check, 0); }

// ---- Combo boxes --------------------------------------------------------------

intptr_t ComboResetContent(Window combo) { return Send(combo, CB_RESETCONTENT, 0, 0); }
intptr_t ComboAddString(Window combo, const char* text)
{
    return Send(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}
intptr_t ComboSetItemData(Window combo, intptr_t index, intptr_t data)
{
    return Send(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
}
intptr_t ComboGetItemData(Window combo, intptr_t index) { return Send(combo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0); }
intptr_t ComboGetCount(Window combo) { return Send(combo, CB_GETCOUNT, 0, 0); }
intptr_t ComboGetCurSel(Window combo) { return Send(combo, CB_GETCURSEL, 0, 0); }
intptr_t ComboSetCurSel(Window combo, intptr_t index) { return Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
intptr_t ComboGetLBTextLen(Window combo, intptr_t index) { return Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0); }
intptr_t ComboGetLBText(Window combo, intptr_t index, char* buffer)
{
    return Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
}
intptr_t ComboFindString(Window combo, intptr_t startAfter, const char* text)
{
    return Send(combo, CB_FINDSTRING, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(text));
}

// ---- List view ------------------------------------------------------------------

intptr_t ListViewInsertColumn(Window list, int index, int width, const char* text)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = width;
    column.pszText = const_cast<char*>(text);
    return Send(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

intptr_t ListViewInsertItem(Window list, int index, const char* text)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.iSubItem = 0;
    item.pszText = const_cast<char*>(text);
    return Send(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

intptr_t ListViewSetItemText(Window list, int index, int subItem, const char* text)
{
    LVITEMA item = {};
    item.iSubItem = subItem;
    item.pszText = const_cast<char*>(text);
    return Send(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

intptr_t ListViewGetItemCount(Window list) { return Send(list, LVM_GETITEMCOUNT, 0, 0); }

intptr_t ListViewGetItemText(Window list, int index, int subItem, char* buffer, int bufferSize)
{
    LVITEMA item = {};
    item.iSubItem = subItem;
    item.pszText = buffer;
    item.cchTextMax = bufferSize;
    return Send(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

// ---- The module's own file, files and the shell ----------------------------------

Dword GetModuleFileNameA(Module module, char* buffer, Dword size) { return ::GetModuleFileNameA(module, buffer, size); }
Dword GetFileAttributesA(const char* path) { return ::GetFileAttributesA(path); }
void Sleep(Dword milliseconds) { ::Sleep(milliseconds); }

int SHFileOperationA(FileOperation* operation)
{
    SHFILEOPSTRUCTA record = {};
    record.hwnd = operation->hwnd;
    record.wFunc = operation->wFunc;
    record.pFrom = operation->pFrom;
    record.pTo = operation->pTo;
    record.fFlags = operation->fFlags;
    record.fAnyOperationsAborted = operation->fAnyOperationsAborted;
    record.hNameMappings = operation->hNameMappings;
    record.lpszProgressTitle = operation->lpszProgressTitle;
    const int result = ::SHFileOperationA(&record);
    operation->fAnyOperationsAborted = record.fAnyOperationsAborted;
    operation->hNameMappings = record.hNameMappings;
    return result;
}

namespace {

void CopyFindData(const WIN32_FIND_DATAA& found, FindData* data)
{
    data->attributes = found.dwFileAttributes;
    std::memcpy(data->name, found.cFileName, sizeof data->name);
    data->name[sizeof data->name - 1] = '\0';
}

}  // namespace

FindHandle FindFirstFileA(const char* pattern, FindData* data)
{
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE)
        return nullptr;
    CopyFindData(found, data);
    return find;
}

int FindNextFileA(FindHandle find, FindData* data)
{
    WIN32_FIND_DATAA found;
    if (!::FindNextFileA(find, &found))
        return 0;
    CopyFindData(found, data);
    return 1;
}

int FindClose(FindHandle find) { return ::FindClose(find); }

FileStream OpenFileStream(const char* path, const char* mode) { return std::fopen(path, mode); }
int PutText(FileStream stream, const char* text) { return std::fputs(text, static_cast<std::FILE*>(stream)); }
int CloseFileStream(FileStream stream) { return std::fclose(static_cast<std::FILE*>(stream)); }

// ---- Version information and movable memory -------------------------------------

Dword GetFileVersionInfoSizeA(const char* path, Dword* handle) { return ::GetFileVersionInfoSizeA(path, handle); }
int GetFileVersionInfoA(const char* path, Dword handle, Dword size, void* block)
{
    return ::GetFileVersionInfoA(path, handle, size, block);
}
int VerQueryValueA(const void* block, const char* subBlock, void** buffer, unsigned int* length)
{
    return ::VerQueryValueA(block, subBlock, buffer, length);
}

GlobalHandle GlobalAlloc(unsigned int flags, std::size_t bytes) { return ::GlobalAlloc(flags, bytes); }
void* GlobalLock(GlobalHandle memory) { return ::GlobalLock(memory); }
int GlobalUnlock(GlobalHandle memory) { return ::GlobalUnlock(memory); }
GlobalHandle GlobalFree(GlobalHandle memory) { return ::GlobalFree(memory); }

}  // namespace plat
