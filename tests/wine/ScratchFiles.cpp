// ScratchFiles.cpp - see ScratchFiles.h.
#include "ScratchFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace e2e {

namespace {

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

std::string ParentOf(const std::string& path)
{
    const std::string::size_type slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void CollectTree(const std::string& folder, const std::string& prefix, std::vector<std::string>& paths)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(JoinPath(folder, "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (IsDotEntry(found.cFileName))
            continue;
        paths.push_back(prefix + found.cFileName);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectTree(JoinPath(folder, found.cFileName), prefix + found.cFileName + "\\", paths);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/')
        return folder + name;
    return folder + "\\" + name;
}

std::string ProgramFolder()
{
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program(path, length);
    return program.substr(0, program.find_last_of('\\') + 1);
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeFolders(const std::string& path)
{
    if (path.empty() || IsFolder(path))
        return true;
    const std::string parent = ParentOf(path);
    if (!parent.empty() && parent.back() != ':' && !MakeFolders(parent))
        return false;
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void MakeFile(const std::string& path, const std::string& bytes)
{
    MakeFolders(ParentOf(path));
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written != bytes.size())
        ADD_FAILURE() << "writing " << path << " failed, error " << GetLastError();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

void MakeReadOnly(const std::string& path)
{
    if (!SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY))
        ADD_FAILURE() << "making " << path << " read-only failed, error " << GetLastError();
}

bool ReadFileBytes(const std::string& path, std::string* bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes->append(chunk, read);
    CloseHandle(file);
    return true;
}

void CopyFromProgramFolder(const std::string& builtName, const std::string& path)
{
    MakeFolders(ParentOf(path));
    const std::string source = ProgramFolder() + builtName;
    if (!CopyFileA(source.c_str(), path.c_str(), FALSE))
        ADD_FAILURE() << "copying " << source << " to " << path << " failed, error " << GetLastError();
}

void RemoveTree(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(JoinPath(path, "*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!IsDotEntry(found.cFileName))
                RemoveTree(JoinPath(path, found.cFileName));
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

std::vector<std::string> FolderTree(const std::string& folder)
{
    std::vector<std::string> paths;
    CollectTree(folder, "", paths);
    std::sort(paths.begin(), paths.end());
    return paths;
}

HeldOpenFile::HeldOpenFile(const std::string& path)
    : file_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
{
    if (file_ == INVALID_HANDLE_VALUE)
        ADD_FAILURE() << "opening " << path << " without sharing failed, error " << GetLastError();
}

HeldOpenFile::~HeldOpenFile()
{
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
}

}  // namespace e2e
