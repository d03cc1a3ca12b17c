// SetupUtils.cpp - registry string and file version readers.
#include "SetupUtils.h"

#include <cstring>

#include "DiagnosticLog.h"
#include "Text.h"

namespace {

const plat::Dword kValueBufferSize = 260;

// The log names the place of each handler by these lines, and the file by
// this source's name with a backslash in front, whatever separators the
// build machine uses.
const std::int32_t kQueryHandlerLine = 291;
const std::int32_t kOpenHandlerLine = 294;

std::string ThisSourcePath()
{
    std::string path = __FILE__;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// One log line: a tab, then the located entry.
void LogCaughtException(std::int32_t line)
{
    LogMessage("\t", nullptr, 0);
    LogMessage("Catched Exception", ThisSourcePath().c_str(), line);
}

}  // namespace

std::int32_t ReadRegistryString(plat::RegKey root, const char* subKey, const char* valueName, std::string& out)
{
    std::int32_t result = 0;
    try {
        plat::RegKey key = nullptr;
        if (plat::RegOpenKeyExA(root, subKey, 0, plat::kKeyRead, &key) != plat::kErrorSuccess)
            return 0;
        try {
            char buffer[kValueBufferSize];
            plat::Dword type = 0;
            plat::Dword size = kValueBufferSize;
            if (plat::RegQueryValueExA(key, valueName, &type, reinterpret_cast<unsigned char*>(buffer), &size) ==
                plat::kErrorSuccess) {
                // Up to the first NUL, or every returned byte of a value
                // without one: a value that fits the buffer is taken whole.
                out = TextFromBuffer(buffer, size < kValueBufferSize ? size : kValueBufferSize);
                result = 1;
            }
        } catch (...) {
            result = 0;
            LogCaughtException(kQueryHandlerLine);
        }
        plat::RegCloseKey(key);
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

std::string FormatFileVersion(std::uint32_t versionMS, std::uint32_t versionLS)
{
    return std::to_string(versionMS >> 16) + "." + std::to_string(versionMS & 0xFFFF) + "." +
           std::to_string(versionLS >> 16) + "." + std::to_string(versionLS & 0xFFFF);
}

std::int32_t GetFileVersionString(const char* path, std::string& out)
{
    out.clear();
    plat::Dword handle = 0;
    const plat::Dword size = plat::GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return -1;
    plat::GlobalHandle memory = plat::GlobalAlloc(plat::kGmemMoveable, size);
    if (memory == nullptr)
        return 0;
    void* block = plat::GlobalLock(memory);
    if (block != nullptr && plat::GetFileVersionInfoA(path, handle, size, block)) {
        void* info = nullptr;
        unsigned int length = 0;
        // The fixed part holds the file version at bytes 8 to 15.
        if (plat::VerQueryValueA(block, "\\", &info, &length) && info != nullptr &&
            length >= 4 * sizeof(std::uint32_t)) {
            plat::FixedFileInfo fixed = {};
            std::memcpy(&fixed, info, length < sizeof fixed ? length : sizeof fixed);
            out += FormatFileVersion(fixed.dwFileVersionMS, fixed.dwFileVersionLS);
        }
    }
    if (block != nullptr)
        plat::GlobalUnlock(memory);
    plat::GlobalFree(memory);
    return 0;
}
