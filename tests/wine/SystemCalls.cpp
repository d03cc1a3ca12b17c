// SystemCalls.cpp - see SystemCalls.h.
#include "SystemCalls.h"

#include "RegistryText.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <algorithm>
#include <map>
#include <mutex>
#include <regex>
#include <stdexcept>
#include <type_traits>

namespace e2e {
namespace {

// '*' stands for any text, including none; everything else for itself.
std::regex Glob(const char* pattern)
{
    std::string expression;
    for (; *pattern != '\0'; ++pattern)
        expression += *pattern == '*' ? ".*" : (std::strchr("^$\\.+?()[]{}|", *pattern) ? "\\" : "") + std::string(1, *pattern);
    return std::regex(expression);
}

struct Fault {
    std::regex pattern;
    long long result;
    bool raise;
};

struct State {
    std::mutex mutex;
    HMODULE config = nullptr;
    std::vector<std::pair<void**, void*>> patched;  // import table entries and what they held
    std::vector<std::string> journal;
    std::vector<Fault> faults;
    std::string modulePath;             // empty: the real one
    std::map<HKEY, std::string> keys;   // open keys and their paths
    std::map<std::string, int> held;    // "memory block", "stream": how many
};
State* state = nullptr;

// Journals the call, then either lets a matching fault stand in for it or
// makes it.
template <typename R, typename Call>
R Through(const std::string& line, Call call)
{
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->journal.push_back(line);
        for (const Fault& fault : state->faults) {
            if (!std::regex_match(line, fault.pattern))
                continue;
            if (fault.raise)
                throw std::runtime_error(line);
            if constexpr (std::is_pointer<R>::value)
                return reinterpret_cast<R>(static_cast<intptr_t>(fault.result));
            else
                return static_cast<R>(fault.result);
        }
    }
    return call();
}

// Counts what the module took (change 1) or gave back (-1); returns result.
template <typename R>
R Held(const char* what, bool taken, int change, R result)
{
    std::lock_guard<std::mutex> lock(state->mutex);
    if (taken && (state->held[what] += change) == 0)
        state->held.erase(what);
    return result;
}

std::string KeyPath(HKEY key)
{
    if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER || key == HKEY_CLASSES_ROOT)
        return key == HKEY_LOCAL_MACHINE ? "HKLM" : key == HKEY_CURRENT_USER ? "HKCU" : "HKCR";
    std::lock_guard<std::mutex> lock(state->mutex);
    const auto found = state->keys.find(key);
    return found != state->keys.end() ? found->second : "(a key that is not open)";
}

LONG Opened(LONG status, HKEY root, const char* subKey, HKEY* key)
{
    const std::string path = KeyPath(root) + "\\" + subKey;
    std::lock_guard<std::mutex> lock(state->mutex);
    if (status == ERROR_SUCCESS)
        state->keys[*key] = path;
    return status;
}

std::string Hex(unsigned long long value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", value);
    return text;
}

std::string Caption(HWND window)
{
    char caption[128] = "";
    GetWindowTextA(window, caption, sizeof caption);
    return caption;
}

// ---- The spies: one journal line each, e.g. "RegCloseKey HKLM\Software\Kestrova"

LONG WINAPI SpyRegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY key)
{
    return Through<LONG>("RegOpenKeyExA " + KeyPath(root) + "\\" + subKey + " " + Hex(access), [&] {
        return Opened(RegOpenKeyExA(root, subKey, options, access, key), root, subKey, key);
    });
}

LONG WINAPI SpyRegCreateKeyA(HKEY root, LPCSTR subKey, PHKEY key)
{
    return Through<LONG>("RegCreateKeyA " + KeyPath(root) + "\\" + subKey,
                         [&] { return Opened(RegCreateKeyA(root, subKey, key), root, subKey, key); });
}

LONG WINAPI SpyRegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                               LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition)
{
    const bool plain = reserved == 0 && !keyClass && options == 0 && !security && !disposition;
    return Through<LONG>("RegCreateKeyExA " + KeyPath(root) + "\\" + subKey + " " + Hex(access) +
                             (plain ? "" : " with class, options, security or disposition"),
                         [&] {
                             return Opened(RegCreateKeyExA(root, subKey, reserved, keyClass, options, access, security,
                                                           key, disposition),
                                           root, subKey, key);
                         });
}

LONG WINAPI SpyRegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    return Through<LONG>("RegQueryValueExA " + KeyPath(key) + " " + (name ? name : "(default)"),
                         [&] { return RegQueryValueExA(key, name, reserved, type, data, size); });
}

LONG WINAPI SpyRegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    return Through<LONG>("RegSetValueExA " + KeyPath(key) + " " + name + " " + sim::ValueText(type, data, size),
                         [&] { return RegSetValueExA(key, name, reserved, type, data, size); });
}

