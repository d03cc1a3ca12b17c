// SystemCalls.cpp - see SystemCalls.h.
#include "SystemCalls.h"

#include "DialogView.h"
#include "RegistryText.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <utility>

namespace e2e {
namespace {

using sim::WindowText;

// Does line match pattern ('*': any text, also none)? Without recursion: a line may be long.
bool Matches(const char* line, const char* pattern)
{
    const char *star = nullptr, *resume = line;  // the last '*', and where it began to match
    while (*line != '\0') {
        if (*pattern == '*')
            star = pattern++, resume = line;
        else if (*pattern == *line)
            ++pattern, ++line;
        else if (star != nullptr)
            pattern = star + 1, line = ++resume;
        else
            return false;
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

// A fault stands in for the calls its patterns match (every one, the nth, or onward from the nth) with that
// pattern's result, and counts those it failed; a starving one fails the module's next allocation (onward: all).
using Patterns = std::vector<std::pair<std::string, long long>>;
struct Fault { Patterns patterns; bool starve; int nth; bool onward; int seen; int fired; };

// What the module holds: "key HKLM\...", "stream", "directory search", "file handle", and its blocks with their
// sizes and guard bytes after their end ("heap block" from the runtime's heap, which anyone may free, "movable block").
struct Object { std::string what; std::size_t size; bool block; };
const std::size_t kGuardSize = 16;
const unsigned char kGuardByte = 0xA5;

struct State {
    std::mutex mutex;
    HMODULE config = nullptr;
    std::vector<std::pair<void**, void*>> patched;  // import table entries and what they held
    std::vector<std::string> journal;
    std::vector<Fault> faults;
    int starving = -1;              // the fault whose allocation fails before the next call
    std::string modulePath;         // empty: the real one
    int modulePathUsed = 0;
    bool hideLinks = false;         // listings show links as plain folders
    std::map<const void*, Object> held;
    std::vector<std::string> overruns;
};
State* state = nullptr;

void AddFault(const Patterns& patterns, bool starve, int nth, bool onward = false)
{
    std::lock_guard<std::mutex> lock(state->mutex);
    state->faults.push_back(Fault{patterns, starve, nth, onward, 0, 0});
}

// Journals the call, then lets matching faults stand in for it (the first one's result) or makes it.
template <typename R, typename Call>
R Through(const std::string& line, Call call)
{
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->journal.push_back(line);
        // Its allocation came before this call, or none; one starving for good fails every allocation.
        const int starving = std::exchange(state->starving, -1);
        bool fails = starving >= 0 && line.find("alloc ") <= 2;  // "malloc ", "calloc ", "realloc "
        if (starving >= 0 && state->faults[starving].onward)
            state->starving = starving;
        long long result = 0;
        if (fails)
            ++state->faults[starving].fired;
        for (Fault& fault : state->faults) {
            const auto match = std::find_if(fault.patterns.begin(), fault.patterns.end(),
                                            [&](const auto& pattern) { return Matches(line.c_str(), pattern.first.c_str()); });
            if (match == fault.patterns.end() || (fault.starve && fault.seen > 0) ||
                (++fault.seen != fault.nth && fault.nth != 0 && !(fault.onward && fault.seen > fault.nth)))
                continue;
            if (fault.starve) {
                state->starving = static_cast<int>(&fault - state->faults.data());
                continue;
            }
            ++fault.fired;
            result = fails ? result : match->second;
            fails = true;
        }
        if (fails)
            return (R)(intptr_t)result;  // R is a number, a handle or a pointer
    }
    return call();
}

void CheckGuard(const void* object, const Object& block)
{
    const bool movable = block.what == "movable block";
    const void* start = movable ? GlobalLock(const_cast<HGLOBAL>(object)) : object;
    const unsigned char* guard = static_cast<const unsigned char*>(start) + block.size;
    if (std::count(guard, guard + kGuardSize, kGuardByte) != static_cast<long>(kGuardSize))
        state->overruns.push_back(block.what + " of " + std::to_string(block.size) + " bytes written past its end");
    if (movable)
        GlobalUnlock(const_cast<HGLOBAL>(object));
}

// The module took object, unless it is the call's failure value; a block gets its guard bytes.
template <typename R, typename F = R>
R Took(R object, const std::string& what, F failed = F(), std::size_t size = 0)
{
    if (object == failed)
        return object;
    if (what == "heap block" || what == "movable block") {
        void* start = what == "heap block" ? (void*)object : GlobalLock((HGLOBAL)object);
        std::memset(static_cast<char*>(start) + size, kGuardByte, kGuardSize);
        if (what == "movable block")
            GlobalUnlock((HGLOBAL)object);
    }
    std::lock_guard<std::mutex> lock(state->mutex);
    state->held[(const void*)object] = Object{what, size, what == "heap block" || what == "movable block"};
    return object;
}

// The module gives object back (a block's guard bytes checked): its size, none when it was not the module's.
std::optional<std::size_t> Gave(const void* object)
{
    std::lock_guard<std::mutex> lock(state->mutex);
    const auto found = state->held.find(object);
    if (found == state->held.end())
        return std::nullopt;
    const std::size_t size = found->second.size;
    if (found->second.block)
        CheckGuard(object, found->second);
    state->held.erase(found);
    return size;
}

std::string KeyPath(HKEY key)
{
    if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER || key == HKEY_CLASSES_ROOT)
        return key == HKEY_LOCAL_MACHINE ? "HKLM" : key == HKEY_CURRENT_USER ? "HKCU" : "HKCR";
    std::lock_guard<std::mutex> lock(state->mutex);
    const auto found = state->held.find(key);
    return found != state->held.end() ? found->second.what.substr(4) : "(a key that is not open)";
}

LONG Opened(LONG status, HKEY root, const char* subKey, HKEY* key)
{
    if (status == ERROR_SUCCESS)
        Took(*key, "key " + KeyPath(root) + "\\" + subKey);
    return status;
}

// A listing's entry as a share shows it whose server follows its links itself: a plain folder.
template <typename R>
R Listed(R result, LPWIN32_FIND_DATAA data)
{
    if (state->hideLinks)
        data->dwFileAttributes &= ~FILE_ATTRIBUTE_REPARSE_POINT;
    return result;
}

std::string Hex(unsigned long long value)
{
    char text[24];
    return std::string(text, std::snprintf(text, sizeof text, "0x%llx", value));
}

DWORD ModuleFileName(HMODULE module, LPSTR buffer, DWORD size)
{
    const std::string& path = state->modulePath;
    if (path.empty())
        return GetModuleFileNameA(module, buffer, size);
    ++state->modulePathUsed;
    // Windows XP and Wine: a path that does not fit fills the buffer without a NUL.
    const DWORD length = static_cast<DWORD>(path.size());
    std::memcpy(buffer, path.c_str(), length < size ? length + 1 : size);
    return length < size ? length : size;
}

// "3 C:\cache\*.*\0\0 to null flags 0x510 title Clearing Media Cache owner <caption> with 1002 disabled"
std::string Describe(const SHFILEOPSTRUCTA& operation)
{
    std::string names;
    for (const char* name = operation.pFrom; *name != '\0'; name += std::strlen(name) + 1)
        names += std::string(name) + "\\0";
    return std::to_string(operation.wFunc) + " " + names + "\\0 to " + (operation.pTo ? operation.pTo : "null") +
           " flags " + Hex(operation.fFlags) + " title " + operation.lpszProgressTitle +
           " owner " + WindowText(operation.hwnd) +
           (IsWindowEnabled(GetDlgItem(operation.hwnd, 1002)) ? " with 1002 enabled" : " with 1002 disabled");
}

void* Reallocated(void* block, std::size_t size)
{
    const std::optional<std::size_t> before = Gave(block);  // a block that cannot grow stays as it was
    void* moved = std::realloc(block, size + kGuardSize);
    if (moved == nullptr && before)
        Took(block, "heap block", nullptr, *before);
    return Took(moved, "heap block", nullptr, size);
}

// ---- The spies: "R function(params)" journals line, then goes Through. The
// runtime's functions are __cdecl, the system's WINAPI (not the same on i686).
#define SPY_AS(convention, R, function, params, line, ...) \
    R convention Spy##function params { return Through<R>(line, [&] { return __VA_ARGS__; }); }
#define SPY(...) SPY_AS(WINAPI, __VA_ARGS__)

SPY(LONG, RegOpenKeyExA, (HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY key),
    "RegOpenKeyExA " + KeyPath(root) + "\\" + subKey + " " + Hex(access),
    Opened(RegOpenKeyExA(root, subKey, options, access, key), root, subKey, key))
SPY(LONG, RegCreateKeyA, (HKEY root, LPCSTR subKey, PHKEY key), "RegCreateKeyA " + KeyPath(root) + "\\" + subKey,
    Opened(RegCreateKeyA(root, subKey, key), root, subKey, key))
SPY(LONG, RegCreateKeyExA,
    (HKEY root, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
     LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition),
    "RegCreateKeyExA " + KeyPath(root) + "\\" + subKey + " " + Hex(access),
    Opened(RegCreateKeyExA(root, subKey, reserved, keyClass, options, access, security, key, disposition), root,
           subKey, key))
SPY(LONG, RegQueryValueExA, (HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size),
    "RegQueryValueExA " + KeyPath(key) + " " + (name ? name : "(default)"),
    RegQueryValueExA(key, name, reserved, type, data, size))
SPY(LONG, RegSetValueExA, (HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size),
    "RegSetValueExA " + KeyPath(key) + " " + name + " " + sim::ValueText(type, data, size),
    RegSetValueExA(key, name, reserved, type, data, size))
SPY(LONG, RegCloseKey, (HKEY key), "RegCloseKey " + KeyPath(key), (Gave(key), RegCloseKey(key)))
SPY(DWORD, GetModuleFileNameA, (HMODULE module, LPSTR buffer, DWORD size), "GetModuleFileNameA " + std::to_string(size),
    ModuleFileName(module, buffer, size))
SPY(int, Sleep, (DWORD milliseconds), "Sleep " + std::to_string(milliseconds), Sleep(milliseconds), 0)
SPY(INT_PTR, DialogBoxParamA, (HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param),
    "DialogBoxParamA " + std::to_string(reinterpret_cast<std::uintptr_t>(name)) + " owner " + WindowText(owner) +
        (instance == state->config ? "" : " from another module") + " param " + std::to_string(param),
    DialogBoxParamA(instance, name, owner, proc, param))
SPY(int, SHFileOperationA, (LPSHFILEOPSTRUCTA operation), "SHFileOperationA " + Describe(*operation),
    SHFileOperationA(operation))
SPY(DWORD, GetFileVersionInfoSizeA, (LPCSTR path, LPDWORD handle), "GetFileVersionInfoSizeA " + std::string(path),
    GetFileVersionInfoSizeA(path, handle))
SPY(BOOL, GetFileVersionInfoA, (LPCSTR path, DWORD handle, DWORD size, LPVOID block),
    "GetFileVersionInfoA " + std::string(path), GetFileVersionInfoA(path, handle, size, block))
SPY(BOOL, VerQueryValueA, (LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length),
    "VerQueryValueA " + std::string(subBlock), VerQueryValueA(block, subBlock, buffer, length))
SPY(HGLOBAL, GlobalAlloc, (UINT flags, SIZE_T bytes), "GlobalAlloc " + Hex(flags),
    Took(GlobalAlloc(flags, bytes + kGuardSize), "movable block", HGLOBAL(), bytes))
SPY(HGLOBAL, GlobalFree, (HGLOBAL memory), "GlobalFree", (Gave(memory), GlobalFree(memory)))
SPY(HANDLE, FindFirstFileA, (LPCSTR pattern, LPWIN32_FIND_DATAA data), "FindFirstFileA " + std::string(pattern),
    Took(Listed(FindFirstFileA(pattern, data), data), "directory search", INVALID_HANDLE_VALUE))
SPY(BOOL, FindNextFileA, (HANDLE search, LPWIN32_FIND_DATAA data), "FindNextFileA",
    Listed(FindNextFileA(search, data), data))
SPY(BOOL, FindClose, (HANDLE search), "FindClose", (Gave(search), FindClose(search)))
SPY(HANDLE, CreateFileA, (LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
    DWORD flags, HANDLE templateFile), "CreateFileA " + std::string(path) + " " + Hex(access) + " " + Hex(flags),
    Took(CreateFileA(path, access, share, security, disposition, flags, templateFile), "file handle", INVALID_HANDLE_VALUE))
SPY(BOOL, GetFileInformationByHandle, (HANDLE file, LPBY_HANDLE_FILE_INFORMATION information),
    "GetFileInformationByHandle", GetFileInformationByHandle(file, information))
// The module's runtime closes handles of its own too: only those the module took count.
SPY(BOOL, CloseHandle, (HANDLE handle), "CloseHandle", (Gave(handle), CloseHandle(handle)))
SPY_AS(__cdecl, FILE*, fopen, (const char* path, const char* mode), "fopen " + std::string(path) + " " + mode,
       Took(std::fopen(path, mode), "stream"))
SPY_AS(__cdecl, int, fclose, (FILE* stream), "fclose", (Gave(stream), std::fclose(stream)))
SPY_AS(__cdecl, void*, malloc, (std::size_t size), "malloc " + std::to_string(size),
       Took(std::malloc(size + kGuardSize), "heap block", nullptr, size))
SPY_AS(__cdecl, void*, calloc, (std::size_t count, std::size_t size),
       "calloc " + std::to_string(count) + " " + std::to_string(size),
       size != 0 && count * size / size != count ? nullptr
                                                 : Took(std::calloc(1, count * size + kGuardSize), "heap block", nullptr, count * size))
SPY_AS(__cdecl, void*, realloc, (void* block, std::size_t size), "realloc " + std::to_string(size),
       Reallocated(block, size))
void __cdecl Spyfree(void* block) { Gave(block), std::free(block); }

#undef SPY
#define SPY(function) {#function, reinterpret_cast<void*>(Spy##function)}
const std::pair<const char*, void*> kSpies[] = {
    SPY(RegOpenKeyExA), SPY(RegCreateKeyA), SPY(RegCreateKeyExA), SPY(RegQueryValueExA), SPY(RegSetValueExA),
    SPY(RegCloseKey), SPY(GetModuleFileNameA), SPY(Sleep), SPY(GlobalAlloc), SPY(GlobalFree), SPY(FindFirstFileA),
    SPY(FindNextFileA), SPY(FindClose), SPY(CreateFileA), SPY(GetFileInformationByHandle), SPY(CloseHandle),
    SPY(DialogBoxParamA), SPY(SHFileOperationA), SPY(GetFileVersionInfoSizeA), SPY(GetFileVersionInfoA),
    SPY(VerQueryValueA), SPY(fopen), SPY(fclose), SPY(malloc), SPY(calloc), SPY(realloc), SPY(free),
};

void** ImportSlot(HMODULE module, const char* function)
{
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         directory.VirtualAddress != 0 && import->Name != 0; ++import) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) &&
                lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) == 0)
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
    state = new State;
    state->config = config;
    for (const auto& spy : kSpies) {
        void** slot = ImportSlot(config, spy.first);
        if (slot == nullptr)
            throw std::runtime_error(std::string("Config.dll does not import ") + spy.first);
        state->patched.emplace_back(slot, *slot);
        WriteSlot(slot, spy.second);
    }
}

