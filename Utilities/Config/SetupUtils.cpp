// SetupUtils.cpp - registry string and file version readers.
#include "SetupUtils.h"

#include <cstdio>

#include "DiagnosticLog.h"
#include "RegistryKey.h"

namespace {

const DWORD kValueBufferSize = 260;

// The log names the place of each handler by these lines, and the file by
// this source's name with a backslash in front, whatever separators the
// build machine uses.
const int kQueryHandlerLine = 291;
const int kOpenHandlerLine = 294;

std::string ThisSourcePath()
{
    std::string path = __FILE__;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// One log line: a tab, then the located entry.
void LogCaughtException(int line)
{
    LogMessage("\t", nullptr, 0);
    LogMessage("Catched Exception", ThisSourcePath().c_str(), line);
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
        // Reached when opening failed by an exception, or when logging the
        // query's exception failed too; then the key is not closed here.
        result = 0;
        try {
            LogCaughtException(kOpenHandlerLine);
        } catch (...) {
            // The reader never raises into the dialog: a log that fails
            // twice in a row loses the entry.
        }
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
