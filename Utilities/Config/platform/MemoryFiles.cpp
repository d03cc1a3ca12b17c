// MemoryFiles.cpp - the in-memory platform's file system, shell operation,
// version information, movable memory, C runtime streams and fault
// injection. See MemoryPlatform.h.
#include "MemoryPlatform.h"
#include "MemoryPlatformInternal.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

namespace {

// ---- Paths ------------------------------------------------------------------

// "C:\Dir/Sub\" -> {"c:", "dir", "sub"}: the key of a path, case folded.
std::vector<std::string> PathKey(const std::string& path)
{
    std::vector<std::string> parts;
    std::string current;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!current.empty())
                parts.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    if (!current.empty())
        parts.push_back(current);
    return parts;
}

// Windows wildcards against a long name: '*' any run, '?' one character,
// letter case ignored; "*.*" is every name, with or without a dot.
bool MatchesMask(const std::string& name, const std::string& mask)
{
    if (mask == "*.*" || mask == "*")
        return true;
    std::size_t n = 0, m = 0, starMask = std::string::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || std::tolower(static_cast<unsigned char>(mask[m])) ==
                                                      std::tolower(static_cast<unsigned char>(name[n])))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

// ---- The file system ------------------------------------------------------------

struct Node {
    std::string name;  // as created
    bool directory = false;
    bool readOnly = false;
    bool locked = false;
    std::string bytes;
    bool versioned = false;
    memplat::FileVersion version{0, 0, 0, 0, false};
    std::map<std::string, std::unique_ptr<Node>> children;  // by case-folded name
};

struct Stream {
    Node* file;
    bool text;
};

struct Find {
    std::vector<plat::FindData> entries;
    std::size_t next;
};

struct Block {
    std::vector<unsigned char> bytes;
    int locks;
};

struct Files {
    Node root;  // holds the drives
    std::string modulePath;
    std::vector<memplat::FileOperationRecord> operations;
    std::vector<plat::Dword> sleeps;
    std::map<std::uintptr_t, Stream> streams;
    std::map<std::uintptr_t, Find> finds;
    std::map<std::uintptr_t, Block> blocks;
    std::uintptr_t nextHandle = 0x10000;
    bool failNextAlloc = false;
    std::map<std::string, int> faults;  // function -> calls to let through first

    Files() { root.directory = true; }
};

Files& TheFiles()
{
    static Files files;
    return files;
}

void* NewHandle()
{
    Files& files = TheFiles();
    files.nextHandle += 8;
    return reinterpret_cast<void*>(files.nextHandle);
}

Node* FindNode(const std::vector<std::string>& key)
{
    Node* node = &TheFiles().root;
    for (const std::string& part : key) {
        if (!node->directory)
            return nullptr;
        auto child = node->children.find(part);
        if (child == node->children.end())
            return nullptr;
        node = child->second.get();
    }
    return node;
}

Node* FindPath(const char* path) { return path != nullptr ? FindNode(PathKey(path)) : nullptr; }

// Creates path and its parents as directories, or the last part as a file.
Node* MakePath(const std::string& path, bool directory)
{
    const std::vector<std::string> key = PathKey(path);
    std::vector<std::string> names;
    {
        std::string current;
        for (char c : path) {
            if (c == '\\' || c == '/') {
                if (!current.empty())
                    names.push_back(current);
                current.clear();
            } else {
                current += c;
            }
        }
        if (!current.empty())
            names.push_back(current);
    }
    Node* node = &TheFiles().root;
    for (std::size_t i = 0; i < key.size(); ++i) {
        std::unique_ptr<Node>& child = node->children[key[i]];
        if (!child) {
            child.reset(new Node);
            child->name = names[i];
            child->directory = directory || i + 1 < key.size();
        }
        node = child.get();
    }
    return node;
}

// The directory of a path and its last name; null when the directory is
// missing.
Node* ParentOf(const std::string& path, std::string* name)
{
    std::vector<std::string> key = PathKey(path);
    if (key.empty())
        return nullptr;
    *name = key.back();
    key.pop_back();
    Node* parent = FindNode(key);
    return parent != nullptr && parent->directory ? parent : nullptr;
}

std::string LastName(const std::string& path)
{
    const std::string::size_type slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The keys of a folder's entries in the order the system lists them:
// names compared in upper case (measured under Wine 8, as on NTFS), so "_"
// comes after the letters, not before them as in the case-folded keys.
std::vector<std::string> ListingOrder(const Node& folder)
{
    std::vector<std::string> keys;
    for (const auto& child : folder.children)
        keys.push_back(child.first);
    std::sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::toupper(static_cast<unsigned char>(x)) < std::toupper(static_cast<unsigned char>(y));
        });
    });
    return keys;
}