SystemCalls::~SystemCalls()
{
    for (const auto& entry : state->patched)
        WriteSlot(entry.first, entry.second);
    delete state;
    state = nullptr;
}

void SystemCalls::Fail(const std::string& pattern, long long result, int nth) { AddFault({{pattern, result}}, false, nth); }

void SystemCalls::FailFrom(int k, const Patterns& calls) { AddFault(calls, false, k, true); }

void SystemCalls::PretendModulePath(const std::string& path) { state->modulePath = path, state->modulePathUsed = 0; }

void SystemCalls::HideLinks() { state->hideLinks = true; }

void SystemCalls::Reset(const Faults& faults)
{
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->journal.clear(), state->faults.clear(), state->modulePath.clear(), state->starving = -1;
        state->hideLinks = false;
    }
    if (faults)
        faults(*this);
}

std::vector<std::string> SystemCalls::Unfired() const
{
    std::lock_guard<std::mutex> lock(state->mutex);
    std::vector<std::string> unfired;
    for (const Fault& fault : state->faults)
        if (fault.fired == 0)
            unfired.push_back((fault.starve ? "an allocation after " : "") + fault.patterns[0].first +
                              (fault.patterns.size() > 1 ? " and others" : "") +
                              (fault.nth != 0 ? " (call " + std::to_string(fault.nth) + (fault.onward ? " on)" : ")") : ""));
    if (!state->modulePath.empty() && state->modulePathUsed == 0)
        unfired.push_back("the pretended module path");
    return unfired;
}

