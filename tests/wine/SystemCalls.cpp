// SystemCalls.cpp - see SystemCalls.h.
#include "SystemCalls.h"

#include "RegistryText.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <stdexcept>
#include <type_traits>

namespace e2e {

namespace {

struct Fault {
    std::string pattern;
    long long result;
    bool raise;
};

struct State {
    std::mutex mutex;
    HMODULE config = nullptr;
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
            if (!MatchesPattern(line, fault.pattern))
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

void Hold(const std::string& what, bool taken, int change)
{
    std::lock_guard<std::mutex> lock(state->mutex);
    if (taken && (state->held[what] += change) == 0)
        state->held.erase(what);
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
    char caption[128] = "";
    GetWindowTextA(owner, caption, sizeof caption);
    return Through<INT_PTR>("DialogBoxParamA " + std::to_string(reinterpret_cast<std::uintptr_t>(name)) + " owner " +
                                caption + (instance == state->config ? "" : " from another module") + " param " +
                                std::to_string(param),
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
    char owner[128] = "";
    GetWindowTextA(operation->hwnd, owner, sizeof owner);
    return Through<int>(
        "SHFileOperationA " + std::to_string(operation->wFunc) + " " + names + "\\0 to " +
            (operation->pTo ? operation->pTo : "null") + " flags " + Hex(operation->fFlags) + " aborted " +
            std::to_string(operation->fAnyOperationsAborted) + " mappings " +
            (operation->hNameMappings ? "set" : "null") + " title " + operation->lpszProgressTitle + " owner " + owner +
            (IsWindowEnabled(GetDlgItem(operation->hwnd, 1002)) ? " with 1002 enabled" : " with 1002 disabled"),
        [&] { return SHFileOperationA(operation); });
}

FILE* __cdecl SpyFopen(const char* path, const char* mode)
{
    return Through<FILE*>("fopen " + std::string(path) + " " + mode, [&] {
        FILE* stream = std::fopen(path, mode);
        Hold("stream", stream != nullptr, 1);
        return stream;
    });
}

int __cdecl SpyFclose(FILE* stream)
{
    Hold("stream", true, -1);
    return Through<int>("fclose", [&] { return std::fclose(stream); });
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
        Hold("memory block", memory != nullptr, 1);
        return memory;
    });
}

HANDLE WINAPI SpyFindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data)
{
    return Through<HANDLE>("FindFirstFileA " + std::string(pattern), [&] {
        HANDLE search = FindFirstFileA(pattern, data);
        Hold("directory search", search != INVALID_HANDLE_VALUE, 1);
        return search;
    });
}

BOOL WINAPI SpyFindClose(HANDLE search)
{
    Hold("directory search", true, -1);
    return Through<BOOL>("FindClose", [&] { return FindClose(search); });
}

HGLOBAL WINAPI SpyGlobalFree(HGLOBAL memory)
{
    Hold("memory block", true, -1);
    return Through<HGLOBAL>("GlobalFree", [&] { return GlobalFree(memory); });
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
    SPY("user32.dll", DialogBoxParamA),
    SPY("user32.dll", SendMessageA), SPY("user32.dll", InvalidateRect), SPY("shell32.dll", SHFileOperationA),
    SPY("version.dll", GetFileVersionInfoSizeA), SPY("version.dll", GetFileVersionInfoA),
    SPY("version.dll", VerQueryValueA), {"msvcrt.dll", "fopen", reinterpret_cast<void*>(SpyFopen)},
    {"msvcrt.dll", "fclose", reinterpret_cast<void*>(SpyFclose)},
};

}  // namespace

bool MatchesPattern(const std::string& text, const std::string& pattern)
{
    const char* t = text.c_str();
    const char* p = pattern.c_str();
    const char* star = nullptr;
    const char* retry = nullptr;
    while (*t != '\0') {
        if (*p == '*') {
            star = ++p;
            retry = t;
        } else if (*p == *t) {
            ++p;
            ++t;
        } else if (star != nullptr) {
            p = star;
            t = ++retry;
        } else {
            return false;
        }
    }
    while (*p == '*')
        ++p;
    return *p == '\0';
}

SystemCalls::SystemCalls(HMODULE config)
{
    if (state != nullptr)
        throw std::logic_error("the module's calls are already watched");
    state = new State;
    state->config = config;
    for (const auto& spy : kSpies) {
        patches_.push_back(std::make_unique<ImportPatch>(config, spy.dll, spy.function, spy.spy));
        if (!patches_.back()->Applied())
            throw std::runtime_error(std::string("Config.dll does not import ") + spy.function);
    }
}

SystemCalls::~SystemCalls()
{
    patches_.clear();
    delete state;
    state = nullptr;
}

void SystemCalls::Fail(const std::string& pattern, long long result, bool raise)
{
    std::lock_guard<std::mutex> lock(state->mutex);
    state->faults.push_back(Fault{pattern, result, raise});
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
    std::lock_guard<std::mutex> lock(state->mutex);
    std::vector<std::string> lines;
    for (const std::string& line : state->journal)
        for (const char* pattern : patterns)
            if (MatchesPattern(line, pattern)) {
                lines.push_back(line);
                break;
            }
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