// Deletes a file or a folder with its contents, in listing order. Inside a
// folder, read-only files go as well, as the shell's recursive delete does;
// a locked file anywhere stops the deletion there.
bool DeleteTree(Node& parent, const std::string& key)
{
    auto found = parent.children.find(key);
    if (found == parent.children.end())
        return true;
    Node& node = *found->second;
    if (node.locked)
        return false;
    if (node.directory) {
        for (const std::string& name : ListingOrder(node))
            if (!DeleteTree(node, name))
                return false;
    }
    parent.children.erase(found);
    return true;
}

// The version resource as the in-memory GetFileVersionInfoA lays it out:
// a tag, a flag for the fixed part, then VS_FIXEDFILEINFO.
const char kVersionTag[4] = {'K', 'V', 'E', 'R'};
const std::size_t kFixedOffset = 8;
const plat::Dword kVersionBlockSize = static_cast<plat::Dword>(kFixedOffset + sizeof(plat::FixedFileInfo));

const int kErrorSharingViolation = 32;  // ERROR_SHARING_VIOLATION

}  // namespace

namespace memplat {
namespace internal {

void MaybeThrow(const char* function)
{
    Files& files = TheFiles();
    auto fault = files.faults.find(function);
    if (fault == files.faults.end())
        return;
    if (fault->second > 0) {
        --fault->second;
        return;
    }
    files.faults.erase(fault);
    throw std::runtime_error(std::string("injected fault in ") + function);
}

void ResetFiles()
{
    Files& files = TheFiles();
    files.root.children.clear();
    files.modulePath.clear();
    files.operations.clear();
    files.sleeps.clear();
    files.streams.clear();
    files.finds.clear();
    files.blocks.clear();
    files.failNextAlloc = false;
    files.faults.clear();
}

}  // namespace internal

void SetModulePath(const std::string& path) { TheFiles().modulePath = path; }
void PutDirectory(const std::string& path) { MakePath(path, true); }

void PutFile(const std::string& path, const std::string& bytes)
{
    Node* node = MakePath(path, false);
    node->directory = false;
    node->bytes = bytes;
}

void PutVersionedFile(const std::string& path, const FileVersion& version)
{
    PutFile(path, "MZ");
    Node* node = FindPath(path.c_str());
    node->versioned = true;
    node->version = version;
}

void SetReadOnly(const std::string& path, bool readOnly)
{
    if (Node* node = FindPath(path.c_str()))
        node->readOnly = readOnly;
}

void SetLocked(const std::string& path, bool locked)
{
    if (Node* node = FindPath(path.c_str()))
        node->locked = locked;
}

bool PathExists(const std::string& path) { return FindPath(path.c_str()) != nullptr; }

bool IsDirectory(const std::string& path)
{
    const Node* node = FindPath(path.c_str());
    return node != nullptr && node->directory;
}

std::string FileBytes(const std::string& path)
{
    const Node* node = FindPath(path.c_str());
    return node != nullptr && !node->directory ? node->bytes : std::string();
}

namespace {

void Collect(const Node& node, const std::string& prefix, std::vector<std::string>& paths)
{
    for (const auto& child : node.children) {
        const std::string path = prefix + child.second->name;
        paths.push_back(path);
        if (child.second->directory)
            Collect(*child.second, path + "\\", paths);
    }
}

}  // namespace

std::vector<std::string> ListTree(const std::string& directory)
{
    std::vector<std::string> paths;
    if (const Node* node = FindPath(directory.c_str()))
        Collect(*node, "", paths);
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::vector<FileOperationRecord> FileOperations() { return TheFiles().operations; }
std::vector<plat::Dword> Sleeps() { return TheFiles().sleeps; }
int OpenStreamCount() { return static_cast<int>(TheFiles().streams.size()); }
int OpenFindCount() { return static_cast<int>(TheFiles().finds.size()); }
int GlobalBlockCount() { return static_cast<int>(TheFiles().blocks.size()); }
void FailNextGlobalAlloc() { TheFiles().failNextAlloc = true; }
void ThrowOnCall(const std::string& function, int skip) { TheFiles().faults[function] = skip; }

}  // namespace memplat

// ==== Platform.h ==================================================================

namespace plat {

Dword GetModuleFileNameA(Module /*module*/, char* buffer, Dword size)
{
    const std::string& path = TheFiles().modulePath;
    if (path.empty() || buffer == nullptr || size == 0)
        return 0;
    // A path that does not fit fills the buffer with no NUL and is reported
    // as size (measured under Wine 8; Windows XP does the same, later
    // versions put a NUL in the last byte).
    if (path.size() >= size) {
        std::memcpy(buffer, path.data(), size);
        return size;
    }
    std::memcpy(buffer, path.data(), path.size());
    buffer[path.size()] = '\0';
    return static_cast<Dword>(path.size());
}

Dword GetFileAttributesA(const char* path)
{
    const Node* node = FindPath(path);
    if (node == nullptr || *path == '\0')
        return kInvalidFileAttributes;
    // A trailing separator names a folder: "file.txt\\" is no file (Wine 8).
    const char last = path[std::strlen(path) - 1];
    if (!node->directory && (last == '\\' || last == '/'))
        return kInvalidFileAttributes;
    Dword attributes = node->directory ? kFileAttributeDirectory : 0x20 /*FILE_ATTRIBUTE_ARCHIVE*/;
    if (node->readOnly)
        attributes |= kFileAttributeReadOnly;
    return attributes;
}

void Sleep(Dword milliseconds) { TheFiles().sleeps.push_back(milliseconds); }

// FO_DELETE of each name in the list; a last component with wildcards
// names every match in its folder, taken in listing order. The first item
// that cannot be deleted stops the operation, leaving the rest: a
// read-only file at the top gives ERROR_ACCESS_DENIED, a locked file
// anywhere ERROR_SHARING_VIOLATION (both measured under Wine 8).
int SHFileOperationA(FileOperation* operation)
{
    Files& files = TheFiles();
    memplat::FileOperationRecord record{operation->hwnd, operation->wFunc, std::string(), operation->pTo != nullptr,
                                        operation->fFlags, operation->fAnyOperationsAborted,
                                        operation->hNameMappings != nullptr,
                                        operation->lpszProgressTitle != nullptr ? operation->lpszProgressTitle : ""};
    const char* name = operation->pFrom;
    while (name != nullptr && *name != '\0') {
        const std::size_t length = std::strlen(name);
        record.from.append(name, length + 1);
        name += length + 1;
    }
    record.from.push_back('\0');
    files.operations.push_back(record);
    if (operation->wFunc != kFoDelete)
        return 0x78;  // DE_INVALIDFILES: only deletion is modelled

    for (name = operation->pFrom; name != nullptr && *name != '\0'; name += std::strlen(name) + 1) {
        const std::string path(name);
        std::string last;
        Node* parent = ParentOf(path, &last);
        if (parent == nullptr)
            continue;
        const std::string mask = LastName(path);
        std::vector<std::string> matches;
        for (const std::string& key : ListingOrder(*parent))
            if (MatchesMask(parent->children[key]->name, mask))
                matches.push_back(key);
        for (const std::string& match : matches) {
            Node& item = *parent->children[match];
            if (item.readOnly && !item.directory) {
                operation->fAnyOperationsAborted = 0;
                return kErrorAccessDenied;
            }
            if (!DeleteTree(*parent, match)) {
                operation->fAnyOperationsAborted = 0;
                return kErrorSharingViolation;
            }
        }
    }
    return 0;
}

FindHandle FindFirstFileA(const char* pattern, FindData* data)
{
    std::string last;
    Node* parent = pattern != nullptr ? ParentOf(pattern, &last) : nullptr;
    if (parent == nullptr || data == nullptr)
        return nullptr;
    const std::string mask = LastName(pattern);
    Find find{{}, 1};
    auto add = [&find](const std::string& name, bool directory) {
        FindData entry;
        entry.attributes = directory ? kFileAttributeDirectory : 0x20;
        std::snprintf(entry.name, sizeof entry.name, "%s", name.c_str());
        find.entries.push_back(entry);
    };
    // Every folder but a drive's root lists "." and ".." first (Wine 8).
    const bool driveRoot = PathKey(pattern).size() == 2;
    if (!driveRoot && MatchesMask(".", mask)) {
        add(".", true);
        add("..", true);
    }
    for (const std::string& key : ListingOrder(*parent)) {
        const Node& child = *parent->children[key];
        if (MatchesMask(child.name, mask))
            add(child.name, child.directory);
    }
    if (find.entries.empty())
        return nullptr;
    *data = find.entries[0];
    void* handle = NewHandle();
    TheFiles().finds[reinterpret_cast<std::uintptr_t>(handle)] = find;
    return handle;
}

int FindNextFileA(FindHandle handle, FindData* data)
{
    auto found = TheFiles().finds.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == TheFiles().finds.end() || found->second.next >= found->second.entries.size())
        return 0;
    *data = found->second.entries[found->second.next++];
    return 1;
}

int FindClose(FindHandle handle) { return TheFiles().finds.erase(reinterpret_cast<std::uintptr_t>(handle)) != 0; }

FileStream OpenFileStream(const char* path, const char* mode)
{
    memplat::internal::MaybeThrow("OpenFileStream");
    if (path == nullptr || mode == nullptr)
        return nullptr;
    const bool append = std::strchr(mode, 'a') != nullptr;
    const bool write = append || std::strchr(mode, 'w') != nullptr || std::strchr(mode, '+') != nullptr;
    Node* file = FindPath(path);
    if (file == nullptr) {
        std::string name;
        Node* parent = ParentOf(path, &name);
        if (parent == nullptr || !write || std::strchr(mode, 'r') != nullptr || parent->readOnly)
            return nullptr;
        file = MakePath(path, false);
    }
    if (file->directory || file->locked || (write && file->readOnly))
        return nullptr;
    if (std::strchr(mode, 'w') != nullptr)
        file->bytes.clear();
    void* handle = NewHandle();
    TheFiles().streams[reinterpret_cast<std::uintptr_t>(handle)] = Stream{file, std::strchr(mode, 'b') == nullptr};
    return handle;
}

// Text mode writes every line feed as carriage return and line feed, as the
// Windows runtime does; appending always goes to the end.
int PutText(FileStream handle, const char* text)
{
    auto found = TheFiles().streams.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == TheFiles().streams.end() || text == nullptr)
        return -1;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '\n' && found->second.text)
            found->second.file->bytes.push_back('\r');
        found->second.file->bytes.push_back(*c);
    }
    return 0;
}