std::vector<std::string> SystemCalls::Calls(std::initializer_list<const char*> patterns) const
{
    std::lock_guard<std::mutex> lock(state->mutex);
    std::vector<std::string> lines;
    for (const std::string& line : state->journal)
        if (std::any_of(patterns.begin(), patterns.end(), [&](const char* pattern) { return Matches(line.c_str(), pattern); }))
            lines.push_back(line);
    return lines;
}

Faults Failing(const char* pattern, long long result) { return [=](SystemCalls& calls) { calls.Fail(pattern, result); }; }

Faults StarvingAfter(const char* pattern, bool forGood)
{
    return [=](SystemCalls&) { AddFault({{pattern, 0}}, true, 0, forGood); };
}

void SystemCalls::Unload()
{
    FreeLibrary(state->config);
    state->patched.clear();  // gone with the module
}

void* SystemCalls::Imported(const char* function) const { return *ImportSlot(state->config, function); }

std::vector<std::string> SystemCalls::Held() const
{
    std::lock_guard<std::mutex> lock(state->mutex);
    // Reported once: the module keeps nothing from one message to the next.
    std::vector<std::string> never;
    for (const auto& [object, taken] : state->held) {
        if (taken.block)
            CheckGuard(object, taken);
        never.push_back(taken.what + (taken.block ? " of " + std::to_string(taken.size) + " bytes never freed" : ""));
    }
    std::vector<std::string> held = std::move(state->overruns);
    held.insert(held.end(), never.begin(), never.end());
    state->overruns.clear(), state->held.clear();
    return held;
}

}  // namespace e2e