LONG WINAPI SpyRegCloseKey(HKEY key)
{
    return Through<LONG>("RegCloseKey " + KeyPath(key), [&] {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->keys.erase(key);
        return RegCloseKey(key);
    });
}

DWORD WINAPI SpyGetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size)
{
    return Through<DWORD>("GetModuleFileNameA " + std::to_string(size), [&] {
        const std::string& path = state->modulePath;
        if (path.empty())
            return GetModuleFileNameA(module, buffer, size);
        // Windows XP and Wine: a path that does not fit fills the buffer
        // without a NUL, and the result is the buffer's size.
        const DWORD length = static_cast<DWORD>(path.size());
        std::memcpy(buffer, path.c_str(), length < size ? length + 1 : size);
        return length < size ? length : size;
    });
}

void WINAPI SpySleep(DWORD milliseconds)
{
    Through<int>("Sleep " + std::to_string(milliseconds), [&] { return Sleep(milliseconds), 0; });
}

INT_PTR WINAPI SpyDialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    return Through<INT_PTR>("DialogBoxParamA " + std::to_string(reinterpret_cast<std::uintptr_t>(name)) + " owner " +
                                Caption(owner) + (instance == state->config ? "" : " from another module") +
                                " param " + std::to_string(param),
                            [&] { return DialogBoxParamA(instance, name, owner, proc, param); });
}

// Only the list's redrawing is journalled: the module sends many messages.
LRESULT WINAPI SpySendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_SETREDRAW)
        return SendMessageA(window, message, wParam, lParam);
    return Through<LRESULT>("SendMessageA " + std::to_string(GetDlgCtrlID(window)) + " WM_SETREDRAW " +
                                std::to_string(wParam),
                            [&] { return SendMessageA(window, message, wParam, lParam); });
}

BOOL WINAPI SpyInvalidateRect(HWND window, const RECT* rect, BOOL erase)
{
    return Through<BOOL>("InvalidateRect " + std::to_string(GetDlgCtrlID(window)) + (rect ? " part" : " whole") +
                             " erase " + std::to_string(erase),
                         [&] { return InvalidateRect(window, rect, erase); });
}

int WINAPI SpySHFileOperationA(LPSHFILEOPSTRUCTA operation)
{
    std::string names;
    for (const char* name = operation->pFrom; *name != '\0'; name += std::strlen(name) + 1)
        names += std::string(name) + "\\0";
    return Through<int>(
        "SHFileOperationA " + std::to_string(operation->wFunc) + " " + names + "\\0 to " +
            (operation->pTo ? operation->pTo : "null") + " flags " + Hex(operation->fFlags) + " aborted " +
            std::to_string(operation->fAnyOperationsAborted) + " mappings " +
            (operation->hNameMappings ? "set" : "null") + " title " + operation->lpszProgressTitle + " owner " +
            Caption(operation->hwnd) +
            (IsWindowEnabled(GetDlgItem(operation->hwnd, 1002)) ? " with 1002 enabled" : " with 1002 disabled"),
        [&] { return SHFileOperationA(operation); });
}

FILE* __cdecl SpyFopen(const char* path, const char* mode)
{
    return Through<FILE*>("fopen " + std::string(path) + " " + mode, [&] {
        FILE* stream = std::fopen(path, mode);
        return Held("stream", stream != nullptr, 1, stream);
    });
}

int __cdecl SpyFclose(FILE* stream)
{
    return Through<int>("fclose", [&] { return Held("stream", true, -1, std::fclose(stream)); });
}

DWORD WINAPI SpyGetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle)
{
    return Through<DWORD>("GetFileVersionInfoSizeA " + std::string(path),
                          [&] { return GetFileVersionInfoSizeA(path, handle); });
}

BOOL WINAPI SpyGetFileVersionInfoA(LPCSTR path, DWORD handle, DWORD size, LPVOID block)
{
    return Through<BOOL>("GetFileVersionInfoA " + std::string(path),
                         [&] { return GetFileVersionInfoA(path, handle, size, block); });
}

BOOL WINAPI SpyVerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length)
{
    return Through<BOOL>("VerQueryValueA " + std::string(subBlock),
                         [&] { return VerQueryValueA(block, subBlock, buffer, length); });
}

HGLOBAL WINAPI SpyGlobalAlloc(UINT flags, SIZE_T bytes)
{
    return Through<HGLOBAL>("GlobalAlloc " + Hex(flags), [&] {
        HGLOBAL memory = GlobalAlloc(flags, bytes);
        return Held("memory block", memory != nullptr, 1, memory);
    });
}

