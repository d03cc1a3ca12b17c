// ScratchRegistry.cpp - see ScratchRegistry.h.
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

namespace e2e {

namespace {

// The shortest leading part of path ("A", "A\B", ...) that names no key;
// empty when the whole path exists.
std::string FirstMissingKey(HKEY root, const std::string& path)
{
    std::string::size_type end = 0;
    for (;;) {
        end = path.find('\\', end);
        const std::string prefix = path.substr(0, end);
        if (!KeyExists(root, prefix.c_str()))
            return prefix;
        if (end == std::string::npos)
            return std::string();
        ++end;
    }
}

bool StartsWithKey(const std::string& path, const std::string& ancestor)
{
    return _strnicmp(path.c_str(), ancestor.c_str(), ancestor.size()) == 0 &&
           (path.size() == ancestor.size() || path[ancestor.size()] == '\\');
}

}  // namespace

bool ReadRegValue(HKEY root, const std::string& key, const std::string& name, RegValue* value)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = 0;
    bool found = RegQueryValueExA(opened, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
    std::vector<unsigned char> data(size);
    if (found)
        found = RegQueryValueExA(opened, name.c_str(), nullptr, &type, data.empty() ? nullptr : data.data(), &size) ==
                ERROR_SUCCESS;
    RegCloseKey(opened);
    if (found) {
        data.resize(size);
        *value = RegValue{name, type, data};
    }
    return found;
}

bool ScratchRegistry::InsideCreatedKey(HKEY root, const std::string& key) const
{
    for (const CreatedKey& created : createdKeys_)
        if (created.root == root && StartsWithKey(key, created.path))
            return true;
    return false;
}

bool ScratchRegistry::Set(HKEY root, const std::string& key, const RegValue& value)
{
    if (!InsideCreatedKey(root, key)) {
        const std::string missing = FirstMissingKey(root, key);
        if (!missing.empty()) {
            createdKeys_.push_back(CreatedKey{root, missing});
        } else {
            ReplacedValue replaced = {root, key, value.name, false, RegValue{}};
            replaced.existed = ReadRegValue(root, key, value.name, &replaced.before);
            replacedValues_.push_back(replaced);
        }
    }
    HKEY opened = nullptr;
    LONG status = RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExA(opened, value.name.c_str(), 0, value.type, value.data.empty() ? nullptr : value.data.data(),
                                static_cast<DWORD>(value.data.size()));
        RegCloseKey(opened);
    }
    if (status != ERROR_SUCCESS)
        ADD_FAILURE() << "storing " << key << "\\" << value.name << " failed, error " << status;
    return status == ERROR_SUCCESS;
}

void ScratchRegistry::Remove(HKEY root, const std::string& key, const std::string& name)
{
    ReplacedValue replaced = {root, key, name, false, RegValue{}};
    replaced.existed = ReadRegValue(root, key, name, &replaced.before);
    if (!replaced.existed)
        return;
    replacedValues_.push_back(replaced);
    HKEY opened = nullptr;
    LONG status = RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &opened);
    if (status == ERROR_SUCCESS) {
        status = RegDeleteValueA(opened, name.c_str());
        RegCloseKey(opened);
    }
    if (status != ERROR_SUCCESS)
        ADD_FAILURE() << "deleting " << key << "\\" << name << " failed, error " << status;
}

void ScratchRegistry::Restore()
{
    // Newest first, so a value replaced twice ends with its first contents.
    for (auto it = replacedValues_.rbegin(); it != replacedValues_.rend(); ++it) {
        HKEY opened = nullptr;
        if (RegOpenKeyExA(it->root, it->key.c_str(), 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS)
            continue;
        if (it->existed)
            RegSetValueExA(opened, it->name.c_str(), 0, it->before.type,
                           it->before.data.empty() ? nullptr : it->before.data.data(),
                           static_cast<DWORD>(it->before.data.size()));
        else
            RegDeleteValueA(opened, it->name.c_str());
        RegCloseKey(opened);
    }
    for (auto it = createdKeys_.rbegin(); it != createdKeys_.rend(); ++it)
        RegDeleteTreeA(it->root, it->path.c_str());
    replacedValues_.clear();
    createdKeys_.clear();
}

}  // namespace e2e
