// Paths.cpp - see Paths.h.
#include "Paths.h"

#include <cstdlib>
#include <cstring>

#include "ConfigModule.h"

namespace {

std::size_t LengthOf(const char* text) { return text != nullptr ? std::strlen(text) : 0; }

}  // namespace

bool SplitPathInto(const char* path, PathParts& parts)
{
    const std::size_t length = std::strlen(path);
    if (length >= MAX_PATH)
        return false;
    _splitpath(path, parts.drive, parts.directory, parts.name, parts.extension);
    // The parts make up the whole path, unless the runtime could not split
    // it: Wine's leaves every part empty when the directory part has 256
    // characters or more, and a path made from those would be relative to
    // the current folder.
    return std::strlen(parts.drive) + std::strlen(parts.directory) + std::strlen(parts.name) +
               std::strlen(parts.extension) == length;
}

bool MakePathInto(char* path, std::size_t size, const char* drive, const char* directory, const char* name,
                  const char* extension)
{
    // Room for the longest path that parts of a path buffer can make: the
    // drive's letter and ':', the directory and a separator added after it,
    // the name, a '.' added before the extension, and the NUL. On the stack:
    // making a path never runs out of memory.
    char made[2 + MAX_PATH + MAX_PATH + MAX_PATH + 1];
    if (LengthOf(directory) >= MAX_PATH || LengthOf(name) >= MAX_PATH || LengthOf(extension) >= MAX_PATH)
        return false;
    _makepath(made, drive, directory, name, extension);
    const std::size_t length = std::strlen(made);
    if (length >= size)
        return false;
    std::memcpy(path, made, length + 1);
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
