// SystemCalls.cpp - see SystemCalls.h.
#include "SystemCalls.h"

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

HMODULE configModule = nullptr;

struct State {
    mutable std::mutex mutex;
    std::vector<std::string> journal;
    std::vector<Fault> faults;
    std::string modulePath;                      // empty: the real one
    std::map<HKEY, std::string> keys;            // open keys and their paths
    std::map<std::string, int> held;             // "memory", "stream ...": count
};
State* state = nullptr;

// Records the call; true (with result set) when a fault stands in for it.
template <typename T>
bool Faulted(const std::string& line, T& result)
{
    std::lock_guard<std::mutex> lock(state->mutex);
    state->journal.push_back(line);
    for (const Fault& fault : state->faults) {
        if (!MatchesPattern(line, fault.pattern))
            continue;
        if (fault.raise)
            throw std::runtime_error(line);
        if constexpr (std::is_pointer<T>::value)
            result = reinterpret_cast<T>(static_cast<intptr_t>(fault.result));
        else
            result = static_cast<T>(fault.result);
        return true;
    }
    return false;
}

void Hold(const std::string& what, int change)
{
    std::lock_guard<std::mutex> lock(state->mutex);
    if ((state->held[what] += change) == 0)
        state->held.erase(what);
}

std::string KeyPath(HKEY key)
{
    if (key == HKEY_LOCAL_MACHINE)
        return "HKLM";
    if (key == HKEY_CURRENT_USER)
        return "HKCU";
    if (key == HKEY_CLASSES_ROOT)
        return "HKCR";
    std::lock_guard<std::mutex> lock(state->mutex);
    const auto found = state->keys.find(key);
    return found != state->keys.end() ? found->second : "(unknown key)";
}

void Opened(LONG status, HKEY root, const char* subKey, HKEY key)
{
    if (status != ERROR_SUCCESS)
        return;
    const std::string path = KeyPath(root) + "\\" + subKey;
    std::lock_guard<std::mutex> lock(state->mutex);
    state->keys[key] = path;
}

std::string Hex(unsigned long long value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", value);
    return text;
}

}  // namespace

std::string ValueText(DWORD type, const BYTE* data, DWORD size)
{
    static const char* const kTypes[] = {"REG_NONE", "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY", "REG_DWORD"};
    std::string text = type < 5 ? kTypes[type] : "type " + std::to_string(type);
    if (type == REG_DWORD && size == 4)
        return text + " " + std::to_string(*reinterpret_cast<const DWORD*>(data));
    text += " \"";
    for (DWORD i = 0; i < size; ++i)
        text += data[i] == 0 ? std::string("\\0") : std::string(1, static_cast<char>(data[i]));
    return text + "\"";
}

namespace {

std::string Names(const char* list)
{
    std::string text;
    for (; list != nullptr && *list != '\0'; list += std::strlen(list) + 1)
        text += std::string(list) + "\\0";
    return text + "\\0";
}

// ---- The spies ----------------------------------------------------------------

LONG WINAPI SpyRegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY key)
{
    LONG status;
    if (!Faulted("RegOpenKeyExA " + KeyPath(root) + "\\" + subKey + " " + Hex(access), status)) {
        status = RegOpenKeyExA(root, subKey, options, access, key);
        Opened(status, root, subKey, *key);
    }
    return status;
}

LONG WINAPI SpyRegCreateKeyA(HKEY root, LPCSTR subKey, PHKEY key)
{
    LONG status;
    if (!Faulted("RegCreateKeyA " + KeyPath(root) + "\\" + subKey, status)) {
        status = RegCreateKeyA(root, subKey, key);
        Opened(status, root, subKey, *key);
    }
    return status;
}

LONG WINAPI SpyRegCreateKeyExA(HKEY root, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                               REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition)
{
    const bool plain = reserved == 0 && keyClass == nullptr && options == 0 && security == nullptr &&
                       disposition == nullptr;
    LONG status;
    if (!Faulted("RegCreateKeyExA " + KeyPath(root) + "\\" + subKey + " " + Hex(access) +
                     (plain ? "" : " with class, options, security or disposition"),
                 status)) {
        status = RegCreateKeyExA(root, subKey, reserved, keyClass, options, access, security, key, disposition);
        Opened(status, root, subKey, *key);
    }
    return status;
}

LONG WINAPI SpyRegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    LONG status;
    if (!Faulted("RegQueryValueExA " + KeyPath(key) + " " + (name != nullptr ? name : "(default)"), status))
        status = RegQueryValueExA(key, name, reserved, type, data, size);
    return status;
}

