// Scratch.cpp - see Scratch.h.
#include "Scratch.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "SystemCalls.h"

namespace e2e {

namespace fs = std::filesystem;

Stored Dword(const std::string& name, DWORD value)
{
    return Stored{name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value)};
}

Stored Text(const std::string& name, const std::string& text, DWORD type)
{
    return Stored{name, type, text + std::string(1, '\0')};
}

void Store(HKEY root, const std::string& key, const std::vector<Stored>& values)
{
    HKEY opened = nullptr;
    RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr);
    for (const Stored& value : values)
        RegSetValueExA(opened, value.name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(value.bytes.data()),
                       static_cast<DWORD>(value.bytes.size()));
    RegCloseKey(opened);
}

void DeleteKey(HKEY root, const std::string& key) { RegDeleteTreeA(root, key.c_str()); }

std::string KeyText(HKEY root, const std::string& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return "(no key)";
    std::string text;
    char name[256];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        DWORD size = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(opened, i, name, &nameSize, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        text += (text.empty() ? "" : "; ") + std::string(name) + "=" + ValueText(type, data, size);
    }
    RegCloseKey(opened);
    return text;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return "(no file)";
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Tree(const std::string& directory)
{
    std::error_code error;
    if (fs::is_regular_file(directory, error))
        return "(a file)";
    if (!fs::is_directory(directory, error))
        return "(no folder)";
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(directory))
        names.push_back(fs::relative(entry.path(), directory).string() + (entry.is_directory() ? "\\" : ""));
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

void RemoveTree(const std::string& directory)
{
    std::error_code error;
    fs::remove_all(directory, error);
}

}  // namespace e2e
