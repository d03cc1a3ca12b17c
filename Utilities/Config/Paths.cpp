// Paths.cpp - see Paths.h.
#include "Paths.h"

#include <cstring>
#include <vector>

#include "ConfigModule.h"

namespace {

std::size_t LengthOf(const char* text) { return text != nullptr ? std::strlen(text) : 0; }

}  // namespace

// The runtime writes each part whole, whatever its buffer holds. Every part
// lies after the drive ("X:" at most): the directory runs up to the last
// separator, the name and the extension lie in what follows it.
bool SplitPathInto(const char* path, PathParts& parts)
{
    const char* afterDrive = path[0] != '\0' && path[1] == ':' ? path + 2 : path;
    const char* lastComponent = afterDrive;
    for (const char* c = afterDrive; *c != '\0'; ++c)
        if (*c == '\\' || *c == '/')
            lastComponent = c + 1;
    const std::size_t componentLength = std::strlen(lastComponent);
    if (static_cast<std::size_t>(lastComponent - afterDrive) >= sizeof parts.directory ||
        componentLength >= sizeof parts.name || componentLength >= sizeof parts.extension)
        return false;
    _splitpath(path, parts.drive, parts.directory, parts.name, parts.extension);
    return true;
}

bool MakePathInto(char* path, std::size_t size, const char* drive, const char* directory, const char* name,
                  const char* extension)
{
    // Room for the longest path these parts can make: the drive's letter and
    // ':', a separator added after the directory, a '.' added before the
    // extension, and the NUL.
    std::vector<char> made(2 + LengthOf(directory) + 1 + LengthOf(name) + 1 + LengthOf(extension) + 1);
    _makepath(made.data(), drive, directory, name, extension);
    const std::size_t length = std::strlen(made.data());
    if (length >= size)
        return false;
    std::memcpy(path, made.data(), length + 1);
    return true;
}

bool PathBesideModule(const char* fileName, char (&path)[MAX_PATH])
{
    char modulePath[MAX_PATH];
    const DWORD length = GetModuleFileNameA(ModuleInstance, modulePath, sizeof modulePath);
    // A path that fills the buffer was cut short and has no NUL.
    if (length == 0 || length >= sizeof modulePath)
        return false;
    PathParts module;
    return SplitPathInto(modulePath, module) &&
           MakePathInto(path, sizeof path, module.drive, module.directory, fileName, nullptr);
}
