// SettingsRegistry.cpp - see SettingsRegistry.h.
#include "SettingsRegistry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace e2e {

namespace {

const char kSettingsKey[] = "Software\\Kestrova\\DadAzizov\\Config";

bool NameLess(const RegValue& a, const RegValue& b) { return _stricmp(a.name.c_str(), b.name.c_str()) < 0; }

const char* TypeName(DWORD type)
{
    switch (type) {
    case REG_NONE: return "REG_NONE";
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_BINARY: return "REG_BINARY";
    case REG_DWORD: return "REG_DWORD";
    default: return "REG_?";
    }
}

}  // namespace

bool operator==(const RegValue& a, const RegValue& b)
{
    return a.name == b.name && a.type == b.type && a.data == b.data;
}

void PrintTo(const RegValue& value, std::ostream* out)
{
    *out << value.name << " " << TypeName(value.type) << "(" << value.type << ")";
    if (value.type == REG_DWORD && value.data.size() == 4) {
        DWORD number = 0;
        std::memcpy(&number, value.data.data(), 4);
        char text[16];
        std::snprintf(text, sizeof text, " 0x%08lX", static_cast<unsigned long>(number));
        *out << text;
        return;
    }
    *out << " " << value.data.size() << " bytes:";
    if (value.type == REG_SZ) {
        // Texts are easier to compare read as text; every byte is shown,
        // the NUL included, so a missing or extra terminator stays visible.
        *out << " \"";
        for (unsigned char byte : value.data) {
            if (byte == 0)
                *out << "\\0";
            else
                *out << static_cast<char>(byte);
        }
        *out << "\"";
        return;
    }
    for (unsigned char byte : value.data) {
        char text[4];
        std::snprintf(text, sizeof text, " %02X", byte);
        *out << text;
    }
}

RegValue DwordValue(const std::string& name, DWORD value)
{
    // REG_DWORD is little-endian on every Windows the player runs on.
    return RegValue{name, REG_DWORD,
                    {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                     static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)}};
}

RegValue TextValue(const std::string& name, const std::string& text)
{
    RegValue value{name, REG_SZ, std::vector<unsigned char>(text.begin(), text.end())};
    value.data.push_back(0);
    return value;
}

std::vector<RegValue> SortedByName(std::vector<RegValue> values)
{
    std::sort(values.begin(), values.end(), NameLess);
    return values;
}

std::vector<RegValue> SettingsValues(const StoredSettings& settings)
{
    return SortedByName({
        DwordValue("AutoUpdate", settings.autoUpdate), DwordValue("RenderEngine", settings.renderEngine),
        DwordValue("fsWidth", settings.fsWidth),       DwordValue("fsHeight", settings.fsHeight),
        DwordValue("Set32bits", settings.set32bits),   DwordValue("ForceRenderMode", settings.forceRenderMode),
    });
}

void DeleteKeyTree(HKEY root, const char* path) { RegDeleteTreeA(root, path); }

void SeedKey(HKEY root, const char* path, const std::vector<RegValue>& values)
{
    DeleteKeyTree(root, path);
    if (values.empty())
        return;
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    for (const RegValue& value : values)
        RegSetValueExA(key, value.name.c_str(), 0, value.type, value.data.empty() ? nullptr : value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
}

bool KeyExists(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::vector<RegValue> ReadKey(HKEY root, const char* path)
{
    std::vector<RegValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        unsigned char data[1024];
        DWORD size = sizeof data;
        if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        values.push_back(RegValue{std::string(name, nameLength), type, std::vector<unsigned char>(data, data + size)});
    }
    RegCloseKey(key);
    return SortedByName(values);
}

void ResetSettingsKey() { DeleteKeyTree(HKEY_LOCAL_MACHINE, kSettingsKey); }

void SeedSettingsKey(const std::vector<RegValue>& values) { SeedKey(HKEY_LOCAL_MACHINE, kSettingsKey, values); }

bool SettingsKeyExists() { return KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey); }

std::vector<RegValue> ReadSettingsKey() { return ReadKey(HKEY_LOCAL_MACHINE, kSettingsKey); }

}  // namespace e2e
