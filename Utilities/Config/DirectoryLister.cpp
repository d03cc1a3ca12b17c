// DirectoryLister.cpp - see DirectoryLister.h.
//
// The system's own wildcard search also matches the short 8.3 aliases of
// long names ("*.dll" finds "library.dllx" through "LIBRAR~1.DLL"), so the
// lister asks for every name and applies the mask itself.
#include "DirectoryLister.h"

#include <cstring>

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

}  // namespace

bool MatchesFileMask(const char* name, const char* mask)
{
    const char* starMask = nullptr;
    const char* starName = nullptr;
    while (*name != '\0') {
        if (*mask == '*') {
            starMask = mask++;
            starName = name;
        } else if (*mask != '\0' && (*mask == '?' || LowerAscii(*mask) == LowerAscii(*name))) {
            ++mask;
            ++name;
        } else if (starMask != nullptr) {
            mask = starMask + 1;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*mask == '*')
        ++mask;
    return *mask == '\0';
}

DirectoryLister::DirectoryLister(const std::string& directory, const std::string& mask, int recurse,
                                 int includeDirectories)
    : mask_(mask), recurse_(recurse != 0), includeDirectories_(includeDirectories != 0)
{
    Enter(directory);
}

DirectoryLister::~DirectoryLister()
{
    for (Level& level : levels_)
        if (level.find != nullptr)
            plat::FindClose(level.find);
}

void DirectoryLister::Enter(const std::string& directory)
{
    Level level;
    level.directory = directory;
    level.first = true;
    level.find = plat::FindFirstFileA((directory + "*").c_str(), &level.data);
    levels_.push_back(level);
}

bool DirectoryLister::NextFile(std::string& path)
{
    while (!levels_.empty()) {
        Level& level = levels_.back();
        const bool have = level.find != nullptr && (level.first || plat::FindNextFileA(level.find, &level.data));
        level.first = false;
        if (!have) {
            if (level.find != nullptr)
                plat::FindClose(level.find);
            levels_.pop_back();
            continue;
        }
        const char* name = level.data.name;
        if (IsDotEntry(name))
            continue;
        const std::string found = level.directory + name;
        const bool isDirectory = (level.data.attributes & plat::kFileAttributeDirectory) != 0;
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
