// SettingsRegistry.h - the display settings key of the Kestrova Dad Azizov
// player (and any other key the scenarios touch) in the real (Wine)
// registry: reset, seeded and read back value by value, with exact types
// and sizes.
#ifndef KESTROVA_TESTS_SETTINGS_REGISTRY_H
#define KESTROVA_TESTS_SETTINGS_REGISTRY_H

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

namespace e2e {

struct RegValue {
    std::string name;
    DWORD type;
    std::vector<unsigned char> data;
};
bool operator==(const RegValue& a, const RegValue& b);
// gtest prints values with this: "fsWidth REG_DWORD 0x00000280".
void PrintTo(const RegValue& value, std::ostream* out);

RegValue DwordValue(const std::string& name, DWORD value);
// A REG_SZ value: the text and its terminating NUL, as RegSetValueExA
// stores a text written with strlen + 1 bytes.
RegValue TextValue(const std::string& name, const std::string& text);

// The six values the dialog stores, in one record.
struct StoredSettings {
    DWORD autoUpdate;
    DWORD renderEngine;
    DWORD fsWidth;
    DWORD fsHeight;
    DWORD set32bits;
    DWORD forceRenderMode;
};
// Values in the order ReadSettingsKey returns them: by name, ignoring case.
std::vector<RegValue> SortedByName(std::vector<RegValue> values);
// The six REG_DWORD values, sorted as ReadSettingsKey sorts.
std::vector<RegValue> SettingsValues(const StoredSettings& settings);

// Any key of the real registry, by root and path.
void DeleteKeyTree(HKEY root, const char* path);
// Deletes the key, then creates it holding exactly these values (an empty
// list leaves no key at all).
void SeedKey(HKEY root, const char* path, const std::vector<RegValue>& values);
bool KeyExists(HKEY root, const char* path);
// Every value of the key, sorted by name without regard to case; empty when
// the key does not exist.
std::vector<RegValue> ReadKey(HKEY root, const char* path);

// Deletes HKLM\Software\Kestrova\DadAzizov\Config with everything in it.
void ResetSettingsKey();
// Resets the key, then creates it holding exactly these values (an empty
// list leaves no key at all).
void SeedSettingsKey(const std::vector<RegValue>& values);
bool SettingsKeyExists();
// Every value of the key, sorted by name without regard to case; empty when
// the key does not exist.
std::vector<RegValue> ReadSettingsKey();

}  // namespace e2e

#endif  // KESTROVA_TESTS_SETTINGS_REGISTRY_H