LONG WINAPI SpyRegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    LONG status;
    if (!Faulted("RegSetValueExA " + KeyPath(key) + " " + name + " " + ValueText(type, data, size), status))
        status = RegSetValueExA(key, name, reserved, type, data, size);
    return status;
}

LONG WINAPI SpyRegCloseKey(HKEY key)
{
    LONG status;
    const std::string path = KeyPath(key);
    if (!Faulted("RegCloseKey " + path, status)) {
        status = RegCloseKey(key);
        std::lock_guard<std::mutex> lock(state->mutex);
        if (state->keys.erase(key) == 0)
            state->journal.push_back("closing a key that is not open");
    }
    return status;
}

DWORD WINAPI SpyGetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size)
{
    DWORD length;
    if (Faulted("GetModuleFileNameA " + std::to_string(size), length))
        return length;
    if (state->modulePath.empty())
        return GetModuleFileNameA(module, buffer, size);
    // Windows XP and Wine: a path that does not fit fills the buffer without
    // a NUL and the result is the buffer's size.
    length = static_cast<DWORD>(state->modulePath.size());
    std::memcpy(buffer, state->modulePath.c_str(), length < size ? length + 1 : size);
    return length < size ? length : size;
}

DWORD WINAPI SpyGetFileAttributesA(LPCSTR path)
{
    DWORD attributes;
    if (!Faulted("GetFileAttributesA " + std::string(path), attributes))
        attributes = GetFileAttributesA(path);
    return attributes;
}

void WINAPI SpySleep(DWORD milliseconds)
{
    int ignored;
    if (!Faulted("Sleep " + std::to_string(milliseconds), ignored))
        Sleep(milliseconds);
}

BOOL WINAPI SpyEnableWindow(HWND window, BOOL enable)
{
    BOOL result;
    if (!Faulted("EnableWindow " + std::to_string(GetDlgCtrlID(window)) + " " + std::to_string(enable), result))
        result = EnableWindow(window, enable);
    return result;
}

int WINAPI SpySHFileOperationA(LPSHFILEOPSTRUCTA operation)
{
    char owner[128] = "";
    GetWindowTextA(operation->hwnd, owner, sizeof owner);
    const HWND button = GetDlgItem(operation->hwnd, 1002);
    const std::string line = "SHFileOperationA " + std::to_string(operation->wFunc) + " " + Names(operation->pFrom) +
                             " to " + (operation->pTo == nullptr ? "null" : operation->pTo) + " flags " +
                             Hex(operation->fFlags) + " aborted " + std::to_string(operation->fAnyOperationsAborted) +
                             " mappings " + (operation->hNameMappings == nullptr ? "null" : "set") + " title " +
                             (operation->lpszProgressTitle ? operation->lpszProgressTitle : "null") + " owner " +
                             owner + (IsWindowEnabled(button) ? " with 1002 enabled" : " with 1002 disabled");
    int result;
    if (!Faulted(line, result))
        result = SHFileOperationA(operation);
    return result;
}

INT_PTR WINAPI SpyDialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    char caption[128] = "";
    GetWindowTextA(owner, caption, sizeof caption);
    INT_PTR result;
    if (!Faulted("DialogBoxParamA " + std::to_string(reinterpret_cast<std::uintptr_t>(name)) + " owner " + caption +
                     (instance == configModule ? "" : " from another module") + " param " + std::to_string(param),
                 result))
        result = DialogBoxParamA(instance, name, owner, proc, param);
    return result;
}

FILE* __cdecl SpyFopen(const char* path, const char* mode)
{
    FILE* stream;
    if (!Faulted("fopen " + std::string(path) + " " + mode, stream)) {
        stream = std::fopen(path, mode);
        if (stream != nullptr)
            Hold("stream", 1);
    }
    return stream;
}

int __cdecl SpyFclose(FILE* stream)
{
    int result;
    if (!Faulted("fclose", result)) {
        result = std::fclose(stream);
        Hold("stream", -1);
    }
    return result;
}

DWORD WINAPI SpyGetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle)
{
    DWORD size;
    if (!Faulted("GetFileVersionInfoSizeA " + std::string(path), size))
        size = GetFileVersionInfoSizeA(path, handle);
    return size;
}

BOOL WINAPI SpyGetFileVersionInfoA(LPCSTR path, DWORD handle, DWORD size, LPVOID block)
{
    BOOL result;
    if (!Faulted("GetFileVersionInfoA " + std::string(path), result))
        result = GetFileVersionInfoA(path, handle, size, block);
    return result;
}

BOOL WINAPI SpyVerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length)
{
    BOOL result;
    if (!Faulted("VerQueryValueA " + std::string(subBlock), result))
        result = VerQueryValueA(block, subBlock, buffer, length);
    return result;
}

