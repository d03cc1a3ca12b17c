// SetupUtils.cpp - registry string and file version readers.
#include "SetupUtils.h"

#include <cstdio>

#include "DiagnosticLog.h"
#include "RegistryKey.h"

namespace {

const DWORD kValueBufferSize = 260;

// The log names the place of each handler by these lines, and the file by
// its path in the source tree, of which it prints the backslash and the
// name: nothing of the machine that built the module, and no memory needed.
const char kThisSource[] = "Utilities\\Config\\SetupUtils.cpp";
const int kQueryHandlerLine = 291;
const int kOpenHandlerLine = 294;

// One log line: a tab, then the located entry. Writing it takes no memory
// of the module's, so it cannot throw.
void LogCaughtException(int line) noexcept
{
    LogMessage("\t", nullptr, 0);
    LogMessage("Catched Exception", kThisSource, line);
}

}  // namespace

int ReadRegistryString(HKEY root, const char* subKey, const char* valueName, std::string& out)
{
    int result = 0;
    try {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return 0;
        try {
            char buffer[kValueBufferSize];
            DWORD type = 0;
            DWORD size = sizeof buffer;
            if (RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                ERROR_SUCCESS) {
                // A value that fits the buffer is taken whole, with or
                // without its NUL.
                out = TextOfValue(buffer, size < sizeof buffer ? size : sizeof buffer);
                result = 1;
            }
        } catch (...) {
            result = 0;
            LogCaughtException(kQueryHandlerLine);
        }
        RegCloseKey(key);
    } catch (...) {
        // Reached when opening the key raises; the key is not closed here.
        // (The inner handler's logging cannot raise.)
        result = 0;
        LogCaughtException(kOpenHandlerLine);
    }
    return result;
}

int GetFileVersionString(const char* path, std::string& out)
{
    out.clear();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return -1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == nullptr)
        return 0;
    // Four unsigned 16-bit numbers, "65535.65535.65535.65535" at most; the
    // text goes into out only once the block is released.
    char version[24] = "";
    void* block = GlobalLock(memory);
    if (block != nullptr && GetFileVersionInfoA(path, handle, size, block)) {
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        // The file version lies at bytes 8 to 15 of the fixed part: a shorter one carries none.
        if (VerQueryValueA(block, "\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr &&
            length >= 16)
            std::sprintf(version, "%u.%u.%u.%u", static_cast<unsigned>(HIWORD(fixed->dwFileVersionMS)),
                         static_cast<unsigned>(LOWORD(fixed->dwFileVersionMS)),
                         static_cast<unsigned>(HIWORD(fixed->dwFileVersionLS)),
                         static_cast<unsigned>(LOWORD(fixed->dwFileVersionLS)));
    }
    if (block != nullptr)
        GlobalUnlock(memory);
    GlobalFree(memory);
    out += version;
    return 0;
}