HGLOBAL WINAPI SpyGlobalFree(HGLOBAL memory)
{
    return Through<HGLOBAL>("GlobalFree", [&] { return Held("memory block", true, -1, GlobalFree(memory)); });
}

HANDLE WINAPI SpyFindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data)
{
    return Through<HANDLE>("FindFirstFileA " + std::string(pattern), [&] {
        HANDLE search = FindFirstFileA(pattern, data);
        return Held("directory search", search != INVALID_HANDLE_VALUE, 1, search);
    });
}

BOOL WINAPI SpyFindClose(HANDLE search)
{
    return Through<BOOL>("FindClose", [&] { return Held("directory search", true, -1, FindClose(search)); });
}

#define SPY(dll, function) {dll, #function, reinterpret_cast<void*>(Spy##function)}
const struct {
    const char* dll;
    const char* function;
    void* spy;
} kSpies[] = {
    SPY("advapi32.dll", RegOpenKeyExA), SPY("advapi32.dll", RegCreateKeyA), SPY("advapi32.dll", RegCreateKeyExA),
    SPY("advapi32.dll", RegQueryValueExA), SPY("advapi32.dll", RegSetValueExA), SPY("advapi32.dll", RegCloseKey),
    SPY("kernel32.dll", GetModuleFileNameA), SPY("kernel32.dll", Sleep), SPY("kernel32.dll", GlobalAlloc),
    SPY("kernel32.dll", GlobalFree), SPY("kernel32.dll", FindFirstFileA), SPY("kernel32.dll", FindClose),
    SPY("user32.dll", DialogBoxParamA), SPY("user32.dll", SendMessageA), SPY("user32.dll", InvalidateRect),
    SPY("shell32.dll", SHFileOperationA), SPY("version.dll", GetFileVersionInfoSizeA),
    SPY("version.dll", GetFileVersionInfoA), SPY("version.dll", VerQueryValueA),
    {"msvcrt.dll", "fopen", reinterpret_cast<void*>(SpyFopen)},
    {"msvcrt.dll", "fclose", reinterpret_cast<void*>(SpyFclose)},
};

// The import address table entry through which module calls function of
// dll (named without regard to case); null when it does not import it.
void** ImportSlot(HMODULE module, const char* dll, const char* function)
{
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         directory.VirtualAddress != 0 && import->Name != 0; ++import) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + import->Name), dll) != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) && lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&addresses->u1.Function);
        }
    }
    return nullptr;
}

void WriteSlot(void** slot, void* value)
{
    // The table lies in a read-only section once the loader has bound it.
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

}  // namespace

SystemCalls::SystemCalls(HMODULE config)
{
    if (state != nullptr)
        throw std::logic_error("the module's calls are already watched");
    state = new State;
    state->config = config;
    for (const auto& spy : kSpies) {
        void** slot = ImportSlot(config, spy.dll, spy.function);
        if (slot == nullptr)
            throw std::runtime_error(std::string("Config.dll does not import ") + spy.function);
        state->patched.emplace_back(slot, *slot);
        WriteSlot(slot, spy.spy);
    }
}

SystemCalls::~SystemCalls()
{
    for (const auto& entry : state->patched)
        WriteSlot(entry.first, entry.second);
    delete state;
    state = nullptr;
}

void SystemCalls::Fail(const std::string& pattern, long long result, bool raise)
{
    std::lock_guard<std::mutex> lock(state->mutex);
    state->faults.push_back(Fault{Glob(pattern.c_str()), result, raise});
}

void SystemCalls::PretendModulePath(const std::string& path) { state->modulePath = path; }

void SystemCalls::Forget()
{
    std::lock_guard<std::mutex> lock(state->mutex);
    state->journal.clear();
}

void SystemCalls::Reset()
{
    Forget();
    std::lock_guard<std::mutex> lock(state->mutex);
    state->faults.clear();
    state->modulePath.clear();
}

std::vector<std::string> SystemCalls::Calls(std::initializer_list<const char*> patterns) const
{
    std::vector<std::regex> globs;
    for (const char* pattern : patterns)
        globs.push_back(Glob(pattern));
    std::lock_guard<std::mutex> lock(state->mutex);
    std::vector<std::string> lines;
    for (const std::string& line : state->journal)
        if (std::any_of(globs.begin(), globs.end(), [&](const std::regex& glob) { return std::regex_match(line, glob); }))
            lines.push_back(line);
    return lines;
}

std::vector<std::string> SystemCalls::Held() const
{
    std::lock_guard<std::mutex> lock(state->mutex);
    std::vector<std::string> held;
    for (const auto& key : state->keys)
        held.push_back("key " + key.second);
    for (const auto& item : state->held)
        held.push_back(item.first + " x" + std::to_string(item.second));
    return held;
}

}  // namespace e2e