HGLOBAL WINAPI SpyGlobalAlloc(UINT flags, SIZE_T bytes)
{
    HGLOBAL memory;
    if (!Faulted("GlobalAlloc " + Hex(flags), memory)) {
        memory = GlobalAlloc(flags, bytes);
        if (memory != nullptr)
            Hold("memory block", 1);
    }
    return memory;
}

LPVOID WINAPI SpyGlobalLock(HGLOBAL memory)
{
    LPVOID pointer;
    if (!Faulted("GlobalLock", pointer)) {
        pointer = GlobalLock(memory);
        if (pointer != nullptr)
            Hold("memory lock", 1);
    }
    return pointer;
}

BOOL WINAPI SpyGlobalUnlock(HGLOBAL memory)
{
    BOOL result;
    if (!Faulted("GlobalUnlock", result)) {
        result = GlobalUnlock(memory);
        Hold("memory lock", -1);
    }
    return result;
}

HGLOBAL WINAPI SpyGlobalFree(HGLOBAL memory)
{
    HGLOBAL result;
    if (!Faulted("GlobalFree", result)) {
        result = GlobalFree(memory);
        Hold("memory block", -1);
    }
    return result;
}

HANDLE WINAPI SpyFindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data)
{
    HANDLE find;
    if (!Faulted("FindFirstFileA " + std::string(pattern), find)) {
        find = FindFirstFileA(pattern, data);
        if (find != INVALID_HANDLE_VALUE)
            Hold("directory search", 1);
    }
    return find;
}

BOOL WINAPI SpyFindClose(HANDLE find)
{
    BOOL result;
    if (!Faulted("FindClose", result)) {
        result = FindClose(find);
        Hold("directory search", -1);
    }
    return result;
}

struct Spy {
    const char* dll;
    const char* function;
    void* replacement;
};

const Spy kSpies[] = {
    {"advapi32.dll", "RegOpenKeyExA", reinterpret_cast<void*>(SpyRegOpenKeyExA)},
    {"advapi32.dll", "RegCreateKeyA", reinterpret_cast<void*>(SpyRegCreateKeyA)},
    {"advapi32.dll", "RegCreateKeyExA", reinterpret_cast<void*>(SpyRegCreateKeyExA)},
    {"advapi32.dll", "RegQueryValueExA", reinterpret_cast<void*>(SpyRegQueryValueExA)},
    {"advapi32.dll", "RegSetValueExA", reinterpret_cast<void*>(SpyRegSetValueExA)},
    {"advapi32.dll", "RegCloseKey", reinterpret_cast<void*>(SpyRegCloseKey)},
    {"kernel32.dll", "GetModuleFileNameA", reinterpret_cast<void*>(SpyGetModuleFileNameA)},
    {"kernel32.dll", "GetFileAttributesA", reinterpret_cast<void*>(SpyGetFileAttributesA)},
    {"kernel32.dll", "Sleep", reinterpret_cast<void*>(SpySleep)},
    {"kernel32.dll", "GlobalAlloc", reinterpret_cast<void*>(SpyGlobalAlloc)},
    {"kernel32.dll", "GlobalLock", reinterpret_cast<void*>(SpyGlobalLock)},
    {"kernel32.dll", "GlobalUnlock", reinterpret_cast<void*>(SpyGlobalUnlock)},
    {"kernel32.dll", "GlobalFree", reinterpret_cast<void*>(SpyGlobalFree)},
    {"kernel32.dll", "FindFirstFileA", reinterpret_cast<void*>(SpyFindFirstFileA)},
    {"kernel32.dll", "FindClose", reinterpret_cast<void*>(SpyFindClose)},
    {"user32.dll", "EnableWindow", reinterpret_cast<void*>(SpyEnableWindow)},
    {"user32.dll", "DialogBoxParamA", reinterpret_cast<void*>(SpyDialogBoxParamA)},
    {"shell32.dll", "SHFileOperationA", reinterpret_cast<void*>(SpySHFileOperationA)},
    {"version.dll", "GetFileVersionInfoSizeA", reinterpret_cast<void*>(SpyGetFileVersionInfoSizeA)},
    {"version.dll", "GetFileVersionInfoA", reinterpret_cast<void*>(SpyGetFileVersionInfoA)},
    {"version.dll", "VerQueryValueA", reinterpret_cast<void*>(SpyVerQueryValueA)},
    {"msvcrt.dll", "fopen", reinterpret_cast<void*>(SpyFopen)},
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
    configModule = config;
    for (const Spy& spy : kSpies) {
        patches_.push_back(std::make_unique<ImportPatch>(config, spy.dll, spy.function, spy.replacement));
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

void SystemCalls::PretendModulePath(const std::string& path) { state->modulePath = path; }

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
