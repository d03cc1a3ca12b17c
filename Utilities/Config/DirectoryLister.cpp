// DirectoryLister.cpp - see DirectoryLister.h.
//
// The system's own wildcard search also matches the short 8.3 aliases of
// long names ("*.dll" finds "library.dllx" through "LIBRAR~1.DLL"), so the
// lister asks for every name and applies the mask itself.
#include "DirectoryLister.h"

#include <cstring>

#include "FileNames.h"

namespace {

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

}  // namespace

DirectoryLister::DirectoryLister(const std::string& directory, const std::string& mask, int recurse,
                                 int includeDirectories)
    : mask_(mask), recurse_(recurse != 0), includeDirectories_(includeDirectories != 0)
{
    Enter(directory);
}

DirectoryLister::~DirectoryLister()
{
    for (Level& level : levels_)
        if (level.find != INVALID_HANDLE_VALUE)
            FindClose(level.find);
}

void DirectoryLister::Enter(const std::string& directory)
{
    // The system's search takes a pattern of a path buffer at most: a
    // directory whose pattern would not fit is not searched (Wine would
    // search another directory instead, the drive's root among them).
    const std::string pattern = directory + "*";
    if (pattern.size() >= MAX_PATH)
        return;
    // The search is opened only once its level is held, so that the
    // destructor closes it whatever runs out of memory later.
    levels_.push_back(Level{directory, INVALID_HANDLE_VALUE, true, {}});
    Level& level = levels_.back();
    level.find = FindFirstFileA(pattern.c_str(), &level.data);
}

bool DirectoryLister::NextFile(std::string& path)
{
    while (!levels_.empty()) {
        Level& level = levels_.back();
        const bool have =
            level.find != INVALID_HANDLE_VALUE && (level.first || FindNextFileA(level.find, &level.data));
        level.first = false;
        if (!have) {
            if (level.find != INVALID_HANDLE_VALUE)
                FindClose(level.find);
            levels_.pop_back();
            continue;
        }
        const char* name = level.data.cFileName;
        if (IsDotEntry(name))
            continue;
        const std::string found = level.directory + name;
        const bool isDirectory = (level.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool matches = MatchesFileMask(name, mask_.c_str());
        if (isDirectory && recurse_)
            Enter(found + "\\");  // invalidates level
        if (matches && (!isDirectory || includeDirectories_)) {
            path = found;
            return true;
        }
    }
    return false;
}