int CloseFileStream(FileStream handle)
{
    return TheFiles().streams.erase(reinterpret_cast<std::uintptr_t>(handle)) != 0 ? 0 : -1;
}

Dword GetFileVersionInfoSizeA(const char* path, Dword* handle)
{
    memplat::internal::MaybeThrow("GetFileVersionInfoSizeA");
    if (handle != nullptr)
        *handle = 0;
    const Node* node = FindPath(path);
    return node != nullptr && node->versioned && !node->locked ? kVersionBlockSize : 0;
}

int GetFileVersionInfoA(const char* path, Dword /*handle*/, Dword size, void* block)
{
    const Node* node = FindPath(path);
    if (node == nullptr || !node->versioned || block == nullptr || size < kVersionBlockSize)
        return 0;
    unsigned char* bytes = static_cast<unsigned char*>(block);
    std::memset(bytes, 0, size);
    std::memcpy(bytes, kVersionTag, sizeof kVersionTag);
    bytes[4] = node->version.hasFixedInfo ? 1 : 0;
    FixedFileInfo info = {};
    info.dwSignature = 0xFEEF04BD;
    info.dwStrucVersion = 0x00010000;
    info.dwFileVersionMS = (static_cast<Dword>(node->version.major) << 16) | node->version.minor;
    info.dwFileVersionLS = (static_cast<Dword>(node->version.build) << 16) | node->version.revision;
    // A product version that differs from the file version, so a reader
    // that takes the wrong one shows it.
    info.dwProductVersionMS = 0x00630063;
    info.dwProductVersionLS = 0x00630063;
    std::memcpy(bytes + kFixedOffset, &info, sizeof info);
    return 1;
}

