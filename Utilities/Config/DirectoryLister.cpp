// DirectoryLister.cpp - see DirectoryLister.h.
//
// The system's own wildcard search also matches the short 8.3 aliases of
// long names ("*.dll" finds "library.dllx" through "LIBRAR~1.DLL"), so the
// lister asks for every name and applies the mask itself.
//
// Descending order keeps the installed-components report linear: the list
// view sorts its rows itself, comparing a new row with the rows from its top
// down, so a row that belongs at the top costs one comparison.
#include "DirectoryLister.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

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

bool DirectoryLister::FirstVisit(const std::string& directory)
{
    // Opening a directory itself takes the backup flag; reading its identity
    // needs no more than its attributes.
    HANDLE handle = CreateFileA(directory.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION information;
    const BOOL identified = GetFileInformationByHandle(handle, &information);
    CloseHandle(handle);
    if (!identified)
        return false;
    const Identity identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh,
                               information.nFileIndexLow};
    const bool seen = std::any_of(visited_.begin(), visited_.end(), [&](const Identity& visited) {
        return visited.volume == identity.volume && visited.indexHigh == identity.indexHigh &&
               visited.indexLow == identity.indexLow;
    });
    if (!seen)
        visited_.push_back(identity);
    return !seen;
}

void DirectoryLister::Enter(const std::string& directory)
{
    // The system's search takes a pattern of a path buffer at most: a
    // directory whose pattern would not fit is not searched (Wine would
    // search another directory instead, the drive's root among them).
    const std::string pattern = directory + "*";
    if (pattern.size() >= MAX_PATH || !FirstVisit(directory))
        return;
    Level level{directory, {}};
    WIN32_FIND_DATAA data;
    HANDLE found = FindFirstFileA(pattern.c_str(), &data);
    if (found == INVALID_HANDLE_VALUE)
        return;
    // Closed however the reading ends, running out of memory included.
    const std::unique_ptr<void, decltype(&FindClose)> search(found, FindClose);
    do {
        if (IsDotEntry(data.cFileName) || (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
            continue;
        level.entries.push_back(Entry{data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(search.get(), &data));
    std::sort(level.entries.begin(), level.entries.end(),
              [](const Entry& a, const Entry& b) { return lstrcmpiA(a.name.c_str(), b.name.c_str()) < 0; });
    levels_.push_back(std::move(level));
}

bool DirectoryLister::NextFile(std::string& path)
{
    while (!levels_.empty()) {
        Level& level = levels_.back();
        if (level.entries.empty()) {
            levels_.pop_back();
            continue;
        }
        const Entry entry = std::move(level.entries.back());
        level.entries.pop_back();
        std::string found = level.directory + entry.name;
        if (entry.directory && recurse_)
            Enter(found + "\\");  // invalidates level
        if (MatchesFileMask(entry.name.c_str(), mask_.c_str()) && (!entry.directory || includeDirectories_)) {
            path.swap(found);
            return true;
        }
    }
    return false;
}
