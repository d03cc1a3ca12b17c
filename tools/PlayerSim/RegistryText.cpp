// RegistryText.cpp - see RegistryText.h.
#include "RegistryText.h"

namespace sim {

Stored Dword(const std::string& name, DWORD value)
{
    return Stored{name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value)};
}

Stored Text(const std::string& name, const std::string& text, DWORD type)
{
    return Stored{name, type, text + std::string(1, '\0')};
}

bool Store(HKEY root, const std::string& key, const std::vector<Stored>& values)
{
    HKEY opened = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return false;
    bool written = true;
    for (const Stored& value : values)
        written = RegSetValueExA(opened, value.name.c_str(), 0, value.type,
                                 reinterpret_cast<const BYTE*>(value.bytes.data()),
                                 static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS && written;
    RegCloseKey(opened);
    return written;
}

std::string ValueText(DWORD type, const BYTE* data, DWORD size)
{
    static const char* const kTypes[] = {"REG_NONE", "REG_SZ", "REG_EXPAND_SZ", "REG_BINARY", "REG_DWORD"};
    std::string text = type < 5 ? kTypes[type] : "type " + std::to_string(type);
    if (type == REG_DWORD && size == 4)
        return text + " " + std::to_string(*reinterpret_cast<const DWORD*>(data));
    text += " \"";
    for (DWORD i = 0; i < size; ++i)
        text += data[i] == 0 ? std::string("\\0") : std::string(1, static_cast<char>(data[i]));
    return text + "\"";
}

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

}  // namespace sim