int VerQueryValueA(const void* block, const char* subBlock, void** buffer, unsigned int* length)
{
    const unsigned char* bytes = static_cast<const unsigned char*>(block);
    if (length != nullptr)
        *length = 0;
    if (bytes == nullptr || subBlock == nullptr || std::strcmp(subBlock, "\\") != 0 ||
        std::memcmp(bytes, kVersionTag, sizeof kVersionTag) != 0)
        return 0;
    // The root block is always there; without the fixed part it succeeds
    // with 0 bytes (measured under Wine 8).
    if (buffer != nullptr)
        *buffer = const_cast<unsigned char*>(bytes + kFixedOffset);
    if (length != nullptr)
        *length = bytes[4] != 0 ? sizeof(FixedFileInfo) : 0;
    return 1;
}

GlobalHandle GlobalAlloc(unsigned int /*flags*/, std::size_t bytes)
{
    Files& files = TheFiles();
    if (files.failNextAlloc) {
        files.failNextAlloc = false;
        return nullptr;
    }
    void* handle = NewHandle();
    files.blocks[reinterpret_cast<std::uintptr_t>(handle)] = Block{std::vector<unsigned char>(bytes), 0};
    return handle;
}

void* GlobalLock(GlobalHandle memory)
{
    auto found = TheFiles().blocks.find(reinterpret_cast<std::uintptr_t>(memory));
    if (found == TheFiles().blocks.end())
        return nullptr;
    ++found->second.locks;
    return found->second.bytes.empty() ? nullptr : found->second.bytes.data();
}

int GlobalUnlock(GlobalHandle memory)
{
    auto found = TheFiles().blocks.find(reinterpret_cast<std::uintptr_t>(memory));
    if (found == TheFiles().blocks.end() || found->second.locks == 0)
        return 0;
    return --found->second.locks;
}

GlobalHandle GlobalFree(GlobalHandle memory)
{
    return TheFiles().blocks.erase(reinterpret_cast<std::uintptr_t>(memory)) != 0 ? nullptr : memory;
}

}  // namespace plat
